#pragma once
// How the running window is known outside itself: a second copy of the program finds it by its
// class name (the socket it listens on is named after it, ui/CopyDataServer).

// 64 characters, NUL padded.
inline constexpr char WindowClassName[64] = "TavikMainClass#";

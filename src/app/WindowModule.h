#pragma once
// The entry of the window module and where the executable finds it.

// The module's file name, in the executable's folder.
inline constexpr const char* WindowModuleName = "libtavik_window.so";
// The exported entry: RunWindowPath (argc, argv) of the module.
inline constexpr const char* WindowModuleEntry = "TavikWindowMain";
extern "C" int TavikWindowMain(int argc, char* argv[]);

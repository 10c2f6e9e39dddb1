#pragma once
// The one place where Windows-1251 text (the line list, the files written) meets UTF-8
// (source literals, error messages, the window, KML).
#include <string>
#include <string_view>

// UTF-8 to Windows-1251; a character the code page lacks becomes '?'.
std::string Utf8ToCp1251(std::string_view utf8);
// Windows-1251 to UTF-8; the one undefined byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

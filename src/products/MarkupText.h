#pragma once
// Names in the trajectory documents. The program holds a file name as the file system gives it
// (UTF-8) and a station name as the message holds it (Windows-1251 where it is not ASCII); a
// document needs it in its own encoding and safe as element content.
#include <string>
#include <string_view>

// The name as UTF-8: valid UTF-8 stays as it is, anything else is read as Windows-1251.
std::string NameAsUtf8(std::string_view name);
// The name as Windows-1251: valid UTF-8 is converted ('?' for a character the code page lacks),
// anything else is taken to be Windows-1251 already.
std::string NameAsCp1251(std::string_view name);
// Text as element content of an XML or HTML document, in either encoding: "&", "<" and ">" as
// entities, control characters dropped (XML allows none of them but the white space ones, and a
// name has no business with those either).
std::string MarkupEscaped(std::string_view text);

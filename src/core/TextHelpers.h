#pragma once
// Small helpers for file names, file sizes and the fixed-width number formats of the text.
// Numbers always use '.' as the decimal point, whatever the locale.
#include <cstdint>
#include <string>
#include <string_view>

// Size of the named file in bytes, or -1 when it does not exist (or is too large for 32 bits).
std::int32_t FileSizeOf(const std::string& Path);
// File name part (after the last '/') without its last extension.
std::string FileNameNoExt(std::string_view Path);
// 1-based position of the last (possibly overlapping) occurrence of Sub in S, or S.size() + 1.
std::size_t LastPos(std::string_view Sub, std::string_view S);
// X with Decimals digits after '.', right-aligned in at least Width characters, then trimmed.
std::string FloatStr(int Width, int Decimals, double X);
// The same field, padded to Width with leading spaces.
std::string FloatStrPad(int Width, int Decimals, double X);
// FloatStrPad appended to Out: the rows of a report are built without temporary strings.
void AppendFloatStrPad(std::string& Out, int Width, int Decimals, double X);
// Value's digits with '0's in front up to Width characters; Width '/'s when it needs more.
std::string IntStrZ(std::int32_t Value, int Width);

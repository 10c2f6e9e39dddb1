#include "core/TextHelpers.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

std::int32_t FileSizeOf(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return -1;
    return st.st_size > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(st.st_size);
}

std::string FileNameNoExt(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? Path : Path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::size_t LastPos(std::string_view Sub, std::string_view S) {
    const std::size_t at = S.rfind(Sub);
    return at == std::string_view::npos ? S.size() + 1 : at + 1;
}

void AppendFloatStrPad(std::string& Out, int Width, int Decimals, double X) {
    char buf[700];  // 309 integer digits, the point and 255 decimals
    const auto res = std::to_chars(buf, buf + sizeof buf, X, std::chars_format::fixed, Decimals);
    const char* begin = buf;
    const char* const end = res.ec == std::errc() ? res.ptr : buf;
    // A value that rounds to zero is written without a sign.
    if (begin != end && *begin == '-' &&
        std::all_of(begin, end, [](char ch) { return ch == '-' || ch == '0' || ch == '.'; }))
        ++begin;
    const auto length = static_cast<int>(end - begin);
    if (length < Width) Out.append(static_cast<std::size_t>(Width - length), ' ');
    Out.append(begin, end);
}

std::string FloatStrPad(int Width, int Decimals, double X) {
    std::string text;
    AppendFloatStrPad(text, Width, Decimals, X);
    return text;
}

std::string FloatStr(int Width, int Decimals, double X) {
    std::string text = FloatStrPad(Width, Decimals, X);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string IntStrZ(std::int32_t Value, int Width) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, Value);
    std::string digits(buf, res.ptr);
    if (static_cast<int>(digits.size()) > Width) return std::string(static_cast<std::size_t>(std::max(Width, 0)), '/');
    digits.insert(0, Width - digits.size(), '0');
    return digits;
}

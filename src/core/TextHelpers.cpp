#include "core/TextHelpers.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>

std::int32_t FileSizeOf(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return -1;
    return st.st_size > INT32_MAX ? -1 : static_cast<std::int32_t>(st.st_size);
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

namespace {

constexpr int FastDecimals = 6;
constexpr std::uint64_t PowersOfTen[FastDecimals + 1] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// X in fixed notation with Decimals digits, rounded to nearest with ties to even, as to_chars
// writes it, for the values of a report: |X| below 10^12 and up to six decimals. The value is
// taken apart exactly (X = m * 2^e), scaled by 10^Decimals in 128-bit integers and rounded
// there, so no digit depends on a rounded product. Returns the end of the text, or nullptr
// when X is outside that range (the caller then asks to_chars).
char* FixedDigits(char* out, double X, int Decimals) {
    if (Decimals < 0 || Decimals > FastDecimals || !(std::fabs(X) < 1e12)) return nullptr;
    const auto bits = std::bit_cast<std::uint64_t>(X);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased != 0) mantissa |= std::uint64_t{1} << 52;
    const int shift = 1075 - (biased != 0 ? biased : 1);  // |X| = mantissa / 2^shift, shift > 0 here
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * PowersOfTen[Decimals];
    std::uint64_t q = 0;  // |X| * 10^Decimals below 10^18
    if (shift < 120) {
        const unsigned __int128 one = 1;
        q = static_cast<std::uint64_t>(scaled >> shift);
        const unsigned __int128 rest = scaled & ((one << shift) - 1);
        const unsigned __int128 half = one << (shift - 1);
        if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    }  // else below 2^-66 after scaling: rounds to 0
    char digits[32];
    char* d = digits + sizeof digits;
    std::uint64_t whole = q / PowersOfTen[Decimals];
    std::uint64_t part = q % PowersOfTen[Decimals];
    for (int i = 0; i < Decimals; ++i) {
        *--d = static_cast<char>('0' + part % 10);
        part /= 10;
    }
    if (Decimals > 0) *--d = '.';
    do {
        *--d = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (std::signbit(X)) *--d = '-';
    return std::copy(d, digits + sizeof digits, out);
}

}  // namespace

void AppendFloatStrPad(std::string& Out, int Width, int Decimals, double X) {
    char buf[700];  // 309 integer digits, the point and 255 decimals
    const char* begin = buf;
    const char* end = FixedDigits(buf, X, Decimals);
    if (end == nullptr) {
        const auto res = std::to_chars(buf, buf + sizeof buf, X, std::chars_format::fixed, Decimals);
        end = res.ec == std::errc() ? res.ptr : buf;
    }
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

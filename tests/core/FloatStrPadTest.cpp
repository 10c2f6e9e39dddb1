// FloatStrPad's own digits (the exact integer rounding of the report's values) against the
// standard library's fixed notation, which it must match character for character.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "core/TextHelpers.h"

namespace {

std::string Reference(int width, int decimals, double x) {
    char buf[700];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    std::string text(buf, res.ptr);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
    return text;
}

int Mismatches(int width, int decimals, double x) {
    const std::string got = FloatStrPad(width, decimals, x);
    const std::string want = Reference(width, decimals, x);
    EXPECT_EQ(got, want) << "decimals " << decimals << ", x " << x;
    return got == want ? 0 : 1;
}

}  // namespace

TEST(FloatStrPadDigits, ReportValuesMatchTheLibrary) {
    int bad = 0;
    for (int d = 0; d <= 5 && bad < 5; ++d)
        for (long v = -40000; v <= 40000 && bad < 5; ++v) {
            bad += Mismatches(8, d, v / 100.0);
            bad += Mismatches(8, d, v / 100.0 - 273.15);
            bad += Mismatches(8, d, v / 10.0);
            bad += Mismatches(9, d, (v * 250 - 9000000) / 100000.0);
        }
}

TEST(FloatStrPadDigits, ExactTiesGoToTheEvenDigit) {
    EXPECT_EQ(FloatStrPad(1, 0, 0.5), "0");
    EXPECT_EQ(FloatStrPad(1, 0, 1.5), "2");
    EXPECT_EQ(FloatStrPad(1, 0, 2.5), "2");
    EXPECT_EQ(FloatStrPad(1, 2, 0.125), "0.12");
    EXPECT_EQ(FloatStrPad(1, 2, 0.375), "0.38");
    EXPECT_EQ(FloatStrPad(1, 1, -0.25), "-0.2");
    int bad = 0;
    for (int d = 0; d <= 4 && bad < 5; ++d)
        for (long v = -20000; v <= 20000 && bad < 5; ++v) bad += Mismatches(6, d, v / 64.0);
}

TEST(FloatStrPadDigits, ZeroAndTinyValuesHaveNoSign) {
    EXPECT_EQ(FloatStrPad(5, 1, -0.0), "  0.0");
    EXPECT_EQ(FloatStrPad(5, 1, -0.04), "  0.0");
    EXPECT_EQ(FloatStrPad(5, 1, -1e-300), "  0.0");
    EXPECT_EQ(FloatStrPad(5, 1, -0.05), " -0.1");
}

TEST(FloatStrPadDigits, RandomDoublesOfEveryMagnitudeMatchTheLibrary) {
    std::mt19937_64 random(20231010);
    int bad = 0;
    for (int i = 0; i < 200000 && bad < 5; ++i) {
        const int d = static_cast<int>(random() % 8);
        double x = std::ldexp(static_cast<double>(random() >> 11) / 9007199254740992.0, static_cast<int>(random() % 100) - 60);
        if (random() & 1) x = -x;
        bad += Mismatches(8, d, x);
        bad += Mismatches(8, d, std::bit_cast<double>(random()));
    }
    bad += Mismatches(5, 2, 1e31) + Mismatches(5, 2, -1e31) + Mismatches(5, 1, 999999999999.95);
    EXPECT_EQ(bad, 0);
}

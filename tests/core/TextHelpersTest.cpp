// File names, file sizes and the fixed-width number formats of the text ('.' in every locale).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "core/TextHelpers.h"
#include "support/Fixtures.h"
#include "support/LocaleGuard.h"

namespace {

TEST(IntStrZTest, ZerosInFrontSlashesWhenTooWide) {
    struct Case {
        std::int32_t value;
        int width;
        const char* expected;
    };
    const Case cases[] = {
        {7, 2, "07"},         {123, 2, "//"},      {2023, 4, "2023"}, {0, 3, "000"},
        {-5, 4, "00-5"},      {-5, 2, "-5"},       {-50, 2, "//"},    {12345, 4, "////"},
        {5, 1, "5"},          {10, 1, "/"},        {5, 0, ""},        {52, 3, "052"},
        {2147483647, 10, "2147483647"}, {-2147483647 - 1, 11, "-2147483648"}, {-2147483647 - 1, 3, "///"},
    };
    for (const Case& c : cases) EXPECT_EQ(IntStrZ(c.value, c.width), c.expected) << c.value << " width " << c.width;
}

struct FloatCase {
    int width, decimals;
    double x;
    const char* trimmed;
    const char* padded;
};

const FloatCase FloatCases[] = {
    {9, 5, 12.3456, "12.34560", " 12.34560"},
    {4, 1, -0.5, "-0.5", "-0.5"},
    {4, 0, 12.0, "12", "  12"},
    {4, 0, 273.4, "273", " 273"},
    {4, 0, 15998.0, "15998", "15998"},     // a longer number is not cut
    {2, 3, 1234.5, "1234.500", "1234.500"},
    {7, 1, 147.04, "147.0", "  147.0"},
    {7, 1, -5.35, "-5.3", "   -5.3"},     // stored as -5.34999...
    {10, 5, 37.6, "37.60000", "  37.60000"},
    {6, 2, -0.126, "-0.13", " -0.13"},
    {0, 2, 1013.25, "1013.25", "1013.25"},
    {8, 3, 0.0, "0.000", "   0.000"},
    {5, 1, 99.96, "100.0", "100.0"},
};

TEST(FloatStrTest, FixedNotationTrimmedAndPadded) {
    for (const FloatCase& c : FloatCases) {
        EXPECT_EQ(FloatStr(c.width, c.decimals, c.x), c.trimmed) << c.x << " " << c.width << ":" << c.decimals;
        EXPECT_EQ(FloatStrPad(c.width, c.decimals, c.x), c.padded) << c.x << " " << c.width << ":" << c.decimals;
    }
}

TEST(FloatStrTest, PointEvenUnderADecimalCommaLocale) {
    TAVIK_DECIMAL_COMMA_LOCALE(comma);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << comma.Name() << " is not in force";
    for (const FloatCase& c : FloatCases) {
        EXPECT_EQ(FloatStr(c.width, c.decimals, c.x), c.trimmed) << comma.Name() << " " << c.x;
        EXPECT_EQ(FloatStrPad(c.width, c.decimals, c.x), c.padded) << comma.Name() << " " << c.x;
    }
    EXPECT_EQ(IntStrZ(1234567, 9), "001234567") << "no digit grouping";
}

TEST(LastPosTest, LastOccurrenceFromOne) {
    struct Case {
        const char* sub;
        const char* s;
        std::size_t expected;
    };
    const Case cases[] = {
        {"aa", "aaa", 2},  {".", "abc", 4},         {".", "a.b.c", 4}, {".", ".cnf", 1},
        {"abc", "ab", 3},  {"/", "/tmp/x/", 7},     {"x", "", 1},      {"bufr", "t.bufr.bufr", 8},
    };
    for (const Case& c : cases) EXPECT_EQ(LastPos(c.sub, c.s), c.expected) << c.sub << " in " << c.s;
}

TEST(FileNameNoExtTest, SplitsOnSlashOnly) {
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"/data/temp.bufr.bin", "temp.bufr"},
        {"temp", "temp"},
        {".cnf", ""},
        {"dir.d/name", "name"},
        {"a/b/", ""},
        {"C:\\data\\temp.bufr.bin", "C:\\data\\temp.bufr"},
        {"C:temp.bin", "C:temp"},
        {"x/y/IUSD40*OKLI?.bufr", "IUSD40*OKLI?"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FileNameNoExt(c.path), c.expected) << c.path;
}

TEST(FileSizeOfTest, SizeOfTheNamedFileItself) {
    TempDir dir;
    EXPECT_EQ(FileSizeOf(dir.Write("empty.bin", {}).string()), 0);
    EXPECT_EQ(FileSizeOf(dir.Write("three.bin", {1, 2, 3}).string()), 3);
    EXPECT_EQ(FileSizeOf((dir.Path() / "absent.bin").string()), -1);
    // '*', '?' and ':' are ordinary characters of a name here: no wildcard search.
    dir.Write("a1.bin", {1});
    EXPECT_EQ(FileSizeOf((dir.Path() / "a?.bin").string()), -1);
    EXPECT_EQ(FileSizeOf((dir.Path() / "*.bin").string()), -1);
    EXPECT_EQ(FileSizeOf(dir.Write("a*b?:c.bin", {1, 2, 3, 4, 5}).string()), 5);
}

TEST(FileSizeOfTest, TooLargeForThirtyTwoBits) {
    TempDir dir;
    const fs::path big = dir.Path() / "big.bin";
    WriteFileBytes(big, {});
    std::error_code ec;
    fs::resize_file(big, 3'000'000'000ull, ec);  // sparse where the file system allows it
    if (ec) GTEST_SKIP() << "cannot make a 3 GB sparse file here: " << ec.message();
    EXPECT_EQ(FileSizeOf(big.string()), -1) << "a size that 32 bits cannot hold is no size";
}

}  // namespace

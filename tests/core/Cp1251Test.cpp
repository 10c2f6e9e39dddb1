// Windows-1251 <-> UTF-8: the line list holds the code page's bytes, messages and sources UTF-8.
#include <gtest/gtest.h>

#include "core/Cp1251.h"

namespace {

TEST(Cp1251Test, RussianTextAndSigns) {
    EXPECT_EQ(Utf8ToCp1251("Тавик"), "\xD2\xE0\xE2\xE8\xEA");
    EXPECT_EQ(Utf8ToCp1251("АЯаяЁё№"), "\xC0\xDF\xE0\xFF\xA8\xB8\xB9");
    EXPECT_EQ(Utf8ToCp1251("октет(ов) 12:0"), "\xEE\xEA\xF2\xE5\xF2(\xEE\xE2) 12:0");
    EXPECT_EQ(Utf8ToCp1251("€—«»"), "\x88\x97\xAB\xBB");
    EXPECT_EQ(Cp1251ToUtf8("\xD2\xE0\xE2\xE8\xEA"), "Тавик");
}

TEST(Cp1251Test, WhatTheCodePageLacks) {
    EXPECT_EQ(Utf8ToCp1251("a中b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("°"), "\xB0");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Cp1251Test, EveryDefinedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(one);
        if (b < 0x80) {
            EXPECT_EQ(utf8, one) << b;
        } else {
            EXPECT_GE(utf8.size(), 2u) << b;
        }
        EXPECT_EQ(Utf8ToCp1251(utf8), one) << b;
    }
}

}  // namespace

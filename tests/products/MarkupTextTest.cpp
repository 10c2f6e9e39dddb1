// Names in the trajectory documents: their encoding and their escaping.
#include <gtest/gtest.h>

#include <string>

#include "products/MarkupText.h"

namespace {

struct NameCase {
    std::string name;
    std::string utf8;
    std::string cp1251;
};

TEST(MarkupTextTest, NamesInEitherEncoding) {
    const NameCase cases[] = {
        {"27612_20240115233000", "27612_20240115233000", "27612_20240115233000"},
        {"Пуск", "Пуск", "\xCF\xF3\xF1\xEA"},                            // a UTF-8 file name
        {"\xCF\xF3\xF1\xEA", "Пуск", "\xCF\xF3\xF1\xEA"},                // station letters in Windows-1251
        {"\xC0\xAF", "АЇ", "\xC0\xAF"},                                  // an overlong '/' is not UTF-8
        {"\xED\xA0\x80", "н\u00A0Ђ", "\xED\xA0\x80"},                          // nor is a surrogate
        {"\xD0", "Р", "\xD0"},                                            // nor a cut sequence
        {"a\xEF\xBF\xBE" "b\xEF\xBF\xBF" "c", "abc", "a?b?c"},          // U+FFFE and U+FFFF
        {"日本", "日本", "??"},                                            // beyond the code page
        {"\x98", "\xEF\xBF\xBD", "\x98"},                                 // the undefined byte
        {"", "", ""},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(NameAsUtf8(c.name), c.utf8) << c.name;
        EXPECT_EQ(NameAsCp1251(c.name), c.cp1251) << c.name;
    }
}

TEST(MarkupTextTest, MarkupCharactersAsEntitiesControlCharactersDropped) {
    struct Case {
        std::string text, escaped;
    };
    const Case cases[] = {
        {"A&B", "A&amp;B"},
        {"<a>&amp;", "&lt;a&gt;&amp;amp;"},
        {std::string("t\tn\nr\r\x01z\0e\x7F!", 12), "tnrze!"},
        {"\"quoted\" 'x'", "\"quoted\" 'x'"},
        {"Пуск \xCF\xF3", "Пуск \xCF\xF3"},
    };
    for (const Case& c : cases) EXPECT_EQ(MarkupEscaped(c.text), c.escaped) << c.text;
}

}  // namespace

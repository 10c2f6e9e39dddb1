// The text tools without a window: the listing's bytes, the word functions, the upper case of the
// code page and the find over a list.
#include <gtest/gtest.h>

#include "core/Cp1251.h"
#include "products/TextSearch.h"

namespace {

std::string W(const char* utf8) { return Utf8ToCp1251(utf8); }

TEST(TextSearch, LinesTextEndsEveryLineWithCrLf) {
    EXPECT_EQ(LinesText({}), "");
    EXPECT_EQ(LinesText({"a", "", "b c"}), "a\r\n\r\nb c\r\n");
    EXPECT_EQ(SelectedLinesText({"a", "b", "c"}, {true, false, true}), "a\r\nc\r\n");
    EXPECT_EQ(SelectedLinesText({"a", "b"}, {false, false}), "");
}

TEST(TextSearch, UpperCaseCoversTheLettersOfTheCodePage) {
    EXPECT_EQ(UpperCp1251(W("ветер Ёлка ёж abc 850.0, ў і ї є ґ")), W("ВЕТЕР ЁЛКА ЁЖ ABC 850.0, Ў І Ї Є Ґ"));
    EXPECT_EQ(UpperCp1251(W("яЯюЮ")), W("ЯЯЮЮ"));
    // Bytes that are no lower-case letters stay.
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string upper = UpperCp1251(all);
    EXPECT_EQ(upper.substr(0, 'a'), all.substr(0, 'a'));
    EXPECT_EQ(UpperCp1251(upper), upper);
    EXPECT_EQ(UpperCp1251("\xB5"), "\xB5");   // micro sign has no capital here
}

struct WordCase {
    const char* text;
    const char* delims;
    int count;
    int secondStart;
    const char* second;
};

TEST(TextSearch, WordFunctions) {
    constexpr WordCase Cases[] = {
        {"", " ", 0, 0, ""},
        {"   ", " ", 0, 0, ""},
        {"one", " ", 1, 0, ""},
        {"one two", " ", 2, 5, "two"},
        {"  one   two  three ", " ", 3, 9, "two"},
        {"850.0, 1000\t5", " ", 2, 8, "1000\t5"},
        {"a,b;c", ",;", 3, 3, "b"},
    };
    for (const WordCase& c : Cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CountWordsIn(c.text, c.delims), c.count);
        EXPECT_EQ(NthWordStart(2, c.text, c.delims), c.secondStart);
        EXPECT_EQ(NthWord(2, c.text, c.delims), c.second);
    }
    EXPECT_EQ(NthWordStart(0, "a b", " "), 0);
    EXPECT_EQ(NthWordStart(1, " a b", " "), 2);
    EXPECT_EQ(NthWord(3, "a b", " "), "");
}

TEST(TextSearch, ContainsWordComparesWholeWordsByteForByte) {
    EXPECT_TRUE(ContainsWord("1000", "1000 0.0", " "));
    EXPECT_TRUE(ContainsWord("0.0", "1000 0.0", " "));
    EXPECT_FALSE(ContainsWord("1000", "10000 0.0", " "));
    EXPECT_FALSE(ContainsWord("850.0", "P 850.0, T", " "));
    EXPECT_FALSE(ContainsWord("a b", "a b", " "));
    EXPECT_FALSE(ContainsWord("", "a b", " "));
}

struct MatchCase {
    const char* line;
    const char* text;
    bool matchCase;
    bool wholeWord;
    bool matches;
};

TEST(TextSearch, LineMatchesByTheOptions) {
    constexpr MatchCase Cases[] = {
        {"ВЕТЕР 10 м/с", "ветер", false, false, true},
        {"ВЕТЕР 10 м/с", "ветер", true, false, false},
        {"ветер 10 м/с", "ветер", true, false, true},
        {"1000 0.0", "1000", false, true, true},
        {"10000 0.0", "1000", false, true, false},
        {"10000 0.0", "1000", false, false, true},
        {"P 850.0, T", "850.0", false, true, false},
        {"P 850.0, T", "850.0", false, false, true},
        {"Высота 850 М", "высота 850", false, true, false},
        {"Высота 850 М", "высота 850", false, false, true},
        {"ЁЛКА", "ёлка", false, true, true},
        {"abc", "xyz", false, false, false},
    };
    for (const MatchCase& c : Cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.text);
        const FindRequest request{.text = W(c.text), .matchCase = c.matchCase, .wholeWord = c.wholeWord};
        EXPECT_EQ(LineMatches(W(c.line), request), c.matches);
    }
}

TEST(TextSearch, FindNeverWrapsAndIncludesItsStart) {
    const LineList lines = {"x", "y", "x", "z"};
    FindRequest down{.text = "x"};
    FindRequest up{.text = "x", .down = false};
    struct Case {
        const FindRequest* request;
        int start;
        FindOutcome::Kind kind;
        int line;
    };
    const Case cases[] = {
        {&down, 0, FindOutcome::Found, 0},   {&down, 1, FindOutcome::Found, 2},
        {&down, 3, FindOutcome::NotFound, -1}, {&down, 4, FindOutcome::Finished, -1},
        {&down, -1, FindOutcome::Finished, -1}, {&up, 3, FindOutcome::Found, 2},
        {&up, 1, FindOutcome::Found, 0},     {&up, -1, FindOutcome::Finished, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + (c.request->down ? " down" : " up"));
        const FindOutcome outcome = FindLine(lines, *c.request, c.start);
        EXPECT_EQ(outcome.kind, c.kind);
        if (c.kind == FindOutcome::Found) {
            EXPECT_EQ(outcome.line, c.line);
        }
    }
    EXPECT_EQ(FindLine({}, down, 0).kind, FindOutcome::Finished);
    const FindRequest none{.text = "q"};
    EXPECT_EQ(FindLine(lines, none, 0).kind, FindOutcome::NotFound);
}

TEST(TextSearch, FindAgainStartsBesideTheLastFound) {
    EXPECT_EQ(FindAgainStart(-1, true), 1);
    EXPECT_EQ(FindAgainStart(-1, false), -1);
    EXPECT_EQ(FindAgainStart(5, true), 6);
    EXPECT_EQ(FindAgainStart(5, false), 4);
    EXPECT_EQ(FindAgainStart(0, false), -1);
}

}  // namespace

// The usage text of the help menu, byte for byte, and the layout rules a reader of it relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/UsageText.h"

namespace {

std::vector<std::string> SplitAtCR(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\r')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

TEST(UsageText, IsTheTenLinesByteForByte) {
    const std::string expected =
        // the first letter is the Cyrillic capital Te (D0 A2), not a Latin T
        "\xD0\xA2авик: декодирование и просмотр аэрологических данных в коде BUFR\r"
        "Использование:\r"
        "Вызов графического интерфейса:\r"
        "\ttavik\r"
        "Вызов графического интерфейса с загрузкой файла:\r"
        "\t tavik bufr-файл\r"
        "Вызов в пакетном режиме, сохранение результата в файл \"bufr-файл.prn\":\r"
        "\ttavik decode bufr-файл <путь для сохранения>\r"
        "Вызов в пакетном режиме, сохранение результата в файл \"станция_выпуск.prn\":\r"
        "\ttavik export bufr-файл <путь для сохранения>";
    EXPECT_EQ(UsageText(), expected);
}

TEST(UsageText, SeparatesTenLinesByCarriageReturnAloneWithNothingAfterTheLast) {
    const std::string& text = UsageText();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\r');
    EXPECT_EQ(SplitAtCR(text).size(), 10u);
}

TEST(UsageText, OpensEveryCommandLineWithATabAndOnlyLineSixWithABlankAfterIt) {
    struct Case {
        int line;        // 1-based
        const char* opening;
    };
    constexpr Case cases[] = {
        {1, "Т"}, {2, "И"}, {3, "В"}, {4, "\ttavik"}, {5, "В"},
        {6, "\t tavik "}, {7, "В"}, {8, "\ttavik decode "}, {9, "В"}, {10, "\ttavik export "},
    };
    const std::vector<std::string> lines = SplitAtCR(UsageText());
    ASSERT_EQ(lines.size(), 10u);
    for (const Case& c : cases) {
        const std::string& line = lines[c.line - 1];
        EXPECT_EQ(line.rfind(c.opening, 0), 0u) << "line " << c.line << ": " << line;
        EXPECT_EQ(line.find('\t') == 0, c.line % 2 == 0 && c.line >= 4) << "line " << c.line;
    }
}

TEST(UsageText, KeepsTheDoubleQuotesAroundTheOutputNamesOfTheBatchLines) {
    const std::vector<std::string> lines = SplitAtCR(UsageText());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_NE(lines[6].find("\"bufr-файл.prn\":"), std::string::npos);
    EXPECT_NE(lines[8].find("\"станция_выпуск.prn\":"), std::string::npos);
}

}  // namespace

// The Russian dump of the section headers, line for line, and the wrapping of the descriptor
// lines at 120 characters of Windows-1251 text.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "core/uBUFRDefs.h"
#include "support/BufrBuilder.h"

namespace {

std::vector<std::string> Cp1251Lines(std::initializer_list<const char*> utf8) {
    std::vector<std::string> lines;
    for (const char* line : utf8) lines.push_back(Utf8ToCp1251(line));
    return lines;
}

std::string Utf8(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += Cp1251ToUtf8(l) + "\n";
    return out;
}

struct Dumped {
    bool ok = false;
    LineList lines;
};

Dumped Dump(const ByteVector& bytes) {
    TBUFRMessage message;
    Dumped d;
    d.lines.push_back("file line");
    if (!message.Parse(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) return d;
    d.ok = message.DumpSections(&d.lines);
    return d;
}

TEST(DumpSectionsTest, LineForLine) {
    struct Case {
        const char* what;
        ByteVector message;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"edition 4 with Section 2 and local data",
         BufrBuilder()
             .Centre(4660)
             .SubCentre(7)
             .UpdateSequence(3)
             .Section2({1, 2, 3, 4, 5, 6})
             .DataCategory(2)
             .IntSubCategory(9)
             .LocalSubCategory(11)
             .MasterTableVersion(13)
             .LocalTableVersion(1)
             .TypicalDate(2023, 5, 7, 12, 0, 0)
             .Section1Local({0xAA, 0xBB})
             .Subsets(3)
             .DataFlags(0xC0)
             .Descriptors({309052, 1001, 205011, 31001})
             .Data(ByteVector{1, 2, 3, 4, 5, 6})
             .Build(),
         Cp1251Lines({"file line",
                      "::::Раздел указателя(0)",
                      "Длина сообщения:71 октет(ов)",
                      "Издание BUFR:4",
                      "::::Раздел идентификации(1)",
                      "Основная таблица:0",
                      "Центр-поставщик:4660",
                      "Подцентр-поставщик:7",
                      "Последовательный номер обновления:3",
                      "Факультативный раздел:+",
                      "Длина необязательного раздела:10 октет(ов)",
                      "Категория данных:2",
                      "Международная подкатегория данных:9",
                      "Национальная подкатегория данных:11",
                      "Номер версии основной таблицы:13",
                      "Номер версии национальной таблицы:1",
                      "Дата и срок:2023-5-7 12:0:0",
                      "Национальные данные в разделе 1:+",
                      "::::Раздел описания данных(3)",
                      "Количество поднаборов данных:3",
                      "Данные наблюдений:+",
                      "Данные сжаты:+",
                      "Количество дескрипторов:4",
                      "Дескрипторы 0:3-09-052 1:0-01-001 2:2-05-011 3:0-31-001",
                      "::::Раздел данных(4)",
                      "Длина раздела данных:10 октет(ов)"})},
        {"standard edition 3",
         BufrBuilder()
             .Edition(3)
             .Centre(89)
             .SubCentre(0)
             .DataCategory(2)
             .LocalSubCategory(0)
             .MasterTableVersion(12)
             .TypicalDate(2007, 11, 20, 18, 5, 44)
             .Observed(false)
             .Descriptors({309052})
             .Data(ByteVector(11, 0))
             .Build(),
         Cp1251Lines({"file line",
                      "::::Раздел указателя(0)",
                      "Длина сообщения:56 октет(ов)",
                      "Издание BUFR:3",
                      "::::Раздел идентификации(1)",
                      "Основная таблица:0",
                      "Центр-поставщик:89",
                      "Подцентр-поставщик:0",
                      "Последовательный номер обновления:0",
                      "Факультативный раздел:-",
                      "Длина необязательного раздела:0 октет(ов)",
                      "Категория данных:2",
                      "Международная подкатегория данных:0",
                      "Национальная подкатегория данных:0",
                      "Номер версии основной таблицы:12",
                      "Номер версии национальной таблицы:0",
                      "Дата и срок:2007-11-20 18:5:0",
                      "Национальные данные в разделе 1:+",
                      "::::Раздел описания данных(3)",
                      "Количество поднаборов данных:1",
                      "Данные наблюдений:-",
                      "Данные сжаты:-",
                      "Количество дескрипторов:1",
                      "Дескрипторы 0:3-09-052",
                      "::::Раздел данных(4)",
                      "Длина раздела данных:16 октет(ов)"})},
        {"edition 4 without local data or descriptors",
         BufrBuilder().Centre(65535).SubCentre(255).TypicalDate(2023, 12, 31, 23, 59, 59).Descriptors({}).Build(),
         Cp1251Lines({"file line",
                      "::::Раздел указателя(0)",
                      "Длина сообщения:45 октет(ов)",
                      "Издание BUFR:4",
                      "::::Раздел идентификации(1)",
                      "Основная таблица:0",
                      "Центр-поставщик:65535",
                      "Подцентр-поставщик:255",
                      "Последовательный номер обновления:0",
                      "Факультативный раздел:-",
                      "Длина необязательного раздела:0 октет(ов)",
                      "Категория данных:2",
                      "Международная подкатегория данных:0",
                      "Национальная подкатегория данных:0",
                      "Номер версии основной таблицы:13",
                      "Номер версии национальной таблицы:0",
                      "Дата и срок:2023-12-31 23:59:59",
                      "Национальные данные в разделе 1:-",
                      "::::Раздел описания данных(3)",
                      "Количество поднаборов данных:1",
                      "Данные наблюдений:+",
                      "Данные сжаты:-",
                      "Количество дескрипторов:0",
                      "Дескрипторы",
                      "::::Раздел данных(4)",
                      "Длина раздела данных:4 октет(ов)"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Dumped d = Dump(c.message);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.lines, c.expected) << "got:\n" << Utf8(d.lines) << "expected:\n" << Utf8(c.expected);
    }
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// A line is closed only once it has grown beyond 120 characters (Windows-1251 bytes), so every
// line but the last is longer than 120, and was not yet so before its last item.
TEST(DumpSectionsTest, DescriptorLinesWrapAfterOneHundredTwentyCharacters) {
    for (std::size_t count : {40u, 10u, 11u, 100u}) {
        SCOPED_TRACE(std::to_string(count) + " descriptors");
        std::vector<std::uint32_t> descriptors;
        std::vector<std::string> items;
        const std::uint32_t kinds[] = {309052, 1001, 205060, 31002, 101000, 12101};
        const char* kindText[] = {"3-09-052", "0-01-001", "2-05-060", "0-31-002", "1-01-000", "0-12-101"};
        for (std::size_t i = 0; i < count; ++i) {
            descriptors.push_back(kinds[i % 6]);
            items.push_back(std::to_string(i) + ":" + kindText[i % 6]);
        }
        const Dumped d = Dump(BufrBuilder().Descriptors(descriptors).Build());
        ASSERT_TRUE(d.ok);
        const std::string label = Utf8ToCp1251("Дескрипторы");
        std::size_t first = 0, end = 0;
        for (std::size_t i = 0; i < d.lines.size(); ++i) {
            if (d.lines[i].rfind(label, 0) == 0) first = i;
            if (d.lines[i] == Utf8ToCp1251("::::Раздел данных(4)")) end = i;
        }
        ASSERT_GT(first, 0u);
        ASSERT_GT(end, first);
        EXPECT_EQ(d.lines[first - 1], Utf8ToCp1251("Количество дескрипторов:" + std::to_string(count)));

        std::vector<std::string> got;
        for (std::size_t i = first; i < end; ++i) {
            const std::string& line = d.lines[i];
            SCOPED_TRACE("line " + Cp1251ToUtf8(line));
            std::vector<std::string> words = Words(line);
            ASSERT_FALSE(words.empty());
            if (i == first) {
                EXPECT_EQ(words.front(), label);
                words.erase(words.begin());
            } else {
                EXPECT_NE(line.front(), ' ') << "a continuation line starts with an item";
            }
            EXPECT_NE(line.back(), ' ');
            if (i + 1 < end) {
                EXPECT_GT(line.size(), 120u);
                ASSERT_FALSE(words.empty());
                EXPECT_LE(line.size() - words.back().size() - 1, 120u) << "closed later than it could be";
            }
            got.insert(got.end(), words.begin(), words.end());
        }
        EXPECT_EQ(got, items) << "every item, complete and in order";
        if (count == 40) {
            EXPECT_GE(end - first, 3u);
        }
        // Ten items of ten characters make 11 + 10 * 11 = 121 characters: the line is complete
        // there, so an eleventh item goes to a second line.
        if (count == 10) {
            EXPECT_EQ(end - first, 1u);
        }
        if (count == 10) {
            EXPECT_EQ(d.lines[first].size(), 121u);
        }
        if (count == 11) {
            EXPECT_EQ(end - first, 2u);
        }
    }
}

TEST(DumpSectionsTest, NothingWhenASectionIsMissing) {
    const ByteVector bytes = BufrBuilder().Build();
    LineList lines{"kept"};

    TBUFRMessage fresh;
    EXPECT_FALSE(fresh.DumpSections(&lines)) << "nothing parsed";

    TBUFRMessage message;
    ASSERT_TRUE(message.Parse(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    EXPECT_FALSE(message.DumpSections(nullptr));
    message.Section1->SectionFlags |= 0x80;  // Section 2 announced but not read
    EXPECT_FALSE(message.DumpSections(&lines));
    message.Section1->SectionFlags &= 0x7F;
    message.Section3->Parsed = false;
    EXPECT_FALSE(message.DumpSections(&lines));
    message.Section3->Parsed = true;
    message.Section4.reset();
    EXPECT_FALSE(message.DumpSections(&lines));

    // A Section 2 that exists from the start but was never read does not count as read.
    TBUFRMessage withSection2(SectionClass<tBUFR_Section0_Indicator>(), SectionClass<tBUFR_Section1_Identification>(),
                              nullptr, SectionClass<tBUFR_Section3_Data_Description>(),
                              SectionClass<tBUFR_Section4_Data>(), true);
    ASSERT_TRUE(withSection2.Parse(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    withSection2.Section1->SectionFlags |= 0x80;
    withSection2.Section2 = std::make_unique<tBUFR_Section2_Optional>(withSection2);
    EXPECT_FALSE(withSection2.DumpSections(&lines));

    EXPECT_EQ(lines, LineList{"kept"});
    TBUFRMessage whole;
    ASSERT_TRUE(whole.Parse(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    EXPECT_TRUE(whole.DumpSections(&lines));
    EXPECT_EQ(lines.size(), 1u + 25u);
}

TEST(DumpSectionsTest, SectionTwoLineFollowsTheLastParse) {
    TBUFRMessage message;
    const ByteVector with = BufrBuilder().Section2({1, 2, 3, 4, 5, 6}).Build();
    const ByteVector without = BufrBuilder().Build();
    const std::string optional = Utf8ToCp1251("Факультативный раздел:");
    const std::string length = Utf8ToCp1251("Длина необязательного раздела:");
    for (int round = 0; round < 2; ++round) {
        LineList lines;
        ASSERT_TRUE(message.Parse(with.data(), static_cast<std::uint32_t>(with.size())));
        ASSERT_TRUE(message.DumpSections(&lines));
        EXPECT_EQ(lines.at(8), optional + "+");
        EXPECT_EQ(lines.at(9), length + "10" + Utf8ToCp1251(" октет(ов)"));
        lines.clear();
        ASSERT_TRUE(message.Parse(without.data(), static_cast<std::uint32_t>(without.size())));
        ASSERT_TRUE(message.DumpSections(&lines));
        EXPECT_EQ(lines.at(8), optional + "-");
        EXPECT_EQ(lines.at(9), Utf8ToCp1251("Длина необязательного раздела:0 октет(ов)"));
    }
}

}  // namespace

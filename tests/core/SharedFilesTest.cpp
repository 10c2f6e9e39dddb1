// Every file of ../shared/fixtures (made with ecCodes) and ../shared/realdata (from real centres)
// is located, parsed and dumped; the dump agrees with the header values that ecCodes decodes,
// as the JSON beside the file records them (the first message of the file).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/FileLoader.h"
#include "core/uBUFRDefs.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;

std::vector<fs::path> SharedFiles() {
    std::vector<fs::path> files = ListBufrFiles(FixturesDir());
    for (const fs::path& f : ListBufrFiles(RealDataDir())) files.push_back(f);
    if (files.empty()) files.push_back(FixturesDir() / "absent");  // one test that explains the skip
    return files;
}

std::string TestName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.parent_path().filename().string() + "_" + info.param.stem().string();
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

// A value of the JSON by its path, absent when any key on the way is missing or null.
std::optional<json> At(const json& j, std::initializer_list<const char*> path) {
    const json* node = &j;
    for (const char* key : path) {
        if (!node->is_object() || !node->contains(key) || (*node)[key].is_null()) return std::nullopt;
        node = &(*node)[key];
    }
    return *node;
}

std::optional<long long> Number(const json& j, std::initializer_list<const char*> path) {
    const auto v = At(j, path);
    if (!v || !v->is_number()) return std::nullopt;
    return v->get<long long>();
}

std::optional<bool> Flag(const json& j, std::initializer_list<const char*> path) {
    const auto v = At(j, path);
    if (!v || !v->is_boolean()) return std::nullopt;
    return v->get<bool>();
}

std::string Cp(const char* utf8) { return Utf8ToCp1251(utf8); }
std::string Sign(bool v) { return v ? "+" : "-"; }

class SharedFileTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(SharedFileTest, ParsesAndDumpsWhatTheJsonSays) {
    const fs::path& file = GetParam();
    TAVIK_REQUIRE_PATH(file);
    const ByteVector content = ReadFileBytes(file);
    const fs::path jsonPath = JsonBeside(file);
    const std::optional<json> j = fs::exists(jsonPath) ? std::optional<json>(LoadJson(jsonPath)) : std::nullopt;

    ByteVector buffer(MessageBufferSize, 0);
    std::uint32_t length = 0;
    ASSERT_TRUE(LoadBUFRFile(file, buffer.data(), length)) << "no message located";
    const auto start = std::search(content.begin(), content.end(), buffer.begin(), buffer.begin() + length);
    ASSERT_NE(start, content.end()) << "the located bytes are not in the file";
    if (j) {
        if (const auto at = Number(*j, {"message_offset"})) {
            EXPECT_EQ(start - content.begin(), *at);
        }
        const auto offset = Number(*j, {"message_offset"}), end = Number(*j, {"message_end"});
        if (offset && end) {
            EXPECT_EQ(length, *end - *offset) << "located length";
        }
        if (const auto size = Number(*j, {"file_size"})) {
            EXPECT_EQ(static_cast<long long>(content.size()), *size);
        }
    }

    TBUFRMessage message;
    bool parsed = false;
    try {
        parsed = message.Parse(buffer.data(), length);
    } catch (const TavikError& e) {
        FAIL() << "Parse raised: " << e.what();
    }
    ASSERT_TRUE(parsed);
    LineList lines;
    ASSERT_TRUE(message.DumpSections(&lines));
    if (!j) return;  // no oracle for this file: parsing and dumping are what can be checked

    // Expected text of each header line; a value the JSON lacks leaves only the label checked.
    const json& d = *j;
    const auto edition = Number(d, {"section0", "edition"}) ? Number(d, {"section0", "edition"}) : Number(d, {"edition"});
    ASSERT_TRUE(edition.has_value()) << "the JSON gives no edition";
    const bool ed4 = *edition >= 4;
    const auto num = [](std::optional<long long> v) { return v ? std::optional<std::string>(std::to_string(*v)) : std::nullopt; };
    const auto octets = [](std::optional<long long> v) {
        return v ? std::optional<std::string>(std::to_string(*v) + Utf8ToCp1251(" октет(ов)")) : std::nullopt;
    };
    const auto sign = [](std::optional<bool> v) { return v ? std::optional<std::string>(Sign(*v)) : std::nullopt; };

    std::optional<bool> section2 = Flag(d, {"section2", "present"});
    if (!section2) section2 = Flag(d, {"section1", "section2_present"});
    std::optional<long long> section2Length = section2 && !*section2 ? 0 : Number(d, {"section2", "length"});

    // Section 1's date as the dump writes it; -1 stands for a value the JSON lacks.
    const long long yearOfCentury = Number(d, {"section1", "typical_year_of_century"}).value_or(-1);
    const long long parts[] = {
        ed4 ? Number(d, {"section1", "typical_year"}).value_or(-1) : (yearOfCentury < 0 ? -1 : 2000 + yearOfCentury),
        Number(d, {"section1", "typical_month"}).value_or(-1),
        Number(d, {"section1", "typical_day"}).value_or(-1),
        Number(d, {"section1", "typical_hour"}).value_or(-1),
        Number(d, {"section1", "typical_minute"}).value_or(-1),
        ed4 ? Number(d, {"section1", "typical_second"}).value_or(-1) : 0,
    };
    std::optional<std::string> date;
    if (std::none_of(std::begin(parts), std::end(parts), [](long long v) { return v < 0; })) {
        date = std::to_string(parts[0]) + "-" + std::to_string(parts[1]) + "-" + std::to_string(parts[2]) + " " +
               std::to_string(parts[3]) + ":" + std::to_string(parts[4]) + ":" + std::to_string(parts[5]);
    }
    std::optional<bool> local;
    if (const auto s1 = Number(d, {"section1", "length"})) local = *s1 > (ed4 ? 22 : 17);
    std::optional<long long> descriptorCount;
    if (const auto octs = Number(d, {"section3", "descriptor_octets"})) descriptorCount = *octs / 2;
    else if (const auto s3 = Number(d, {"section3", "length"})) descriptorCount = (*s3 - 7) / 2;

    struct Expected {
        const char* label;
        std::optional<std::string> value;
    };
    const Expected header[] = {
        {"::::Раздел указателя(0)", ""},
        {"Длина сообщения:", octets(Number(d, {"section0", "total_length"}))},
        {"Издание BUFR:", num(edition)},
        {"::::Раздел идентификации(1)", ""},
        {"Основная таблица:", num(Number(d, {"section1", "master_table"}))},
        {"Центр-поставщик:", num(Number(d, {"section1", "centre"}))},
        {"Подцентр-поставщик:", num(Number(d, {"section1", "sub_centre"}))},
        {"Последовательный номер обновления:", num(Number(d, {"section1", "update_sequence"}))},
        {"Факультативный раздел:", sign(section2)},
        {"Длина необязательного раздела:", octets(section2Length)},
        {"Категория данных:", num(Number(d, {"section1", "data_category"}))},
        {"Международная подкатегория данных:", ed4 ? num(Number(d, {"section1", "int_sub_category"})) : "0"},
        {"Национальная подкатегория данных:", num(Number(d, {"section1", "local_sub_category"}))},
        {"Номер версии основной таблицы:", num(Number(d, {"section1", "master_table_version"}))},
        {"Номер версии национальной таблицы:", num(Number(d, {"section1", "local_table_version"}))},
        {"Дата и срок:", date},
        {"Национальные данные в разделе 1:", sign(local)},
        {"::::Раздел описания данных(3)", ""},
        {"Количество поднаборов данных:", num(Number(d, {"section3", "number_of_subsets"}))},
        {"Данные наблюдений:", sign(Flag(d, {"section3", "observed"}))},
        {"Данные сжаты:", sign(Flag(d, {"section3", "compressed"}))},
        {"Количество дескрипторов:", num(descriptorCount)},
    };
    const std::size_t headerLines = std::size(header);
    ASSERT_GE(lines.size(), headerLines + 3);
    // Our own fixtures have every value; only a real file's JSON may lack some.
    const bool complete = file.parent_path() == FixturesDir();
    for (std::size_t i = 0; i < headerLines; ++i) {
        const std::string label = Cp(header[i].label);
        if (complete) {
            EXPECT_TRUE(header[i].value.has_value()) << "the JSON lacks the value of " << header[i].label;
        }
        if (header[i].value) {
            EXPECT_EQ(Cp1251ToUtf8(lines[i]), Cp1251ToUtf8(label + *header[i].value));
        }
        else EXPECT_EQ(Cp1251ToUtf8(lines[i].substr(0, label.size())), header[i].label);
    }

    // The descriptor lines hold "i:F-XX-YYY" for the unexpanded list, in order.
    std::vector<std::string> items;
    std::size_t i = headerLines;
    for (; i < lines.size() && lines[i] != Cp("::::Раздел данных(4)"); ++i) {
        std::istringstream in(lines[i]);
        for (std::string w; in >> w;)
            if (w != Cp("Дескрипторы")) items.push_back(w);
    }
    if (complete) {
        EXPECT_TRUE(At(d, {"section3", "descriptors"}) && At(d, {"section4", "length"})) << "incomplete JSON";
    }
    if (const auto list = At(d, {"section3", "descriptors"})) {
        std::vector<std::string> expected;
        for (std::size_t k = 0; k < list->size(); ++k) {
            const std::string s = (*list)[k].get<std::string>();
            expected.push_back(std::to_string(k) + ":" + s.substr(0, 1) + "-" + s.substr(1, 2) + "-" + s.substr(3, 3));
        }
        EXPECT_EQ(items, expected);
    }
    if (descriptorCount) {
        EXPECT_EQ(static_cast<long long>(items.size()), *descriptorCount);
    }
    ASSERT_EQ(i + 2, lines.size()) << "the data section closes the dump";
    const auto s4 = octets(Number(d, {"section4", "length"}));
    if (s4) {
        EXPECT_EQ(Cp1251ToUtf8(lines[i + 1]), Cp1251ToUtf8(Cp("Длина раздела данных:") + *s4));
    }

    // The section objects hold the same values.
    if (const auto c = Number(d, {"section1", "centre"})) {
        EXPECT_EQ(message.Section1->Centre, *c);
    }
    if (const auto l = Number(d, {"section1", "length"})) {
        EXPECT_EQ(message.Section1->SectionLength(), *l);
    }
    if (const auto l = Number(d, {"section3", "length"})) {
        EXPECT_EQ(message.Section3->SectionLength(), *l);
    }
    if (section2) {
        EXPECT_EQ(message.Section2 != nullptr, *section2);
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, SharedFileTest, ::testing::ValuesIn(SharedFiles()), TestName);

}  // namespace

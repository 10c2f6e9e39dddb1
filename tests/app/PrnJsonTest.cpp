// The .PRN file of a batch decode read back column by column and compared with the values that
// an independent BUFR library decoded from the same file (the JSON beside it): the path and size
// lines, the section dump, the set lines, and per subset the station, the launch time, the
// coordinates, the level table row by row and the shear table. Numbers agree within the rounding
// of their printed column.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/AppTestHelpers.h"
#include "app/TavikRunner.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;

const std::string UnknownLine = "Часть дескрипторов неизвестна, декодирование прервано!\r\n";

// ---- the .PRN file cut into its parts ----

struct PrnSubset {
    std::string SetLine;
    LineList Lines;  // the report after the set line
};

struct PrnFile {
    std::string PathLine, SizeLine;
    LineList Dump;
    std::vector<PrnSubset> Subsets;
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

PrnFile SplitPrn(const LineList& lines) {
    PrnFile prn;
    if (lines.size() < 2) {
        ADD_FAILURE() << "fewer than two lines";
        return prn;
    }
    prn.PathLine = lines[0];
    prn.SizeLine = lines[1];
    const std::string dumpEnd = W("Длина раздела данных:");
    std::size_t i = 2;
    for (; i < lines.size(); ++i) {
        prn.Dump.push_back(lines[i]);
        if (StartsWith(lines[i], dumpEnd)) break;
    }
    const std::string set = W("Набор ");
    for (++i; i < lines.size(); ++i) {
        if (StartsWith(lines[i], set)) prn.Subsets.push_back({lines[i], {}});
        else if (prn.Subsets.empty()) ADD_FAILURE() << "a line between the dump and the first set line: " << lines[i];
        else prn.Subsets.back().Lines.push_back(lines[i]);
    }
    return prn;
}

// ---- fields of the fixed columns ----

std::string Dash(std::size_t width) { return std::string(width - 1, ' ') + "-"; }

std::string RightTrimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string IntStrZ(long long v, int width) {
    std::string digits = std::to_string(v);
    if (static_cast<int>(digits.size()) > width) return std::string(static_cast<std::size_t>(width), '/');
    return std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
}

// A code field of Bits bits shown in N characters; a missing value shows as N dashes.
std::string CodeText(const json& v, int bits, int n) {
    if (v.is_null() || v.get<long long>() >= (1LL << bits) - 1) return std::string(static_cast<std::size_t>(n), '-');
    return IntStrZ(v.get<long long>(), n);
}

const json& Key(const json& object, const char* key) {
    static const json null;
    const auto it = object.find(key);
    return it == object.end() ? null : *it;
}

// Field is the column of a value: the dash text when Expected is absent, otherwise a number with
// exactly Decimals decimals, right-aligned in the column, within half a unit of its last digit.
void ExpectColumn(const std::string& field, std::optional<double> expected, int decimals, const std::string& what) {
    SCOPED_TRACE(what + " [" + field + "]");
    if (!expected) {
        EXPECT_EQ(field, Dash(field.size()));
        return;
    }
    ASSERT_FALSE(field.empty());
    EXPECT_NE(field.back(), ' ');
    const std::size_t first = field.find_first_not_of(' ');
    ASSERT_NE(first, std::string::npos);
    const std::string number = field.substr(first);
    const std::size_t point = number.find('.');
    if (decimals == 0) EXPECT_EQ(point, std::string::npos);
    else {
        ASSERT_NE(point, std::string::npos);
        EXPECT_EQ(number.size() - point - 1, static_cast<std::size_t>(decimals));
    }
    char* end = nullptr;
    const double printed = std::strtod(number.c_str(), &end);
    EXPECT_EQ(*end, '\0');
    EXPECT_NEAR(printed, *expected, 0.5 * std::pow(10.0, -decimals) + 1e-6);
}

std::optional<double> Value(const json& v) {
    if (v.is_null()) return std::nullopt;
    return v.get<double>();
}


// The flag letters of a 0 08 042 value, most significant bit first.
std::string FlagLetters(std::int64_t flags) {
    static const std::pair<std::int64_t, const char*> letters[] = {
        {0x20000, "S"}, {0x10000, "C"}, {0x8000, "R"}, {0x4000, "M"}, {0x2000, "T"}, {0x1000, "U"},
        {0x800, "W"},   {0x400, "mt"},  {0x200, "tm"}, {0x100, "mu"}, {0x80, "um"},  {0x40, "mw"},
        {0x20, "wm"},   {0x10, "L"},    {0x8, "r"},    {0x4, "F"},    {0x2, "H"},
    };
    if (flags >= 0x3FFFF) return {};
    std::string text;
    for (const auto& [bit, letter] : letters)
        if (flags & bit) text += letter;
    return text;
}

// Failures recorded so far in the running test, so that a broken table is not reported row after
// row to the end.
int FailureCount() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

constexpr int MaxRowFailures = 30;

// ---- the dump ----

void CompareDump(const LineList& dump, const json& j) {
    std::map<std::string, std::string> values;
    std::string descriptors;
    bool inDescriptors = false;
    const std::string descriptorLabel = W("Дескрипторы");
    for (const std::string& line : dump) {
        if (StartsWith(line, "::::")) {
            inDescriptors = false;
            continue;
        }
        if (StartsWith(line, descriptorLabel)) {
            inDescriptors = true;
            descriptors = line.substr(descriptorLabel.size());
            continue;
        }
        if (inDescriptors) {
            descriptors += " " + line;
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            ADD_FAILURE() << "a dump line without a label: " << line;
            continue;
        }
        values[line.substr(0, colon + 1)] = line.substr(colon + 1);
    }
    const auto expect = [&](const char* label, const std::string& value) {
        const auto it = values.find(W(label));
        if (it == values.end()) ADD_FAILURE() << "no dump line " << label;
        else EXPECT_EQ(it->second, W(value)) << label;
    };
    const auto num = [](const json& v) { return std::to_string(v.get<long long>()); };
    const auto sign = [](bool on) { return std::string(on ? "+" : "-"); };
    const json& s1 = j["section1"];
    const json& s3 = j["section3"];
    const int edition = j["edition"].get<int>();
    expect("Длина сообщения:", num(j["section0"]["total_length"]) + " октет(ов)");
    expect("Издание BUFR:", num(j["section0"]["edition"]));
    expect("Основная таблица:", num(s1["master_table"]));
    expect("Центр-поставщик:", num(s1["centre"]));
    expect("Подцентр-поставщик:", num(s1["sub_centre"]));
    expect("Последовательный номер обновления:", num(s1["update_sequence"]));
    expect("Факультативный раздел:", sign(s1["section2_present"].get<bool>()));
    expect("Длина необязательного раздела:", num(j["section2"]["length"]) + " октет(ов)");
    expect("Категория данных:", num(s1["data_category"]));
    expect("Международная подкатегория данных:", edition >= 4 ? num(s1["int_sub_category"]) : "0");
    expect("Национальная подкатегория данных:", num(s1["local_sub_category"]));
    expect("Номер версии основной таблицы:", num(s1["master_table_version"]));
    expect("Номер версии национальной таблицы:", num(s1["local_table_version"]));
    const long long year = edition >= 4 ? s1["typical_year"].get<long long>()
                                        : 2000 + s1["typical_year_of_century"].get<long long>();
    expect("Дата и срок:", std::to_string(year) + "-" + num(s1["typical_month"]) + "-" + num(s1["typical_day"]) + " " +
                               num(s1["typical_hour"]) + ":" + num(s1["typical_minute"]) + ":" +
                               (edition >= 4 ? num(s1["typical_second"]) : "0"));
    expect("Национальные данные в разделе 1:", sign(s1["length"].get<int>() > (edition >= 4 ? 22 : 17)));
    expect("Количество поднаборов данных:", num(s3["number_of_subsets"]));
    expect("Данные наблюдений:", sign(s3["observed"].get<bool>()));
    expect("Данные сжаты:", sign(s3["compressed"].get<bool>()));
    expect("Количество дескрипторов:", std::to_string(s3["descriptor_octets"].get<int>() / 2));
    expect("Длина раздела данных:", num(j["section4"]["length"]) + " октет(ов)");

    std::string expected;
    const json& list = s3["descriptors"];
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string d = list[i].get<std::string>();
        expected += " " + std::to_string(i) + ":" + d.substr(0, 1) + "-" + d.substr(1, 2) + "-" + d.substr(3, 3);
    }
    EXPECT_EQ(descriptors, expected);
}

// ---- one subset's report ----

long FindPrefixed(const LineList& lines, const std::string& prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (StartsWith(lines[i], prefix)) return static_cast<long>(i);
    return -1;
}

// The text after Label in the report, or a failure.
std::optional<std::string> After(const LineList& lines, const char* label) {
    const std::string prefix = W(label);
    const long i = FindPrefixed(lines, prefix);
    if (i < 0) {
        ADD_FAILURE() << "no line " << label;
        return std::nullopt;
    }
    return lines[static_cast<std::size_t>(i)].substr(prefix.size());
}

void CompareStation(const LineList& report, const json& h) {
    const auto text = After(report, "Станция(001001 001002 001011):");
    if (!text) return;
    const long long block = h["block_number"].is_null() ? 127 : h["block_number"].get<long long>();
    const long long station = h["station_number"].is_null() ? 1023 : h["station_number"].get<long long>();
    std::string s = block * 1000 + station > 0 ? IntStrZ(block * 1000 + station, 5) : "";
    if (!h["ship_id"].is_null()) {
        std::string ship = h["ship_id"].get<std::string>();
        ship.resize(std::max<std::size_t>(ship.size(), 9), ' ');  // the file holds it space-padded
        s = s.empty() ? ship : s + " " + ship;
    }
    if (s.empty()) s = "?";
    EXPECT_EQ(RightTrimmed(*text), RightTrimmed(s)) << "station";
}

void CompareLaunch(const LineList& report, const json& h) {
    const auto text = After(report, "Время выпуска(004001 004002 004003 004004 004005):");
    if (!text) return;
    EXPECT_EQ(*text, CodeText(h["time_significance"], 5, 3) + " " + CodeText(h["year"], 12, 4) + "-" +
                         CodeText(h["month"], 4, 2) + "-" + CodeText(h["day"], 6, 2) + " " +
                         CodeText(h["hour"], 5, 2) + ":" + CodeText(h["minute"], 6, 2) + ":" +
                         CodeText(h["second"], 6, 2))
        << "launch time";
}

void CompareCoordinates(const LineList& report, const json& h) {
    const auto found = After(report, "Координаты(005001 006001 007030 007031 007007 033024):");
    if (!found) return;
    const std::string& text = *found;
    ASSERT_GE(text.size(), 40u) << text;
    ExpectColumn(text.substr(0, 9), Value(h["latitude"]), 5, "latitude");
    ExpectColumn(text.substr(9, 11), Value(h["longitude"]), 5, "longitude");
    ExpectColumn(text.substr(20, 7), Value(h["ground_height"]), 1, "ground height");
    ExpectColumn(text.substr(27, 7), Value(h["barometer_height"]), 1, "barometer height");
    // The release height has six columns, its dash text seven.
    const std::size_t releaseWidth = h["release_height"].is_null() ? 7 : 6;
    ExpectColumn(text.substr(34, releaseWidth), Value(h["release_height"]), 0, "release height");
    const json& quality = h["elevation_quality"];
    const bool shown = !quality.is_null() && quality.get<int>() < 15;
    EXPECT_EQ(text.substr(34 + releaseWidth), shown ? " " + std::to_string(quality.get<int>()) : "") << "quality";
}

std::optional<double> Item(const json& table, const char* key, std::size_t i) {
    const json& column = Key(table, key);
    if (column.is_null()) return std::nullopt;  // the template has no such element
    return Value(column.at(i));
}

void CompareLevels(const LineList& report, const json& subset, std::size_t& next) {
    const std::string countLabel = W("Число уровней с данными(031002):");
    const long at = FindPrefixed(report, countLabel);
    ASSERT_GE(at, 0) << "no level count line";
    const std::size_t count = subset["level_count"].get<std::size_t>();
    EXPECT_EQ(report[static_cast<std::size_t>(at)].substr(countLabel.size()), std::to_string(count));
    next = static_cast<std::size_t>(at) + 1;
    if (count == 0) return;
    ASSERT_GE(report.size(), next + 5 + count);
    EXPECT_EQ(report[next + 3], "    t       P      T     Td     H   D     V    dLat     dLon Flags");
    next += 5;
    const json& levels = subset["levels"];
    const int failuresBefore = FailureCount();
    for (std::size_t i = 0; i < count; ++i, ++next) {
        if (FailureCount() - failuresBefore > MaxRowFailures) {
            ADD_FAILURE() << "the rows from " << i << " on are not compared";
            return;
        }
        const std::string& row = report[next];
        SCOPED_TRACE("level " + std::to_string(i) + ": " + row);
        ASSERT_GE(row.size(), 61u);
        const std::optional<double> time = Item(levels, "time", i);
        ExpectColumn(row.substr(0, 5), time && *time >= 0 ? time : std::nullopt, 0, "time");
        const std::optional<double> pressure = Item(levels, "pressure", i);
        ExpectColumn(row.substr(5, 8), pressure ? std::optional(*pressure / 100) : std::nullopt, 2, "pressure");
        const std::optional<double> temp = Item(levels, "temp", i), dew = Item(levels, "dewpoint", i);
        ExpectColumn(row.substr(13, 7), temp ? std::optional(*temp - 273.15) : std::nullopt, 1, "temperature");
        ExpectColumn(row.substr(20, 7), dew ? std::optional(*dew - 273.15) : std::nullopt, 1, "dew point");
        ExpectColumn(row.substr(27, 6), Item(levels, "height", i), 0, "height");
        const std::optional<double> dir = Item(levels, "wind_dir", i), speed = Item(levels, "wind_speed", i);
        if (dir && speed) {
            ExpectColumn(row.substr(33, 4), dir, 0, "wind direction");
            ExpectColumn(row.substr(37, 6), speed, 1, "wind speed");
        } else {
            EXPECT_EQ(row.substr(33, 10), "   -     -") << "wind";
        }
        ExpectColumn(row.substr(43, 8), Item(levels, "dlat", i), 4, "dlat");
        ExpectColumn(row.substr(51, 9), Item(levels, "dlon", i), 4, "dlon");
        EXPECT_EQ(row[60], ' ');
        const json& flags = levels["flags"].at(i);
        EXPECT_EQ(row.substr(61), flags.is_null() ? "" : FlagLetters(flags.get<std::int64_t>() & ~std::int64_t(1)))
            << "flags";
    }
}

void CompareShear(const LineList& report, const json& subset, std::size_t next) {
    const std::string countLabel = W("Число уровней со сдвигом ветра(031001):");
    ASSERT_LT(next, report.size());
    ASSERT_TRUE(StartsWith(report[next], countLabel)) << "the shear count does not follow the level table";
    const std::size_t count = subset["shear_count"].get<std::size_t>();
    EXPECT_EQ(report[next].substr(countLabel.size()), std::to_string(count));
    ++next;
    if (count == 0) return;
    ASSERT_GE(report.size(), next + 5 + count);
    EXPECT_EQ(report[next + 3], W("    t       P     H  1км-  1км+    dLat     dLon Flags"));
    next += 5;
    const json& shear = subset["shear"];
    const int failuresBefore = FailureCount();
    for (std::size_t i = 0; i < count; ++i, ++next) {
        if (FailureCount() - failuresBefore > MaxRowFailures) {
            ADD_FAILURE() << "the rows from " << i << " on are not compared";
            return;
        }
        const std::string& row = report[next];
        SCOPED_TRACE("shear level " + std::to_string(i) + ": " + row);
        ASSERT_GE(row.size(), 49u);
        const std::optional<double> time = Item(shear, "time", i);
        ExpectColumn(row.substr(0, 5), time && *time >= 0 ? time : std::nullopt, 0, "time");
        const std::optional<double> pressure = Item(shear, "pressure", i);
        ExpectColumn(row.substr(5, 8), pressure && *pressure > 0 ? std::optional(*pressure / 100) : std::nullopt, 2,
                     "pressure");
        ExpectColumn(row.substr(13, 6), Item(shear, "height", i), 0, "height");
        ExpectColumn(row.substr(19, 6), Item(shear, "shear_below", i), 1, "shear below");
        ExpectColumn(row.substr(25, 6), Item(shear, "shear_above", i), 1, "shear above");
        ExpectColumn(row.substr(31, 8), Item(shear, "dlat", i), 4, "dlat");
        ExpectColumn(row.substr(39, 9), Item(shear, "dlon", i), 4, "dlon");
        EXPECT_EQ(row[48], ' ');
        const json& flags = shear["flags"].at(i);
        EXPECT_EQ(row.substr(49), flags.is_null() ? "" : FlagLetters(flags.get<std::int64_t>() & 0x3F812)) << "flags";
    }
}

// A subset of 3-09-057 or 3-09-056, which ecCodes lists flat: the WIGOS identifier line and the
// two counts, from the values of its elements.
void CompareHighResolution(const LineList& report, const json& subset) {
    std::map<std::string, json> first;
    std::vector<json> counts;
    for (const json& e : subset["elements"]) {
        const std::string key = e.value("key", "");
        if (key.find("elayedDescriptorReplicationFactor") != std::string::npos) counts.push_back(e["value"]);
        else if (e.contains("descriptor") && !first.count(e["descriptor"].get<std::string>()))
            first[e["descriptor"].get<std::string>()] = e["value"];
    }
    EXPECT_LT(IndexOf(report, W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")), 0);
    const auto part = [&](const char* d) { return first[d].is_null() ? std::string("-") : first[d].dump(); };
    const std::string wigos = part("001125") + "-" + part("001126") + "-" + part("001127") + "-" +
                              first["001128"].get<std::string>();
    EXPECT_GE(IndexOf(report, W("Идентификатор ВИГОС(001125 001126 001127 001128):" + wigos)), 0) << wigos;
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_GE(IndexOf(report, W("Число уровней с данными(031002):" + counts[0].dump())), 0);
    EXPECT_GE(IndexOf(report, W("Число уровней со сдвигом ветра(031001):" + counts[1].dump())), 0);
}

void CompareSubset(const PrnSubset& prn, const json& subset, bool highResolution) {
    const LineList& report = prn.Lines;
    if (highResolution) {
        CompareHighResolution(report, subset);
        return;
    }
    if (subset["template"].is_null()) {
        EXPECT_GE(IndexOf(report, W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")), 0);
        EXPECT_LT(FindPrefixed(report, W("Станция(")), 0);
        return;
    }
    const json& header = subset["header"];
    CompareStation(report, header);
    CompareLaunch(report, header);
    CompareCoordinates(report, header);
    std::size_t next = 0;
    CompareLevels(report, subset, next);
    if (::testing::Test::HasFatalFailure()) return;
    CompareShear(report, subset, next);
}

// Decodes File in batch mode and compares its .PRN with the JSON beside it.
void CompareWithJson(const fs::path& file) {
    SCOPED_TRACE(file.filename().string());
    const json j = LoadJson(JsonBeside(file));
    TempDir out;
    const TavikRun run = RunTavik({"DECODE", file.string(), out.Path().string()}, out.Path());
    EXPECT_EQ(run.Err, "");
    const bool unknown = run.Out == UnknownLine;
    if (!unknown) {
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Status, 0);
    } else {
        EXPECT_EQ(run.Status, 1);
    }
    const fs::path prnFile = out.Path() / (file.filename().string() + ".PRN");
    ASSERT_TRUE(fs::exists(prnFile));
    const PrnFile prn = SplitPrn(ReadCrLfLines(prnFile));

    EXPECT_EQ(prn.PathLine, W(file.lexically_normal().string()));
    EXPECT_EQ(prn.SizeLine, W("Размер файла(Бт):") + std::to_string(j["file_size"].get<long long>()));
    CompareDump(prn.Dump, j);

    const std::size_t n = j["section3"]["number_of_subsets"].get<std::size_t>();
    bool highResolution = false;
    for (const json& d : j["section3"]["descriptors"])
        highResolution = highResolution || d == "309056" || d == "309057";
    // Unknown descriptors end the run after the first subset.
    ASSERT_EQ(prn.Subsets.size(), unknown ? std::min<std::size_t>(n, 1) : n);
    const json& subsets = j["subsets"];
    for (std::size_t k = 0; k < prn.Subsets.size(); ++k) {
        SCOPED_TRACE("subset " + std::to_string(k + 1));
        EXPECT_EQ(prn.Subsets[k].SetLine, W("Набор " + std::to_string(k + 1) + "/" + std::to_string(n) + ":"));
        EXPECT_EQ(FindPrefixed(prn.Subsets[k].Lines, W("Количество неизвестных дескрипторов:")) >= 0, unknown);
        if (k < subsets.size()) CompareSubset(prn.Subsets[k], subsets[k], highResolution);
    }
}

void CompareFolder(const fs::path& dir) {
    int compared = 0;
    for (const fs::path& file : ListBufrFiles(dir)) {
        if (!fs::exists(JsonBeside(file))) continue;
        CompareWithJson(file);
        ++compared;
    }
    EXPECT_GT(compared, 0) << "no file with a JSON in " << dir;
}

TEST(PrnAgainstJson, EveryFixture) {
    TAVIK_REQUIRE_PATH(FixturesDir());
    CompareFolder(FixturesDir());
}

TEST(PrnAgainstJson, EveryRealFile) {
    TAVIK_REQUIRE_PATH(RealDataDir());
    CompareFolder(RealDataDir());
}

}  // namespace

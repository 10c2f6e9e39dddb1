// Report lines of the shared messages, decoded the way the driver decodes them; the expected
// texts are worked out by hand from the values each file holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "support/BufrBuilder.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReportUtf8(const tUAInBound& ua) {
    LineList lines;
    EXPECT_TRUE(ua.WriteReport(&lines));
    Lines utf8;
    for (const std::string& line : lines) utf8.push_back(Cp1251ToUtf8(line));
    return utf8;
}

// Decodes the first subset of a shared file; false (with a failure) when it cannot.
bool DecodeFirst(DecoderHarness& h) {
    if (!h.Loaded() || !h.Parsed()) {
        ADD_FAILURE() << "not loaded or not parsed";
        return false;
    }
    return h.Scan() && h.DecodeNext();
}

const std::string LevelCountLabel = "Число уровней с данными(031002):";
const std::string ShearCountLabel = "Число уровней со сдвигом ветра(031001):";

// The lines from the one that begins with Label (inclusive) to the end.
Lines From(const Lines& lines, const std::string& label) {
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(label, 0) == 0; });
    EXPECT_NE(at, lines.end()) << label;
    return Lines(at, lines.end());
}

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ReportOfSharedFiles, ShipReportWithMissingValues) {
    const fs::path file = FixturesDir() / "temp52_edges.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness h(file);
    ASSERT_TRUE(DecodeFirst(h));
    const Lines lines = ReportUtf8(h.Decoder);
    const Lines head(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(head, (Lines{
                        "Станция(001001 001002 001011):///// UBRS5    ",
                        "Время выпуска(004001 004002 004003 004004 004005):018 2023-10-10 11:14:00",
                        "Координаты(005001 006001 007030 007031 007007 033024): 72.05000   -5.35000    9.0   12.0     9 2",
                        "Оборудование(002011 002013 002014 002003):088 -- 002 03",
                        "Температура водной поверхности(022043):   2.20",
                        "Облачность(008002):08 CM Nh(020011):07 h(020013):2500 CL(020012):0 CM(020012):7 "
                        "CH(020012):\"N=9|CH=/\"",
                    }));
    EXPECT_EQ(h.Decoder.StationText(), "UBRS5    ");
    EXPECT_EQ(h.Decoder.LaunchTimeText(), "20231010111400");

    const Lines levels = From(lines, LevelCountLabel);
    ASSERT_GE(levels.size(), 16u);
    const Lines rows(levels.begin() + 6, levels.begin() + 16);
    EXPECT_EQ(rows, (Lines{
                        "    - 1013.80   -1.0   -7.4     9 247   2.3  0.0000   0.0000 S",
                        "   20 1000.00   -1.8   -8.4   118 252   4.0  0.0002   0.0017 CW",
                        "  121  936.20   -5.1  -11.8   639 270   9.9  0.0010   0.0213 W",
                        "  140  925.00   -5.7  -12.8   733 272   9.8  0.0010   0.0266 ",
                        "  177  904.30   -6.9  -14.1   909 273   9.7  0.0008   0.0373 U",
                        "  279  850.00      -      -  1389 277   8.6  0.0002   0.0646 C",
                        "  347  815.30  -12.4  -18.8  1709 283   7.1 -0.0006   0.0798 W",
                        "  565  700.00  -20.2  -27.7  2854   -     - -0.0032   0.1306 C",
                        "  997  519.50  -34.7  -45.6  5000 278  13.2 -0.0099   0.2668 UW",
                        " 1047  500.00  -36.5  -47.0     - 281  15.1 -0.0111   0.2871 C",
                    }));
    const Lines shear = From(lines, ShearCountLabel);
    EXPECT_EQ(shear, (Lines{
                         "Число уровней со сдвигом ветра(031001):2",
                         std::string(54, '-'),
                         "004086 007004  007-  011-  011-  005015   006015 008042",
                         "                009   061   062",
                         "    t       P     H  1км-  1км+    dLat     dLon Flags",
                         std::string(54, '-'),
                         " 1623  324.60     -   9.3   7.1 -0.0385   0.7733 M",
                         " 5481   10.80     -   1.7   0.7 -0.1614   2.5172 ",
                     }));
}

TEST(ReportOfSharedFiles, PilotOnPressureLevels) {
    const fs::path file = FixturesDir() / "pilot50_ed4.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness h(file);
    ASSERT_TRUE(DecodeFirst(h));
    const Lines lines = ReportUtf8(h.Decoder);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Оборудование(002011 002013 002014 002003):088 -- 002 03");
    EXPECT_EQ(lines[4], LevelCountLabel + "24");
    const Lines levels = From(lines, LevelCountLabel);
    ASSERT_EQ(levels.size(), 6u + 24 + 6 + 3);
    for (std::size_t i = 6; i < 30; ++i) EXPECT_EQ(levels[i].substr(13, 20), "      -      -     -") << levels[i];
}

TEST(ReportOfSharedFiles, EveryMetadataElementOfTheSequence) {
    const fs::path file = FixturesDir() / "temp52_meta.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness h(file);
    ASSERT_TRUE(DecodeFirst(h));
    const Lines meta = From(ReportUtf8(h.Decoder), ShearCountLabel);
    ASSERT_GE(meta.size(), 9u);
    EXPECT_EQ(Lines(meta.begin() + 9, meta.end()),
              (Lines{
                  "Номер наблюдения(001082):284",
                  "Номер зондирования(001083):1",
                  "Идентификация наблюдателей(001095):KVA7",
                  "Наземная система приема сигналов радиозондов(002066):5",
                  "Высота(007007):165.0",
                  "Высота антенны над основанием опоры(002102):12.0",
                  "Поправка к ориентации по азимуту(025065):0.35",
                  "Поправка к ориентации по углу места(025066):-0.12",
                  "Радиопрозрачное укрытие(002103):2",
                  "Метод определения геопотенциальной высоты(002191):2",
                  "ПО, версия(025061):MARL 5.16   ",
                  "Серийный номер радиозонда(001081):MRZ3MK-23101234     ",
                  "Алгоритм поправок для измерений влажности (002017):2",
                  "Несущая частота(002067):403.000",
                  "Тип датчика давления(002095):4",
                  "Тип датчика температуры(002096):1",
                  "Тип датчика влажности(002097):4",
                  "Конфигурация радиозонда(002015):5",
                  "Конфигурация подвески радиозонда(002016):20",
                  "Производитель радиозондовой оболочки(002080):62",
                  "Тип оболочки(002081):30",
                  "Масса оболочки(002082):0.80",
                  "Наполнительная(002083):1",
                  "Газ для наполнения оболочки(002084):0",
                  "Количество газа используемого в радиозондовой оболочке(002085):0.215",
                  "Длина подвеса к оболочке(002086):30.00",
                  "Причина прекращения выпуска(035035):1",
              }));
}

TEST(ReportOfSharedFiles, MetadataLinesOfOperatorsAndTexts) {
    const struct {
        const char* File;
        const char* Line;
    } cases[] = {
        {"temp52_text.bufr", "Текстовая информация:MOSKVA VDNH"},
        {"temp52_text.bufr", "Текстовая информация:VYPUSK 284: OBOLOCHKA 800 G, VODOROD, ZONDIROVANIE DO 10 GPA"},
        {"temp52_op201.bufr", "Поправка к ориентации по азимуту(025065):12.34"},
        {"temp52_op203.bufr", "Поправка к ориентации по азимуту(025065):-15.25"},
    };
    for (const auto& c : cases) {
        const fs::path file = FixturesDir() / c.File;
        TAVIK_REQUIRE_PATH(file);
        DecoderHarness h(file);
        ASSERT_TRUE(DecodeFirst(h)) << c.File;
        EXPECT_TRUE(Contains(ReportUtf8(h.Decoder), c.Line)) << c.File << ": " << c.Line;
    }
}

TEST(ReportOfSharedFiles, UnknownDescriptorsAndNoTemplate) {
    const struct {
        const char* File;
        Lines Head;
    } cases[] = {
        {"temp52_unsupported.bufr",
         {"Количество неизвестных дескрипторов:2", "Станция(001001 001002 001011):27612"}},
        {"synop_no_template.bufr",
         {"Количество неизвестных дескрипторов:1", "Данных 3-09-050, 3-09-051 или 3-09-052 нет"}},
    };
    for (const auto& c : cases) {
        const fs::path file = FixturesDir() / c.File;
        TAVIK_REQUIRE_PATH(file);
        DecoderHarness h(file);
        ASSERT_TRUE(DecodeFirst(h)) << c.File;
        const Lines lines = ReportUtf8(h.Decoder);
        ASSERT_GE(lines.size(), c.Head.size()) << c.File;
        EXPECT_EQ(Lines(lines.begin(), lines.begin() + c.Head.size()), c.Head) << c.File;
        EXPECT_FALSE(Contains(lines, "Сообщение декодировано не полностью")) << c.File;
    }
    DecoderHarness synop(FixturesDir() / "synop_no_template.bufr");
    ASSERT_TRUE(DecodeFirst(synop));
    EXPECT_EQ(ReportUtf8(synop.Decoder).size(), 2u);
    EXPECT_EQ(synop.Decoder.StationText(), "xxxxx");
    EXPECT_EQ(synop.Decoder.LaunchTimeText(), "");
}

TEST(ReportOfSharedFiles, EachOfThreeSubsets) {
    const fs::path file = FixturesDir() / "temp52_3subsets.bufr";
    TAVIK_REQUIRE_PATH(file);
    const struct {
        const char* Station;
        const char* Launch;
        const char* Cloud;
        const char* Shear;
    } subsets[] = {
        {"27612", "20231010110637", "07 CL Nh(020011):06 h(020013): 600 CL(020012):5 CM(020012):0 CH(020012):0", "2"},
        {"26063", "20231010110103",
         "07 CL Nh(020011):08 h(020013): 300 CL(020012):7 CM(020012):\"N=9|CM=/\" CH(020012):\"N=9|CH=/\"", "1"},
        {"34122", "20231010105850", "-- / Nh(020011):00 h(020013):/ CL(020012):0 CM(020012):0 CH(020012):0", "0"},
    };
    DecoderHarness h(file);
    ASSERT_TRUE(h.Loaded() && h.Parsed() && h.Scan());
    for (const auto& s : subsets) {
        ASSERT_TRUE(h.DecodeNext()) << s.Station;
        const Lines lines = ReportUtf8(h.Decoder);
        EXPECT_EQ(h.Decoder.StationText(), s.Station);
        EXPECT_EQ(h.Decoder.LaunchTimeText(), s.Launch);
        EXPECT_TRUE(Contains(lines, std::string("Станция(001001 001002 001011):") + s.Station)) << s.Station;
        EXPECT_TRUE(Contains(lines, std::string("Облачность(008002):") + s.Cloud)) << s.Station;
        EXPECT_TRUE(Contains(lines, ShearCountLabel + s.Shear)) << s.Station;
    }
    EXPECT_EQ(ReportUtf8(h.Decoder).back(), ShearCountLabel + "0");
}

TEST(ReportOfSharedFiles, EmptiedSoundingBetweenSubsets) {
    const fs::path file = FixturesDir() / "temp52_ed4_small.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness h(file);
    ASSERT_TRUE(DecodeFirst(h));
    h.Decoder.Reset(true, false);
    EXPECT_EQ(ReportUtf8(h.Decoder),
              (Lines{
                  "Станция(001001 001002 001011):?",
                  "Время выпуска(004001 004002 004003 004004 004005):--- 0000-00-00 00:00:00",
                  "Координаты(005001 006001 007030 007031 007007 033024):        -          -      -      -     0",
                  "Оборудование(002011 002013 002014 002003):000 -- 000 00",
                  "Облачность(008002):00 CH Nh(020011):00 h(020013):   0 CL(020012):-30 CM(020012):-20 CH(020012):-10",
                  LevelCountLabel + "0",
                  ShearCountLabel + "0",
              }));
    EXPECT_EQ(h.Decoder.StationText(), "xxxxx");
    EXPECT_EQ(h.Decoder.LaunchTimeText(), "20231010120000");
}

TEST(ReportOfBuiltMessages, WalkStoppedBeforeTheTemplate) {
    // 2 02 YYY ends the walk at the first of two entries.
    const ByteVector message = BufrBuilder().Descriptors({202130, 309052}).Data(ByteVector(60, 0)).Build();
    DecoderHarness h(message);
    ASSERT_TRUE(h.Parsed());
    ASSERT_TRUE(h.Scan());
    ASSERT_TRUE(h.DecodeNext());
    const Lines lines = ReportUtf8(h.Decoder);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Станция(001001 001002 001011):?");
    EXPECT_EQ(lines.back(), "Сообщение декодировано не полностью");
    EXPECT_EQ(h.Decoder.StationText(), "xxxxx");
    EXPECT_EQ(h.Decoder.LaunchTimeText(), "20231010120000");  // Section 1's time: nothing was decoded
}

}  // namespace

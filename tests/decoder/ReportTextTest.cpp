// The report text of a decoded sounding, on objects whose values are set directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

namespace {

using Lines = std::vector<std::string>;

template <std::size_t N>
void SetText(char (&field)[N], const std::string& bytes) {
    ASSERT_LT(bytes.size(), N);
    std::memset(field, 0, N);
    std::memcpy(field, bytes.data(), bytes.size());
}

const std::string Ff9(9, '\xFF');

// A decoded 3-09-052 sounding of station 27612 without levels; tests change what they look at.
class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        message.Section1->Parsed = true;
        message.Section1->TypicalYear = 2023;
        message.Section1->TypicalMonth = 10;
        message.Section1->TypicalDay = 10;
        message.Section1->TypicalHour = 12;
        ua.Message = &message;
        ua.HasTemplate = true;
        ua.TemplateFX[0] = 3;
        ua.TemplateFX[1] = 9;
        ua.TemplateKind = 52;
        ua.AllKnown = true;
        ua.EntryCount = 1;
        ua.BlockNumber = 27;
        ua.StationNumber = 612;
        ua.StationIndex = 27612;
        SetText(ua.ShipId, Ff9);
        ua.TimeSignificance = 18;
        ua.Year = 2023;
        ua.Month = 5;
        ua.Day = 17;
        ua.Hour = 11;
        ua.Minute = 15;
        ua.Second = 2;
    }

    // The report in UTF-8, one string a line.
    Lines Report() const {
        LineList lines;
        EXPECT_TRUE(ua.WriteReport(&lines));
        Lines utf8;
        for (const std::string& line : lines) utf8.push_back(Cp1251ToUtf8(line));
        return utf8;
    }

    // The report line that begins with Label, without the label; fails when there is none.
    std::string Value(const std::string& label) const {
        for (const std::string& line : Report())
            if (line.rfind(label, 0) == 0) return line.substr(label.size());
        ADD_FAILURE() << "no line " << label;
        return {};
    }

    bool HasLineStarting(const std::string& label) const {
        const Lines lines = Report();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(label, 0) == 0; });
    }

    // The lines after "Число уровней со сдвигом ветра(031001):..." when there are no shear rows.
    Lines AfterShearCount() const {
        const Lines lines = Report();
        auto at = std::find_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("Число уровней со сдвигом ветра(031001):", 0) == 0; });
        EXPECT_NE(at, lines.end());
        return at == lines.end() ? Lines{} : Lines(at + 1, lines.end());
    }

    TBUFRMessage message;
    tUAInBound ua;
};

// ---- static pieces ----

TEST(FlagsText, LettersOfTheSetBitsInTableOrder) {
    const struct {
        std::int32_t Flags;
        const char* Letters;
    } cases[] = {
        {0x3FFFF, ""},
        {0x7FFFF, ""},
        {0, ""},
        {0x1, ""},
        {0x22000, "ST"},
        {0x600, "mttm"},
        {0x4000, "M"},
        {0x10010, "CL"},
        {0x3FFFE, "SCRMTUWmttmmuummwwmLrFH"},
        {0x1A8, "muumwmr"},
        {0x46, "mwFH"},
    };
    for (const auto& c : cases) EXPECT_EQ(tUAInBound::FlagsText(c.Flags), c.Letters) << std::hex << c.Flags;
}

TEST(CodeText, DigitsBelowAllOnesDashesOtherwise) {
    const struct {
        std::uint32_t V;
        int Bits, N;
        const char* Text;
    } cases[] = {
        {18, 5, 3, "018"},  {30, 5, 3, "030"},   {31, 5, 3, "---"},   {2023, 12, 4, "2023"},
        {4095, 12, 4, "----"}, {4094, 12, 4, "4094"}, {14, 4, 2, "14"}, {15, 4, 2, "--"},
        {255, 4, 2, "--"},  {254, 8, 3, "254"}, {255, 8, 3, "---"},  {0, 1, 1, "0"},
        {1, 1, 1, "-"},     {999, 12, 2, "//"},  {7, 32, 2, "07"},
    };
    for (const auto& c : cases) EXPECT_EQ(tUAInBound::CodeText(c.V, c.Bits, c.N), c.Text) << c.V << "/" << c.Bits;
}

TEST(LabelText, NameAndDescriptorInWindows1251) {
    const struct {
        int Row;
        const char* Label;
    } cases[] = {
        {0, "Серийный номер радиозонда(001081):"},
        {1, "Номер наблюдения(001082):"},
        {6, "Алгоритм поправок для измерений влажности (002017):"},
        {8, "Несущая частота(002067):"},
        {20, "Метод определения геопотенциальной высоты(002191):"},
        {21, "Высота(007007):"},
        {22, "ПО, версия(025061):"},
        {24, "Поправка к ориентации по углу места(025066):"},
        {26, "Наполнительная(002083):"},
        {-1, ""},
        {27, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(tUAInBound::LabelText(c.Row), Utf8ToCp1251(c.Label)) << c.Row;
}

// ---- the station ----

TEST_F(ReportTest, StationLineAndStationText) {
    const struct {
        std::uint8_t Block;
        std::uint16_t Station;
        std::string ShipId;
        const char* Line;
        const char* Text;
    } cases[] = {
        {27, 612, Ff9, "27612", "27612"},
        {27, 612, std::string("\xFF"), "27612", "27612"},  // FF 00 ...: missing, no stray character
        {27, 612, "", "27612", "27612"},
        {27, 612, "UBRS5    ", "27612 UBRS5    ", "27612"},
        {127, 1023, Ff9, "/////", "xxxxx"},
        {127, 1023, "UBRS5    ", "///// UBRS5    ", "UBRS5    "},
        {127, 1023, "UB/RS5", "///// UB/RS5", "xxxxx"},
        {127, 1023, "UB\\RS5", "///// UB\\RS5", "xxxxx"},
        {0, 0, Ff9, "?", "xxxxx"},
        {0, 0, "", "?", "xxxxx"},
        {0, 0, "UBRS5", "UBRS5", "UBRS5"},
        {0, 1, "", "00001", "00001"},
        {99, 1023, "", "/////", "xxxxx"},  // 100023: too wide for five digits
    };
    for (const auto& c : cases) {
        ua.BlockNumber = c.Block;
        ua.StationNumber = c.Station;
        ua.StationIndex = c.Block * 1000 + c.Station;
        SetText(ua.ShipId, c.ShipId);
        EXPECT_EQ(Value("Станция(001001 001002 001011):"), c.Line) << c.Line;
        EXPECT_EQ(ua.StationText(), c.Text) << c.Line;
    }
}

TEST_F(ReportTest, StationAndLaunchTextsWithoutMessageOrTemplate) {
    ua.Message = nullptr;
    EXPECT_EQ(ua.StationText(), "");
    EXPECT_EQ(ua.LaunchTimeText(), "");
    ua.Message = &message;
    ua.HasTemplate = false;
    EXPECT_EQ(ua.StationText(), "xxxxx");
    EXPECT_EQ(ua.LaunchTimeText(), "");
}

// ---- the launch time ----

TEST_F(ReportTest, LaunchLineAndLaunchTimeText) {
    const struct {
        std::uint8_t Significance;
        std::uint16_t Year;
        std::uint8_t Month, Day, Hour, Minute, Second;
        const char* Line;
        const char* Text;  // the Section 1 time 20231010120000 when the launch time is no time
    } cases[] = {
        {18, 2023, 5, 17, 11, 15, 2, "018 2023-05-17 11:15:02", "20230517111502"},
        {31, 2023, 15, 17, 11, 15, 2, "--- 2023----17 11:15:02", "20231010120000"},
        {18, 2024, 2, 29, 0, 0, 0, "018 2024-02-29 00:00:00", "20240229000000"},
        {18, 2023, 2, 29, 0, 0, 0, "018 2023-02-29 00:00:00", "20231010120000"},
        {18, 2000, 2, 29, 23, 59, 59, "018 2000-02-29 23:59:59", "20000229235959"},
        {18, 1900, 2, 29, 12, 0, 0, "018 1900-02-29 12:00:00", "20231010120000"},
        {18, 2023, 4, 31, 12, 0, 0, "018 2023-04-31 12:00:00", "20231010120000"},
        {18, 2023, 12, 31, 24, 0, 0, "018 2023-12-31 24:00:00", "20231010120000"},
        {18, 2023, 12, 31, 12, 60, 0, "018 2023-12-31 12:60:00", "20231010120000"},
        {18, 2023, 12, 31, 12, 0, 60, "018 2023-12-31 12:00:60", "20231010120000"},
        {18, 2023, 0, 1, 12, 0, 0, "018 2023-00-01 12:00:00", "20231010120000"},
        {18, 2023, 1, 0, 12, 0, 0, "018 2023-01-00 12:00:00", "20231010120000"},
        {18, 0, 1, 1, 12, 0, 0, "018 0000-01-01 12:00:00", "20231010120000"},
        {18, 4095, 1, 1, 12, 0, 0, "018 -----01-01 12:00:00", "20231010120000"},  // missing year
        {18, 2023, 1, 63, 31, 63, 63, "018 2023-01--- --:--:--", "20231010120000"},
    };
    for (const auto& c : cases) {
        ua.TimeSignificance = c.Significance;
        ua.Year = c.Year;
        ua.Month = c.Month;
        ua.Day = c.Day;
        ua.Hour = c.Hour;
        ua.Minute = c.Minute;
        ua.Second = c.Second;
        EXPECT_EQ(Value("Время выпуска(004001 004002 004003 004004 004005):"), c.Line);
        EXPECT_EQ(ua.LaunchTimeText(), c.Text) << c.Line;
    }
}

// ---- coordinates, equipment, water temperature ----

TEST_F(ReportTest, CoordinatesLine) {
    const std::string label = "Координаты(005001 006001 007030 007031 007007 033024):";
    ua.Latitude = 55.75;
    ua.Longitude = 37.6;
    ua.GroundHeight = 147.0;
    ua.BarometerHeight = 148.2;
    ua.ReleaseHeight = 147;
    ua.ElevationQuality = 1;
    EXPECT_EQ(Value(label), " 55.75000   37.60000  147.0  148.2   147 1");

    ua.Latitude = -72.05;
    ua.Longitude = -5.35;
    ua.GroundHeight = -9.0;
    ua.ElevationQuality = 14;
    EXPECT_EQ(Value(label), "-72.05000   -5.35000   -9.0  148.2   147 14");

    ua.Latitude = ua.Longitude = ua.GroundHeight = ua.BarometerHeight = ua.ReleaseHeight = MissingValue;
    ua.ElevationQuality = 15;
    EXPECT_EQ(Value(label), "        -          -      -      -      -");
    ua.Latitude = -1.5E30;  // below -1.0E30 is missing as well
    EXPECT_EQ(Value(label), "        -          -      -      -      -");
}

TEST_F(ReportTest, EquipmentLine) {
    const std::string label = "Оборудование(002011 002013 002014 002003):";
    ua.SondeType = 88;
    ua.RadiationCorrection = 6;
    ua.TrackingTechnique = 2;
    ua.EquipmentType = 3;
    EXPECT_EQ(Value(label), "088 06 002 03");
    ua.SondeType = 255;
    ua.RadiationCorrection = 255;
    ua.TrackingTechnique = 127;
    ua.EquipmentType = 15;
    EXPECT_EQ(Value(label), "--- -- --- --");
}

TEST_F(ReportTest, WaterTemperatureOnlyWhenPresent) {
    const std::string label = "Температура водной поверхности(022043):";
    ua.WaterTemp = static_cast<float>(MissingValue);
    EXPECT_FALSE(HasLineStarting(label));
    ua.WaterTemp = 275.35f;
    EXPECT_EQ(Value(label), "   2.20");
    ua.WaterTemp = 263.0f;
    EXPECT_EQ(Value(label), " -10.15");
}

// ---- the cloud line ----

TEST_F(ReportTest, CloudLine) {
    const struct {
        std::uint8_t Significance, Amount;
        double Base;
        std::uint8_t Low, Middle, High;
        const char* Text;
    } cases[] = {
        {7, 6, 600, 35, 20, 10, "07 CL Nh(020011):06 h(020013): 600 CL(020012):5 CM(020012):0 CH(020012):0"},
        {62, 0, MissingValue, 62, 61, 60,
         "62 Ясно Nh(020011):00 h(020013):/ CL(020012):\"N=9|CL=/\" CM(020012):\"N=9|CM=/\" CH(020012):\"N=9|CH=/\""},
        {63, 15, MissingValue, 63, 63, 63,
         "-- / Nh(020011):/ h(020013):/ CL(020012):\"N=/\" CM(020012):\"N=/\" CH(020012):\"N=/\""},
        {8, 7, 2500, 30, 27, 60, "08 CM Nh(020011):07 h(020013):2500 CL(020012):0 CM(020012):7 CH(020012):\"N=9|CH=/\""},
        {0, 9, 0, 39, 29, 19, "00 CH Nh(020011):09 h(020013):   0 CL(020012):9 CM(020012):9 CH(020012):9"},
        {5, 8, -400, 0, 0, 0, "05 9 Nh(020011):08 h(020013):/ CL(020012):-30 CM(020012):-20 CH(020012):-10"},
        {1, 3, 12500, 61, 62, 62, "01  Nh(020011):03 h(020013):12500 CL(020012):31 CM(020012):42 CH(020012):52"},
    };
    for (const auto& c : cases) {
        ua.CloudSignificance = c.Significance;
        ua.CloudAmount = c.Amount;
        ua.CloudBase = c.Base;
        ua.CloudTypeLow = c.Low;
        ua.CloudTypeMiddle = c.Middle;
        ua.CloudTypeHigh = c.High;
        EXPECT_EQ(Value("Облачность(008002):"), c.Text);
    }
}

TEST_F(ReportTest, CloudLineOnlyForTemplate052) {
    for (std::uint8_t kind : {50, 51}) {
        ua.TemplateKind = kind;
        EXPECT_FALSE(HasLineStarting("Облачность(008002):")) << int(kind);
    }
}

// ---- level and shear rows ----

tUALevelRec SurfaceLevel() {
    tUALevelRec r;
    r.Time = 0;
    r.Flags = 0x20000;
    r.Pressure = 99570;
    r.Height = 147;
    r.DLat = 0;
    r.DLon = 0;
    r.Temp = 277.92;
    r.DewPoint = 275.21;
    r.WindDir = 217;
    r.WindSpeed = 2.7;
    return r;
}

TEST_F(ReportTest, LevelRowColumnForColumn) {
    const struct {
        void (*Change)(tUALevelRec&);
        const char* Row;
    } cases[] = {
        {[](tUALevelRec&) {}, "    0  995.70    4.8    2.1   147 217   2.7  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r = tUALevelRec{}; }, "    -       -      -      -     -   -     -       -        - "},
        {[](tUALevelRec& r) { r.Time = -192; }, "    -  995.70    4.8    2.1   147 217   2.7  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.Time = 5704; r.Flags = 0x2010; },
         " 5704  995.70    4.8    2.1   147 217   2.7  0.0000   0.0000 TL"},
        {[](tUALevelRec& r) { r.Pressure = 0; }, "    0    0.00    4.8    2.1   147 217   2.7  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.Pressure = 990; r.Height = 30500; },
         "    0    9.90    4.8    2.1 30500 217   2.7  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.Temp = 213.67; r.DewPoint = MissingValue; },
         "    0  995.70  -59.5      -   147 217   2.7  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.WindSpeed = MissingValue; }, "    0  995.70    4.8    2.1   147   -     -  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.WindDir = MissingValue; }, "    0  995.70    4.8    2.1   147   -     -  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.WindDir = 0; r.WindSpeed = 48.9; },
         "    0  995.70    4.8    2.1   147   0  48.9  0.0000   0.0000 S"},
        {[](tUALevelRec& r) { r.DLat = -0.04549; r.DLon = 1.61094; },
         "    0  995.70    4.8    2.1   147 217   2.7 -0.0455   1.6109 S"},
        {[](tUALevelRec& r) { r.DLat = MissingValue; r.DLon = -12.5; r.Height = MissingValue; r.Flags = 0x3FFFF; },
         "    0  995.70    4.8    2.1     - 217   2.7       - -12.5000 "},
    };
    ua.LevelCount = 1;
    ua.Levels.resize(1);
    for (const auto& c : cases) {
        ua.Levels[0] = SurfaceLevel();
        c.Change(ua.Levels[0]);
        EXPECT_EQ(ua.LevelRowText(0), c.Row);
    }
    EXPECT_EQ(ua.LevelRowText(1), "");
    EXPECT_EQ(ua.LevelRowText(-1), "");
}

TEST_F(ReportTest, ShearRowColumnForColumn) {
    const struct {
        void (*Change)(tUAShearRec&);
        const char* Row;
    } cases[] = {
        {[](tUAShearRec&) {}, " 1840  281.10     -   7.9   7.2  0.0229   0.6151 M"},
        {[](tUAShearRec& r) { r = tUAShearRec{}; }, "    -       -     -     -     -       -        - "},
        {[](tUAShearRec& r) { r.Time = -1; }, "    -  281.10     -   7.9   7.2  0.0229   0.6151 M"},
        {[](tUAShearRec& r) { r.Pressure = 0; }, " 1840       -     -   7.9   7.2  0.0229   0.6151 M"},
        {[](tUAShearRec& r) { r.Pressure = MissingValue; r.Height = 9322; r.Flags = 0x4002; },
         " 1840       -  9322   7.9   7.2  0.0229   0.6151 MH"},
        {[](tUAShearRec& r) { r.ShearBelow = static_cast<float>(MissingValue); r.ShearAbove = 0; },
         " 1840  281.10     -     -   0.0  0.0229   0.6151 M"},
        {[](tUAShearRec& r) { r.DLat = -0.00046; r.DLon = MissingValue; r.Flags = 0x3FFFF; },
         " 1840  281.10     -   7.9   7.2 -0.0005        - "},
    };
    ua.ShearCount = 1;
    ua.ShearLevels.resize(1);
    for (const auto& c : cases) {
        tUAShearRec& r = ua.ShearLevels[0];
        r = tUAShearRec{};
        r.Time = 1840;
        r.Flags = 0x4000;
        r.Pressure = 28110;
        r.DLat = 0.02289;
        r.DLon = 0.6151;
        r.ShearBelow = 7.9f;
        r.ShearAbove = 7.2f;
        c.Change(r);
        EXPECT_EQ(ua.ShearRowText(0), c.Row);
    }
    EXPECT_EQ(ua.ShearRowText(1), "");
    EXPECT_EQ(ua.ShearRowText(-1), "");
}

TEST_F(ReportTest, LevelAndShearTablesWithTheirHeaders) {
    ua.LevelCount = 2;
    ua.Levels = {SurfaceLevel(), SurfaceLevel()};
    ua.Levels[1].Time = 115;
    ua.ShearCount = 1;
    ua.ShearLevels.resize(1);
    const std::string levelRule(67, '-'), shearRule(54, '-');
    const Lines expected = {
        "Число уровней с данными(031002):2",
        levelRule,
        "004086 007004 012101 012103  010- 011- 011-  005015   006015 008042",
        "                              009 001   002",
        "    t       P      T     Td     H   D     V    dLat     dLon Flags",
        levelRule,
        ua.LevelRowText(0),
        "  115  995.70    4.8    2.1   147 217   2.7  0.0000   0.0000 S",
        "Число уровней со сдвигом ветра(031001):1",
        shearRule,
        "004086 007004  007-  011-  011-  005015   006015 008042",
        "                009   061   062",
        "    t       P     H  1км-  1км+    dLat     dLon Flags",
        shearRule,
        "    -       -     -     -     -       -        - ",
    };
    const Lines lines = Report();
    auto at = std::find(lines.begin(), lines.end(), expected.front());
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(Lines(at, lines.end()), expected);

    // Widths in Windows-1251 bytes, where "км" is two characters.
    LineList raw;
    ua.WriteReport(&raw);
    const auto first = std::find(raw.begin(), raw.end(), Utf8ToCp1251(expected.front()));
    ASSERT_NE(first, raw.end());
    const std::size_t widths[] = {67, 67, 43, 66, 67};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(first[1 + i].size(), widths[i]) << i;
    const std::size_t shearWidths[] = {54, 55, 31, 54, 54};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(first[9 + i].size(), shearWidths[i]) << i;
}

TEST_F(ReportTest, NoTableHeadersWithoutRows) {
    const Lines lines = Report();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Число уровней с данными(031002):0");
    EXPECT_EQ(lines[lines.size() - 1], "Число уровней со сдвигом ветра(031001):0");
}

// ---- metadata lines ----

TEST_F(ReportTest, EveryMetadataLineInOrder) {
    ua.ObservationNumber = 284;
    ua.SoundingNumber = 1;
    SetText(ua.ObserverId, "KVA7");
    ua.GroundSystem = 3;
    ua.MetaHeight = 165;
    ua.AntennaHeight = 12;
    ua.AzimuthCorrection = 0.35;
    ua.ElevationCorrection = -0.12;
    ua.Radome = 1;
    ua.HeightMethod = 2;
    SetText(ua.SoftwareVersion, "MARL 5.16   ");
    SetText(ua.SerialNumber, "MRZ3MK-23101234     ");
    SetText(ua.Text11, "MOSKVA VDNH");
    ua.HumidityCorrection = 4;
    ua.CarrierFrequency = 403000000;
    ua.PressureSensor = 5;
    ua.TempSensor = 6;
    ua.HumiditySensor = 7;
    ua.SondeConfig = 8;
    ua.SuspensionConfig = 9;
    ua.BalloonMaker = 10;
    ua.BalloonType = 11;
    ua.BalloonMass = 0.8;
    ua.BalloonShelter = 12;
    ua.GasType = 13;
    ua.GasAmount = 0.215;
    ua.SuspensionLength = 30;
    ua.TerminationReason = 14;
    SetText(ua.Text60, "END OF SOUNDING");
    const Lines expected = {
        "Номер наблюдения(001082):284",
        "Номер зондирования(001083):1",
        "Идентификация наблюдателей(001095):KVA7",
        "Наземная система приема сигналов радиозондов(002066):3",
        "Высота(007007):165.0",
        "Высота антенны над основанием опоры(002102):12.0",
        "Поправка к ориентации по азимуту(025065):0.35",
        "Поправка к ориентации по углу места(025066):-0.12",
        "Радиопрозрачное укрытие(002103):1",
        "Метод определения геопотенциальной высоты(002191):2",
        "ПО, версия(025061):MARL 5.16   ",
        "Серийный номер радиозонда(001081):MRZ3MK-23101234     ",
        "Текстовая информация:MOSKVA VDNH",
        "Алгоритм поправок для измерений влажности (002017):4",
        "Несущая частота(002067):403.000",
        "Тип датчика давления(002095):5",
        "Тип датчика температуры(002096):6",
        "Тип датчика влажности(002097):7",
        "Конфигурация радиозонда(002015):8",
        "Конфигурация подвески радиозонда(002016):9",
        "Производитель радиозондовой оболочки(002080):10",
        "Тип оболочки(002081):11",
        "Масса оболочки(002082):0.80",
        "Наполнительная(002083):12",
        "Газ для наполнения оболочки(002084):13",
        "Количество газа используемого в радиозондовой оболочке(002085):0.215",
        "Длина подвеса к оболочке(002086):30.00",
        "Причина прекращения выпуска(035035):14",
        "Текстовая информация:END OF SOUNDING",
    };
    EXPECT_EQ(AfterShearCount(), expected);
}

TEST_F(ReportTest, MetadataAbsentAfterClearMetadata) { EXPECT_EQ(AfterShearCount(), Lines{}); }

// Each code line appears for 2^width - 2 and not for the all-ones value 2^width - 1 or above.
TEST_F(ReportTest, CodeLinesShownBelowAllOnesOfTheirWidth) {
    const struct {
        const char* Label;
        unsigned Width;
        void (*Set)(tUAReport&, unsigned);
    } cases[] = {
        {"Номер наблюдения(001082):", 14, [](tUAReport& r, unsigned v) { r.ObservationNumber = v; }},
        {"Номер зондирования(001083):", 3, [](tUAReport& r, unsigned v) { r.SoundingNumber = v; }},
        {"Наземная система приема сигналов радиозондов(002066):", 6, [](tUAReport& r, unsigned v) { r.GroundSystem = v; }},
        {"Радиопрозрачное укрытие(002103):", 2, [](tUAReport& r, unsigned v) { r.Radome = v; }},
        {"Метод определения геопотенциальной высоты(002191):", 4, [](tUAReport& r, unsigned v) { r.HeightMethod = v; }},
        {"Алгоритм поправок для измерений влажности (002017):", 5,
         [](tUAReport& r, unsigned v) { r.HumidityCorrection = v; }},
        {"Тип датчика давления(002095):", 5, [](tUAReport& r, unsigned v) { r.PressureSensor = v; }},
        {"Тип датчика температуры(002096):", 5, [](tUAReport& r, unsigned v) { r.TempSensor = v; }},
        {"Тип датчика влажности(002097):", 5, [](tUAReport& r, unsigned v) { r.HumiditySensor = v; }},
        {"Конфигурация радиозонда(002015):", 4, [](tUAReport& r, unsigned v) { r.SondeConfig = v; }},
        {"Конфигурация подвески радиозонда(002016):", 5, [](tUAReport& r, unsigned v) { r.SuspensionConfig = v; }},
        {"Производитель радиозондовой оболочки(002080):", 6, [](tUAReport& r, unsigned v) { r.BalloonMaker = v; }},
        {"Тип оболочки(002081):", 5, [](tUAReport& r, unsigned v) { r.BalloonType = v; }},
        {"Наполнительная(002083):", 4, [](tUAReport& r, unsigned v) { r.BalloonShelter = v; }},
        {"Газ для наполнения оболочки(002084):", 4, [](tUAReport& r, unsigned v) { r.GasType = v; }},
        {"Причина прекращения выпуска(035035):", 5, [](tUAReport& r, unsigned v) { r.TerminationReason = v; }},
    };
    for (const auto& c : cases) {
        const unsigned allOnes = (1u << c.Width) - 1;
        c.Set(ua, allOnes - 1);
        EXPECT_EQ(Value(c.Label), std::to_string(allOnes - 1));
        c.Set(ua, allOnes);
        EXPECT_FALSE(HasLineStarting(c.Label)) << c.Label;
        c.Set(ua, 0);
        EXPECT_EQ(Value(c.Label), "0");
        c.Set(ua, 255);
    }
}

TEST_F(ReportTest, MissingCharacterFieldsGiveNoLine) {
    const std::string allFf[] = {std::string("\xFF\xFF\xFF\xFF"), std::string("\xFF"), std::string()};
    for (const std::string& bytes : allFf) {
        SetText(ua.ObserverId, bytes);
        SetText(ua.SerialNumber, bytes);
        SetText(ua.SoftwareVersion, bytes);
        SetText(ua.Text11, bytes);
        SetText(ua.Text60, bytes);
        EXPECT_EQ(AfterShearCount(), Lines{}) << bytes.size();
    }
    // A leading 0xFF hides the 60 characters, but not the other texts.
    SetText(ua.Text60, "\xFF" "ABC");
    SetText(ua.ObserverId, "\xFF" "AB");
    LineList raw;
    ua.WriteReport(&raw);
    EXPECT_EQ(raw.back(), Utf8ToCp1251("Идентификация наблюдателей(001095):") + "\xFF" "AB");
}

TEST_F(ReportTest, RealLinesAtTheEdgeOfMissing) {
    ua.MetaHeight = -1.0E30;
    ua.AntennaHeight = -0.99E30;
    ua.AzimuthCorrection = 0;
    const Lines lines = AfterShearCount();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("Высота антенны над основанием опоры(002102):", 0), 0u);
    EXPECT_EQ(lines[1], "Поправка к ориентации по азимуту(025065):0.00");
}

// ---- report structure ----

TEST_F(ReportTest, UnknownDescriptorsAndIncompleteDecoding) {
    ua.AllKnown = false;
    ua.UnknownCount = 2;
    ua.Incomplete = true;
    const Lines lines = Report();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Количество неизвестных дескрипторов:2");
    EXPECT_EQ(lines[1], "Станция(001001 001002 001011):27612");
    EXPECT_EQ(lines.back(), "Сообщение декодировано не полностью");
}

TEST_F(ReportTest, ReportLinesInOrderFor052) {
    ua.Latitude = 55.75;
    ua.Longitude = 37.6;
    ua.GroundHeight = 147;
    ua.BarometerHeight = 148.2;
    ua.ReleaseHeight = 147;
    ua.ElevationQuality = 15;
    ua.SondeType = 88;
    ua.RadiationCorrection = 6;
    ua.TrackingTechnique = 2;
    ua.EquipmentType = 3;
    ua.CloudSignificance = 7;
    ua.CloudAmount = 6;
    ua.CloudBase = 600;
    ua.CloudTypeLow = 35;
    ua.CloudTypeMiddle = 20;
    ua.CloudTypeHigh = 10;
    const Lines expected = {
        "Станция(001001 001002 001011):27612",
        "Время выпуска(004001 004002 004003 004004 004005):018 2023-05-17 11:15:02",
        "Координаты(005001 006001 007030 007031 007007 033024): 55.75000   37.60000  147.0  148.2   147",
        "Оборудование(002011 002013 002014 002003):088 06 002 03",
        "Облачность(008002):07 CL Nh(020011):06 h(020013): 600 CL(020012):5 CM(020012):0 CH(020012):0",
        "Число уровней с данными(031002):0",
        "Число уровней со сдвигом ветра(031001):0",
    };
    EXPECT_EQ(Report(), expected);
}

TEST_F(ReportTest, WithoutTemplateOnlyTheUnknownCountAndTheNotice) {
    ua.HasTemplate = false;
    ua.TemplateKind = 0;
    ua.AllKnown = false;
    ua.UnknownCount = 1;
    EXPECT_EQ(Report(), (Lines{"Количество неизвестных дескрипторов:1", "Данных 3-09-050, 3-09-051 или 3-09-052 нет"}));
    ua.AllKnown = true;
    ua.UnknownCount = 0;
    EXPECT_EQ(Report(), (Lines{"Данных 3-09-050, 3-09-051 или 3-09-052 нет"}));
}

TEST_F(ReportTest, AppendsToTheLinesGivenInWindows1251) {
    LineList lines = {"dump"};
    ASSERT_TRUE(ua.WriteReport(&lines));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "dump");
    // "Станция" in Windows-1251.
    EXPECT_EQ(lines[1].substr(0, 7), "\xD1\xF2\xE0\xED\xF6\xE8\xFF");
}

TEST_F(ReportTest, NothingWithoutMessageOrLines) {
    EXPECT_FALSE(ua.WriteReport(nullptr));
    ua.Message = nullptr;
    LineList lines = {"dump"};
    EXPECT_FALSE(ua.WriteReport(&lines));
    EXPECT_EQ(lines, LineList{"dump"});
}

}  // namespace

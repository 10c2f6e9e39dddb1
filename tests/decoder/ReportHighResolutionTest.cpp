// The report of the high-resolution templates: the WIGOS identifier line, the line of the start of
// a descent, the pressure in 0.01 hPa, and the station text that names the exported files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "core/Lines.h"
#include "decoder/UAReport.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

const fs::path DataDir = fs::path(TAVIK_SOURCE_DIR) / "tests" / "decoder" / "data";

struct ReportCase {
    const char* File;
    int Subset;                       // 1-based
    std::vector<const char*> Lines;   // UTF-8; each must be in the report
    std::vector<const char*> Absent;  // UTF-8 beginnings of lines that must not be there
    const char* StationText;
};

const char* const WigosLabel = "Идентификатор ВИГОС(001125 001126 001127 001128):";
const char* const DescentLabel = "Начало спуска(008091 005001 006001 007007):";
const char* const CoordinatesLabel = "Координаты(005001 006001 007030 007031 007007 033024):";
const char* const CloudLabel = "Облачность(008002):";

const ReportCase Cases[] = {
    {"hires57_2subsets.bufr", 1,
     {"Станция(001001 001002 001011):01001", "Идентификатор ВИГОС(001125 001126 001127 001128):0-20000-0-01001",
      "Координаты(005001 006001 007030 007031 007007 033024): 70.93950   -8.66963   10.0   11.0    10",
      "Облачность(008002):08 CM Nh(020011):05 h(020013): 900 CL(020012):5 CM(020012):1 CH(020012):\"N=9|CH=/\"",
      "Серийный номер радиозонда(001081):307 2 00852", "ПО, версия(025061):Sonde 2.1.7",
      "Число уровней с данными(031002):60"},
     {DescentLabel},
     "01001"},
    // No block and station numbers: the WIGOS local identifier names the files before the ship's.
    {"hires57_2subsets.bufr", 2,
     {"Станция(001001 001002 001011):///// LRYQE3U", "Идентификатор ВИГОС(001125 001126 001127 001128):0-20000-0-DBBH"},
     {},
     "DBBH"},
    {"hires56_descent.bufr", 1,
     {"Идентификатор ВИГОС(001125 001126 001127 001128):0-20000-0-01001",
      "Начало спуска(008091 005001 006001 007007):004 71.30211   -7.93301 29870", "Число уровней с данными(031002):80"},
     {CoordinatesLabel, CloudLabel},
     "01001"},
    // A descent without its start and without a WIGOS identifier.
    {"hires56_nostart.bufr", 1,
     {"Начало спуска(008091 005001 006001 007007):---        -          -      -"},
     {WigosLabel, CoordinatesLabel},
     "01001"},
};

LineList ReportOf(DecoderHarness& h, int subset) {
    EXPECT_TRUE(h.Scan());
    for (int i = 0; i < subset; ++i) EXPECT_TRUE(h.DecodeNext());
    LineList lines;
    EXPECT_TRUE(h.Decoder.WriteReport(&lines));
    return lines;
}

// A line of the report, the blanks that pad its character fields aside.
bool HasLine(const LineList& lines, const std::string& line) {
    return std::any_of(lines.begin(), lines.end(), [&](std::string l) {
        while (!l.empty() && l.back() == ' ') l.pop_back();
        return l == line;
    });
}

bool HasLineStarting(const LineList& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

TEST(ReportHighResolution, LinesOfTheNewTemplates) {
    for (const ReportCase& c : Cases) {
        SCOPED_TRACE(std::string(c.File) + " subset " + std::to_string(c.Subset));
        DecoderHarness h(DataDir / c.File);
        ASSERT_TRUE(h.Loaded() && h.Parsed());
        const LineList lines = ReportOf(h, c.Subset);
        for (const char* line : c.Lines) EXPECT_TRUE(HasLine(lines, Utf8ToCp1251(line))) << line;
        for (const char* start : c.Absent) EXPECT_FALSE(HasLineStarting(lines, Utf8ToCp1251(start))) << start;
        EXPECT_EQ(h.Decoder.StationText(), c.StationText);
        EXPECT_EQ(h.Decoder.LaunchTimeText(), "20260106051128");
    }
}

// The level table keeps its columns; the pressure of 2 07 001 shows its last digit (0.01 hPa).
TEST(ReportHighResolution, LevelRowShowsThePressureToTheHundredth) {
    DecoderHarness h(DataDir / "hires56_nostart.bufr");
    ASSERT_TRUE(h.Loaded() && h.Parsed());
    ReportOf(h, 1);
    EXPECT_EQ(h.Decoder.Levels[1].Pressure, 1764.0);
    EXPECT_EQ(h.Decoder.LevelRowText(1).substr(0, 13), "    2   17.64");
    // Level 3 lost its pressure and height: dashes in their columns.
    EXPECT_EQ(h.Decoder.LevelRowText(3).substr(0, 13), "    6       -");
}

}  // namespace

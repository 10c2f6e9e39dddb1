// The KML document of the trajectory: its bytes, the choice of levels and the names in it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "products/TrajectoryKml.h"
#include "products/TestSoundings.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

const std::string Head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\" "
    "xmlns:gx=\"http://www.google.com/kml/ext/2.2\" xmlns:kml=\"http://www.opengis.net/kml/2.2\" "
    "xmlns:atom=\"http://www.w3.org/2005/Atom\">\n";

std::string CoordinatesOf(const std::string& kml) {
    return Between(kml, "<coordinates>", "</coordinates>");
}

// The third value of every point: the tests give each level a height that names it.
std::vector<std::string> HeightsOf(const std::string& kml) {
    std::vector<std::string> heights;
    std::istringstream points(CoordinatesOf(kml));
    std::string point;
    while (points >> point) heights.push_back(point.substr(point.rfind(',') + 1));
    return heights;
}

TEST(TrajectoryKmlTest, DocumentBytes) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6166667, 150,
                {{0, 150, 0, 0}, {12, 1523.46, -0.00567, 0.01234}, {30, 2000.04, -0.01, 0.02}});
    const std::string expected =
        Head +
        "<Placemark><name>Полет радиозонда АЭ27612_20240115233000:27612</name>\n"
        "<LookAt><longitude>37.616667</longitude><latitude>55.750000</latitude><altitude>15000</altitude>"
        "<range>15000</range><tilt>30</tilt><heading>0</heading></LookAt>\n"
        "<Style><LineStyle><color>ff7f00ff</color></LineStyle><PolyStyle><color>45ff55ff</color></PolyStyle>"
        "</Style>\n"
        "<LineString><extrude>1</extrude><tesselate>2</tesselate><altitudeMode>absolute</altitudeMode>"
        "<coordinates>37.629007,55.744330,1523.5 37.636667,55.740000,2000.0 </coordinates></LineString>"
        "</Placemark></kml>";
    EXPECT_EQ(TrajectoryKml(sounding, "27612_20240115233000", "27612.BIN"), expected);
}

TEST(TrajectoryKmlTest, LevelsTakenAboutEveryTenSeconds) {
    struct Case {
        const char* what;
        std::vector<double> times;
        std::vector<std::string> taken;  // the times of the levels that become points
    };
    const Case cases[] = {
        {"launch and a mixed ascent", {0, 5, 11, 20, 22, 33}, {"5.0", "20.0", "33.0"}},
        {"exactly 10.0 s is too soon, 10.5 s is not", {1, 11, 11.5}, {"1.0", "11.5"}},
        {"any first time above 0", {0.1, 10.1, 10.7}, {"0.1", "10.7"}},
        {"measured from the last point, not the last level", {5, 9, 13, 16}, {"5.0", "16.0"}},
        {"stored order, an earlier time later on is skipped", {15, 30, 20, 41}, {"15.0", "30.0", "41.0"}},
        {"missing and negative times never", {MissingValue, -5, 0, 3}, {"3.0"}},
        {"no time above 0", {0, MissingValue, -1}, {}},
    };
    for (const Case& c : cases) {
        std::vector<LevelSpec> levels;
        // The height of a level is its time (an easy name to read back).
        for (const double t : c.times) levels.push_back({t, IsMissing(t) ? 9999 : t, 0.001, 0.002});
        tUAInBound sounding;
        SetSounding(sounding, 55.75, 37.6, 150, levels);
        EXPECT_EQ(HeightsOf(TrajectoryKml(sounding, "b", "f.bin")), c.taken) << c.what;
    }
}

TEST(TrajectoryKmlTest, EmptyTrajectoryStillGivesTheWholeDocument) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6, 150, {{0, 150, 0, 0}});
    const std::string kml = TrajectoryKml(sounding, "b", "f.bin");
    EXPECT_NE(kml.find("<coordinates></coordinates></LineString></Placemark></kml>"), std::string::npos);
    EXPECT_TRUE(kml.ends_with("</kml>"));
    EXPECT_EQ(kml.rfind(Head, 0), 0u);
}

// A level the time rule takes but that has no height or no position writes no point, and the next
// level is still measured from its time.
TEST(TrajectoryKmlTest, TakenLevelWithoutHeightOrPositionWritesNoPoint) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6, 150,
                {{5, MissingValue, 0.1, 0.1},
                 {12, 1200, 0.1, 0.1},  // 7 s after the level at 5 s
                 {16, 1600, 0.1, 0.1},
                 {30, 3000, MissingValue, 0.1},
                 {45, 4500, 0.1, MissingValue},
                 {50, 5000, 0.1, 0.1},  // 5 s after the level at 45 s
                 {60, 6000, 0.1, 0.1}});
    const std::string kml = TrajectoryKml(sounding, "b", "f.bin");
    EXPECT_EQ(HeightsOf(kml), (std::vector<std::string>{"1600.0", "6000.0"}));
    EXPECT_EQ(kml.find("e+"), std::string::npos);
    EXPECT_EQ(kml.find("000000000"), std::string::npos) << "a missing value written as a number";
}

TEST(TrajectoryKmlTest, NumbersThatRoundToZeroHaveNoMinusSign) {
    tUAInBound sounding;
    SetSounding(sounding, -0.0000004, -0.0000001, 0, {{5, -0.04, 0.0000002, -0.0000003}});
    const std::string kml = TrajectoryKml(sounding, "b", "f.bin");
    EXPECT_NE(kml.find("<longitude>0.000000</longitude><latitude>0.000000</latitude>"), std::string::npos);
    EXPECT_EQ(CoordinatesOf(kml), "0.000000,0.000000,0.0 ");
}

TEST(TrajectoryKmlTest, NamesAreUtf8AndSafeAsContent) {
    struct Case {
        const char* baseName;
        const char* fileName;
        const char* name;  // after the fixed words
    };
    const Case cases[] = {
        {"27612_20240115233000", "/data/soundings/27612.BIN", "27612_20240115233000:27612"},
        {"A&B.bin_1", "A&B.bin", "A&amp;B.bin_1:A&amp;B"},
        {"<x>", "dir.v2/a<b>.c.bufr", "&lt;x&gt;:a&lt;b&gt;.c"},
        {"tab\there\x7F", "new\nline.bin", "tabhere:newline"},
        {"\xD0\xF3\xF1\xFC_1", "Пуск.bin", "Русь_1:Пуск"},  // station letters in Windows-1251, a UTF-8 file name
        {"", "", ":"},
    };
    for (const Case& c : cases) {
        tUAInBound sounding;
        SetSounding(sounding, 55.75, 37.6, 150, {});
        const std::string kml = TrajectoryKml(sounding, c.baseName, c.fileName);
        EXPECT_EQ(Between(kml, "<name>Полет радиозонда АЭ", "</name>"), c.name) << c.fileName;
    }
}

// Writes the document and asks xmllint whether it is well-formed XML.
void ExpectWellFormed(const std::string& kml) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
    TempDir dir;
    const fs::path file = dir.Path() / "track.kml";
    WriteFileBytes(file, ByteVector(kml.begin(), kml.end()));
    const std::string command = "xmllint --noout '" + file.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << kml.substr(0, 600);
}

TEST(TrajectoryKmlTest, HighResolutionSoundingGivesWellFormedKml) {
    const fs::path file = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Loaded() && harness.Parsed());
    ASSERT_TRUE(harness.Scan());
    ASSERT_TRUE(harness.DecodeNext());
    const tUAInBound& sounding = harness.Decoder;
    ASSERT_GT(sounding.LevelCount, 100);
    const std::string kml = TrajectoryKml(sounding, sounding.StationText() + "_" + sounding.LaunchTimeText(),
                                          file.string());
    EXPECT_GT(HeightsOf(kml).size(), 10u);
    ExpectWellFormed(kml);
}

TEST(TrajectoryKmlTest, NamesWithMarkupCharactersStillGiveWellFormedKml) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6, 150, {{5, 500, 0.01, 0.01}});
    ExpectWellFormed(TrajectoryKml(sounding, "A&B<\x01>\xC0", "/tmp/A&B.bin"));
}

}  // namespace

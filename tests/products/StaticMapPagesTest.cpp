// The Google and Yandex static-map pages: their bytes, the choice of levels, the Yandex step and
// its stop, and the encoded path read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/TextHelpers.h"
#include "products/StaticMapPages.h"
#include "products/TestSoundings.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

// "Полет радиозонда " in Windows-1251.
const std::string FlightWords = "\xCF\xEE\xEB\xE5\xF2 \xF0\xE0\xE4\xE8\xEE\xE7\xEE\xED\xE4\xE0 ";
const std::string StationWords = "\xC0\xDD ";  // "АЭ "

std::string EncodedPathOf(const std::string& page) {
    return Between(page, "|enc:", ">\r\n");
}

// The level points of a Yandex page, "longitude,latitude" each, the launch site left out.
std::vector<std::string> YandexPointsOf(const std::string& page) {
    const std::string list = Between(page, "?l=map&pl=", ">\r\n");
    std::vector<std::string> values;
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = list.find(',', from);
        values.push_back(list.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    std::vector<std::string> points;
    for (std::size_t i = 2; i + 1 < values.size(); i += 2) points.push_back(values[i] + "," + values[i + 1]);
    return points;
}

TEST(GoogleStaticMapPageTest, PageBytes) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6, 150, {{0, 150, 0, 0}, {60, 350, 0.01, 0.02}});
    const std::string expected =
        "<html lang=\"ru\"><head><title>" + FlightWords +
        "27612_20240115233000:27612</title></head><body>\r\n"
        "<img src=http://maps.googleapis.com/maps/api/staticmap?size=750x750&sensor=false&markers=label:0|"
        "55.75000,37.60000&path=color:0x0000FF80|weight:5|enc:otgsI_wndFo}@_|B>\r\n"
        "</body></html>\r\n";
    EXPECT_EQ(GoogleStaticMapPage(sounding, "27612_20240115233000", "/data/27612.BIN"), expected);
}

TEST(GoogleStaticMapPageTest, LevelsTakenEvery200MetresFromTheLastOne) {
    struct Case {
        const char* what;
        double groundHeight;
        std::vector<double> heights;
        std::vector<double> taken;  // DLat of the points after the launch site = height / 1e5
    };
    const Case cases[] = {
        {"200.0 m is enough, 199.9 m is not", 100, {299.9, 300, 499.9, 500}, {300, 500}},
        {"measured from the last point", 0, {150, 250, 390, 460}, {250, 460}},
        {"missing heights never", 0, {MissingValue, 300, MissingValue, 600}, {300, 600}},
        {"without ground height the first height is a point", MissingValue, {MissingValue, 20, 100, 220}, {20, 220}},
        {"nothing 200 m above the ground", 150, {150, 300, 349}, {}},
        {"no levels", 150, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<LevelSpec> levels;
        for (const double h : c.heights) levels.push_back({0, h, IsMissing(h) ? 0.5 : h / 1e5, 0});
        tUAInBound sounding;
        SetSounding(sounding, 10, 20, c.groundHeight, levels);
        const std::vector<double> values = DecodePolyline(EncodedPathOf(GoogleStaticMapPage(sounding, "b", "f")));
        ASSERT_EQ(values.size(), 2 + 2 * c.taken.size()) << c.what;
        EXPECT_DOUBLE_EQ(values[0], 10) << c.what;
        EXPECT_DOUBLE_EQ(values[1], 20) << c.what;
        double lastDLat = 0;
        for (std::size_t k = 0; k < c.taken.size(); ++k) {
            EXPECT_NEAR(values[2 + 2 * k], c.taken[k] / 1e5 - lastDLat, 1e-9) << c.what << " point " << k;
            lastDLat = c.taken[k] / 1e5;
        }
    }
}

// A level the height rule takes but without a position writes no point; the next one is 200 m
// above it and its change is measured from the last point written.
TEST(GoogleStaticMapPageTest, TakenLevelWithoutPositionWritesNoPoint) {
    tUAInBound sounding;
    SetSounding(sounding, 55.75, 37.6, 0,
                {{0, 200, 0.01, 0.02},
                 {0, 400, MissingValue, 0.03},
                 {0, 500, 0.9, 0.9},  // 100 m above the level without position
                 {0, 650, 0.04, MissingValue},
                 {0, 850, 0.05, 0.07}});
    const std::vector<double> values = DecodePolyline(EncodedPathOf(GoogleStaticMapPage(sounding, "b", "f")));
    const std::vector<double> expected = {55.75, 37.6, 0.01, 0.02, 0.04, 0.05};
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(values[i], expected[i], 1e-9) << i;
}

TEST(GoogleStaticMapPageTest, LaunchSiteOutOfRangeIsAnError) {
    tUAInBound sounding;
    SetSounding(sounding, MissingValue, 37.6, 0, {});
    EXPECT_THROW(GoogleStaticMapPage(sounding, "b", "f"), TavikError);
}

TEST(GoogleStaticMapPageTest, EncodedPathReadsBackToEveryPoint) {
    // Changes of every size and sign, across the zero meridian and the equator.
    std::vector<LevelSpec> levels;
    for (int i = 1; i <= 150; ++i) {
        const double dLat = 0.3 * std::sin(i * 0.7) - 0.000004 * i;
        const double dLon = -0.6 + 1.7 * std::cos(i * 1.3) + (i % 7 == 0 ? 0.00001 : 0.0);
        levels.push_back({double(i), 250.0 * i, dLat, dLon});
    }
    tUAInBound sounding;
    SetSounding(sounding, 0.123456, -0.2, 0, levels);
    const std::vector<double> values = DecodePolyline(EncodedPathOf(GoogleStaticMapPage(sounding, "b", "f")));
    ASSERT_EQ(values.size(), 2 + 2 * levels.size());
    EXPECT_NEAR(values[0], 0.123456, 1e-5);
    EXPECT_NEAR(values[1], -0.2, 1e-5);
    // Each point after the first is the change since the one before, rounded by itself.
    double lastDLat = 0, lastDLon = 0;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        EXPECT_NEAR(values[2 + 2 * k], levels[k].dLat - lastDLat, 1e-5) << k;
        EXPECT_NEAR(values[3 + 2 * k], levels[k].dLon - lastDLon, 1e-5) << k;
        lastDLat = levels[k].dLat;
        lastDLon = levels[k].dLon;
    }
}

TEST(GoogleStaticMapPageTest, HighResolutionSoundingReadsBack) {
    const fs::path file = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Loaded() && harness.Parsed() && harness.Scan() && harness.DecodeNext());
    const tUAInBound& sounding = harness.Decoder;
    const std::string page = GoogleStaticMapPage(sounding, "base", file.string());
    const std::string address = Between(page, "<img src=", "|enc:");
    EXPECT_EQ(address, "http://maps.googleapis.com/maps/api/staticmap?size=750x750&sensor=false&markers=label:0|" +
                           FloatStr(9, 5, sounding.Latitude) + "," + FloatStr(10, 5, sounding.Longitude) +
                           "&path=color:0x0000FF80|weight:5");
    const std::vector<double> values = DecodePolyline(EncodedPathOf(page));
    ASSERT_GT(values.size(), 20u);
    EXPECT_NEAR(values[0], sounding.Latitude, 1e-5);
    EXPECT_NEAR(values[1], sounding.Longitude, 1e-5);
    // Positions decoded from BUFR are whole multiples of 1e-5 degrees, so each change is encoded
    // without rounding and the summed changes come back onto the levels' positions, in order.
    double lat = 0, lon = 0;
    int next = 0;  // the level after the last one matched
    for (std::size_t i = 2; i + 1 < values.size(); i += 2) {
        lat += values[i];
        lon += values[i + 1];
        while (next < sounding.LevelCount && !(std::fabs(sounding.Levels[next].DLat - lat) <= 1e-5 &&
                                               std::fabs(sounding.Levels[next].DLon - lon) <= 1e-5))
            ++next;
        ASSERT_LT(next, sounding.LevelCount) << "point " << i / 2 << " at " << lat << "," << lon;
        ++next;
    }
    EXPECT_TRUE(page.ends_with(">\r\n</body></html>\r\n"));
}

TEST(YandexStaticMapPageTest, PageBytes) {
    tUAInBound sounding;
    sounding.StationIndex = 1234;
    SetSounding(sounding, 55.75, 37.6, 150, {{0, 150, 0, 0}, {60, 400, 0.01, 0.02}, {90, 560, -0.0123456, 0.5}});
    const std::string expected =
        "<html lang=\"ru\"><head><title>" + FlightWords + StationWords +
        "1234:27612</title></head><body>\r\n"
        "<img src=http://static-maps.yandex.ru/1.x/?l=map&pl=37.60000,55.75000,37.62000,55.76000,38.10000,55.73765>\r\n"
        "</body></html>\r\n";
    const YandexPage page = YandexStaticMapPage(sounding, "27612.BIN");
    EXPECT_EQ(page.bytes, expected);
    EXPECT_FALSE(page.incomplete);
}

TEST(YandexStaticMapPageTest, HeightStep) {
    struct Case {
        double groundHeight;
        std::vector<double> heights;
        double step;
    };
    const Case cases[] = {
        {150, {150, 5000, 30150}, 30000.0 / 99},
        {150, {150, 5000}, 100},
        {0, {14850}, 150},
        {MissingValue, {100, 5000}, 200},
        {150, {5000, MissingValue}, 200},
        {150, {5000, 150}, 200},
        {150, {5000, 100}, 200},
        {150, {}, 200},
    };
    for (const Case& c : cases) {
        std::vector<LevelSpec> levels;
        for (const double h : c.heights) levels.push_back({0, h, 0, 0});
        tUAInBound sounding;
        SetSounding(sounding, 55.75, 37.6, c.groundHeight, levels);
        EXPECT_DOUBLE_EQ(YandexHeightStep(sounding), c.step) << c.groundHeight << " " << c.heights.size();
    }
}

TEST(YandexStaticMapPageTest, LevelsTakenOneStepAboveTheLastOne) {
    struct Case {
        const char* what;
        double groundHeight;
        std::vector<double> heights;
        std::vector<std::string> points;
    };
    // DLat of a level is its height / 1e5 and DLon 0: the latitude names the level.
    const Case cases[] = {
        {"ground missing: the first height only sets the reference, step 200",
         MissingValue,
         {MissingValue, 1000, 1150, 1200, 1399, 1400},
         {"20.00000,10.01200", "20.00000,10.01400"}},
        {"step 30000 / 99 from the ground",
         150,
         {453, 453.04, 756.08, 30150},
         {"20.00000,10.00453", "20.00000,10.00756", "20.00000,10.30150"}},
        {"step at least 100 m", 150, {200, 249, 250, 5000}, {"20.00000,10.00250", "20.00000,10.05000"}},
        {"missing heights skipped", 0, {MissingValue, 150, MissingValue, 14850}, {"20.00000,10.00150", "20.00000,10.14850"}},
    };
    for (const Case& c : cases) {
        std::vector<LevelSpec> levels;
        for (const double h : c.heights) levels.push_back({0, h, IsMissing(h) ? 0.5 : h / 1e5, 0});
        tUAInBound sounding;
        SetSounding(sounding, 10, 20, c.groundHeight, levels);
        const YandexPage page = YandexStaticMapPage(sounding, "f");
        EXPECT_EQ(YandexPointsOf(page.bytes), c.points) << c.what;
        EXPECT_FALSE(page.incomplete) << c.what;
    }
}

// Heights 100 m apart from the ground at 0 up to Count levels, then a top at 9900 m without
// position: the step is 100 m. Levels listed in Unplaced have no position either.
tUAInBound StairSounding(int count, std::vector<int> unplaced = {}) {
    std::vector<LevelSpec> levels;
    for (int i = 1; i <= count; ++i) {
        const bool placed = std::find(unplaced.begin(), unplaced.end(), i) == unplaced.end();
        levels.push_back({double(i), 100.0 * i, placed ? i / 1e4 : MissingValue, 0.001});
    }
    levels.push_back({0, 9900, MissingValue, MissingValue});
    tUAInBound sounding;
    SetSounding(sounding, 10, 20, 0, levels);
    return sounding;
}

TEST(YandexStaticMapPageTest, StopsAtTheNinetyNinthLevelPoint) {
    struct Case {
        const char* what;
        int stairs;
        std::vector<int> unplaced;
        std::size_t points;
        bool incomplete;
        const char* lastPoint;
    };
    const Case cases[] = {
        {"120 levels: stop at the 99th", 120, {}, 99, true, "20.00100,10.00990"},
        {"98 levels and a top too low", 98, {}, 98, false, "20.00100,10.00980"},
        {"100 levels, one without position: 99 written", 100, {40}, 99, true, "20.00100,10.01000"},
        {"99 levels, one without position: 98 written", 99, {40}, 98, false, "20.00100,10.00990"},
    };
    for (const Case& c : cases) {
        const tUAInBound sounding = StairSounding(c.stairs, c.unplaced);
        ASSERT_DOUBLE_EQ(YandexHeightStep(sounding), 100);
        const YandexPage page = YandexStaticMapPage(sounding, "f");
        const std::vector<std::string> points = YandexPointsOf(page.bytes);
        EXPECT_EQ(points.size(), c.points) << c.what;
        EXPECT_EQ(page.incomplete, c.incomplete) << c.what;
        ASSERT_FALSE(points.empty()) << c.what;
        EXPECT_EQ(points.back(), c.lastPoint) << c.what;
        EXPECT_TRUE(page.bytes.ends_with(">\r\n</body></html>\r\n")) << c.what;
    }
}

TEST(StaticMapPageTest, NumbersThatRoundToZeroHaveNoMinusSign) {
    tUAInBound sounding;
    SetSounding(sounding, -0.000004, -0.000003, 0, {{0, 300, 0.000001, 0.000002}});
    EXPECT_EQ(Between(GoogleStaticMapPage(sounding, "b", "f"), "label:0|", "&path"), "0.00000,0.00000");
    EXPECT_EQ(Between(YandexStaticMapPage(sounding, "f").bytes, "&pl=", ">"), "0.00000,0.00000,0.00000,0.00000");
}

TEST(StaticMapPageTitleTest, NamesAreWindows1251AndSafeAsContent) {
    struct Case {
        const char* baseName;
        const char* fileName;
        std::string googleNames;  // after the fixed words
        std::string yandexName;
    };
    const Case cases[] = {
        {"27612_20240115233000", "/data/27612.BIN", "27612_20240115233000:27612", "27612"},
        {"A&B.bin_1", "A&B.bin", "A&amp;B.bin_1:A&amp;B", "A&amp;B"},
        {"<x>\x01", "/d/a<b>\t.c.bufr", "&lt;x&gt;:a&lt;b&gt;.c", "a&lt;b&gt;.c"},
        {"\xD0\xF3\xF1\xFC_1", "Пуск.bin", "\xD0\xF3\xF1\xFC_1:\xCF\xF3\xF1\xEA", "\xCF\xF3\xF1\xEA"},
    };
    for (const Case& c : cases) {
        tUAInBound sounding;
        sounding.StationIndex = 27612;
        SetSounding(sounding, 55.75, 37.6, 150, {});
        EXPECT_EQ(Between(GoogleStaticMapPage(sounding, c.baseName, c.fileName), "<title>" + FlightWords, "</title>"),
                  c.googleNames)
            << c.fileName;
        EXPECT_EQ(Between(YandexStaticMapPage(sounding, c.fileName).bytes, "<title>" + FlightWords + StationWords,
                          "</title>"),
                  "27612:" + c.yandexName)
            << c.fileName;
    }
}

TEST(StaticMapPageTitleTest, StationIndexWithoutLeadingZeros) {
    for (const auto& [index, text] : std::vector<std::pair<int, std::string>>{{1234, "1234"}, {27612, "27612"}, {0, "0"}}) {
        tUAInBound sounding;
        sounding.StationIndex = index;
        SetSounding(sounding, 55.75, 37.6, 150, {});
        EXPECT_EQ(Between(YandexStaticMapPage(sounding, "F.BIN").bytes, StationWords, ":"), text);
    }
}

TEST(StaticMapPageTest, HighResolutionSoundingPagesHaveThreeLines) {
    const fs::path file = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Loaded() && harness.Parsed() && harness.Scan() && harness.DecodeNext());
    const tUAInBound& sounding = harness.Decoder;
    const YandexPage yandex = YandexStaticMapPage(sounding, file.string());
    for (const std::string& page : {GoogleStaticMapPage(sounding, "b", file.string()), yandex.bytes}) {
        std::size_t lines = 0;
        for (std::size_t at = page.find("\r\n"); at != std::string::npos; at = page.find("\r\n", at + 2)) ++lines;
        EXPECT_EQ(lines, 3u);
        EXPECT_EQ(page.find('\n'), page.find("\r\n") + 1);
        EXPECT_TRUE(page.ends_with("</body></html>\r\n"));
    }
    const std::vector<std::string> points = YandexPointsOf(yandex.bytes);
    EXPECT_GT(points.size(), 10u);
    EXPECT_LE(points.size(), 99u);
    EXPECT_EQ(yandex.incomplete, points.size() == 99u);
}

}  // namespace

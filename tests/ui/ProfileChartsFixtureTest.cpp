// The profile charts filled from the decoded shared fixtures, in pressure and in height mode, and
// checked against the values the independent decoder wrote beside each file: point counts, first
// and last points, the significant-level curves, the plausibility marks, the ascent rate of the
// high-resolution sounding and the secondary series.
#include "ui/ProfileCharts.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartView.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using chart::Series;
using nlohmann::json;

struct Expected {
    int count = 0;
    chart::ChartPoint first, last;
    void Add(double x, double y, double z = 0.0) {
        chart::ChartPoint p{x, y, z, {}, {}};
        if (count++ == 0) first = p;
        last = p;
    }
};

// A value of a level column; the columns of elements a template lacks are absent.
std::optional<double> At(const json& levels, const char* column, std::size_t i) {
    if (!levels.contains(column) || levels[column][i].is_null()) return std::nullopt;
    return levels[column][i].get<double>();
}

void ExpectSeries(const Series& s, const Expected& e) {
    SCOPED_TRACE(s.title.toStdString());
    ASSERT_EQ(s.Count(), e.count);
    if (e.count == 0) return;
    const double tolerance = 1e-6;
    EXPECT_NEAR(s.Point(0).x, e.first.x, tolerance);
    EXPECT_NEAR(s.Point(0).y, e.first.y, tolerance);
    EXPECT_NEAR(s.Point(0).z, e.first.z, tolerance);
    EXPECT_NEAR(s.Point(e.count - 1).x, e.last.x, tolerance);
    EXPECT_NEAR(s.Point(e.count - 1).y, e.last.y, tolerance);
    EXPECT_NEAR(s.Point(e.count - 1).z, e.last.z, tolerance);
}

class ProfileChartsFixtureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ProfileChartsFixtureTest, SeriesMatchTheIndependentlyDecodedLevels) {
    const fs::path file = FixturesDir() / GetParam();
    TAVIK_REQUIRE_PATH(file);
    const json levels = LoadJson(JsonBeside(file))["subsets"][0]["levels"];
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Parsed());
    ASSERT_TRUE(harness.Scan());
    ASSERT_TRUE(harness.DecodeNext());
    const tUAInBound& sounding = harness.Decoder;
    const std::size_t n = levels["time"].size();
    ASSERT_EQ(sounding.LevelCount, n);

    ProfileChartOptions options;
    options.ShowSig = true;
    options.CombineTU = true;
    ProfileCharts charts([&] { return options; }, nullptr);

    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        charts.SetupVerticalAxes(&sounding, &sounding);

        Expected t, u, d, v, tSig, uSig, dSig, vSig, h, xy, xyz;
        int marks = 0;
        std::optional<std::pair<double, double>> previous;  // temperature and height of the last T point
        for (std::size_t i = 0; i < n; ++i) {
            const auto vertical = pressure ? At(levels, "pressure", i) : At(levels, "height", i);
            const auto temp = At(levels, "temp", i), dew = At(levels, "dewpoint", i);
            const auto dir = At(levels, "wind_dir", i), speed = At(levels, "wind_speed", i);
            const auto time = At(levels, "time", i), height = At(levels, "height", i);
            const auto dlat = At(levels, "dlat", i), dlon = At(levels, "dlon", i);
            const auto flags = At(levels, "flags", i);
            const auto has = [&](int bit) { return flags && (static_cast<long>(*flags) & bit) != 0; };
            if (dlat && (pressure || vertical)) xy.Add(*dlon, *dlat);
            if (!vertical) continue;
            const double y = pressure ? *vertical / 100.0 : *vertical / 1000.0;
            if (temp) {
                t.Add(*temp - 273.15, y);
                if (has(0x2000)) tSig.Add(*temp - 273.15, y);
                if (!pressure) {
                    if (previous) {
                        const auto [tp, hp] = *previous;
                        if (*height > hp ? -(*temp - tp) / (*height - hp) > 0.013 : std::abs(*temp - tp) > 0.2) ++marks;
                    }
                    previous = {*temp, *height};
                }
            }
            if (temp && dew) {
                const double humidity = sounding.Levels[i].Humidity;
                u.Add(humidity, y);
                if (has(0x1000) || has(0x2000)) uSig.Add(humidity, y);
            }
            if (dir) {
                d.Add(*dir, y);
                if (has(0x800)) dSig.Add(*dir, y);
            }
            if (speed) {
                v.Add(*speed, y);
                if (has(0x800)) vSig.Add(*speed, y);
            }
            if (time && *time >= 0) h.Add(*time, y);
            if (dlat) xyz.Add(*dlon, y, *dlat);
        }

        ExpectSeries(*charts.TSeries, t);
        ExpectSeries(*charts.USeries, u);
        ExpectSeries(*charts.DSeries, d);
        ExpectSeries(*charts.VSeries, v);
        ExpectSeries(*charts.TSigSeries, tSig);
        ExpectSeries(*charts.USigSeries, uSig);
        ExpectSeries(*charts.DSigSeries, dSig);
        ExpectSeries(*charts.VSigSeries, vSig);
        ExpectSeries(*charts.HSeries, h);
        ExpectSeries(*charts.XYSeries, xy);
        ExpectSeries(*charts.p3D, xyz);
        // The secondary sounding gets the same profile and trajectory points.
        ExpectSeries(*charts.TSecSeries, t);
        ExpectSeries(*charts.USecSeries, u);
        ExpectSeries(*charts.DSecSeries, d);
        ExpectSeries(*charts.VSecSeries, v);
        ExpectSeries(*charts.XYSecSeries, xy);
        ExpectSeries(*charts.p3D2, xyz);
        EXPECT_TRUE(charts.p3D2->active);

        int marked = 0;
        for (const chart::ChartPoint& p : charts.TSeries->Points())
            marked += p.label == QStringLiteral("?!") && p.colour == QColor(128, 0, 0);
        EXPECT_EQ(marked, marks);
        for (const chart::ChartPoint& p : charts.TSecSeries->Points()) EXPECT_TRUE(p.label.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ProfileChartsFixtureTest,
                         ::testing::Values("temp52_ed4_small.bufr", "temp52_edges.bufr", "temp52_ed3.bufr",
                                           "temp52_3subsets.bufr", "pilot50_ed4.bufr", "pilot51_ed4.bufr",
                                           "temp52_ed4_hires.bufr"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// A 3-09-051 sounding has heights but no pressures: its trajectory is shown in both modes, its
// profiles only in height mode.
TEST(ProfileChartsPilotTest, HeightLevelSoundingShowsItsTrajectoryInPressureMode) {
    const fs::path file = FixturesDir() / "pilot51_ed4.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Scan());
    ASSERT_TRUE(harness.DecodeNext());
    ProfileChartOptions options;
    ProfileCharts charts([&] { return options; }, nullptr);

    options.LeftAxisP = true;
    charts.FillPrimarySeries(harness.Decoder);
    EXPECT_EQ(charts.DSeries->Count(), 0);
    EXPECT_EQ(charts.VSeries->Count(), 0);
    EXPECT_EQ(charts.HSeries->Count(), 0);
    EXPECT_EQ(charts.p3D->Count(), 0);
    EXPECT_EQ(charts.XYSeries->Count(), harness.Decoder.LevelCount);
    EXPECT_GT(charts.VAscSeries->Count(), 0);

    options.LeftAxisP = false;
    charts.ClearPrimarySeries();
    charts.FillPrimarySeries(harness.Decoder);
    EXPECT_GT(charts.DSeries->Count(), 0);
    EXPECT_EQ(charts.p3D->Count(), charts.XYSeries->Count());
}

// Levels every 2 s with heights and times throughout: an ascent point every 60 s, each the mean
// rate over the minute before it.
TEST(ProfileChartsHiresTest, AscentRatePointsEverySixtySeconds) {
    const fs::path file = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(file);
    const json levels = LoadJson(JsonBeside(file))["subsets"][0]["levels"];
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Scan());
    ASSERT_TRUE(harness.DecodeNext());
    const json& times = levels["time"];
    const json& heights = levels["height"];
    ASSERT_EQ(times.size(), 8000u);
    for (std::size_t i = 0; i < times.size(); ++i) ASSERT_EQ(times[i].get<double>(), 2.0 * i);

    ProfileChartOptions options;
    ProfileCharts charts([&] { return options; }, nullptr);
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        charts.ClearPrimarySeries();
        charts.FillPrimarySeries(harness.Decoder);
        const Series& asc = *charts.VAscSeries;
        ASSERT_EQ(asc.Count(), 15998 / 60);
        for (int k = 0; k < asc.Count(); ++k) {
            const std::size_t level = 30 * (k + 1);
            ASSERT_DOUBLE_EQ(asc.Point(k).x, 60.0 * (k + 1));
            ASSERT_NEAR(asc.Point(k).y, (heights[level].get<double>() - heights[level - 30].get<double>()) / 60.0, 1e-6)
                << "at " << asc.Point(k).x;
        }
        EXPECT_EQ(charts.TSeries->Capacity(), std::size_t(ProfileCharts::SeriesGrowthStep));
    }
}

}  // namespace

// The profile charts filled from hand-made soundings: which level values reach which series, the
// significant-level curves, the plausibility mark, the ascent rate, sorting, the vertical axes,
// zoom, the secondary sounding and the editor call.
#include "ui/ProfileCharts.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "UiTestApp.h"
#include "chart/ChartView.h"
#include "chart/Editor.h"
#include "decoder/UAReport.h"

namespace {

using chart::AxisId;
using chart::Series;

// A level with every value present: time in s, pressure in hPa, height in m, temperature in °C.
tUALevelRec Level(double time, double pressure, double height, double celsius, std::int32_t flags = 0) {
    tUALevelRec l;
    l.Time = time;
    l.Flags = flags;
    l.Pressure = pressure * 100.0;
    l.Height = height;
    l.Temp = celsius + 273.15;
    l.DewPoint = l.Temp - 2.0;
    l.Humidity = 80.0;
    l.WindDir = 200.0;
    l.WindSpeed = 12.0;
    l.DLat = time * 1e-4;
    l.DLon = time * 2e-4;
    return l;
}

tUAInBound Sounding(const std::vector<tUALevelRec>& levels) {
    tUAInBound s;
    s.Levels = levels;
    s.LevelCount = static_cast<std::uint16_t>(levels.size());
    return s;
}

std::vector<double> Ys(const Series& s) {
    std::vector<double> out;
    for (const chart::ChartPoint& p : s.Points()) out.push_back(p.y);
    return out;
}

bool Marked(const chart::ChartPoint& p) {
    return p.label == QStringLiteral("?!") && p.colour == QColor(128, 0, 0);
}

bool Plain(const chart::ChartPoint& p) { return p.label.isEmpty() && !p.colour.isValid(); }

class ProfileChartsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(QApplication::instance(), nullptr);
        charts = std::make_unique<TProfileCharts>(options, nullptr);
    }
    void Refill(const tUAInBound& primary) {
        charts->ClearPrimarySeries();
        charts->FillPrimarySeries(primary);
    }
    std::vector<Series*> PrimaryProfiles() const {
        return {charts->TSeries, charts->USeries, charts->TSigSeries, charts->USigSeries,
                charts->DSeries, charts->VSeries, charts->DSigSeries, charts->VSigSeries};
    }
    std::vector<Series*> AllPrimary() const {
        auto all = PrimaryProfiles();
        for (Series* s : {charts->XYSeries, charts->VAscSeries, charts->HSeries, charts->p3D}) all.push_back(s);
        return all;
    }
    std::vector<Series*> AllSecondary() const {
        return {charts->TSecSeries, charts->USecSeries, charts->DSecSeries,
                charts->VSecSeries, charts->XYSecSeries, charts->p3D2};
    }

    TChartOptions options;
    std::unique_ptr<TProfileCharts> charts;
};

TEST_F(ProfileChartsTest, SignificantLevelSeriesFollowFlagsShowSigAndCombineTU) {
    struct Case {
        const char* name;
        std::int32_t flags;
        bool showSig, combineTU;
        int tSig, uSig, dSig, vSig;
    };
    const Case cases[] = {
        {"ShowSig off", 0x3800, false, true, 0, 0, 0, 0},
        {"temperature level", 0x2000, true, false, 1, 0, 0, 0},
        {"temperature level combined", 0x2000, true, true, 1, 1, 0, 0},
        {"humidity level", 0x1000, true, false, 0, 1, 0, 0},
        {"wind level", 0x800, true, false, 0, 0, 1, 1},
        {"all three", 0x3800, true, false, 1, 1, 1, 1},
        {"other bits only", 0x20000 | 0x10000 | 0x4000 | 0x10, true, true, 0, 0, 0, 0},
        {"flags missing", MissingFlags, true, true, 0, 0, 0, 0},
    };
    for (const bool pressure : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (pressure ? ", pressure" : ", height"));
            options.LeftAxisP = pressure;
            options.ShowSig = c.showSig;
            options.CombineTU = c.combineTU;
            Refill(Sounding({Level(0, 1000, 100, 15, 0), Level(30, 950, 500, 12, c.flags)}));
            EXPECT_EQ(charts->TSigSeries->Count(), c.tSig);
            EXPECT_EQ(charts->USigSeries->Count(), c.uSig);
            EXPECT_EQ(charts->DSigSeries->Count(), c.dSig);
            EXPECT_EQ(charts->VSigSeries->Count(), c.vSig);
            const double v = pressure ? 950.0 : 0.5;
            const std::pair<Series*, Series*> pairs[] = {{charts->TSigSeries, charts->TSeries},
                                                         {charts->USigSeries, charts->USeries},
                                                         {charts->DSigSeries, charts->DSeries},
                                                         {charts->VSigSeries, charts->VSeries}};
            for (const auto& [sig, full] : pairs) {
                ASSERT_EQ(full->Count(), 2);
                if (sig->Count() == 0) continue;
                EXPECT_DOUBLE_EQ(sig->Point(0).x, full->Point(1).x);
                EXPECT_DOUBLE_EQ(sig->Point(0).y, v);
                EXPECT_TRUE(Plain(sig->Point(0)));
            }
        }
    }
}

TEST_F(ProfileChartsTest, WindLevelWithoutSpeedAddsOnlyADirectionPoint) {
    options.ShowSig = true;
    tUALevelRec l = Level(10, 900, 1000, 5, 0x800);
    l.WindSpeed = MissingValue;
    Refill(Sounding({l}));
    EXPECT_EQ(charts->DSeries->Count(), 1);
    EXPECT_EQ(charts->DSigSeries->Count(), 1);
    EXPECT_EQ(charts->VSeries->Count(), 0);
    EXPECT_EQ(charts->VSigSeries->Count(), 0);
}

// Which series lose their point when one value of a level is missing; the others keep theirs.
TEST_F(ProfileChartsTest, AMissingValueTakesOnlyItsOwnPoints) {
    struct Case {
        const char* name;
        std::function<void(tUALevelRec&)> spoil;
        std::vector<Series* TProfileCharts::*> lost;
    };
    using P = TProfileCharts;
    const Case cases[] = {
        {"temperature", [](tUALevelRec& l) { l.Temp = MissingValue; }, {&P::TSeries, &P::TSigSeries}},
        {"humidity", [](tUALevelRec& l) { l.Humidity = MissingValue; }, {&P::USeries, &P::USigSeries}},
        {"direction", [](tUALevelRec& l) { l.WindDir = MissingValue; }, {&P::DSeries, &P::DSigSeries}},
        {"speed", [](tUALevelRec& l) { l.WindSpeed = MissingValue; }, {&P::VSeries, &P::VSigSeries}},
        {"time", [](tUALevelRec& l) { l.Time = MissingValue; }, {&P::HSeries}},
        {"latitude offset", [](tUALevelRec& l) { l.DLat = MissingValue; }, {&P::XYSeries, &P::p3D}},
    };
    options.ShowSig = true;
    for (const bool pressure : {true, false}) {
        options.LeftAxisP = pressure;
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (pressure ? ", pressure" : ", height"));
            // The spoilt level comes second; its time is kept off the ascent rate by the first.
            tUALevelRec spoilt = Level(20, 900, 1000, 5, 0x3800);
            c.spoil(spoilt);
            Refill(Sounding({Level(0, 1000, 100, 15, 0x3800), spoilt}));
            for (Series* s : {charts->TSeries, charts->USeries, charts->DSeries, charts->VSeries, charts->TSigSeries,
                              charts->USigSeries, charts->DSigSeries, charts->VSigSeries, charts->HSeries,
                              charts->XYSeries, charts->p3D}) {
                bool lost = false;
                for (auto member : c.lost) lost = lost || (charts.get()->*member) == s;
                EXPECT_EQ(s->Count(), lost ? 1 : 2) << s->title.toStdString();
            }
        }
    }
}

TEST_F(ProfileChartsTest, ProfilePointsCarryConvertedValuesOnTheirVerticalCoordinate) {
    tUALevelRec l = Level(42, 850, 1500, -7.5);
    l.Humidity = 63.0;
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        Refill(Sounding({l}));
        const double v = pressure ? 850.0 : 1.5;
        struct Expect {
            Series* s;
            double x, y, z;
        };
        const Expect expects[] = {
            {charts->TSeries, -7.5, v, 0}, {charts->USeries, 63.0, v, 0}, {charts->DSeries, 200.0, v, 0},
            {charts->VSeries, 12.0, v, 0}, {charts->HSeries, 42.0, v, 0}, {charts->XYSeries, l.DLon, l.DLat, 0},
            {charts->p3D, l.DLon, v, l.DLat},
        };
        for (const Expect& e : expects) {
            SCOPED_TRACE(e.s->title.toStdString());
            ASSERT_EQ(e.s->Count(), 1);
            EXPECT_NEAR(e.s->Point(0).x, e.x, 1e-9);
            EXPECT_NEAR(e.s->Point(0).y, e.y, 1e-9);
            EXPECT_NEAR(e.s->Point(0).z, e.z, 1e-12);
        }
        EXPECT_EQ(charts->VAscSeries->Count(), 0);
    }
}

TEST_F(ProfileChartsTest, TrajectoryPointsAreLabelledWithTheRoundedTime) {
    struct Case {
        double time;
        const char* label;
    };
    const Case cases[] = {{0, "0"}, {59.6, "60"}, {1234.4, "1234"}, {15998, "15998"}, {-192, "-192"}};
    std::vector<tUALevelRec> levels;
    for (const Case& c : cases) levels.push_back(Level(c.time, 900, 1000, 0));
    for (const bool pressure : {true, false}) {
        options.LeftAxisP = pressure;
        Refill(Sounding(levels));
        charts->ClearSecondarySeries();
        charts->FillSecondarySeries(Sounding(levels));
        for (Series* s : {charts->XYSeries, charts->XYSecSeries}) {
            ASSERT_EQ(s->Count(), static_cast<int>(std::size(cases)));
            for (std::size_t i = 0; i < std::size(cases); ++i)
                EXPECT_EQ(s->Point(int(i)).label.toStdString(), cases[i].label) << s->title.toStdString();
        }
        EXPECT_TRUE(charts->p3D2->Point(0).label.isEmpty());
    }
}

TEST_F(ProfileChartsTest, PlausibilityMarkInHeightModeOnly) {
    struct Case {
        const char* name;
        double dT, dH;
        bool marked;
    };
    const Case cases[] = {
        {"1.5 K colder 100 m up", -1.5, 100, true},
        {"1.2 K colder 100 m up", -1.2, 100, false},
        {"5 K warmer 100 m up", 5.0, 100, false},
        {"0.25 K warmer at the same height", 0.25, 0, true},
        {"0.25 K colder 50 m lower", -0.25, -50, true},
        {"0.125 K warmer at the same height", 0.125, 0, false},
        {"0.125 K colder 50 m lower", -0.125, -50, false},
    };
    options.ShowSig = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto s = Sounding({Level(0, 900, 1000, -10, 0x2000), Level(20, 890, 1000 + c.dH, -10 + c.dT, 0x2000)});
        options.LeftAxisP = false;
        Refill(s);
        ASSERT_EQ(charts->TSeries->Count(), 2);
        EXPECT_TRUE(Plain(charts->TSeries->Point(0)));
        EXPECT_EQ(Marked(charts->TSeries->Point(1)), c.marked);
        if (!c.marked) {
            EXPECT_TRUE(Plain(charts->TSeries->Point(1)));
        }
        EXPECT_NEAR(charts->TSeries->Point(1).x, -10 + c.dT, 1e-9);
        for (const chart::ChartPoint& p : charts->TSigSeries->Points()) EXPECT_TRUE(Plain(p));

        options.LeftAxisP = true;
        Refill(s);
        for (const chart::ChartPoint& p : charts->TSeries->Points()) EXPECT_TRUE(Plain(p));
    }
}

TEST_F(ProfileChartsTest, PreviousTemperaturePointIsTheLastOneAddedInThisFill) {
    options.LeftAxisP = false;
    tUALevelRec noTemp = Level(10, 895, 1050, 0);
    noTemp.Temp = MissingValue;
    tUALevelRec noHeight = Level(15, 893, 0, -20);
    noHeight.Height = MissingValue;
    const auto s = Sounding({
        Level(0, 900, 1000, -10),     // first point: never marked
        noTemp,                       // no temperature point: not the previous one
        noHeight,                     // no height: no point, not the previous one
        Level(20, 890, 1100, -11.5),  // 0.015 K/m against the first: marked
        Level(30, 880, 1200, -12.7),  // 0.012 K/m against the marked one (0.0135 against the first)
        Level(40, 870, 1300, -14.2),  // 0.015 K/m against the fifth: marked
    });
    Refill(s);
    ASSERT_EQ(charts->TSeries->Count(), 4);
    EXPECT_TRUE(Plain(charts->TSeries->Point(0)));
    EXPECT_TRUE(Marked(charts->TSeries->Point(1)));
    EXPECT_TRUE(Plain(charts->TSeries->Point(2)));
    EXPECT_TRUE(Marked(charts->TSeries->Point(3)));
    // A new fill starts again: its first point is never marked.
    charts->ClearPrimarySeries();
    charts->FillPrimarySeries(Sounding({Level(0, 900, 5000, 30)}));
    EXPECT_TRUE(Plain(charts->TSeries->Point(0)));
}

// Heights rising as t * t / 10 m: the rates between the ascent points follow from that.
TEST_F(ProfileChartsTest, AscentRateAtSixtySecondSteps) {
    const auto height = [](double t) { return t * t / 10.0; };
    std::vector<tUALevelRec> levels;
    tUALevelRec noTime = Level(0, 1000, 50, 10);
    noTime.Time = MissingValue;
    levels.push_back(noTime);                        // no time: not the start
    levels.push_back(Level(3, 1000, -600, 10));      // height not above -500: not the start
    tUALevelRec negative = Level(-5, 1000, 40, 10);  // negative time: not the start
    levels.push_back(negative);
    for (double t = 10; t <= 330; t += 10) levels.push_back(Level(t, 1000 - t, height(t), 10));
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        Refill(Sounding(levels));
        const Series& asc = *charts->VAscSeries;
        ASSERT_EQ(asc.Count(), 5);
        double previous = 10;
        for (int i = 0; i < asc.Count(); ++i) {
            const double t = 10 + 60.0 * (i + 1);
            EXPECT_DOUBLE_EQ(asc.Point(i).x, t);
            EXPECT_NEAR(asc.Point(i).y, (height(t) - height(previous)) / (t - previous), 1e-9);
            previous = t;
        }
        // The negative time gives no height-time point but keeps its profile and trajectory points.
        EXPECT_EQ(charts->HSeries->Count(), 33 + 1);
        EXPECT_EQ(charts->TSeries->Count(), static_cast<int>(levels.size()));
        EXPECT_EQ(charts->XYSeries->Count(), static_cast<int>(levels.size()));
    }
}

TEST_F(ProfileChartsTest, AscentStepLongerThanSixtySeconds) {
    const auto s = Sounding({Level(0, 1000, 100, 10), Level(10, 990, 150, 10), Level(100, 950, 700, 10),
                             Level(150, 930, 900, 10), Level(170, 920, 1100, 10)});
    Refill(s);
    ASSERT_EQ(charts->VAscSeries->Count(), 2);
    EXPECT_DOUBLE_EQ(charts->VAscSeries->Point(0).x, 100);
    EXPECT_DOUBLE_EQ(charts->VAscSeries->Point(0).y, 6.0);
    EXPECT_DOUBLE_EQ(charts->VAscSeries->Point(1).x, 170);
    EXPECT_DOUBLE_EQ(charts->VAscSeries->Point(1).y, 400.0 / 70.0);
}

// Height mode leaves a level without a height out of everything but the ascent test; pressure
// mode leaves a level without a pressure out of every series plotted against the pressure and
// keeps its trajectory point.
TEST_F(ProfileChartsTest, LevelWithoutTheVerticalCoordinate) {
    tUALevelRec noPressure = Level(20, 0, 1200, 5);
    noPressure.Pressure = MissingValue;
    tUALevelRec noHeight = Level(40, 850, 0, 3);
    noHeight.Height = MissingValue;
    const auto s = Sounding({Level(0, 1000, 100, 10, 0x3800), noPressure, noHeight, Level(80, 800, 2000, 0, 0x3800)});
    options.ShowSig = true;
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        Refill(s);
        charts->ClearSecondarySeries();
        charts->FillSecondarySeries(s);
        // Pressure mode: the level without a pressure is left out; height mode: the one without a
        // height. Each mode keeps the level the other leaves out.
        const double kept = pressure ? 0.85 * 1000 : 1.2;
        for (Series* series : {charts->TSeries, charts->USeries, charts->DSeries, charts->VSeries, charts->HSeries,
                               charts->p3D, charts->TSecSeries, charts->USecSeries, charts->DSecSeries,
                               charts->VSecSeries, charts->p3D2}) {
            SCOPED_TRACE(series->title.toStdString());
            ASSERT_EQ(series->Count(), 3);
            EXPECT_NEAR(series->Point(1).y, kept, 1e-9);
        }
        for (Series* sig : {charts->TSigSeries, charts->USigSeries, charts->DSigSeries, charts->VSigSeries})
            EXPECT_EQ(sig->Count(), 2);
        EXPECT_EQ(charts->XYSeries->Count(), pressure ? 4 : 3);
        EXPECT_EQ(charts->XYSecSeries->Count(), pressure ? 4 : 3);
        // The ascent rate reads the height whatever the mode: 0 s and 80 s, the 20 s level too
        // close to the first.
        ASSERT_EQ(charts->VAscSeries->Count(), 1);
        EXPECT_DOUBLE_EQ(charts->VAscSeries->Point(0).y, 1900.0 / 80.0);
    }
}

// The balloon goes up, comes down and goes up again, so no curve is monotonic in level order.
std::vector<tUALevelRec> Zigzag() {
    const double heights[] = {100, 900, 600, 300, 1500, 1200, 2000};
    const double pressures[] = {1000, 910, 940, 970, 850, 880, 800};
    std::vector<tUALevelRec> levels;
    for (int i = 0; i < 7; ++i) {
        tUALevelRec l = Level(20.0 * i, pressures[i], heights[i], 10.0 - 3.0 * i, 0x3800);
        l.Humidity = 90.0 - i;
        l.WindDir = 100.0 + i;
        l.WindSpeed = 5.0 + i;
        levels.push_back(l);
    }
    return levels;
}

TEST_F(ProfileChartsTest, SortingOrdersProfilesAndRefillRestoresLevelOrder) {
    options.ShowSig = true;
    options.CombineTU = true;
    const auto s = Sounding(Zigzag());
    struct Order {
        Series* TProfileCharts::*series;
        int direction;  // 1 ascending, -1 descending, 0 level order kept
    };
    using P = TProfileCharts;
    const Order orders[] = {
        {&P::TSeries, 1},    {&P::USeries, 1},    {&P::TSigSeries, 1},   {&P::USigSeries, -1},
        {&P::DSeries, 1},    {&P::VSeries, 1},    {&P::DSigSeries, -1},  {&P::VSigSeries, -1},
        {&P::TSecSeries, 1}, {&P::USecSeries, 1}, {&P::DSecSeries, 1},   {&P::VSecSeries, 1},
        {&P::XYSeries, 0},   {&P::XYSecSeries, 0}, {&P::VAscSeries, 0},  {&P::HSeries, 0},
        {&P::p3D, 0},        {&P::p3D2, 0},
    };
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        options.SortYAxis = false;
        Refill(s);
        charts->ClearSecondarySeries();
        charts->FillSecondarySeries(s);
        std::vector<std::vector<chart::ChartPoint>> levelOrder;
        for (const Order& o : orders) levelOrder.push_back((charts.get()->*o.series)->Points());

        // Turning the option on sorts what is there; a fill with it on sorts as well.
        for (const bool byFill : {false, true}) {
            SCOPED_TRACE(byFill ? "fill with SortYAxis on" : "turning SortYAxis on");
            if (byFill) {
                options.SortYAxis = true;
                Refill(s);
                charts->ClearSecondarySeries();
                charts->FillSecondarySeries(s);
            } else {
                charts->SortPrimarySeries();
                charts->SortSecondarySeries();
            }
            for (std::size_t i = 0; i < std::size(orders); ++i) {
                const Series& series = *(charts.get()->*orders[i].series);
                SCOPED_TRACE(series.title.toStdString());
                ASSERT_EQ(series.Count(), static_cast<int>(levelOrder[i].size()));
                if (orders[i].direction == 0) {
                    for (int k = 0; k < series.Count(); ++k) EXPECT_EQ(series.Point(k).y, levelOrder[i][k].y);
                    continue;
                }
                const auto ys = Ys(series);
                for (std::size_t k = 1; k < ys.size(); ++k)
                    EXPECT_GT(orders[i].direction * (ys[k] - ys[k - 1]), 0.0) << "at " << k;
                // Each point moved whole: its horizontal value belongs to its vertical one.
                for (const chart::ChartPoint& p : series.Points()) {
                    bool found = false;
                    for (const chart::ChartPoint& q : levelOrder[i])
                        found = found || (q.x == p.x && q.y == p.y && q.z == p.z && q.label == p.label);
                    EXPECT_TRUE(found) << p.x << " " << p.y;
                }
            }
        }
        // Turning it off refills in level order.
        options.SortYAxis = false;
        Refill(s);
        charts->ClearSecondarySeries();
        charts->FillSecondarySeries(s);
        for (std::size_t i = 0; i < std::size(orders); ++i) {
            const Series& series = *(charts.get()->*orders[i].series);
            ASSERT_EQ(series.Count(), static_cast<int>(levelOrder[i].size()));
            for (int k = 0; k < series.Count(); ++k) {
                EXPECT_EQ(series.Point(k).x, levelOrder[i][k].x) << series.title.toStdString();
                EXPECT_EQ(series.Point(k).y, levelOrder[i][k].y) << series.title.toStdString();
            }
        }
    }
}

TEST_F(ProfileChartsTest, SortedMarkKeepsItsLabelAndColour) {
    options.LeftAxisP = false;
    options.SortYAxis = true;
    // The second level is 1.5 K colder 100 m up and the third 26.5 K warmer lower down: both
    // marked; the first is plain. Sorted by height the third comes first.
    Refill(Sounding({Level(0, 900, 3000, -20), Level(10, 890, 3100, -21.5), Level(20, 950, 500, 5)}));
    ASSERT_EQ(charts->TSeries->Count(), 3);
    const double heights[] = {0.5, 3.0, 3.1};
    const double temps[] = {5.0, -20.0, -21.5};
    const bool marks[] = {true, false, true};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(charts->TSeries->Point(i).y, heights[i]);
        EXPECT_NEAR(charts->TSeries->Point(i).x, temps[i], 1e-9);
        EXPECT_EQ(Marked(charts->TSeries->Point(i)), marks[i]);
        EXPECT_EQ(Plain(charts->TSeries->Point(i)), !marks[i]);
    }
}

struct AxisState {
    QString title;
    bool inverted, logarithmic;
};

std::vector<AxisState> VerticalAxes(TProfileCharts& charts) {
    std::vector<AxisState> out;
    for (auto [view, id] : {std::pair{charts.ChrtTemp, AxisId::Left}, std::pair{charts.ChrtWind, AxisId::Left},
                            std::pair{charts.Chrt3D, AxisId::Left}, std::pair{charts.ChrtZ, AxisId::Right}}) {
        const chart::Axis& a = view->Model().AxisOf(id);
        out.push_back({a.title, a.inverted, a.logarithmic});
    }
    return out;
}

void ExpectAxes(TProfileCharts& charts, const std::vector<AxisState>& expected) {
    const auto actual = VerticalAxes(charts);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].title.toStdString(), expected[i].title.toStdString());
        EXPECT_EQ(actual[i].inverted, expected[i].inverted);
        EXPECT_EQ(actual[i].logarithmic, expected[i].logarithmic);
    }
}

TEST_F(ProfileChartsTest, VerticalAxesDesignedThenSwitchedBetweenPressureAndHeight) {
    const QString scaled = QStringLiteral("H/1000, гпм"), plain = QStringLiteral("H, км");
    const QString pressure = QStringLiteral("P, гПа");
    ExpectAxes(*charts, {{scaled, false, false}, {scaled, false, false}, {plain, false, false}, {plain, false, false}});

    options.LeftAxisP = true;
    charts->SetupVerticalAxes(nullptr, nullptr);
    const auto atStart = VerticalAxes(*charts);
    ExpectAxes(*charts, {{pressure, true, true}, {pressure, true, true}, {pressure, true, true}, {pressure, true, true}});

    options.LeftAxisP = false;
    charts->SetupVerticalAxes(nullptr, nullptr);
    ExpectAxes(*charts, {{scaled, false, false}, {scaled, false, false}, {scaled, false, false}, {plain, false, false}});

    options.LeftAxisP = true;
    charts->SetupVerticalAxes(nullptr, nullptr);
    ExpectAxes(*charts, atStart);
}

TEST_F(ProfileChartsTest, VerticalAxisSetupRefillsTheLoadedSoundings) {
    const auto primary = Sounding(Zigzag());
    const auto secondary = Sounding({Level(0, 990, 200, 12), Level(30, 960, 450, 11)});
    options.LeftAxisP = true;
    charts->FillPrimarySeries(primary);
    charts->FillSecondarySeries(secondary);

    options.LeftAxisP = false;
    charts->SetupVerticalAxes(&primary, &secondary);
    ASSERT_EQ(charts->TSeries->Count(), 7);
    EXPECT_DOUBLE_EQ(charts->TSeries->Point(1).y, 0.9);
    ASSERT_EQ(charts->TSecSeries->Count(), 2);
    EXPECT_DOUBLE_EQ(charts->TSecSeries->Point(1).y, 0.45);
    EXPECT_TRUE(charts->p3D2->active);

    // Without a secondary sounding its series are emptied and p3D2 goes inactive.
    options.LeftAxisP = true;
    charts->SetupVerticalAxes(&primary, nullptr);
    EXPECT_DOUBLE_EQ(charts->TSeries->Point(1).y, 910.0);
    for (Series* s : AllSecondary()) EXPECT_EQ(s->Count(), 0) << s->title.toStdString();
    EXPECT_FALSE(charts->p3D2->active);

    charts->SetupVerticalAxes(nullptr, nullptr);
    for (Series* s : AllPrimary()) EXPECT_EQ(s->Count(), 0) << s->title.toStdString();
}

void ZoomEverything(TProfileCharts& charts) {
    for (chart::ChartView* view : charts.Views()) {
        for (AxisId id : {AxisId::Bottom, AxisId::Left}) {
            chart::Axis& a = view->Model().AxisOf(id);
            a.zoomed = true;
            a.zoomMinimum = 1;
            a.zoomMaximum = 2;
        }
    }
}

TEST_F(ProfileChartsTest, ZoomUndoneByTheAxisSetupOnProfileChartsOnlyAndByUndoZoomAll) {
    const auto s = Sounding(Zigzag());
    charts->FillPrimarySeries(s);
    ZoomEverything(*charts);
    charts->SetupVerticalAxes(&s, nullptr);
    EXPECT_FALSE(charts->ChrtTemp->Model().IsZoomed());
    EXPECT_FALSE(charts->ChrtWind->Model().IsZoomed());
    EXPECT_FALSE(charts->Chrt3D->Model().IsZoomed());
    EXPECT_TRUE(charts->ChrtXY->Model().IsZoomed());
    EXPECT_TRUE(charts->ChrtZ->Model().IsZoomed());

    // The option commands empty and refill but keep the zoom.
    ZoomEverything(*charts);
    charts->ClearPrimarySeries();
    charts->FillPrimarySeries(s);
    charts->ClearSecondarySeries();
    charts->FillSecondarySeries(s);
    charts->SortPrimarySeries();
    for (chart::ChartView* view : charts->Views()) EXPECT_TRUE(view->Model().IsZoomed());

    charts->UndoZoomAll();
    for (chart::ChartView* view : charts->Views()) EXPECT_FALSE(view->Model().IsZoomed());
}

TEST_F(ProfileChartsTest, SecondarySeriesAndTheirThreeDSeriesState) {
    EXPECT_FALSE(charts->p3D2->active);
    EXPECT_TRUE(charts->p3D->active);
    options.ShowSig = true;
    options.LeftAxisP = false;
    const auto primary = Sounding(Zigzag());
    // 1.5 K colder 100 m up would be marked on the primary sounding.
    const auto secondary = Sounding({Level(0, 900, 1000, -10, 0x3800), Level(60, 890, 1100, -11.5, 0x3800),
                                     Level(120, 880, 1500, -12, 0x3800)});
    charts->FillPrimarySeries(primary);
    const auto primaryPoints = [&] {
        std::vector<int> counts;
        for (Series* s : AllPrimary()) counts.push_back(s->Count());
        return counts;
    };
    const auto before = primaryPoints();

    charts->FillSecondarySeries(secondary);
    EXPECT_TRUE(charts->p3D2->active);
    for (Series* s : AllSecondary()) EXPECT_EQ(s->Count(), 3) << s->title.toStdString();
    for (const chart::ChartPoint& p : charts->TSecSeries->Points()) EXPECT_TRUE(Plain(p));
    EXPECT_EQ(primaryPoints(), before);

    charts->ClearSecondarySeries();
    EXPECT_FALSE(charts->p3D2->active);
    for (Series* s : AllSecondary()) EXPECT_EQ(s->Count(), 0) << s->title.toStdString();
    EXPECT_EQ(primaryPoints(), before);

    charts->FillSecondarySeries(secondary);
    charts->ClearPrimarySeries();
    for (Series* s : AllPrimary()) EXPECT_EQ(s->Count(), 0) << s->title.toStdString();
    for (Series* s : AllSecondary()) EXPECT_EQ(s->Count(), 3) << s->title.toStdString();
    EXPECT_TRUE(charts->p3D2->active);
}

TEST_F(ProfileChartsTest, SeriesGrowInStepsOfNineThousandPoints) {
    EXPECT_EQ(Series::GrowthStep(), TProfileCharts::SeriesGrowthStep);
    std::vector<tUALevelRec> levels;
    for (int i = 0; i < 8191; ++i) levels.push_back(Level(2.0 * i, 1000 - i * 0.1, 100 + 5.0 * i, 10 - 0.01 * i));
    charts->FillPrimarySeries(Sounding(levels));
    ASSERT_EQ(charts->TSeries->Count(), 8191);
    EXPECT_EQ(charts->TSeries->Capacity(), 9000u);
    EXPECT_EQ(charts->XYSeries->Capacity(), 9000u);
}

TEST_F(ProfileChartsTest, DoubleClickOnAChartIsReported) {
    for (chart::ChartView* view : charts->Views()) {
        view->resize(400, 300);
        QSignalSpy spy(charts.get(), &TProfileCharts::ChartDoubleClicked);
        QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(150, 120));
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.at(0).at(0).value<chart::ChartView*>(), view);
        EXPECT_EQ(spy.at(0).at(1).toPoint(), QPoint(150, 120));
        EXPECT_FALSE(view->Model().IsZoomed());
    }
}

TEST_F(ProfileChartsTest, EditorOpensForTheClickedPartAndRefreshesTheChart) {
    chart::ChartView* view = charts->ChrtWind;
    view->resize(500, 400);
    const QRect plot = view->Layout().PlotRect();
    struct Case {
        const char* name;
        QPoint pos;
        chart::ChartPart part;
        chart::EditorPage page;
    };
    const Case cases[] = {
        {"plotting panel", plot.center(), chart::ChartPart::ChartRect, chart::EditorPage::Panel},
        {"bottom axis", QPoint(plot.center().x(), plot.bottom() + 6), chart::ChartPart::Axis, chart::EditorPage::Axis},
    };
    QWidget owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(view->HitTest(c.pos).part, c.part);
        QSignalSpy changed(&view->Model(), &chart::Chart::Changed);
        bool seen = false;
        int changesWhileOpen = -1;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<chart::Editor*>(QApplication::activeModalWidget());
            if (!editor) return;
            seen = true;
            changesWhileOpen = changed.count();
            EXPECT_EQ(editor->windowTitle(), QStringLiteral("Тавик:27612_x:Ветер"));
            EXPECT_EQ(editor->toolTip(), QStringLiteral("Редактор диаграмм"));
            EXPECT_EQ(editor->parentWidget(), &owner);
            EXPECT_EQ(editor->CurrentPage(), c.page);
            editor->reject();
        });
        charts->ShowEditor(view, c.pos, QStringLiteral("Тавик:27612_x:Ветер"), &owner);
        EXPECT_TRUE(seen);
        EXPECT_GT(changed.count(), changesWhileOpen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(ProfileChartsTest, EditorIgnoresAViewThatIsNotOneOfTheCharts) {
    chart::ChartView stranger;
    bool opened = false;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            opened = true;
            w->close();
        }
    });
    timer.start();
    charts->ShowEditor(&stranger, QPoint(10, 10), QStringLiteral("x"), nullptr);
    charts->ShowEditor(nullptr, QPoint(10, 10), QStringLiteral("x"), nullptr);
    charts->ShowEditorAtCursor(nullptr, QStringLiteral("x"), nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}

}  // namespace

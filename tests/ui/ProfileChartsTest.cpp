// The profile charts filled from hand-made soundings: which list of points reaches which series,
// the plausibility mark, sorting, the vertical axes, zoom, the secondary sounding and the editor
// call. Which points a sounding gives is tested with products/ProfilePoints.
#include "ui/ProfileCharts.h"

#include <algorithm>
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
#include "chart/Renderer.h"
#include "decoder/UAReport.h"
#include "products/ProfilePoints.h"
#include "products/HandMadeSoundings.h"
#include "ui/WindowDialogs.h"

namespace {

using chart::AxisId;
using chart::Series;

using products::test::Level;
using products::test::Sounding;

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
        charts = std::make_unique<ProfileCharts>([this] { return options; }, nullptr);
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

    ProfileChartOptions options;
    std::unique_ptr<ProfileCharts> charts;
};

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

// Each series gets its own list of points, whole: values, the trajectory's time labels and the
// plausibility flag as the mark "?!" in RGB(128,0,0); the rules themselves are tested with
// products/ProfilePoints.
TEST_F(ProfileChartsTest, FillsCopyEachListOfPointsIntoItsSeries) {
    using Pts = products::ProfilePoints;
    struct Copy {
        Series* ProfileCharts::*series;
        products::PointList Pts::*points;
        bool primary;
    };
    using P = ProfileCharts;
    const Copy copies[] = {
        {&P::TSeries, &Pts::temperature, true},         {&P::USeries, &Pts::humidity, true},
        {&P::TSigSeries, &Pts::temperatureSig, true},   {&P::USigSeries, &Pts::humiditySig, true},
        {&P::VSeries, &Pts::windSpeed, true},           {&P::DSeries, &Pts::windDirection, true},
        {&P::VSigSeries, &Pts::windSpeedSig, true},     {&P::DSigSeries, &Pts::windDirectionSig, true},
        {&P::XYSeries, &Pts::trajectory, true},         {&P::VAscSeries, &Pts::ascentRate, true},
        {&P::HSeries, &Pts::heightTime, true},          {&P::p3D, &Pts::flight, true},
        {&P::TSecSeries, &Pts::temperature, false},     {&P::USecSeries, &Pts::humidity, false},
        {&P::VSecSeries, &Pts::windSpeed, false},       {&P::DSecSeries, &Pts::windDirection, false},
        {&P::XYSecSeries, &Pts::trajectory, false},     {&P::p3D2, &Pts::flight, false},
    };
    // Each of Zigzag's three descents is 3 K colder lower down: flagged in height mode.
    const auto s = Sounding(Zigzag());
    options.ShowSig = true;
    options.CombineTU = true;
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        options.LeftAxisP = pressure;
        Refill(s);
        charts->ClearSecondarySeries();
        charts->FillSecondarySeries(s);
        const products::ProfileOptions product{.pressureAxis = pressure, .showSig = true, .combineTU = true};
        const Pts primary = products::PrimaryProfilePoints(s, product);
        const Pts secondary = products::SecondaryProfilePoints(s, product);
        int flagged = 0;
        for (const Copy& c : copies) {
            const Series& series = *(charts.get()->*c.series);
            const products::PointList& points = (c.primary ? primary : secondary).*c.points;
            SCOPED_TRACE(series.title.toStdString());
            ASSERT_FALSE(points.empty());
            ASSERT_EQ(series.Count(), static_cast<int>(points.size()));
            for (int k = 0; k < series.Count(); ++k) {
                const chart::ChartPoint& got = series.Point(k);
                const products::ProfilePoint& want = points[std::size_t(k)];
                EXPECT_EQ(got.x, want.x);
                EXPECT_EQ(got.y, want.y);
                EXPECT_EQ(got.z, want.z);
                if (want.implausible) {
                    EXPECT_TRUE(Marked(got));
                    ++flagged;
                } else {
                    EXPECT_EQ(got.label.toStdString(), want.label);
                    EXPECT_FALSE(got.colour.isValid());
                }
            }
        }
        EXPECT_EQ(flagged, pressure ? 0 : 3);
        EXPECT_EQ(charts->XYSeries->Point(1).label, QStringLiteral("20"));
    }
}

TEST_F(ProfileChartsTest, SortingOrdersProfilesAndRefillRestoresLevelOrder) {
    options.ShowSig = true;
    options.CombineTU = true;
    const auto s = Sounding(Zigzag());
    struct Order {
        Series* ProfileCharts::*series;
        int direction;  // 1 ascending, -1 descending, 0 level order kept
    };
    using P = ProfileCharts;
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

std::vector<AxisState> VerticalAxes(ProfileCharts& charts) {
    std::vector<AxisState> out;
    for (auto [view, id] : {std::pair{charts.ChrtTemp, AxisId::Left}, std::pair{charts.ChrtWind, AxisId::Left},
                            std::pair{charts.Chrt3D, AxisId::Left}, std::pair{charts.ChrtZ, AxisId::Right}}) {
        const chart::Axis& a = view->Model().AxisOf(id);
        out.push_back({a.title, a.inverted, a.logarithmic});
    }
    return out;
}

void ExpectAxes(ProfileCharts& charts, const std::vector<AxisState>& expected) {
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

void ZoomEverything(ProfileCharts& charts) {
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
    for (Series* s : AllPrimary()) EXPECT_EQ(s->growthStep, ProfileCharts::SeriesGrowthStep) << s->title.toStdString();
    for (Series* s : AllSecondary()) EXPECT_EQ(s->growthStep, ProfileCharts::SeriesGrowthStep) << s->title.toStdString();
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
        QSignalSpy spy(charts.get(), &ProfileCharts::ChartDoubleClicked);
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
        QtWindowDialogs().EditChart(&owner, view, c.pos, QStringLiteral("Тавик:27612_x:Ветер"));
        EXPECT_TRUE(seen);
        EXPECT_GT(changed.count(), changesWhileOpen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(ProfileChartsTest, DirectionThroughNorthBreaksTheDirectionLines) {
    std::vector<tUALevelRec> levels = Zigzag();
    const double directions[] = {340, 345, 350, 355, 5, 10, 15};
    for (std::size_t i = 0; i < levels.size(); ++i) levels[i].WindDir = directions[i];
    options.ShowSig = true;
    Refill(Sounding(levels));
    charts->ClearSecondarySeries();
    charts->FillSecondarySeries(Sounding(levels));
    for (const Series* s : {charts->DSeries, charts->DSigSeries, charts->DSecSeries}) {
        SCOPED_TRACE(s->title.toStdString());
        ASSERT_EQ(s->Count(), 7);
        for (int k = 0; k < 7; ++k) EXPECT_EQ(s->Point(k).breakBefore, k == 4) << k;
    }
}

// A sounding without pressures leaves the pressure charts empty in pressure mode: they say why,
// and say nothing once the mode or the sounding changes.
TEST_F(ProfileChartsTest, PressureChartsSayWhyTheyStayEmpty) {
    const QString note = QStringLiteral("Нет уровней с давлением: выключите «Давление по оси ординат»");
    std::vector<tUALevelRec> levels = Zigzag();
    for (tUALevelRec& l : levels) l.Pressure = MissingValue;
    const auto withoutPressures = Sounding(levels);
    auto notes = [&] {
        std::vector<QString> out;
        for (chart::ChartView* v : charts->Views()) out.push_back(v->Model().emptyNote);
        return out;
    };
    const std::vector<QString> none(5);
    EXPECT_EQ(notes(), none);
    options.LeftAxisP = true;
    charts->SetupVerticalAxes(&withoutPressures, nullptr);
    EXPECT_EQ(notes(), (std::vector<QString>{note, note, {}, {}, note}));
    EXPECT_EQ(charts->TSeries->Count(), 0);
    options.LeftAxisP = false;
    charts->SetupVerticalAxes(&withoutPressures, nullptr);
    EXPECT_EQ(notes(), none);
    options.LeftAxisP = true;
    charts->SetupVerticalAxes(&withoutPressures, nullptr);
    Refill(Sounding(Zigzag()));
    EXPECT_EQ(notes(), none);
    charts->SetupVerticalAxes(&withoutPressures, nullptr);
    charts->ClearPrimarySeries();
    EXPECT_EQ(notes(), none);
}

// A pressure axis is labelled at the standard isobaric levels; a height axis by the usual steps.
TEST_F(ProfileChartsTest, PressureAxesLabelTheStandardLevels) {
    const double standard[] = {1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70, 50, 30, 20, 10, 7, 5, 3, 2, 1};
    std::vector<tUALevelRec> levels;
    const double pressures[] = {1010, 900, 600, 300, 100, 30, 8};
    for (int i = 0; i < 7; ++i) levels.push_back(Level(60.0 * i, pressures[i], 100 + 5000 * i, 10 - 10 * i));
    const auto s = Sounding(levels);
    options.LeftAxisP = true;
    charts->SetupVerticalAxes(&s, nullptr);
    const chart::Chart& temp = charts->ChrtTemp->Model();
    const chart::Renderer tall(temp, QRect(0, 0, 500, 2000));
    std::vector<double> got;
    for (const chart::Tick& t : tall.TicksOf(AxisId::Left)) got.push_back(t.value);
    // 2000 px over two decades: room for every level in the range.
    EXPECT_EQ(got, (std::vector<double>{10, 20, 30, 50, 70, 100, 150, 200, 250, 300, 400, 500, 700, 850, 925, 1000}));
    const chart::Renderer small(temp, QRect(0, 0, 300, 200));
    ASSERT_GE(small.TicksOf(AxisId::Left).size(), 4u);
    for (const chart::Tick& t : small.TicksOf(AxisId::Left))
        EXPECT_NE(std::find(std::begin(standard), std::end(standard), t.value), std::end(standard)) << t.value;
    for (const auto& [view, axis] : {std::pair{charts->ChrtWind, AxisId::Left}, {charts->Chrt3D, AxisId::Left}, {charts->ChrtZ, AxisId::Right}})
        EXPECT_FALSE(view->Model().AxisOf(axis).labelValues.empty());
    options.LeftAxisP = false;
    charts->SetupVerticalAxes(&s, nullptr);
    EXPECT_TRUE(temp.AxisOf(AxisId::Left).labelValues.empty());
}

TEST_F(ProfileChartsTest, TheChartsKnowTheirViews) {
    chart::ChartView stranger;
    EXPECT_FALSE(charts->IsChart(&stranger));
    EXPECT_FALSE(charts->IsChart(nullptr));
    for (chart::ChartView* view : charts->Views()) EXPECT_TRUE(charts->IsChart(view));
}

TEST_F(ProfileChartsTest, EditorIgnoresANullView) {
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
    QtWindowDialogs().EditChart(nullptr, nullptr, QPoint(10, 10), QStringLiteral("x"));
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}

}  // namespace

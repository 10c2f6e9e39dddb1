#include "chart/Renderer.h"

#include "TestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace chart {
namespace {

const QColor Blue(0, 0, 255);
const QColor Green(0, 170, 0);
const QSize Size(400, 300);

// A plain white chart, so that every coloured pixel comes from a series.
void MakePlain(Chart& c) {
    c.gradient = false;
    c.background = Qt::white;
    for (int i = 0; i < AxisCount; ++i) c.AxisOf(static_cast<AxisId>(i)).grid = false;
    c.AxisOf(AxisId::Top).visible = false;
    c.AxisOf(AxisId::Right).visible = false;
}

QImage Render(const Chart& c, QSize size = Size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    Renderer(c, QRect(QPoint(0, 0), size)).Paint(p);
    return img;
}

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

// Where a value lands by the axis mapping written out here, independently of the renderer.
double Expected(const QRect& plot, bool horizontal, double lo, double hi, bool log, bool inverted, double v) {
    double f = log ? (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo)) : (v - lo) / (hi - lo);
    if (inverted) f = 1 - f;
    return horizontal ? plot.left() + f * (plot.width() - 1) : plot.bottom() - f * (plot.height() - 1);
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }
};

TEST_F(RendererTest, PointsLandOnThePixelOfTheAxisMapping) {
    struct Case {
        const char* name;
        bool log, inverted, automatic;
        double lo, hi;          // expected vertical range
        bool zoom;
    };
    const Case cases[] = {
        {"linear automatic", false, false, true, 100, 1000, false},
        {"logarithmic", true, false, true, 100, 1000, false},
        {"logarithmic inverted", true, true, true, 100, 1000, false},
        {"inverted", false, true, true, 100, 1000, false},
        {"fixed range", false, false, false, 0, 2000, false},
        {"zoomed", false, false, true, 250, 800, true},
        {"zoomed logarithmic inverted", true, true, true, 250, 800, true},
    };
    const std::pair<double, double> points[] = {{-40, 1000}, {-20, 700}, {0, 500}, {15, 300}, {20, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chart chart;
        MakePlain(chart);
        Axis& left = chart.AxisOf(AxisId::Left);
        left.logarithmic = c.log;
        left.inverted = c.inverted;
        left.automatic = c.automatic;
        left.minimum = c.lo;
        left.maximum = c.hi;
        Series& s = chart.AddSeries(SeriesKind::Line, "T");
        s.colour = Blue;
        s.penStyle = Qt::NoPen;
        s.marker = MarkerStyle::Square;
        s.markerHSize = s.markerVSize = 0;
        for (auto [x, y] : points) s.Add(x, y);
        double xlo = -40, xhi = 20;
        if (c.zoom) {
            // Zoom by the pixels of a rectangle, as the view does after a drag.
            Renderer before(chart, QRect(QPoint(0, 0), Size));
            const int top = std::lround(*before.PixelOf(AxisId::Left, c.inverted ? 250 : 800));
            const int bottom = std::lround(*before.PixelOf(AxisId::Left, c.inverted ? 800 : 250));
            const QRect plot = before.PlotRect();
            ASSERT_TRUE(before.ZoomTo(chart, QRect(QPoint(plot.left(), top), QPoint(plot.right(), bottom))));
            ASSERT_TRUE(chart.IsZoomed());
        }
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QRect plot = r.PlotRect();
        if (c.zoom) {
            EXPECT_NEAR(r.ScaleOf(AxisId::Left).minimum, 250, c.log ? 5 : 3);
            EXPECT_NEAR(r.ScaleOf(AxisId::Left).maximum, 800, c.log ? 10 : 3);
        }
        const double lo = r.ScaleOf(AxisId::Left).minimum, hi = r.ScaleOf(AxisId::Left).maximum;
        const QImage img = Render(chart);
        for (auto [x, y] : points) {
            const double ex = Expected(plot, true, xlo, xhi, false, false, x);
            const double ey = Expected(plot, false, lo, hi, c.log, c.inverted, y);
            EXPECT_NEAR(*r.PixelOf(AxisId::Left, y), ey, 1e-9);
            const int px = std::lround(ex), py = std::lround(ey);
            if (!plot.contains(px, py)) continue;   // zoomed away
            EXPECT_EQ(At(img, px, py), Blue) << x << " " << y;
            EXPECT_NE(At(img, px + 1, py), Blue);
            EXPECT_NE(At(img, px, py + 1), Blue);
        }
        if (!c.zoom) {
            EXPECT_EQ(lo, c.lo);
            EXPECT_EQ(hi, c.hi);
        }
        chart.UndoZoom();
        EXPECT_FALSE(chart.IsZoomed());
    }
}

TEST_F(RendererTest, MarkersHaveTheirSizeShapeAndColour) {
    struct Case {
        MarkerStyle style;
        int h, v;
        int width, height;  // covered pixels
    };
    const Case cases[] = {
        {MarkerStyle::Square, 2, 2, 5, 5},
        {MarkerStyle::Square, 2, 1, 5, 5},
        {MarkerStyle::Rectangle, 1, 2, 3, 5},
        {MarkerStyle::Rectangle, 3, 0, 7, 1},
        {MarkerStyle::Circle, 4, 4, 9, 9},
        {MarkerStyle::Diamond, 4, 4, 9, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        Chart chart;
        MakePlain(chart);
        Series& s = chart.AddSeries(SeriesKind::Line, "S");
        s.colour = Blue;
        s.marker = c.style;
        s.markerHSize = c.h;
        s.markerVSize = c.v;
        s.Add(0, 0);
        s.Add(10, 10, {}, Green);   // its own colour
        s.Add(5, 5);
        s.penStyle = Qt::NoPen;
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QImage img = Render(chart);
        const QPoint mid(std::lround(*r.PixelOf(AxisId::Bottom, 5)), std::lround(*r.PixelOf(AxisId::Left, 5)));
        int w = 0, h = 0;
        for (int x = mid.x() - 10; x <= mid.x() + 10; ++x) w += At(img, x, mid.y()) == Blue;
        for (int y = mid.y() - 10; y <= mid.y() + 10; ++y) h += At(img, mid.x(), y) == Blue;
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        const QPoint own(std::lround(*r.PixelOf(AxisId::Bottom, 10)), std::lround(*r.PixelOf(AxisId::Left, 10)));
        EXPECT_EQ(At(img, own.x(), own.y()), Green);
        EXPECT_EQ(At(img, own.x(), own.y() + c.height / 2), Green);
        if (c.style == MarkerStyle::Diamond || c.style == MarkerStyle::Circle) {
            EXPECT_NE(At(img, mid.x() + 4, mid.y() + 4), Blue);
        }
        if (c.style == MarkerStyle::Square) {
            EXPECT_EQ(At(img, mid.x() + 2, mid.y() + 2), Blue);
        }
    }
}

TEST_F(RendererTest, LinesJoinThePointsWithTheSeriesPen) {
    Chart chart;
    MakePlain(chart);
    Series& solid = chart.AddSeries(SeriesKind::FastLine, "solid");
    solid.colour = Blue;
    solid.Add(0, 0);
    solid.Add(100, 0);
    Series& dotted = chart.AddSeries(SeriesKind::FastLine, "dotted");
    dotted.colour = Green;
    dotted.penStyle = Qt::DotLine;
    dotted.Add(0, 100);
    dotted.Add(100, 100);
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    const QImage img = Render(chart);
    const int y0 = std::lround(*r.PixelOf(AxisId::Left, 0)), y1 = std::lround(*r.PixelOf(AxisId::Left, 100));
    int solidCount = 0, dottedCount = 0;
    const QRect plot = r.PlotRect();
    for (int x = plot.left(); x <= plot.right(); ++x) {
        solidCount += At(img, x, y0) == Blue;
        dottedCount += At(img, x, y1) == Green;
    }
    EXPECT_EQ(solidCount, plot.width());
    EXPECT_GT(dottedCount, plot.width() / 4);
    EXPECT_LT(dottedCount, plot.width() * 3 / 4);
}

TEST_F(RendererTest, InactiveSeriesAndUnshowableValuesDrawNothing) {
    auto build = [](Chart& c, bool withSecond, bool active, bool badPoint) {
        MakePlain(c);
        c.AxisOf(AxisId::Left).logarithmic = true;
        Series& a = c.AddSeries(SeriesKind::Line, "a");
        a.colour = Blue;
        a.Add(1, 10);
        a.Add(2, 100);
        if (badPoint) {
            a.Add(1.5, 0);       // left out on a logarithmic axis: no range, no marker, no line
            a.Add(1.8, -1e31);
        }
        if (withSecond) {
            Series& b = c.AddSeries(SeriesKind::Line, "b");
            b.colour = Green;
            b.Add(-50, 5000);
            b.Add(70, 1);
            b.active = active;
        }
    };
    Chart plain, inactive, active, bad;
    build(plain, false, true, false);
    build(inactive, true, false, false);
    build(active, true, true, false);
    build(bad, false, true, true);
    const QImage reference = Render(plain);
    EXPECT_EQ(Render(inactive), reference);
    EXPECT_NE(Render(active), reference);
    EXPECT_EQ(Render(bad), reference);
}

TEST_F(RendererTest, MarksAreDrawnOnlyWhenSwitchedOn) {
    auto build = [](Chart& c, bool labels) {
        MakePlain(c);
        Series& s = c.AddSeries(SeriesKind::Line, "xy");
        s.colour = Blue;
        for (int i = 0; i < 5; ++i) s.Add(i, i * i, labels ? QString::number(i * 60) : QString());
    };
    Chart plain, labelled;
    build(plain, false);
    build(labelled, true);
    EXPECT_FALSE(labelled.SeriesAt(0).marksVisible);
    EXPECT_EQ(Render(labelled), Render(plain));
    labelled.SeriesAt(0).marksVisible = true;
    const QImage marked = Render(labelled);
    EXPECT_NE(marked, Render(plain));
    // The mark of a point sits above it and is its label.
    const Renderer r(labelled, QRect(QPoint(0, 0), Size));
    const QPoint p = r.MapPoint(labelled.SeriesAt(0), labelled.SeriesAt(0).Point(2))->toPoint();
    const HitResult h = r.HitTest(p - QPoint(0, 12));
    EXPECT_EQ(h.part, ChartPart::SeriesMarks);
    EXPECT_EQ(h.point, 2);
    int dark = 0;   // text pixels in the mark's box
    for (int y = p.y() - 20; y < p.y() - 6; ++y)
        for (int x = p.x() - 8; x <= p.x() + 8; ++x) dark += qGray(marked.pixel(x, y)) < 100;
    EXPECT_GT(dark, 5);
}

TEST_F(RendererTest, ClippingKeepsSeriesInsideThePlot) {
    Chart chart;
    MakePlain(chart);
    chart.margins = QMargins(30, 30, 30, 30);
    Axis& bottom = chart.AxisOf(AxisId::Bottom);
    bottom.automatic = false;
    bottom.minimum = 0;
    bottom.maximum = 10;
    Series& s = chart.AddSeries(SeriesKind::Line, "s");
    s.colour = Blue;
    s.marker = MarkerStyle::Square;
    s.markerHSize = 3;
    s.Add(5, 0);
    s.Add(5, 10);
    s.Add(10.2, 5);   // beyond the right end of the bottom axis
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    const QRect plot = r.PlotRect();
    const int y = std::lround(*r.PixelOf(AxisId::Left, 5));
    const int outside = std::lround(*r.PixelOf(AxisId::Bottom, 10.2));
    ASSERT_GT(outside, plot.right() + 3);
    ASSERT_LT(outside, Size.width());
    EXPECT_EQ(At(Render(chart), outside, y), Blue);
    chart.clipSeries = true;
    const QImage clipped = Render(chart);
    EXPECT_NE(At(clipped, outside, y), Blue);
    for (int yy = 0; yy < Size.height(); ++yy)
        for (int x = plot.right() + 1; x < Size.width(); ++x) ASSERT_NE(At(clipped, x, yy), Blue) << x << "," << yy;
    EXPECT_EQ(At(clipped, std::lround(*r.PixelOf(AxisId::Bottom, 5)), plot.top()), Blue);
}

TEST_F(RendererTest, ClipSegmentCutsAtTheExactCrossingOfTheRectangle) {
    const QRectF rect(0, 0, 100, 50);
    struct Case {
        const char* name;
        QLineF segment;
        std::optional<QLineF> clipped;
    };
    const Case cases[] = {
        {"inside", {10, 10, 90, 40}, QLineF(10, 10, 90, 40)},
        {"far ends both sides", {-1e7, 25 - 0.5e6, 1e7, 25 + 0.5e6}, QLineF(0, 25, 100, 30)},
        {"one end out", {50, 25, 50, 1e9}, QLineF(50, 25, 50, 50)},
        {"through a corner region", {-10, 30, 30, -10}, QLineF(0, 20, 20, 0)},
        {"beside", {-5, -5, 200, -1}, std::nullopt},
        {"past a corner", {-20, 10, 10, -20}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = ClipSegment(c.segment, rect);
        ASSERT_EQ(got.has_value(), c.clipped.has_value());
        if (!got) continue;
        EXPECT_NEAR(got->x1(), c.clipped->x1(), 1e-6);
        EXPECT_NEAR(got->y1(), c.clipped->y1(), 1e-6);
        EXPECT_NEAR(got->x2(), c.clipped->x2(), 1e-6);
        EXPECT_NEAR(got->y2(), c.clipped->y2(), 1e-6);
    }
}

TEST_F(RendererTest, DeepZoomDrawsALineWhereItIs) {
    // y = 0.2 + 0.3 x from x = 0 to 1, zoomed around x = 0.3: both ends lie far outside the view,
    // the far one much farther, so clamping the ends' pixels would turn the line.
    auto line = [](double x) { return 0.2 + 0.3 * x; };
    for (double factor : {500.0, 5000.0}) {
        SCOPED_TRACE(factor);
        Chart chart;
        MakePlain(chart);
        Series& s = chart.AddSeries(SeriesKind::FastLine, "s");
        s.colour = Blue;
        s.Add(0, line(0));
        s.Add(1, line(1));
        const double cx = 0.3, half = 0.5 / factor;
        for (AxisId id : {AxisId::Bottom, AxisId::Left}) {
            Axis& a = chart.AxisOf(id);
            a.zoomed = true;
            const double c = id == AxisId::Bottom ? cx : line(cx);
            a.zoomMinimum = c - half;
            a.zoomMaximum = c + half;
        }
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QImage img = Render(chart);
        const QRect plot = r.PlotRect();
        int checked = 0;
        for (int x = plot.left() + 2; x <= plot.right() - 2; x += 7) {
            const double y = *r.PixelOf(AxisId::Left, line(r.ValueAt(AxisId::Bottom, x)));
            if (y < plot.top() + 2 || y > plot.bottom() - 2) continue;
            const int yi = static_cast<int>(std::lround(y));
            const bool drawn = At(img, x, yi) == Blue || At(img, x, yi - 1) == Blue || At(img, x, yi + 1) == Blue;
            EXPECT_TRUE(drawn) << "column " << x << ", expected row " << y;
            ++checked;
        }
        EXPECT_GT(checked, 20);
    }
}

TEST_F(RendererTest, ALineBreaksBeforeAPointThatStartsANewLine) {
    // A wind direction passing north: 340, 355 | 5, 20 degrees up the chart.
    auto build = [](Chart& c, bool broken) {
        MakePlain(c);
        Axis& bottom = c.AxisOf(AxisId::Bottom);
        bottom.automatic = false;
        bottom.minimum = 0;
        bottom.maximum = 360;
        Series& s = c.AddSeries(SeriesKind::Line, "D");
        s.colour = Blue;
        s.Add(340, 0);
        s.Add(355, 1);
        if (broken) s.BreakLine();
        s.Add(5, 2);
        s.Add(20, 3);
    };
    Chart joined, broken;
    build(joined, false);
    build(broken, true);
    const Renderer r(broken, QRect(QPoint(0, 0), Size));
    const int middle = std::lround(*r.PixelOf(AxisId::Bottom, 180));
    const int row = std::lround(*r.PixelOf(AxisId::Left, 1.5));
    auto blueInColumn = [&](const QImage& img) {
        int n = 0;
        for (int y = r.PlotRect().top(); y <= r.PlotRect().bottom(); ++y) n += At(img, middle, y) == Blue;
        return n;
    };
    EXPECT_GT(blueInColumn(Render(joined)), 0);
    const QImage img = Render(broken);
    EXPECT_EQ(blueInColumn(img), 0);
    EXPECT_NE(r.HitTest(QPoint(middle, row)).part, ChartPart::SeriesLine);
    // The pieces on either side are still drawn and hit.
    const QPointF a = *r.MapPoint(broken.SeriesAt(0), broken.SeriesAt(0).Point(2));
    const QPointF b = *r.MapPoint(broken.SeriesAt(0), broken.SeriesAt(0).Point(3));
    const QPoint mid = ((a + b) / 2).toPoint();
    bool drawn = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) drawn = drawn || At(img, mid.x() + dx, mid.y() + dy) == Blue;
    EXPECT_TRUE(drawn);
    EXPECT_EQ(r.HitTest(mid).part, ChartPart::SeriesLine);
    // A cleared series starts without a pending break.
    Series& s = broken.SeriesAt(0);
    s.BreakLine();
    s.Clear();
    s.Add(0, 0);
    EXPECT_FALSE(s.Point(0).breakBefore);
}

TEST_F(RendererTest, EmptyNoteShownOnlyWhileNoSeriesDrawsAPoint) {
    auto build = [](Chart& c, const QString& note, bool point, bool showable) {
        MakePlain(c);
        c.AxisOf(AxisId::Left).logarithmic = true;
        c.emptyNote = note;
        Series& s = c.AddSeries(SeriesKind::Line, "T");
        s.colour = Blue;
        if (point) s.Add(1, showable ? 500 : 0);   // 0 has no place on a logarithmic axis
    };
    const QString note = QStringLiteral("Нет уровней с давлением");
    Chart plainEmpty, notedEmpty, plainUnshowable, notedUnshowable, plainFull, notedFull;
    build(plainEmpty, {}, false, false);
    build(notedEmpty, note, false, false);
    build(plainUnshowable, {}, true, false);
    build(notedUnshowable, note, true, false);
    build(plainFull, {}, true, true);
    build(notedFull, note, true, true);
    EXPECT_EQ(Render(notedFull), Render(plainFull));
    const Renderer r(notedEmpty, QRect(QPoint(0, 0), Size));
    auto darkNearCentre = [&](const QImage& img) {
        const QPoint c = r.PlotRect().center();
        int dark = 0;
        for (int y = c.y() - 8; y <= c.y() + 8; ++y)
            for (int x = c.x() - 60; x <= c.x() + 60; ++x) dark += qGray(img.pixel(x, y)) < 100;
        return dark;
    };
    EXPECT_EQ(darkNearCentre(Render(plainEmpty)), 0);
    EXPECT_GT(darkNearCentre(Render(notedEmpty)), 20);
    EXPECT_GT(darkNearCentre(Render(notedUnshowable)), 20);
    EXPECT_EQ(darkNearCentre(Render(plainUnshowable)), 0);
}

TEST_F(RendererTest, SortingMovesWholePointsAndIsReversible) {
    Series s(SeriesKind::Line, "s");
    const double ys[] = {500, 1000, 300, 850, 700};
    for (int i = 0; i < 5; ++i) s.Add(i * 1.5, ys[i], QString::number(i), QColor(i * 40, 0, 0));
    auto check = [&](SortOrder order) {
        s.Sort(order);
        for (int i = 0; i < 5; ++i) {
            const ChartPoint& p = s.Point(i);
            const int orig = p.label.toInt();
            EXPECT_EQ(p.x, orig * 1.5);
            EXPECT_EQ(p.y, ys[orig]);
            EXPECT_EQ(p.colour, QColor(orig * 40, 0, 0));
            if (i > 0) {
                EXPECT_TRUE(order == SortOrder::Ascending ? s.Point(i - 1).y < p.y : s.Point(i - 1).y > p.y);
            }
        }
    };
    check(SortOrder::Ascending);
    std::vector<double> ascending;
    for (const auto& p : s.Points()) ascending.push_back(p.y);
    check(SortOrder::Descending);
    std::vector<double> descending;
    for (const auto& p : s.Points()) descending.push_back(p.y);
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, ascending);
    check(SortOrder::Ascending);
}

TEST_F(RendererTest, StorageGrowsByEachSeriesOwnGrowthStep) {
    Series big(SeriesKind::Line, "big");
    big.growthStep = 9000;
    Series plain(SeriesKind::FastLine, "plain");
    Series none(SeriesKind::FastLine, "none");
    none.growthStep = 0;   // still grows, one point at a time
    for (int i = 0; i < 8191; ++i) big.Add(i, i);
    for (int i = 0; i < 1001; ++i) plain.Add(i, i);
    none.Add(1, 1);
    EXPECT_EQ(big.Capacity(), 9000u);
    EXPECT_EQ(plain.Capacity(), 2000u);
    EXPECT_EQ(none.Capacity(), 1u);
}

TEST_F(RendererTest, HitTestNamesThePartAndTheSeries) {
    Chart chart;
    chart.ShowTitle("Заголовок");
    chart.Text(TextId::SubTitle).visible = true;
    chart.Text(TextId::SubTitle).text = "sub";
    chart.Text(TextId::Foot).visible = true;
    chart.Text(TextId::Foot).text = "foot";
    chart.Text(TextId::SubFoot).visible = true;
    chart.Text(TextId::SubFoot).text = "subfoot";
    chart.legendVisible = true;
    chart.AxisOf(AxisId::Bottom).title = "T, °C";
    chart.AxisOf(AxisId::Left).title = "P, гПа";
    Series& first = chart.AddSeries(SeriesKind::Line, "first");
    first.marker = MarkerStyle::Circle;
    first.Add(0, 0);
    first.Add(100, 100);
    Series& second = chart.AddSeries(SeriesKind::Line, "second");
    second.marker = MarkerStyle::Square;
    second.marksVisible = true;
    second.Add(0, 100, "lbl");
    second.Add(100, 50);
    const Renderer r(chart, QRect(0, 0, 500, 400));
    const QRect plot = r.PlotRect();
    auto at = [&](double x, double y) {
        return QPoint(std::lround(*r.PixelOf(AxisId::Bottom, x)), std::lround(*r.PixelOf(AxisId::Left, y)));
    };
    struct Case {
        const char* name;
        QPoint pos;
        ChartPart part;
        int series;
        std::optional<AxisId> axis;
    };
    const Case cases[] = {
        {"title", {250, 7}, ChartPart::Title, -1, {}},
        {"subtitle", {250, 21}, ChartPart::SubTitle, -1, {}},
        {"foot", {250, 372}, ChartPart::Foot, -1, {}},
        {"subfoot", {250, 390}, ChartPart::SubFoot, -1, {}},
        {"series point", at(100, 100), ChartPart::SeriesPoint, 0, {}},
        {"series line", at(50, 50), ChartPart::SeriesLine, 0, {}},
        {"second series line", at(50, 75), ChartPart::SeriesLine, 1, {}},
        {"second series point", at(100, 50), ChartPart::SeriesPoint, 1, {}},
        {"marks", at(0, 100) - QPoint(0, 12), ChartPart::SeriesMarks, 1, {}},
        {"panel", at(80, 20), ChartPart::ChartRect, -1, {}},
        {"bottom axis", QPoint(plot.center().x(), plot.bottom() + 8), ChartPart::Axis, -1, AxisId::Bottom},
        {"left axis", QPoint(plot.left() - 6, plot.center().y()), ChartPart::Axis, -1, AxisId::Left},
        {"right axis", QPoint(plot.right() + 6, plot.center().y()), ChartPart::Axis, -1, AxisId::Right},
        {"top axis", QPoint(plot.center().x(), plot.top() - 6), ChartPart::Axis, -1, AxisId::Top},
        {"left title", QPoint(r.Rect().left() + 10, plot.center().y()), ChartPart::AxisTitle, -1, AxisId::Left},
        {"legend", QPoint(495 - 10, 200), ChartPart::Legend, -1, {}},
        {"outside", QPoint(1, 200), ChartPart::None, -1, {}},
    };
    for (const Case& c : cases) {
        const HitResult h = r.HitTest(c.pos);
        EXPECT_EQ(h.part, c.part) << c.name;
        if (c.series >= 0) {
            EXPECT_EQ(h.series, c.series) << c.name;
        }
        EXPECT_EQ(h.axis, c.axis) << c.name;
    }
    // The bottom title lies below the bottom labels.
    const HitResult t = r.HitTest(QPoint(plot.center().x(), plot.bottom() + 26));
    EXPECT_EQ(t.part, ChartPart::AxisTitle);
    EXPECT_EQ(t.axis, AxisId::Bottom);
    // An inactive series is not hit.
    second.active = false;
    EXPECT_EQ(Renderer(chart, QRect(0, 0, 500, 400)).HitTest(at(100, 50)).part, ChartPart::ChartRect);
}

TEST_F(RendererTest, ThreeDimensionalSeriesFollowsTheProjection) {
    Chart chart;
    MakePlain(chart);
    chart.view3D = true;
    chart.depthPercent = 40;
    chart.AxisOf(AxisId::Depth).visible = true;
    Series& s = chart.AddSeries(SeriesKind::Point3D, "xyz");
    s.colour = Blue;
    s.Add3D(0, 0, 0);
    s.Add3D(10, 5, 2);
    s.Add3D(5, 10, 4);
    // Without rotation the front face is the 2D plot.
    chart.azimuth = chart.elevation = 0;
    {
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QRect plot = r.PlotRect();
        const QPointF p = *r.MapPoint(s, s.Point(1));
        EXPECT_NEAR(p.x(), plot.right(), 1e-9);
        EXPECT_NEAR(p.y(), plot.top() + (plot.height() - 1) / 2.0, 1e-9);
    }
    for (auto [az, el] : {std::pair{20.0, 15.0}, std::pair{60.0, 40.0}, std::pair{-30.0, 10.0}}) {
        chart.azimuth = az;
        chart.elevation = el;
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QImage img = Render(chart);
        const QPointF a = *r.MapPoint(s, s.Point(1)), b = *r.MapPoint(s, s.Point(2));
        EXPECT_EQ(a, r.Project(1, 0.5, 0.5));
        const QPoint mid = ((a + b) / 2).toPoint();
        int found = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) found += At(img, mid.x() + dx, mid.y() + dy) == Blue;
        EXPECT_GT(found, 0) << az << " " << el;
        // The box fits the plot area.
        for (const QLineF& e : r.BoxEdges()) {
            EXPECT_TRUE(QRectF(r.PlotRect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(e.p1()));
            EXPECT_TRUE(QRectF(r.PlotRect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(e.p2()));
        }
    }
    // The depth axis takes its range from z.
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    EXPECT_EQ(r.ScaleOf(AxisId::Depth).minimum, 0);
    EXPECT_EQ(r.ScaleOf(AxisId::Depth).maximum, 4);
    EXPECT_TRUE(r.AxisShown(AxisId::Depth));
}

TEST_F(RendererTest, CursorLinesCrossWherePlaced) {
    Chart chart;
    MakePlain(chart);
    chart.cursor.active = true;
    chart.cursor.colour = QColor(255, 128, 128);
    chart.cursor.style = Qt::SolidLine;
    Series& s = chart.AddSeries(SeriesKind::FastLine, "s");
    s.colour = Blue;
    s.Add(0, 0);
    s.Add(10, 10);
    Renderer r0(chart, QRect(QPoint(0, 0), Size));
    EXPECT_EQ(*r0.CursorPixel(), r0.PlotRect().center());
    const QPointF v = r0.CursorValueAt(QPoint(std::lround(*r0.PixelOf(AxisId::Bottom, 2.5)), std::lround(*r0.PixelOf(AxisId::Left, 7.5))));
    chart.cursor.placed = true;
    chart.cursor.x = v.x();
    chart.cursor.y = v.y();
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    const QImage img = Render(chart);
    const QPoint at = *r.CursorPixel();
    EXPECT_EQ(at.x(), std::lround(*r.PixelOf(AxisId::Bottom, 2.5)));
    EXPECT_EQ(at.y(), std::lround(*r.PixelOf(AxisId::Left, 7.5)));
    EXPECT_EQ(At(img, at.x(), r.PlotRect().top() + 2), chart.cursor.colour);
    EXPECT_EQ(At(img, r.PlotRect().right() - 2, at.y()), chart.cursor.colour);
}

// A chart with fixed ranges 0..10 both ways, so that test values map to known pixels.
void MakeFixed(Chart& c) {
    MakePlain(c);
    for (AxisId id : {AxisId::Bottom, AxisId::Left}) {
        Axis& a = c.AxisOf(id);
        a.automatic = false;
        a.minimum = 0;
        a.maximum = 10;
    }
}

QPoint PixelAt(const Renderer& r, double x, double y) {
    return {static_cast<int>(std::lround(*r.PixelOf(AxisId::Bottom, x))), static_cast<int>(std::lround(*r.PixelOf(AxisId::Left, y)))};
}

TEST_F(RendererTest, AreasFillEachPolygonOverWhatLiesBeneath) {
    Chart chart;
    MakeFixed(chart);
    Series& line = chart.AddSeries(SeriesKind::FastLine, "beneath");
    line.colour = Blue;
    line.Add(0, 5);
    line.Add(10, 5);
    Series& area = chart.AddSeries(SeriesKind::Area, "area");
    area.penStyle = Qt::NoPen;
    area.fill = QColor(255, 0, 0, 128);
    for (auto [x, y] : {std::pair{1.0, 1.0}, {4.0, 1.0}, {4.0, 9.0}, {1.0, 9.0}}) area.Add(x, y);
    area.BreakLine();
    for (auto [x, y] : {std::pair{6.0, 1.0}, {9.0, 1.0}, {9.0, 9.0}}) area.Add(x, y);
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    const QImage img = Render(chart);
    const QColor inside = At(img, PixelAt(r, 2, 3).x(), PixelAt(r, 2, 3).y());
    EXPECT_EQ(inside.red(), 255);
    EXPECT_NEAR(inside.green(), 127, 2);   // half red over white
    const QColor overLine = At(img, PixelAt(r, 2, 5).x(), PixelAt(r, 2, 5).y());
    EXPECT_NEAR(overLine.red(), 128, 2);   // the line beneath shows through
    EXPECT_NEAR(overLine.blue(), 127, 2);
    // No fill joins the two polygons, and the triangle's empty half stays white.
    EXPECT_EQ(At(img, PixelAt(r, 5, 3).x(), PixelAt(r, 5, 3).y()), QColor(Qt::white));
    EXPECT_EQ(At(img, PixelAt(r, 6.5, 8).x(), PixelAt(r, 6.5, 8).y()), QColor(Qt::white));
    EXPECT_NE(At(img, PixelAt(r, 8.5, 3).x(), PixelAt(r, 8.5, 3).y()), QColor(Qt::white));
}

TEST_F(RendererTest, DeepZoomFillsAnAreaWhereItIs) {
    // The triangle under y = 0.6 x from x = 0 to 1, zoomed around a point of its slanted edge: its
    // corners lie far outside the view, so clamping their pixels would turn the edge.
    for (double factor : {500.0, 5000.0}) {
        SCOPED_TRACE(factor);
        Chart chart;
        MakePlain(chart);
        Series& area = chart.AddSeries(SeriesKind::Area, "area");
        area.penStyle = Qt::NoPen;
        area.fill = Blue;
        for (auto [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.6}}) area.Add(x, y);
        const double half = 0.5 / factor;
        for (AxisId id : {AxisId::Bottom, AxisId::Left}) {
            Axis& a = chart.AxisOf(id);
            a.zoomed = true;
            const double c = id == AxisId::Bottom ? 0.5 : 0.3;
            a.zoomMinimum = c - half;
            a.zoomMaximum = c + half;
        }
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QImage img = Render(chart);
        const QRect plot = r.PlotRect();
        int inside = 0, outside = 0;
        for (int x = plot.left() + 3; x <= plot.right() - 3; x += 9) {
            const double edge = *r.PixelOf(AxisId::Left, 0.6 * r.ValueAt(AxisId::Bottom, x));
            for (int y = plot.top() + 3; y <= plot.bottom() - 3; y += 9) {
                if (std::abs(y - edge) < 3) continue;
                const bool below = y > edge;   // screen y grows downwards: below the edge is inside
                EXPECT_EQ(At(img, x, y) == Blue, below) << "pixel " << x << "," << y << ", edge row " << edge;
                ++(below ? inside : outside);
            }
        }
        EXPECT_GT(inside, 20);
        EXPECT_GT(outside, 20);
    }
}

// Dark runs along a row between two columns: each barb crossing the row is one run.
std::vector<int> RunsAlong(const QImage& img, int y, int from, int to) {
    std::vector<int> runs;
    int length = 0;
    for (int x = from; x <= to; ++x) {
        if (qGray(img.pixel(x, y)) < 160) {
            ++length;
        } else if (length > 0) {
            runs.push_back(length);
            length = 0;
        }
    }
    if (length > 0) runs.push_back(length);
    return runs;
}

TEST_F(RendererTest, WindBarbsCountTheSpeedInFivesTensAndFifties) {
    // A west wind: the staff runs left from the base, the feathers point up (northern hemisphere).
    struct Case {
        double speed;
        std::size_t nearStaff, farFromStaff;   // runs 3 and 7 pixels above the staff
    };
    const Case cases[] = {{3, 1, 0}, {5, 1, 0}, {10, 1, 1}, {25, 3, 2}, {50, 1, 1}, {65, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        Chart chart;
        MakeFixed(chart);
        Series& barbs = chart.AddSeries(SeriesKind::WindBarbs, "wind");
        barbs.colour = Qt::black;
        barbs.Add3D(270, 5, c.speed);
        const Renderer r(chart, QRect(QPoint(0, 0), Size));
        const QImage img = Render(chart);
        const int staffY = PixelAt(r, 0, 5).y();
        const int right = r.PlotRect().right() - 1, left = right - 70;
        const auto near = RunsAlong(img, staffY - 3, left, right);
        EXPECT_EQ(near.size(), c.nearStaff);
        EXPECT_EQ(RunsAlong(img, staffY - 7, left, right).size(), c.farFromStaff);
        EXPECT_TRUE(RunsAlong(img, staffY + 4, left, right).empty()) << "nothing below the staff";
        if (c.speed == 50) {
            EXPECT_GE(near.at(0), 4) << "a pennant is filled";
        }
    }
}

TEST_F(RendererTest, WindBarbsPointToTheWindAndThinOut) {
    Chart chart;
    MakeFixed(chart);
    chart.AxisOf(AxisId::Bottom).automatic = true;
    Series& line = chart.AddSeries(SeriesKind::FastLine, "line");
    line.Add(0, 0);
    line.Add(10, 10);
    Series& barbs = chart.AddSeries(SeriesKind::WindBarbs, "wind");
    barbs.colour = Qt::black;
    barbs.Add3D(0, 2, 10);       // from the north: the staff goes up
    barbs.Add3D(90, 2.2, 10);    // too close to the one before: left out
    barbs.Add3D(90, 8, 10);      // from the east: feathers to the north in the southern hemisphere
    barbs.barbsSouth = true;
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    EXPECT_EQ(r.ScaleOf(AxisId::Bottom).maximum, 10) << "the directions give the bottom axis no range";
    const QImage img = Render(chart);
    const QPoint base = PixelAt(r, 0, 2);
    const int x = r.PlotRect().right() - 26 - 5 - 2;   // staff, feather lean, gap
    EXPECT_LT(qGray(img.pixel(x, base.y() - 15)), 160);
    EXPECT_GT(qGray(img.pixel(x, base.y() + 15)), 200);
    // The east barb of the same height is not drawn: nothing right of the base at its row.
    EXPECT_TRUE(RunsAlong(img, PixelAt(r, 0, 2.2).y(), x + 3, x + 26).empty());
    const int eastY = PixelAt(r, 0, 8).y();
    EXPECT_FALSE(RunsAlong(img, eastY, x + 3, x + 26).empty()) << "the east staff goes right";
    EXPECT_FALSE(RunsAlong(img, eastY - 6, x + 10, x + 32).empty()) << "southern feathers on the left of the staff";
    EXPECT_TRUE(RunsAlong(img, eastY + 6, x + 10, x + 32).empty());
}

TEST_F(RendererTest, LineLabelsSitAtTheLineEndInsideThePlotAndNeverOverlap) {
    Chart chart;
    MakeFixed(chart);
    const QColor red(255, 0, 0);
    Series& a = chart.AddSeries(SeriesKind::FastLine, "a");
    a.colour = red;
    a.lineLabel = "-40";
    a.Add(-5, 4);    // enters through the left edge at y = 4.5
    a.Add(5, 5);
    Series& b = chart.AddSeries(SeriesKind::FastLine, "b");
    b.colour = Blue;
    b.lineLabel = "-30";
    b.Add(-5, 4.1);  // the same place: its label would cover the first one
    b.Add(5, 5.1);
    Series& c = chart.AddSeries(SeriesKind::FastLine, "c");
    c.colour = Green;
    c.lineLabel = "20";
    c.lineLabelAt = LineLabelAt::End;
    c.Add(2, 1);
    c.Add(8, 20);   // leaves through the top
    const Renderer r(chart, QRect(QPoint(0, 0), Size));
    const QRect plot = r.PlotRect();
    const auto ra = r.LaidOut().LineLabelRect(a);
    const auto rc = r.LaidOut().LineLabelRect(c);
    ASSERT_TRUE(ra && rc);
    EXPECT_TRUE(plot.contains(*ra) && plot.contains(*rc));
    EXPECT_LE(ra->left() - plot.left(), 2);
    EXPECT_NEAR(ra->center().y(), PixelAt(r, 0, 4.5).y(), 2);
    EXPECT_LE(rc->top() - plot.top(), 2);
    EXPECT_NEAR(rc->center().x(), *r.PixelOf(AxisId::Bottom, 2 + 6 * 9.0 / 19), 2);
    const QImage img = Render(chart);
    int reds = 0, blues = 0, greens = 0;
    for (int y = ra->top(); y <= ra->bottom(); ++y)
        for (int x = ra->left(); x <= ra->right(); ++x) {
            const QColor px = img.pixelColor(x, y);
            reds += px.red() > 150 && px.green() < 120 && px.blue() < 120;
            blues += px.blue() > 150 && px.red() < 120;
        }
    for (int y = rc->top(); y <= rc->bottom(); ++y)
        for (int x = rc->left(); x <= rc->right(); ++x) greens += img.pixelColor(x, y).green() > 120 && img.pixelColor(x, y).red() < 100;
    EXPECT_GT(reds, 5) << "the first label is drawn";
    EXPECT_EQ(blues, 0) << "the covering label and its line beneath are not";
    EXPECT_GT(greens, 5);
    // A line wholly outside the plot has no label.
    Series& d = chart.AddSeries(SeriesKind::FastLine, "d");
    d.lineLabel = "x";
    d.Add(-5, 1);
    d.Add(-1, 9);
    EXPECT_FALSE(Renderer(chart, QRect(QPoint(0, 0), Size)).LaidOut().LineLabelRect(d));
}

TEST_F(RendererTest, PlotKeepsItsAspectCentredInTheRoom) {
    Chart chart;
    MakeFixed(chart);
    for (double aspect : {1.0, 0.5, 3.0}) {
        SCOPED_TRACE(aspect);
        chart.plotAspect = aspect;
        const Renderer r(chart, QRect(0, 0, 500, 300));
        const QRect plot = r.PlotRect();
        EXPECT_NEAR(static_cast<double>(plot.width()) / plot.height(), aspect, 0.02);
        chart.plotAspect = 0;
        const QRect free = Renderer(chart, QRect(0, 0, 500, 300)).PlotRect();
        EXPECT_TRUE(free.contains(plot));
        EXPECT_TRUE(std::abs(plot.center().x() - free.center().x()) <= 1 || std::abs(plot.center().y() - free.center().y()) <= 1);
        EXPECT_TRUE(plot.width() == free.width() || plot.height() == free.height());
    }
}

}  // namespace
}  // namespace chart

#include "chart/Export.h"
#include "chart/Layout.h"
#include "chart/Renderer.h"

#include "TestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

namespace chart {
namespace {

const QRect Area(0, 0, 500, 400);

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }
};

// A chart in which every painted part has a colour of its own, on white without grid or gradient.
struct PartColours {
    QColor title{200, 0, 0}, foot{0, 0, 200};
    QColor bottomLabels{0, 150, 0}, leftLabels{150, 0, 150};
    QColor bottomAxis{0, 90, 90}, leftAxis{90, 90, 0};
    QColor first{255, 128, 0}, second{0, 128, 255};
};

void MakeColoured(Chart& c, const PartColours& colours, bool view3D) {
    c.gradient = false;
    c.background = Qt::white;
    c.view3D = view3D;
    for (int i = 0; i < AxisCount; ++i) c.AxisOf(static_cast<AxisId>(i)).grid = false;
    c.AxisOf(AxisId::Top).visible = false;
    c.AxisOf(AxisId::Right).visible = false;
    c.ShowTitle("Заголовок");
    c.Text(TextId::Title).colour = colours.title;
    c.Text(TextId::Foot).visible = true;
    c.Text(TextId::Foot).text = "Подвал";
    c.Text(TextId::Foot).colour = colours.foot;
    // Fixed ranges with the data inside: no series point lies on an axis line.
    Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.automatic = false;
    bottom.minimum = -1;
    bottom.maximum = 11;
    bottom.colour = colours.bottomAxis;
    bottom.labelColour = colours.bottomLabels;
    Axis& left = c.AxisOf(AxisId::Left);
    left.automatic = false;
    left.minimum = 0;
    left.maximum = 110;
    left.colour = colours.leftAxis;
    left.labelColour = colours.leftLabels;
    c.legendVisible = true;
    Series& first = c.AddSeries(SeriesKind::Line, "first");
    first.colour = colours.first;
    first.marker = MarkerStyle::Circle;
    first.markerHSize = first.markerVSize = 3;
    // Apart from each other and from the axis lines, so that no part covers another.
    for (int i = 1; i <= 10; ++i) first.Add(i, 10 + i * i / 2.0);
    Series& second = c.AddSeries(SeriesKind::FastLine, "second");
    second.colour = colours.second;
    for (int i = 0; i <= 10; ++i) second.Add(i, 100 - i);
}

QImage Paint(const Renderer& r) {
    QImage img(r.Rect().size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    r.Paint(p);
    return img;
}

TEST_F(LayoutTest, TextLinesTakeTheirBandOffThePlot) {
    Chart plain;
    const Layout without = LayOut(plain, Area);
    struct Case {
        const char* name;
        TextId id;
        bool top;
    };
    const Case cases[] = {
        {"title", TextId::Title, true},
        {"subtitle", TextId::SubTitle, true},
        {"foot", TextId::Foot, false},
        {"subfoot", TextId::SubFoot, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chart chart;
        chart.Text(c.id).visible = true;
        chart.Text(c.id).text = "text";
        const Layout with = LayOut(chart, Area);
        const TextLayout& band = with.TextAt(c.id);
        ASSERT_TRUE(band.shown);
        EXPECT_EQ(band.text, "text");
        const QRect inside = Area.marginsRemoved(chart.margins);
        EXPECT_EQ(band.rect.left(), inside.left());
        EXPECT_EQ(band.rect.width(), inside.width());
        EXPECT_GT(band.rect.height(), QFontMetrics(with.titleFont).height());
        if (c.top) {
            EXPECT_EQ(band.rect.top(), inside.top());
            EXPECT_EQ(with.plot.top(), without.plot.top() + band.rect.height());
            EXPECT_EQ(with.plot.bottom(), without.plot.bottom());
        } else {
            EXPECT_EQ(band.rect.bottom(), inside.bottom());
            EXPECT_EQ(with.plot.bottom(), without.plot.bottom() - band.rect.height());
            EXPECT_EQ(with.plot.top(), without.plot.top());
        }
        for (TextId other : {TextId::Title, TextId::SubTitle, TextId::Foot, TextId::SubFoot})
            if (other != c.id) {
                EXPECT_FALSE(with.TextAt(other).shown);
            }
    }
    // Title and subtitle stack downwards, subfoot and foot upwards, the subfoot lowest.
    Chart all;
    for (TextId id : {TextId::Title, TextId::SubTitle, TextId::Foot, TextId::SubFoot}) all.Text(id).visible = true;
    const Layout stacked = LayOut(all, Area);
    EXPECT_EQ(stacked.TextAt(TextId::SubTitle).rect.top(), stacked.TextAt(TextId::Title).rect.bottom() + 1);
    EXPECT_EQ(stacked.TextAt(TextId::Foot).rect.bottom() + 1, stacked.TextAt(TextId::SubFoot).rect.top());
    EXPECT_LT(stacked.TextAt(TextId::SubTitle).rect.bottom(), stacked.plot.top());
    EXPECT_GT(stacked.TextAt(TextId::Foot).rect.top(), stacked.plot.bottom());
}

TEST_F(LayoutTest, LegendAndAxesStayOutsideThePlot) {
    Chart chart;
    chart.legendVisible = true;
    chart.AxisOf(AxisId::Bottom).title = "T";
    chart.AxisOf(AxisId::Left).title = "P";
    chart.AddSeries(SeriesKind::Line, "a long series title").Add(0, 1000);
    chart.AddSeries(SeriesKind::Line, "b").Add(10, 1);
    const Layout l = LayOut(chart, Area);
    ASSERT_EQ(l.legend.size(), 2u);
    EXPECT_LT(l.plot.right(), l.legendRect.left());
    for (const LegendEntry& e : l.legend) EXPECT_TRUE(l.legendRect.contains(e.rect));
    for (AxisId id : {AxisId::Bottom, AxisId::Top, AxisId::Left, AxisId::Right}) {
        SCOPED_TRACE(static_cast<int>(id));
        const AxisLayout& a = l.AxisAt(id);
        ASSERT_TRUE(a.shown);
        EXPECT_FALSE(a.ticks.empty());
        EXPECT_FALSE(a.band.intersects(l.plot));
        EXPECT_TRUE(Area.contains(a.band));
        if (!chart.AxisOf(id).title.isEmpty()) {
            EXPECT_FALSE(a.titleRect.intersects(a.band));
        }
    }
    // The end labels of the bottom axis lie inside the chart.
    const QFontMetricsF fm(l.font);
    for (const Tick& t : l.AxisAt(AxisId::Bottom).ticks) {
        const double x = *l.PixelOf(AxisId::Bottom, t.value);
        EXPECT_GE(x - fm.horizontalAdvance(t.label) / 2, Area.left() - 0.5) << t.label.toStdString();
        EXPECT_LE(x + fm.horizontalAdvance(t.label) / 2, Area.right() + 0.5) << t.label.toStdString();
    }
}

TEST_F(LayoutTest, RenderOptionsShowWhatTheChartWouldWithoutChangingIt) {
    Chart chart;
    MakeColoured(chart, PartColours{}, false);
    chart.HideTitle();
    chart.Text(TextId::Title).bold = true;
    chart.clipSeries = false;
    chart.AxisOf(AxisId::Left).automatic = false;   // series drawn beyond the plot: clipping shows
    chart.AxisOf(AxisId::Left).maximum = 50;
    int changes = 0;
    QObject::connect(&chart, &Chart::Changed, [&] { ++changes; });

    RenderOptions options;
    options.title = QStringLiteral("Тавик:27612");
    options.clipSeries = true;
    const QImage optioned = RenderImage(chart, Area.size(), options);

    EXPECT_FALSE(chart.Text(TextId::Title).visible);
    EXPECT_EQ(chart.Text(TextId::Title).text, "Заголовок");
    EXPECT_FALSE(chart.clipSeries);
    EXPECT_EQ(changes, 0);

    Chart changed;
    MakeColoured(changed, PartColours{}, false);
    changed.Text(TextId::Title).bold = true;
    changed.ShowTitle(*options.title);
    changed.clipSeries = true;
    changed.AxisOf(AxisId::Left).automatic = false;
    changed.AxisOf(AxisId::Left).maximum = 50;
    EXPECT_EQ(optioned, RenderImage(changed, Area.size()));
    EXPECT_NE(optioned, RenderImage(chart, Area.size()));
    EXPECT_EQ(EmfData(chart, Area.size(), options), EmfData(changed, Area.size()));

    // An option can also switch off what the chart has on.
    RenderOptions noClip;
    noClip.clipSeries = false;
    EXPECT_FALSE(LayOut(changed, Area, noClip).clipSeries);
    EXPECT_TRUE(LayOut(changed, Area).clipSeries);
}

bool AlongPlot(const QRect& plot, AxisId id, const QPoint& pos) {
    return IsHorizontal(id) ? pos.x() >= plot.left() && pos.x() <= plot.right()
                            : pos.y() >= plot.top() && pos.y() <= plot.bottom();
}

// Every pixel painted in a part's own colour is hit as that part.
TEST_F(LayoutTest, HitTestAgreesWithPainting) {
    const PartColours colours;
    struct Expect {
        QColor colour;
        ChartPart part;
        int series;
        std::optional<AxisId> axis;
        bool only2D;   // in 3D the axes run along the box, away from their 2D bands
    };
    const Expect expected[] = {
        {colours.title, ChartPart::Title, -1, {}, false},
        {colours.foot, ChartPart::Foot, -1, {}, false},
        {colours.bottomLabels, ChartPart::Axis, -1, AxisId::Bottom, true},
        {colours.leftLabels, ChartPart::Axis, -1, AxisId::Left, true},
        {colours.bottomAxis, ChartPart::Axis, -1, AxisId::Bottom, true},
        {colours.leftAxis, ChartPart::Axis, -1, AxisId::Left, true},
        {colours.first, ChartPart::SeriesLine, 0, {}, false},
        {colours.second, ChartPart::SeriesLine, 1, {}, false},
    };
    for (bool view3D : {false, true}) {
        SCOPED_TRACE(view3D ? "3D" : "2D");
        Chart chart;
        MakeColoured(chart, colours, view3D);
        const Renderer r(chart, Area);
        const QImage img = Paint(r);
        std::map<int, int> checked;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QPoint pos(x, y);
                const QColor c = img.pixelColor(pos);
                for (std::size_t k = 0; k < std::size(expected); ++k) {
                    const Expect& e = expected[k];
                    if (c != e.colour || (view3D && e.only2D)) continue;
                    // The axis bands run as long as the plot's sides; the labels of the end ticks
                    // and the line's end pixels reach past them.
                    if (e.axis && !AlongPlot(r.PlotRect(), *e.axis, pos)) continue;
                    const HitResult h = r.HitTest(pos);
                    if (e.series >= 0 && r.LaidOut().legendRect.contains(pos)) {
                        // The swatch of the series in the legend.
                        EXPECT_EQ(h.part, ChartPart::Legend) << x << "," << y;
                        EXPECT_EQ(h.series, e.series) << x << "," << y;
                    } else if (e.series >= 0) {
                        EXPECT_TRUE(h.part == ChartPart::SeriesLine || h.part == ChartPart::SeriesPoint) << x << "," << y;
                        EXPECT_EQ(h.series, e.series) << x << "," << y;
                    } else {
                        EXPECT_EQ(h.part, e.part) << x << "," << y;
                        EXPECT_EQ(h.axis, e.axis) << x << "," << y;
                    }
                    ++checked[static_cast<int>(k)];
                }
            }
        for (std::size_t k = 0; k < std::size(expected); ++k)
            if (!view3D || !expected[k].only2D) {
                EXPECT_GT(checked[static_cast<int>(k)], 0) << k;
            }
    }
}

// The ticks of an axis are painted where the layout puts them, in 2D beside the plot and in 3D
// along the box edge.
TEST_F(LayoutTest, TicksArePaintedAtTheirPlace) {
    const PartColours colours;
    for (bool view3D : {false, true}) {
        SCOPED_TRACE(view3D ? "3D" : "2D");
        Chart chart;
        MakeColoured(chart, colours, view3D);
        chart.legendVisible = false;
        chart.azimuth = 25;
        chart.elevation = 20;
        const Renderer r(chart, Area);
        const Layout& l = r.LaidOut();
        const QImage img = Paint(r);
        struct Side {
            AxisId id;
            QColor colour;
            QPoint outwards;   // from the axis line along the tick
        };
        for (const Side& s : {Side{AxisId::Bottom, colours.bottomAxis, {0, 1}}, Side{AxisId::Left, colours.leftAxis, {-1, 0}}}) {
            const auto& ticks = l.AxisAt(s.id).ticks;
            ASSERT_GE(ticks.size(), 2u);
            for (const Tick& t : ticks) {
                QPointF at;
                if (view3D) {
                    at = l.box.AxisPoint(s.id, *l.AxisAt(s.id).scale.Fraction(t.value));
                } else {
                    const double pixel = *l.PixelOf(s.id, t.value);
                    at = IsHorizontal(s.id) ? QPointF(pixel, l.plot.bottom() + 1) : QPointF(l.plot.left() - 1, pixel);
                }
                const QPoint tickMiddle = at.toPoint() + 2 * s.outwards;
                EXPECT_EQ(img.pixelColor(tickMiddle), s.colour) << t.label.toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace chart

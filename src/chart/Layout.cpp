#include "chart/Layout.h"

#include "chart/LayoutMeasures.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace chart {

namespace {

constexpr AxisId PlaneAxes[] = {AxisId::Bottom, AxisId::Top, AxisId::Left, AxisId::Right};

int Index(AxisId id) { return static_cast<int>(id); }

// Range of the data an axis shows: the values of the active series attached to it.
struct DataRange {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void Take(double v, bool logarithmic) {
        if (!std::isfinite(v) || (logarithmic && v <= 0.0)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool Empty() const { return lo > hi; }
};

DataRange DataRangeOf(const Chart& chart, AxisId id) {
    const bool logarithmic = chart.AxisOf(id).logarithmic;
    DataRange r;
    for (int k = 0; k < chart.SeriesCount(); ++k) {
        const Series& ser = chart.SeriesAt(k);
        if (!ser.active) continue;
        // Barbs stand in their column whatever their direction: only their vertical value counts.
        const bool useX = ser.horizontalAxis == id && ser.Kind() != SeriesKind::WindBarbs;
        const bool useY = ser.verticalAxis == id;
        const bool useZ = id == AxisId::Depth && ser.Kind() == SeriesKind::Point3D;
        if (!useX && !useY && !useZ) continue;
        for (const ChartPoint& pt : ser.Points()) {
            if (useX) r.Take(pt.x, logarithmic);
            if (useY) r.Take(pt.y, logarithmic);
            if (useZ) r.Take(pt.z, logarithmic);
        }
    }
    return r;
}

// The range an axis shows: its zoom, its fixed range or its data, widened when empty.
AxisScale ScaleOf(const Chart& chart, AxisId id) {
    const Axis& a = chart.AxisOf(id);
    double lo, hi;
    if (a.zoomed) {
        lo = a.zoomMinimum;
        hi = a.zoomMaximum;
    } else if (!a.automatic) {
        lo = a.minimum;
        hi = a.maximum;
    } else if (const DataRange r = DataRangeOf(chart, id); r.Empty()) {
        lo = a.logarithmic ? 1.0 : 0.0;
        hi = a.logarithmic ? 10.0 : 1.0;
    } else {
        lo = r.lo;
        hi = r.hi;
    }
    if (lo > hi) std::swap(lo, hi);
    if (a.logarithmic) {
        if (!(hi > 0.0)) hi = 10.0;
        if (!(lo > 0.0)) lo = hi / 1000.0;
        if (lo == hi) { lo /= 2.0; hi *= 2.0; }
    } else if (lo == hi) {
        const double pad = lo == 0.0 ? 1.0 : std::abs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    AxisScale s;
    s.logarithmic = a.logarithmic;
    s.inverted = a.inverted;
    s.minimum = lo;
    s.maximum = hi;
    return s;
}

// The steps of LayOut, in the order they run; each writes its part of the result.
class LayoutSteps {
public:
    LayoutSteps(const Chart& chart, const QRect& rect, const RenderOptions& options)
        : chart(chart), options(options), fm(Font(chart, 0)), tfm(Font(chart, 1)) {
        out.rect = rect;
        out.font = Font(chart, 0);
        out.titleFont = Font(chart, 1);
        out.view3D = chart.view3D;
        out.clipSeries = options.clipSeries.value_or(chart.clipSeries);
    }

    Layout Run() {
        QRect outer = out.rect.marginsRemoved(chart.margins);
        PlaceTexts(outer);
        PlaceLegend(outer);
        ComputeScales();
        PlaceAxes(outer);
        PadEndLabels(outer);
        KeepAspect();
        PlaceAxisBands();
        Fit3D();
        return std::move(out);
    }

private:
    static QFont Font(const Chart& chart, int larger) {
        QFont f(chart.fontFamily);
        f.setPixelSize(chart.fontPixelSize + larger);
        return f;
    }

    AxisLayout& AxisOf(AxisId id) { return out.axes[Index(id)]; }

    ChartText TextOf(TextId id) const {
        ChartText t = chart.Text(id);
        if (id == TextId::Title && options.title) {
            t.visible = true;
            t.text = *options.title;
        }
        return t;
    }

    // Title lines on top, foot lines at the bottom, each taken off the room left.
    void PlaceTexts(QRect& outer) {
        const int lineHeight = static_cast<int>(std::ceil(tfm.height())) + Gap;
        for (TextId id : {TextId::Title, TextId::SubTitle, TextId::SubFoot, TextId::Foot}) {
            const ChartText t = TextOf(id);
            TextLayout& tl = out.texts[static_cast<int>(id)];
            tl.shown = t.visible;
            tl.text = t.text;
            if (!t.visible) continue;
            if (id == TextId::Title || id == TextId::SubTitle) {
                tl.rect = QRect(outer.left(), outer.top(), outer.width(), lineHeight);
                outer.setTop(outer.top() + lineHeight);
            } else {
                tl.rect = QRect(outer.left(), outer.bottom() - lineHeight + 1, outer.width(), lineHeight);
                outer.setBottom(outer.bottom() - lineHeight);
            }
        }
    }

    // The legend at the right, one row per active series that is listed in it.
    void PlaceLegend(QRect& outer) {
        if (!chart.legendVisible) return;
        const int row = static_cast<int>(std::ceil(fm.height())) + Gap;
        int width = 0;
        for (int k = 0; k < chart.SeriesCount(); ++k) {
            const Series& s = chart.SeriesAt(k);
            if (!s.active || !s.inLegend) continue;
            width = std::max(width, static_cast<int>(std::ceil(fm.horizontalAdvance(s.title))));
            out.legend.push_back({k, QRect()});
        }
        if (out.legend.empty()) return;
        width += LegendSwatch + 3 * Gap + 2;
        const int height = static_cast<int>(out.legend.size()) * row + 2 * Gap;
        out.legendRect = QRect(outer.right() - width + 1, outer.center().y() - height / 2, width, height);
        for (std::size_t i = 0; i < out.legend.size(); ++i)
            out.legend[i].rect = QRect(out.legendRect.left() + 1, out.legendRect.top() + Gap + int(i) * row, width - 2, row);
        outer.setRight(outer.right() - width - Gap);
    }

    void ComputeScales() {
        for (int i = 0; i < AxisCount; ++i) out.axes[i].scale = ScaleOf(chart, static_cast<AxisId>(i));
        for (AxisId id : PlaneAxes) AxisOf(id).shown = chart.AxisOf(id).visible;
        AxisOf(AxisId::Depth).shown = chart.view3D && chart.AxisOf(AxisId::Depth).visible;
    }

    // The densest ticks that fit the axis: along the plot's side in 2D, along the box edge in 3D.
    void ComputeTicks(AxisId id, bool alongBox = false) {
        AxisLayout& al = AxisOf(id);
        al.ticks.clear();
        if (!al.shown) return;
        const QRect& plot = out.plot;
        double length = IsHorizontal(id) ? plot.width() : plot.height();
        if (id == AxisId::Depth) length = std::max(20.0, chart.depthPercent / 100.0 * plot.width() * 0.7);
        if (alongBox) {
            const auto edge = out.box.AxisEdge(id);
            length = std::hypot(edge[1].x() - edge[0].x(), edge[1].y() - edge[0].y());
        }
        LabelExtent extent;
        double gap;
        if (IsHorizontal(id)) {
            extent = [this](const QString& s) { return fm.horizontalAdvance(s); };
            gap = 8;
        } else {
            extent = [this](const QString&) { return fm.height(); };
            gap = fm.height() * 0.8;
        }
        const std::vector<double>& chosen = chart.AxisOf(id).labelValues;
        al.ticks = chosen.empty() ? MakeTicks(al.scale, std::max(1.0, length), extent, gap)
                                  : MakeTicksAt(al.scale, chosen, std::max(1.0, length), extent, gap);
    }

    int TitleHeight(AxisId id) const {
        return chart.AxisOf(id).title.isEmpty() ? 0 : static_cast<int>(std::ceil(tfm.height())) + Gap;
    }

    // The room a plane axis takes beside the plot: line, ticks, labels and title.
    int AxisThickness(AxisId id) const {
        const AxisLayout& al = out.axes[Index(id)];
        if (!al.shown) return 0;
        int t = 1 + TickLength + Gap;
        if (chart.AxisOf(id).labels)
            t += static_cast<int>(std::ceil(IsHorizontal(id) ? fm.height() : WidestLabel(al.ticks, fm)));
        return t + TitleHeight(id) + Gap;
    }

    // The room the depth axis takes at the right of the plot: ticks, labels and title.
    int DepthRoom() {
        if (!AxisOf(AxisId::Depth).shown) return 0;
        ComputeTicks(AxisId::Depth);
        double w = WidestLabel(AxisOf(AxisId::Depth).ticks, fm);
        const QString& title = chart.AxisOf(AxisId::Depth).title;
        if (!title.isEmpty()) w += tfm.horizontalAdvance(title) + Gap;
        return static_cast<int>(std::ceil(w)) + TickLength + 2 * Gap;
    }

    // Horizontal axes take a room independent of their ticks; vertical ones depend on their labels,
    // which depend on the plot height; horizontal ticks depend on the plot width.
    void PlaceAxes(const QRect& outer) {
        QRect& plot = out.plot;
        plot = outer;
        plot.setTop(outer.top() + AxisThickness(AxisId::Top));
        plot.setBottom(outer.bottom() - AxisThickness(AxisId::Bottom));
        if (plot.height() < 2) plot.setHeight(2);
        ComputeTicks(AxisId::Left);
        ComputeTicks(AxisId::Right);
        plot.setLeft(outer.left() + AxisThickness(AxisId::Left));
        const int right = AxisThickness(AxisId::Right) + DepthRoom();
        plot.setRight(outer.right() - right);
        if (plot.width() < 2) plot.setWidth(2);
        ComputeTicks(AxisId::Bottom);
        ComputeTicks(AxisId::Top);
    }

    // Labels at the ends of a horizontal axis must not stick out of the chart.
    void PadEndLabels(const QRect& outer) {
        int padLeft = 0, padRight = 0;
        for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
            const AxisLayout& al = AxisOf(id);
            if (!al.shown || !chart.AxisOf(id).labels) continue;
            for (const Tick& t : al.ticks) {
                const double x = *out.PixelOf(id, t.value);
                const double half = fm.horizontalAdvance(t.label) / 2.0;
                padLeft = std::max(padLeft, static_cast<int>(std::ceil(outer.left() - (x - half))));
                padRight = std::max(padRight, static_cast<int>(std::ceil(x + half - outer.right())));
            }
        }
        QRect& plot = out.plot;
        if ((padLeft > 0 || padRight > 0) && plot.width() > padLeft + padRight + 2) {
            plot.setLeft(plot.left() + padLeft);
            plot.setRight(plot.right() - padRight);
            ComputeTicks(AxisId::Bottom);
            ComputeTicks(AxisId::Top);
        }
    }

    // A plot of fixed proportions: narrowed or lowered to them, centred in the room it had.
    void KeepAspect() {
        if (!(chart.plotAspect > 0.0) || chart.view3D) return;
        QRect& plot = out.plot;
        const double room = static_cast<double>(plot.width()) / plot.height();
        if (room > chart.plotAspect) {
            const int w = std::max(2, static_cast<int>(std::lround(plot.height() * chart.plotAspect)));
            plot = QRect(plot.left() + (plot.width() - w) / 2, plot.top(), w, plot.height());
        } else {
            const int h = std::max(2, static_cast<int>(std::lround(plot.width() / chart.plotAspect)));
            plot = QRect(plot.left(), plot.top() + (plot.height() - h) / 2, plot.width(), h);
        }
        for (AxisId id : PlaneAxes) ComputeTicks(id);
    }

    // Bands and title rectangles of the plane axes, for painting titles and hit testing.
    void PlaceAxisBands() {
        const QRect& plot = out.plot;
        for (AxisId id : PlaneAxes) {
            AxisLayout& al = AxisOf(id);
            if (!al.shown) continue;
            const int thick = AxisThickness(id);
            const int titleH = TitleHeight(id);
            const int bandT = thick - titleH;
            switch (id) {
            case AxisId::Bottom:
                al.band = QRect(plot.left(), plot.bottom() + 1, plot.width(), bandT);
                al.titleRect = QRect(plot.left(), plot.bottom() + 1 + bandT, plot.width(), titleH);
                break;
            case AxisId::Top:
                al.band = QRect(plot.left(), plot.top() - bandT, plot.width(), bandT);
                al.titleRect = QRect(plot.left(), plot.top() - thick, plot.width(), titleH);
                break;
            case AxisId::Left:
                al.band = QRect(plot.left() - bandT, plot.top(), bandT, plot.height());
                al.titleRect = QRect(plot.left() - thick, plot.top(), titleH, plot.height());
                break;
            default:
                al.band = QRect(plot.right() + 1, plot.top(), bandT, plot.height());
                al.titleRect = QRect(plot.right() + 1 + bandT, plot.top(), titleH, plot.height());
                break;
            }
            if (titleH == 0) al.titleRect = QRect();
        }
    }

    // In 3D the axes run along the edges of the box, shorter than the plot's sides.
    void Fit3D() {
        if (!chart.view3D) return;
        out.box = Projection(chart, out.plot);
        for (int i = 0; i < AxisCount; ++i) ComputeTicks(static_cast<AxisId>(i), true);
    }

    const Chart& chart;
    const RenderOptions& options;
    const QFontMetricsF fm;
    const QFontMetricsF tfm;
    Layout out;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// 3D projection

Projection::Projection(const Chart& chart, const QRect& plot) {
    const double a = chart.azimuth * std::numbers::pi / 180.0;
    const double e = chart.elevation * std::numbers::pi / 180.0;
    cosA = std::cos(a); sinA = std::sin(a);
    cosE = std::cos(e); sinE = std::sin(e);
    boxW = plot.width() - 1;
    boxH = plot.height() - 1;
    boxD = std::max(0, chart.depthPercent) / 100.0 * boxW;
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int c = 0; c < 8; ++c) {
        const QPointF p = Project(c & 1, (c >> 1) & 1, (c >> 2) & 1);
        minX = std::min(minX, p.x()); maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y()); maxY = std::max(maxY, p.y());
    }
    const double w = std::max(1e-9, maxX - minX), h = std::max(1e-9, maxY - minY);
    fitScale = std::min(boxW / w, boxH / h);
    const QPointF mid((plot.left() + plot.right()) / 2.0, (plot.top() + plot.bottom()) / 2.0);
    centreX = mid.x() - fitScale * (minX + maxX) / 2.0;
    centreY = mid.y() - fitScale * (minY + maxY) / 2.0;
}

QPointF Projection::Project(double u, double v, double w) const {
    const double x = (u - 0.5) * boxW, y = (v - 0.5) * boxH, z = (w - 0.5) * boxD;
    const double x1 = x * cosA + z * sinA;
    const double z1 = -x * sinA + z * cosA;
    const double y1 = y * cosE + z1 * sinE;
    return {centreX + fitScale * x1, centreY - fitScale * y1};
}

std::vector<QLineF> Projection::BoxEdges() const {
    std::vector<QLineF> edges;
    for (int c = 0; c < 8; ++c)
        for (int bit : {1, 2, 4})
            if (!(c & bit)) {
                const int d = c | bit;
                edges.emplace_back(Project(c & 1, (c >> 1) & 1, (c >> 2) & 1),
                                   Project(d & 1, (d >> 1) & 1, (d >> 2) & 1));
            }
    return edges;
}

std::array<QPointF, 2> Projection::AxisEdge(AxisId id) const { return {AxisPoint(id, 0), AxisPoint(id, 1)}; }

QPointF Projection::AxisPoint(AxisId id, double f) const {
    switch (id) {
    case AxisId::Bottom: return Project(f, 0, 0);
    case AxisId::Top: return Project(f, 1, 0);
    case AxisId::Left: return Project(0, f, 0);
    case AxisId::Right: return Project(1, f, 0);
    case AxisId::Depth: return Project(1, 0, f);
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Mapping

std::optional<double> Layout::PixelOf(AxisId id, double value) const {
    const auto f = AxisAt(id).scale.Fraction(value);
    if (!f) return std::nullopt;
    if (IsHorizontal(id) || id == AxisId::Depth) return plot.left() + *f * (plot.width() - 1);
    return plot.bottom() - *f * (plot.height() - 1);
}

double Layout::ValueAt(AxisId id, double pixel) const {
    const double f = IsHorizontal(id) || id == AxisId::Depth
                         ? (pixel - plot.left()) / std::max(1, plot.width() - 1)
                         : (plot.bottom() - pixel) / std::max(1, plot.height() - 1);
    return AxisAt(id).scale.ValueAt(f);
}

std::optional<QPointF> Layout::MapPoint(const Series& s, const ChartPoint& pt) const {
    if (view3D) {
        const auto u = AxisAt(s.horizontalAxis).scale.Fraction(pt.x);
        const auto v = AxisAt(s.verticalAxis).scale.Fraction(pt.y);
        if (!u || !v) return std::nullopt;
        double w = 0.0;
        if (s.Kind() == SeriesKind::Point3D) {
            const auto f = AxisAt(AxisId::Depth).scale.Fraction(pt.z);
            if (!f) return std::nullopt;
            w = *f;
        }
        return box.Project(*u, *v, w);
    }
    const auto x = PixelOf(s.horizontalAxis, pt.x);
    const auto y = PixelOf(s.verticalAxis, pt.y);
    if (!x || !y) return std::nullopt;
    return QPointF(*x, *y);
}

std::vector<QPoint> Layout::ScreenPoints(const Series& s, std::vector<int>* indices) const {
    std::vector<QPoint> points;
    for (const QPointF& p : MappedPoints(s, indices)) points.push_back(ToPoint(p));
    return points;
}

QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& rect) {
    // One pass per edge of the rectangle: inside(p) and the crossing of an edge with that side.
    struct Side {
        bool horizontal;  // compares x (false) or y (true)
        double bound;
        bool keepsAbove;  // inside means coordinate >= bound
    };
    const Side sides[] = {{false, rect.left(), true}, {false, rect.right(), false},
                          {true, rect.top(), true}, {true, rect.bottom(), false}};
    QPolygonF result = polygon;
    for (const Side& side : sides) {
        if (result.isEmpty()) break;
        auto coordinate = [&](const QPointF& q) { return side.horizontal ? q.y() : q.x(); };
        auto inside = [&](const QPointF& q) {
            return side.keepsAbove ? coordinate(q) >= side.bound : coordinate(q) <= side.bound;
        };
        auto crossing = [&](const QPointF& a, const QPointF& b) {
            const double t = (side.bound - coordinate(a)) / (coordinate(b) - coordinate(a));
            return a + t * (b - a);
        };
        const QPolygonF input = result;
        result.clear();
        QPointF previous = input.last();
        for (const QPointF& current : input) {
            if (inside(current)) {
                if (!inside(previous)) result << crossing(previous, current);
                result << current;
            } else if (inside(previous)) {
                result << crossing(previous, current);
            }
            previous = current;
        }
    }
    return result;
}

std::optional<QLineF> ClipSegment(const QLineF& segment, const QRectF& rect) {
    const QPointF a = segment.p1(), d = segment.p2() - segment.p1();
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(d.x()) || !std::isfinite(d.y()))
        return std::nullopt;
    // The segment is a + t d for t in [0, 1]; each side of the rectangle cuts off one end of t.
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(), rect.bottom() - a.y()};
    double t0 = 0.0, t1 = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return std::nullopt;
    }
    return QLineF(t0 > 0.0 ? a + t0 * d : segment.p1(), t1 < 1.0 ? a + t1 * d : segment.p2());
}

std::vector<QPolygon> Layout::LinePieces(const Series& s) const {
    std::vector<int> idx;
    const auto pts = MappedPoints(s, &idx);
    // Wide enough that nothing drawn inside the chart moves, narrow enough for any device.
    const QRectF clip = QRectF(rect).adjusted(-rect.width(), -rect.height(), rect.width(), rect.height());
    std::vector<QPolygon> pieces;
    QPolygon piece;
    auto finish = [&] {
        if (piece.size() > 1) pieces.push_back(piece);
        piece.clear();
    };
    auto breaksBetween = [&](int from, int to) {
        for (int k = from + 1; k <= to; ++k)
            if (s.Point(k).breakBefore) return true;
        return false;
    };
    for (std::size_t i = 1; i < pts.size(); ++i) {
        if (breaksBetween(idx[i - 1], idx[i])) {
            finish();
            continue;
        }
        const QLineF segment(pts[i - 1], pts[i]);
        const auto clipped = ClipSegment(segment, clip);
        if (!clipped) {
            finish();
            continue;
        }
        if (clipped->p1() != segment.p1() || piece.isEmpty()) {
            finish();
            piece << ToPoint(clipped->p1());
        }
        piece << ToPoint(clipped->p2());
        if (clipped->p2() != segment.p2()) finish();
    }
    finish();
    return pieces;
}

std::vector<QPointF> Layout::MappedPoints(const Series& s, std::vector<int>* indices) const {
    // The same mapping as MapPoint, with the axis ranges worked out once for the whole series.
    std::vector<QPointF> points;
    const auto& pts = s.Points();
    points.reserve(pts.size());
    if (indices) indices->reserve(pts.size());
    const AxisScale::Linear fx = AxisAt(s.horizontalAxis).scale.Linearised();
    const AxisScale::Linear fy = AxisAt(s.verticalAxis).scale.Linearised();
    const AxisScale::Linear fz = AxisAt(AxisId::Depth).scale.Linearised();
    const bool depth = s.Kind() == SeriesKind::Point3D;
    const bool barbs = s.Kind() == SeriesKind::WindBarbs && !view3D;
    const double left = plot.left(), width = plot.width() - 1;
    const double bottom = plot.bottom(), height = plot.height() - 1;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto u = barbs ? std::optional<double>(0.0) : fx.Of(pts[i].x);
        const auto v = fy.Of(pts[i].y);
        if (!u || !v) continue;
        QPointF p;
        if (barbs) {
            // The column at the right edge, far enough in that a staff in any direction stays inside.
            if (!std::isfinite(pts[i].x) || !std::isfinite(pts[i].z) || pts[i].z < 0) continue;
            p = QPointF(plot.right() - BarbLength - BarbFeather / 2 - Gap, bottom - *v * height);
        } else if (view3D) {
            double w = 0.0;
            if (depth) {
                const auto f = fz.Of(pts[i].z);
                if (!f) continue;
                w = *f;
            }
            p = box.Project(*u, *v, w);
        } else {
            const double x = IsHorizontal(s.horizontalAxis) ? left + *u * width : bottom - *u * height;
            const double y = IsHorizontal(s.verticalAxis) ? left + *v * width : bottom - *v * height;
            p = QPointF(x, y);
        }
        points.push_back(p);
        if (indices) indices->push_back(static_cast<int>(i));
    }
    return points;
}

std::optional<QPointF> Layout::LineLabelAnchor(const Series& s) const {
    if (s.lineLabel.isEmpty() || s.Kind() == SeriesKind::WindBarbs) return std::nullopt;
    std::vector<int> idx;
    const auto pts = MappedPoints(s, &idx);
    const QRectF inside(plot);
    std::optional<QPointF> anchor;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        if (s.Point(idx[i]).breakBefore) continue;
        const auto clipped = ClipSegment(QLineF(pts[i - 1], pts[i]), inside);
        if (!clipped) continue;
        if (s.lineLabelAt == LineLabelAt::Start) return clipped->p1();
        anchor = clipped->p2();
    }
    return anchor;
}

std::optional<QRect> Layout::LineLabelRect(const Series& s) const {
    const auto anchor = LineLabelAnchor(s);
    if (!anchor) return std::nullopt;
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(s.lineLabel) + 2, h = fm.height();
    // Centred on the end of the line, then moved in so that the whole text lies inside the plot.
    QRect r(ToPixel(anchor->x()) - w / 2, ToPixel(anchor->y()) - h / 2, w, h);
    r.moveLeft(std::clamp(r.left(), plot.left() + 1, std::max(plot.left() + 1, plot.right() - w)));
    r.moveTop(std::clamp(r.top(), plot.top() + 1, std::max(plot.top() + 1, plot.bottom() - h)));
    return r;
}

QRect MarkerRect(const Series& s, const QPoint& at) {
    const int h = std::max(0, s.markerHSize);
    const int v = s.marker == MarkerStyle::Square ? h : std::max(0, s.markerVSize);
    return QRect(at.x() - h, at.y() - v, 2 * h + 1, 2 * v + 1);
}

QString MarkText(const ChartPoint& pt) { return pt.label.isEmpty() ? QString::number(pt.y, 'g', 6) : pt.label; }

std::vector<QRect> Layout::MarkRects(const Series& s, std::vector<int>* indices) const {
    std::vector<QRect> rects;
    if (!s.marksVisible) return rects;
    const QFontMetrics fm(font);
    std::vector<int> idx;
    const auto pts = ScreenPoints(s, &idx);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const QString text = MarkText(s.Point(idx[i]));
        const int w = fm.horizontalAdvance(text) + 4, h = fm.height() + 2;
        const int lift = (s.Kind() == SeriesKind::Line ? s.markerVSize : 0) + 4;
        rects.emplace_back(pts[i].x() - w / 2, pts[i].y() - lift - h, w, h);
        if (indices) indices->push_back(idx[i]);
    }
    return rects;
}

Layout LayOut(const Chart& chart, const QRect& rect, const RenderOptions& options) {
    return LayoutSteps(chart, rect, options).Run();
}

}  // namespace chart

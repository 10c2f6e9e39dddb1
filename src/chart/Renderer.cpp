#include "chart/Renderer.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace chart {

namespace {

constexpr int TickLength = 4;
constexpr int Gap = 2;
constexpr double PixelLimit = 1e5;   // mapped coordinates are kept within this, far off any device
constexpr int HitTolerance = 3;
constexpr int LegendSwatch = 18;

constexpr AxisId PlaneAxes[] = {AxisId::Bottom, AxisId::Top, AxisId::Left, AxisId::Right};

int ToPixel(double v) { return static_cast<int>(std::lround(std::clamp(v, -PixelLimit, PixelLimit))); }

QPoint ToPoint(const QPointF& p) { return {ToPixel(p.x()), ToPixel(p.y())}; }

double DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF d = b - a;
    const double len2 = QPointF::dotProduct(d, d);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, d) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * d - p;
    return std::hypot(q.x(), q.y());
}

// The pixel outline of an aliased circle (an ellipse of half extents h by v) around the origin
// pixel: each row's span is closed by whole pixel edges, so the filled polygon covers exactly the
// pixels of the disc.
QPolygon CircleOutline(int h, int v) {
    QPolygon left, right;
    for (int dy = -v; dy <= v; ++dy) {
        const double t = static_cast<double>(dy) / (v + 0.5);
        const int half = static_cast<int>(std::lround((h + 0.5) * std::sqrt(std::max(0.0, 1.0 - t * t)) - 0.5));
        right << QPoint(half + 1, dy) << QPoint(half + 1, dy + 1);
        left << QPoint(-half, dy) << QPoint(-half, dy + 1);
    }
    QPolygon outline = right;
    for (auto it = left.crbegin(); it != left.crend(); ++it) outline << *it;
    return outline;
}

HitResult Hit(ChartPart part, int series = -1, int point = -1) {
    HitResult h;
    h.part = part;
    h.series = series;
    h.point = point;
    return h;
}

HitResult AxisHit(ChartPart part, AxisId id) {
    HitResult h;
    h.part = part;
    h.axis = id;
    return h;
}

QString MarkText(const ChartPoint& pt) {
    return pt.label.isEmpty() ? QString::number(pt.y, 'g', 6) : pt.label;
}

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

}  // namespace

Renderer::Renderer(const Chart& chart, const QRect& rect) : chart(chart), rect(rect) {
    font = QFont(chart.fontFamily);
    font.setPixelSize(chart.fontPixelSize);
    titleFont = font;
    titleFont.setPixelSize(chart.fontPixelSize + 1);
    LayOut();
}

// ---------------------------------------------------------------------------------------------
// Layout

void Renderer::ComputeScales() {
    for (int i = 0; i < AxisCount; ++i) {
        const auto id = static_cast<AxisId>(i);
        const Axis& a = chart.AxisOf(id);
        AxisScale& s = axes[i].scale;
        s.logarithmic = a.logarithmic;
        s.inverted = a.inverted;
        double lo, hi;
        if (a.zoomed) {
            lo = a.zoomMinimum;
            hi = a.zoomMaximum;
        } else if (!a.automatic) {
            lo = a.minimum;
            hi = a.maximum;
        } else {
            DataRange r;
            for (int k = 0; k < chart.SeriesCount(); ++k) {
                const Series& ser = chart.SeriesAt(k);
                if (!ser.active) continue;
                const bool useX = ser.horizontalAxis == id;
                const bool useY = ser.verticalAxis == id;
                const bool useZ = id == AxisId::Depth && ser.Kind() == SeriesKind::Point3D;
                if (!useX && !useY && !useZ) continue;
                for (const ChartPoint& pt : ser.Points()) {
                    if (useX) r.Take(pt.x, a.logarithmic);
                    if (useY) r.Take(pt.y, a.logarithmic);
                    if (useZ) r.Take(pt.z, a.logarithmic);
                }
            }
            if (r.Empty()) {
                lo = a.logarithmic ? 1.0 : 0.0;
                hi = a.logarithmic ? 10.0 : 1.0;
            } else {
                lo = r.lo;
                hi = r.hi;
            }
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
        s.minimum = lo;
        s.maximum = hi;
    }
}

void Renderer::ComputeTicks(AxisId id) {
    AxisLayout& al = axes[Index(id)];
    al.ticks.clear();
    if (!al.shown) return;
    const bool horizontal = IsHorizontal(id) || id == AxisId::Depth;
    double length = IsHorizontal(id) ? plot.width() : plot.height();
    if (id == AxisId::Depth) length = std::max(20.0, chart.depthPercent / 100.0 * plot.width() * 0.7);
    if (fitted3D) {
        const auto edge = AxisEdge(id);
        length = std::hypot(edge[1].x() - edge[0].x(), edge[1].y() - edge[0].y());
    }
    const QFontMetricsF fm(font);
    LabelExtent extent;
    double gap;
    if (horizontal && id != AxisId::Depth) {
        extent = [fm](const QString& s) { return fm.horizontalAdvance(s); };
        gap = 8;
    } else {
        extent = [fm](const QString&) { return fm.height(); };
        gap = fm.height() * 0.8;
    }
    al.ticks = MakeTicks(al.scale, std::max(1.0, length), extent, gap);
}

int Renderer::AxisThickness(AxisId id) const {
    const AxisLayout& al = axes[Index(id)];
    if (!al.shown) return 0;
    const Axis& a = chart.AxisOf(id);
    const QFontMetricsF fm(font);
    const QFontMetricsF tfm(titleFont);
    int t = 1 + TickLength + Gap;
    if (a.labels) {
        if (IsHorizontal(id)) {
            t += static_cast<int>(std::ceil(fm.height()));
        } else {
            double w = 0;
            for (const Tick& tick : al.ticks) w = std::max(w, fm.horizontalAdvance(tick.label));
            t += static_cast<int>(std::ceil(w));
        }
    }
    if (!a.title.isEmpty()) t += Gap + static_cast<int>(std::ceil(tfm.height()));
    return t + Gap;
}

void Renderer::LayOut() {
    QRect outer = rect.marginsRemoved(chart.margins);
    const QFontMetricsF tfm(titleFont);
    const int lineHeight = static_cast<int>(std::ceil(tfm.height())) + Gap;
    // Title lines on top, foot lines at the bottom.
    for (TextId id : {TextId::Title, TextId::SubTitle}) {
        const ChartText& t = chart.Text(id);
        TextLayout& tl = texts[static_cast<int>(id)];
        tl.shown = t.visible;
        if (!t.visible) continue;
        tl.rect = QRect(outer.left(), outer.top(), outer.width(), lineHeight);
        outer.setTop(outer.top() + lineHeight);
    }
    for (TextId id : {TextId::SubFoot, TextId::Foot}) {
        const ChartText& t = chart.Text(id);
        TextLayout& tl = texts[static_cast<int>(id)];
        tl.shown = t.visible;
        if (!t.visible) continue;
        tl.rect = QRect(outer.left(), outer.bottom() - lineHeight + 1, outer.width(), lineHeight);
        outer.setBottom(outer.bottom() - lineHeight);
    }
    // Legend at the right.
    if (chart.legendVisible) {
        const QFontMetricsF fm(font);
        const int row = static_cast<int>(std::ceil(fm.height())) + Gap;
        int width = 0;
        for (int k = 0; k < chart.SeriesCount(); ++k) {
            const Series& s = chart.SeriesAt(k);
            if (!s.active || !s.inLegend) continue;
            width = std::max(width, static_cast<int>(std::ceil(fm.horizontalAdvance(s.title))));
            legend.push_back({k, QRect()});
        }
        if (!legend.empty()) {
            width += LegendSwatch + 3 * Gap + 2;
            const int height = static_cast<int>(legend.size()) * row + 2 * Gap;
            legendRect = QRect(outer.right() - width + 1, outer.center().y() - height / 2, width, height);
            for (std::size_t i = 0; i < legend.size(); ++i)
                legend[i].rect = QRect(legendRect.left() + 1, legendRect.top() + Gap + int(i) * row,
                                       width - 2, row);
            outer.setRight(outer.right() - width - Gap);
        }
    }

    ComputeScales();
    for (AxisId id : PlaneAxes) axes[Index(id)].shown = chart.AxisOf(id).visible;
    axes[Index(AxisId::Depth)].shown = chart.view3D && chart.AxisOf(AxisId::Depth).visible;

    // Horizontal axes have a thickness independent of the ticks; vertical ones depend on their
    // labels, which depend on the plot height; horizontal ticks depend on the plot width.
    plot = outer;
    plot.setTop(outer.top() + AxisThickness(AxisId::Top));
    plot.setBottom(outer.bottom() - AxisThickness(AxisId::Bottom));
    if (plot.height() < 2) plot.setHeight(2);
    ComputeTicks(AxisId::Left);
    ComputeTicks(AxisId::Right);
    plot.setLeft(outer.left() + AxisThickness(AxisId::Left));
    int right = AxisThickness(AxisId::Right);
    if (axes[Index(AxisId::Depth)].shown) {
        ComputeTicks(AxisId::Depth);
        const QFontMetricsF fm(font);
        double w = 0;
        for (const Tick& t : axes[Index(AxisId::Depth)].ticks) w = std::max(w, fm.horizontalAdvance(t.label));
        const Axis& d = chart.AxisOf(AxisId::Depth);
        if (!d.title.isEmpty()) w += QFontMetricsF(titleFont).horizontalAdvance(d.title) + Gap;
        right += static_cast<int>(std::ceil(w)) + TickLength + 2 * Gap;
    }
    plot.setRight(outer.right() - right);
    if (plot.width() < 2) plot.setWidth(2);
    ComputeTicks(AxisId::Bottom);
    ComputeTicks(AxisId::Top);
    // Labels at the ends of a horizontal axis must not stick out of the chart.
    int padLeft = 0, padRight = 0;
    for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
        const AxisLayout& al = axes[Index(id)];
        if (!al.shown || !chart.AxisOf(id).labels || al.ticks.empty()) continue;
        for (const Tick& t : al.ticks) {
            const double x = *PixelOf(id, t.value);
            const double half = QFontMetricsF(font).horizontalAdvance(t.label) / 2.0;
            padLeft = std::max(padLeft, static_cast<int>(std::ceil(outer.left() - (x - half))));
            padRight = std::max(padRight, static_cast<int>(std::ceil(x + half - outer.right())));
        }
    }
    if ((padLeft > 0 || padRight > 0) && plot.width() > padLeft + padRight + 2) {
        plot.setLeft(plot.left() + padLeft);
        plot.setRight(plot.right() - padRight);
        ComputeTicks(AxisId::Bottom);
        ComputeTicks(AxisId::Top);
    }

    // Bands and title rectangles of the plane axes, for painting titles and hit testing.
    const QFontMetricsF fm(font);
    for (AxisId id : PlaneAxes) {
        AxisLayout& al = axes[Index(id)];
        if (!al.shown) continue;
        const Axis& a = chart.AxisOf(id);
        const int thick = AxisThickness(id);
        const int titleH = a.title.isEmpty() ? 0 : static_cast<int>(std::ceil(tfm.height())) + Gap;
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
    Fit3D();
    if (chart.view3D) {
        // The axes run along the edges of the box, shorter than the plot's sides.
        fitted3D = true;
        for (int i = 0; i < AxisCount; ++i) ComputeTicks(static_cast<AxisId>(i));
    }
}

void Renderer::Fit3D() {
    if (!chart.view3D) return;
    const double a = chart.azimuth * std::numbers::pi / 180.0;
    const double e = chart.elevation * std::numbers::pi / 180.0;
    cosA = std::cos(a); sinA = std::sin(a);
    cosE = std::cos(e); sinE = std::sin(e);
    boxW = plot.width() - 1;
    boxH = plot.height() - 1;
    boxD = std::max(0, chart.depthPercent) / 100.0 * boxW;
    fitScale = 1.0; centreX = 0; centreY = 0;
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

QPointF Renderer::Project(double u, double v, double w) const {
    const double x = (u - 0.5) * boxW, y = (v - 0.5) * boxH, z = (w - 0.5) * boxD;
    const double x1 = x * cosA + z * sinA;
    const double z1 = -x * sinA + z * cosA;
    const double y1 = y * cosE + z1 * sinE;
    return {centreX + fitScale * x1, centreY - fitScale * y1};
}

std::vector<QLineF> Renderer::BoxEdges() const {
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

// ---------------------------------------------------------------------------------------------
// Mapping

std::optional<double> Renderer::PixelOf(AxisId id, double value) const {
    const auto f = axes[Index(id)].scale.Fraction(value);
    if (!f) return std::nullopt;
    if (IsHorizontal(id) || id == AxisId::Depth) return plot.left() + *f * (plot.width() - 1);
    return plot.bottom() - *f * (plot.height() - 1);
}

double Renderer::ValueAt(AxisId id, double pixel) const {
    const double f = IsHorizontal(id) || id == AxisId::Depth
                         ? (pixel - plot.left()) / std::max(1, plot.width() - 1)
                         : (plot.bottom() - pixel) / std::max(1, plot.height() - 1);
    return axes[Index(id)].scale.ValueAt(f);
}

std::optional<QPointF> Renderer::MapPoint(const Series& s, const ChartPoint& pt) const {
    if (chart.view3D) {
        const auto u = ScaleOf(s.horizontalAxis).Fraction(pt.x);
        const auto v = ScaleOf(s.verticalAxis).Fraction(pt.y);
        if (!u || !v) return std::nullopt;
        double w = 0.0;
        if (s.Kind() == SeriesKind::Point3D) {
            const auto f = ScaleOf(AxisId::Depth).Fraction(pt.z);
            if (!f) return std::nullopt;
            w = *f;
        }
        return Project(*u, *v, w);
    }
    const auto x = PixelOf(s.horizontalAxis, pt.x);
    const auto y = PixelOf(s.verticalAxis, pt.y);
    if (!x || !y) return std::nullopt;
    return QPointF(*x, *y);
}

std::vector<QPoint> Renderer::ScreenPoints(const Series& s, std::vector<int>* indices) const {
    // The same mapping as MapPoint, with the axis ranges worked out once for the whole series.
    std::vector<QPoint> out;
    const auto& pts = s.Points();
    out.reserve(pts.size());
    if (indices) indices->reserve(pts.size());
    const AxisScale::Linear fx = ScaleOf(s.horizontalAxis).Linearised();
    const AxisScale::Linear fy = ScaleOf(s.verticalAxis).Linearised();
    const AxisScale::Linear fz = ScaleOf(AxisId::Depth).Linearised();
    const bool depth = s.Kind() == SeriesKind::Point3D;
    const double left = plot.left(), width = plot.width() - 1;
    const double bottom = plot.bottom(), height = plot.height() - 1;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto u = fx.Of(pts[i].x);
        const auto v = fy.Of(pts[i].y);
        if (!u || !v) continue;
        QPointF p;
        if (chart.view3D) {
            double w = 0.0;
            if (depth) {
                const auto f = fz.Of(pts[i].z);
                if (!f) continue;
                w = *f;
            }
            p = Project(*u, *v, w);
        } else {
            const double x = IsHorizontal(s.horizontalAxis) ? left + *u * width : bottom - *u * height;
            const double y = IsHorizontal(s.verticalAxis) ? left + *v * width : bottom - *v * height;
            p = QPointF(x, y);
        }
        out.push_back(ToPoint(p));
        if (indices) indices->push_back(static_cast<int>(i));
    }
    return out;
}

QRect Renderer::MarkerRect(const Series& s, const QPoint& at) const {
    const int h = std::max(0, s.markerHSize);
    const int v = s.marker == MarkerStyle::Square ? h : std::max(0, s.markerVSize);
    return QRect(at.x() - h, at.y() - v, 2 * h + 1, 2 * v + 1);
}

std::vector<QRect> Renderer::MarkRects(const Series& s, std::vector<int>* indices) const {
    std::vector<QRect> out;
    if (!s.marksVisible) return out;
    const QFontMetrics fm(font);
    std::vector<int> idx;
    const auto pts = ScreenPoints(s, &idx);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const QString text = MarkText(s.Point(idx[i]));
        const int w = fm.horizontalAdvance(text) + 4, h = fm.height() + 2;
        const int lift = (s.Kind() == SeriesKind::Line ? s.markerVSize : 0) + 4;
        out.emplace_back(pts[i].x() - w / 2, pts[i].y() - lift - h, w, h);
        if (indices) indices->push_back(idx[i]);
    }
    return out;
}

bool Renderer::ZoomTo(Chart& target, const QRect& pixels) const {
    if (chart.view3D || pixels.width() < 2 || pixels.height() < 2) return false;
    for (AxisId id : PlaneAxes) {
        const bool h = IsHorizontal(id);
        const double a = ValueAt(id, h ? pixels.left() : pixels.bottom());
        const double b = ValueAt(id, h ? pixels.right() : pixels.top());
        Axis& axis = target.AxisOf(id);
        axis.zoomed = true;
        axis.zoomMinimum = std::min(a, b);
        axis.zoomMaximum = std::max(a, b);
    }
    return true;
}

std::optional<QPoint> Renderer::CursorPixel() const {
    const CursorTool& c = chart.cursor;
    if (!c.active || chart.view3D) return std::nullopt;
    if (!c.placed) return plot.center();
    const auto x = PixelOf(c.horizontalAxis, c.x);
    const auto y = PixelOf(c.verticalAxis, c.y);
    if (!x || !y) return plot.center();
    return QPoint(ToPixel(*x), ToPixel(*y));
}

QPointF Renderer::CursorValueAt(const QPoint& pixel) const {
    return {ValueAt(chart.cursor.horizontalAxis, pixel.x()), ValueAt(chart.cursor.verticalAxis, pixel.y())};
}

// ---------------------------------------------------------------------------------------------
// Hit test

HitResult Renderer::HitTest(const QPoint& pos) const {
    constexpr std::pair<TextId, ChartPart> TextParts[] = {{TextId::Title, ChartPart::Title},
                                                          {TextId::SubTitle, ChartPart::SubTitle},
                                                          {TextId::Foot, ChartPart::Foot},
                                                          {TextId::SubFoot, ChartPart::SubFoot}};
    for (auto [id, part] : TextParts) {
        const TextLayout& t = texts[static_cast<int>(id)];
        if (t.shown && t.rect.contains(pos)) return Hit(part);
    }
    if (!legend.empty() && legendRect.contains(pos)) {
        for (const LegendEntry& e : legend)
            if (e.rect.contains(pos)) return Hit(ChartPart::Legend, e.series);
        return Hit(ChartPart::Legend);
    }
    const bool inClip = !chart.clipSeries || plot.contains(pos);
    for (int k = chart.SeriesCount() - 1; k >= 0 && inClip; --k) {
        const Series& s = chart.SeriesAt(k);
        if (!s.active) continue;
        std::vector<int> idx;
        const auto marks = MarkRects(s, &idx);
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i].contains(pos)) return Hit(ChartPart::SeriesMarks, k, idx[i]);
        idx.clear();
        const auto pts = ScreenPoints(s, &idx);
        if (s.Kind() == SeriesKind::Line && s.marker != MarkerStyle::None) {
            for (std::size_t i = 0; i < pts.size(); ++i)
                if (MarkerRect(s, pts[i]).adjusted(-1, -1, 1, 1).contains(pos))
                    return Hit(ChartPart::SeriesPoint, k, idx[i]);
        }
        if (s.penStyle != Qt::NoPen)
            for (std::size_t i = 1; i < pts.size(); ++i)
                if (DistanceToSegment(pos, pts[i - 1], pts[i]) <= HitTolerance)
                    return Hit(ChartPart::SeriesLine, k);
    }
    for (int i = 0; i < AxisCount; ++i) {
        const AxisLayout& al = axes[i];
        if (!al.shown) continue;
        if (al.titleRect.contains(pos)) return AxisHit(ChartPart::AxisTitle, static_cast<AxisId>(i));
        if (al.band.contains(pos)) return AxisHit(ChartPart::Axis, static_cast<AxisId>(i));
    }
    if (chart.view3D && axes[Index(AxisId::Depth)].shown) {
        const auto edge = AxisEdge(AxisId::Depth);
        if (DistanceToSegment(pos, edge[0], edge[1]) <= HitTolerance + TickLength)
            return AxisHit(ChartPart::Axis, AxisId::Depth);
    }
    if (plot.contains(pos)) return Hit(ChartPart::ChartRect);
    return {};
}

// ---------------------------------------------------------------------------------------------
// Painting

void Renderer::Paint(QPainter& p) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setClipRect(rect);
    PaintBackground(p);
    PaintTexts(p);
    PaintGrid(p);
    PaintAxes(p);
    if (chart.clipSeries) p.setClipRect(plot);
    for (int k = 0; k < chart.SeriesCount(); ++k)
        if (chart.SeriesAt(k).active) PaintSeries(p, chart.SeriesAt(k));
    for (int k = 0; k < chart.SeriesCount(); ++k)
        if (chart.SeriesAt(k).active) PaintMarks(p, chart.SeriesAt(k));
    p.setClipRect(rect);
    PaintCursor(p);
    PaintLegend(p);
    p.restore();
}

void Renderer::PaintBackground(QPainter& p) const {
    if (chart.gradient) {
        QLinearGradient g(rect.left(), rect.bottom(), rect.left(), rect.top());
        g.setColorAt(0.0, chart.gradientBottom);
        g.setColorAt(1.0, chart.gradientTop);
        p.fillRect(rect, g);
    } else {
        p.fillRect(rect, chart.background);
    }
    if (chart.view3D && chart.walls) {
        p.setPen(Qt::gray);
        p.setBrush(QColor(235, 235, 235));
        const QPointF back[] = {Project(0, 0, 1), Project(1, 0, 1), Project(1, 1, 1), Project(0, 1, 1)};
        const QPointF floor[] = {Project(0, 0, 0), Project(1, 0, 0), Project(1, 0, 1), Project(0, 0, 1)};
        p.drawPolygon(back, 4);
        p.drawPolygon(floor, 4);
    }
}

void Renderer::PaintTexts(QPainter& p) const {
    for (int i = 0; i < 4; ++i) {
        if (!texts[i].shown) continue;
        const ChartText& t = chart.Text(static_cast<TextId>(i));
        QFont f = titleFont;
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(t.colour);
        p.drawText(texts[i].rect, Qt::AlignCenter, t.text);
    }
}

std::array<QPointF, 2> Renderer::AxisEdge(AxisId id) const {
    switch (id) {
    case AxisId::Bottom: return {Project(0, 0, 0), Project(1, 0, 0)};
    case AxisId::Top: return {Project(0, 1, 0), Project(1, 1, 0)};
    case AxisId::Left: return {Project(0, 0, 0), Project(0, 1, 0)};
    case AxisId::Right: return {Project(1, 0, 0), Project(1, 1, 0)};
    case AxisId::Depth: return {Project(1, 0, 0), Project(1, 0, 1)};
    }
    return {};
}

QPointF Renderer::AxisPoint3D(AxisId id, double f) const {
    switch (id) {
    case AxisId::Bottom: return Project(f, 0, 0);
    case AxisId::Top: return Project(f, 1, 0);
    case AxisId::Left: return Project(0, f, 0);
    case AxisId::Right: return Project(1, f, 0);
    case AxisId::Depth: return Project(1, 0, f);
    }
    return {};
}

void Renderer::PaintGrid(QPainter& p) const {
    for (int i = 0; i < AxisCount; ++i) {
        const auto id = static_cast<AxisId>(i);
        const Axis& a = chart.AxisOf(id);
        if (!axes[i].shown || !a.grid) continue;
        p.setPen(QPen(a.gridColour, 0, a.gridStyle));
        for (const Tick& t : axes[i].ticks) {
            const auto f = axes[i].scale.Fraction(t.value);
            if (!f) continue;
            if (chart.view3D) {
                switch (id) {
                case AxisId::Bottom:
                case AxisId::Top: p.drawLine(Project(*f, 0, 1), Project(*f, 1, 1)); break;
                case AxisId::Left:
                case AxisId::Right: p.drawLine(Project(0, *f, 1), Project(1, *f, 1)); break;
                case AxisId::Depth: p.drawLine(Project(0, 0, *f), Project(1, 0, *f)); break;
                }
            } else if (IsHorizontal(id)) {
                const int x = ToPixel(*PixelOf(id, t.value));
                p.drawLine(x, plot.top(), x, plot.bottom());
            } else {
                const int y = ToPixel(*PixelOf(id, t.value));
                p.drawLine(plot.left(), y, plot.right(), y);
            }
        }
    }
}

void Renderer::PaintAxes(QPainter& p) const {
    for (int i = 0; i < AxisCount; ++i) {
        if (!axes[i].shown) continue;
        const auto id = static_cast<AxisId>(i);
        if (chart.view3D) PaintAxis3D(p, id);
        else PaintAxis2D(p, id);
        PaintAxisTitle(p, id);
    }
}

void Renderer::PaintAxis2D(QPainter& p, AxisId id) const {
    const Axis& a = chart.AxisOf(id);
    const AxisLayout& al = axes[Index(id)];
    const QFontMetrics fm(font);
    p.setFont(font);
    const int lineX = id == AxisId::Left ? plot.left() - 1 : plot.right() + 1;
    const int lineY = id == AxisId::Top ? plot.top() - 1 : plot.bottom() + 1;
    p.setPen(a.colour);
    if (IsHorizontal(id)) p.drawLine(plot.left() - 1, lineY, plot.right() + 1, lineY);
    else p.drawLine(lineX, plot.top() - 1, lineX, plot.bottom() + 1);
    for (const Tick& t : al.ticks) {
        const int at = ToPixel(*PixelOf(id, t.value));
        p.setPen(a.colour);
        QRect label;
        const int w = fm.horizontalAdvance(t.label), h = fm.height();
        switch (id) {
        case AxisId::Bottom:
            p.drawLine(at, lineY, at, lineY + TickLength);
            label = QRect(at - w / 2, lineY + TickLength + Gap, w, h);
            break;
        case AxisId::Top:
            p.drawLine(at, lineY, at, lineY - TickLength);
            label = QRect(at - w / 2, lineY - TickLength - Gap - h, w, h);
            break;
        case AxisId::Left:
            p.drawLine(lineX, at, lineX - TickLength, at);
            label = QRect(lineX - TickLength - Gap - w, at - h / 2, w, h);
            break;
        default:
            p.drawLine(lineX, at, lineX + TickLength, at);
            label = QRect(lineX + TickLength + Gap, at - h / 2, w, h);
            break;
        }
        if (a.labels) {
            p.setPen(a.labelColour);
            p.drawText(label, Qt::AlignCenter, t.label);
        }
    }
}

void Renderer::PaintAxis3D(QPainter& p, AxisId id) const {
    const Axis& a = chart.AxisOf(id);
    const AxisLayout& al = axes[Index(id)];
    const QFontMetrics fm(font);
    p.setFont(font);
    p.setPen(a.colour);
    const auto edge = AxisEdge(id);
    p.drawLine(edge[0], edge[1]);
    for (const Tick& t : al.ticks) {
        const auto f = al.scale.Fraction(t.value);
        if (!f) continue;
        const QPoint at = ToPoint(AxisPoint3D(id, *f));
        const int w = fm.horizontalAdvance(t.label), h = fm.height();
        QRect label;
        p.setPen(a.colour);
        switch (id) {
        case AxisId::Bottom:
            p.drawLine(at, at + QPoint(0, TickLength));
            label = QRect(at.x() - w / 2, at.y() + TickLength + Gap, w, h);
            break;
        case AxisId::Top:
            p.drawLine(at, at - QPoint(0, TickLength));
            label = QRect(at.x() - w / 2, at.y() - TickLength - Gap - h, w, h);
            break;
        case AxisId::Left:
            p.drawLine(at, at - QPoint(TickLength, 0));
            label = QRect(at.x() - TickLength - Gap - w, at.y() - h / 2, w, h);
            break;
        default:
            p.drawLine(at, at + QPoint(TickLength, 0));
            label = QRect(at.x() + TickLength + Gap, at.y() - h / 2, w, h);
            break;
        }
        if (a.labels) {
            p.setPen(a.labelColour);
            p.drawText(label, Qt::AlignCenter, t.label);
        }
    }
}

void Renderer::PaintAxisTitle(QPainter& p, AxisId id) const {
    const Axis& a = chart.AxisOf(id);
    if (a.title.isEmpty()) return;
    QFont f = titleFont;
    f.setBold(a.titleBold);
    p.setFont(f);
    p.setPen(a.colour);
    if (id == AxisId::Depth) {
        // Beyond the far end of the depth axis, clear of its labels.
        const QPointF end = AxisEdge(id)[1];
        double w = 0;
        const QFontMetricsF fm(font);
        for (const Tick& t : axes[Index(id)].ticks) w = std::max(w, fm.horizontalAdvance(t.label));
        p.drawText(QPointF(end.x() + TickLength + 2 * Gap + w, end.y() - fm.height()), a.title);
        return;
    }
    const QRect r = axes[Index(id)].titleRect;
    if (IsHorizontal(id)) {
        p.drawText(r, Qt::AlignCenter, a.title);
        return;
    }
    // Vertical titles read upwards.
    p.save();
    p.translate(r.center().x() + 1, r.center().y());
    p.rotate(-90);
    p.drawText(QRect(-r.height() / 2, -r.width() / 2, r.height(), r.width()), Qt::AlignCenter, a.title);
    p.restore();
}

void Renderer::PaintSeries(QPainter& p, const Series& s) const {
    std::vector<int> idx;
    const auto pts = ScreenPoints(s, &idx);
    if (pts.empty()) return;
    if (s.penStyle != Qt::NoPen && pts.size() > 1) {
        p.setPen(QPen(s.colour, s.penWidth <= 1 ? 0 : s.penWidth, s.penStyle));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    }
    if (s.Kind() != SeriesKind::Line || s.marker == MarkerStyle::None) return;
    // Markers: consecutive points on the same pixel with the same colour are drawn once.
    p.setPen(Qt::NoPen);
    const QPolygon circle = s.marker == MarkerStyle::Circle ? CircleOutline(s.markerHSize, s.markerVSize) : QPolygon();
    QPoint last(std::numeric_limits<int>::min(), 0);
    QRgb lastColour = 0;
    QColor current;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const QColor& pc = s.Point(idx[i]).colour;
        const QColor& c = pc.isValid() ? pc : s.colour;
        if (pts[i] == last && c.rgba() == lastColour) continue;
        last = pts[i];
        lastColour = c.rgba();
        const QRect r = MarkerRect(s, pts[i]);
        switch (s.marker) {
        case MarkerStyle::Square:
        case MarkerStyle::Rectangle:
            p.fillRect(r, c);
            break;
        case MarkerStyle::Circle:
            if (c != current) { p.setBrush(c); current = c; }
            if (r.width() <= 3 && r.height() <= 3) p.fillRect(r, c);
            else p.drawPolygon(circle.translated(pts[i]));
            break;
        case MarkerStyle::Diamond: {
            if (c != current) { p.setBrush(c); current = c; }
            const QPoint m = pts[i];
            const QPoint d[] = {{m.x(), r.top()}, {r.right() + 1, m.y()}, {m.x(), r.bottom() + 1}, {r.left(), m.y()}};
            p.drawPolygon(d, 4);
            break;
        }
        case MarkerStyle::None: break;
        }
    }
}

void Renderer::PaintMarks(QPainter& p, const Series& s) const {
    if (!s.marksVisible) return;
    std::vector<int> idx;
    const auto rects = MarkRects(s, &idx);
    p.setFont(font);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        p.setPen(Qt::gray);
        p.setBrush(QColor(255, 255, 225));
        p.drawRect(rects[i].adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(rects[i], Qt::AlignCenter, MarkText(s.Point(idx[i])));
    }
}

void Renderer::PaintCursor(QPainter& p) const {
    const auto at = CursorPixel();
    if (!at) return;
    p.setPen(QPen(chart.cursor.colour, 0, chart.cursor.style));
    p.drawLine(at->x(), plot.top(), at->x(), plot.bottom());
    p.drawLine(plot.left(), at->y(), plot.right(), at->y());
}

void Renderer::PaintLegend(QPainter& p) const {
    if (legend.empty()) return;
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(legendRect.adjusted(0, 0, -1, -1));
    p.setFont(font);
    for (const LegendEntry& e : legend) {
        const Series& s = chart.SeriesAt(e.series);
        const int y = e.rect.center().y();
        p.setPen(QPen(s.colour, 2, s.penStyle == Qt::NoPen ? Qt::SolidLine : s.penStyle));
        p.drawLine(e.rect.left() + Gap, y, e.rect.left() + Gap + LegendSwatch, y);
        p.setPen(Qt::black);
        p.drawText(e.rect.adjusted(LegendSwatch + 2 * Gap, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, s.title);
    }
}

}  // namespace chart

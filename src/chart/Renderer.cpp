#include "chart/Renderer.h"

#include "chart/LayoutMeasures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace chart {

namespace {

constexpr int HitTolerance = 3;

constexpr AxisId PlaneAxes[] = {AxisId::Bottom, AxisId::Top, AxisId::Left, AxisId::Right};

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

}  // namespace

Renderer::Renderer(const Chart& chart, const QRect& rect, const RenderOptions& options)
    : chart(chart), layout(LayOut(chart, rect, options)) {}

// ---------------------------------------------------------------------------------------------
// Mapping

bool Renderer::ZoomTo(Chart& target, const QRect& pixels) const {
    if (chart.view3D || pixels.width() < 2 || pixels.height() < 2) return false;
    for (AxisId id : PlaneAxes) {
        const bool h = IsHorizontal(id);
        const double a = layout.ValueAt(id, h ? pixels.left() : pixels.bottom());
        const double b = layout.ValueAt(id, h ? pixels.right() : pixels.top());
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
    if (!c.placed) return layout.plot.center();
    const auto x = layout.PixelOf(c.horizontalAxis, c.x);
    const auto y = layout.PixelOf(c.verticalAxis, c.y);
    if (!x || !y) return layout.plot.center();
    return QPoint(ToPixel(*x), ToPixel(*y));
}

QPointF Renderer::CursorValueAt(const QPoint& pixel) const {
    return {layout.ValueAt(chart.cursor.horizontalAxis, pixel.x()), layout.ValueAt(chart.cursor.verticalAxis, pixel.y())};
}

// ---------------------------------------------------------------------------------------------
// Hit test

HitResult Renderer::HitTest(const QPoint& pos) const {
    constexpr std::pair<TextId, ChartPart> TextParts[] = {{TextId::Title, ChartPart::Title},
                                                          {TextId::SubTitle, ChartPart::SubTitle},
                                                          {TextId::Foot, ChartPart::Foot},
                                                          {TextId::SubFoot, ChartPart::SubFoot}};
    for (auto [id, part] : TextParts) {
        const TextLayout& t = layout.texts[static_cast<int>(id)];
        if (t.shown && t.rect.contains(pos)) return Hit(part);
    }
    if (!layout.legend.empty() && layout.legendRect.contains(pos)) {
        for (const LegendEntry& e : layout.legend)
            if (e.rect.contains(pos)) return Hit(ChartPart::Legend, e.series);
        return Hit(ChartPart::Legend);
    }
    const bool inClip = !layout.clipSeries || layout.plot.contains(pos);
    for (int k = chart.SeriesCount() - 1; k >= 0 && inClip; --k) {
        const Series& s = chart.SeriesAt(k);
        if (!s.active) continue;
        std::vector<int> idx;
        const auto marks = layout.MarkRects(s, &idx);
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i].contains(pos)) return Hit(ChartPart::SeriesMarks, k, idx[i]);
        idx.clear();
        const auto pts = layout.ScreenPoints(s, &idx);
        if (s.Kind() == SeriesKind::Line && s.marker != MarkerStyle::None) {
            for (std::size_t i = 0; i < pts.size(); ++i)
                if (MarkerRect(s, pts[i]).adjusted(-1, -1, 1, 1).contains(pos))
                    return Hit(ChartPart::SeriesPoint, k, idx[i]);
        }
        const bool lined = s.Kind() != SeriesKind::Area && s.Kind() != SeriesKind::WindBarbs;
        if (lined && s.penStyle != Qt::NoPen)
            for (const QPolygon& piece : layout.LinePieces(s))
                for (int i = 1; i < piece.size(); ++i)
                    if (DistanceToSegment(pos, piece[i - 1], piece[i]) <= HitTolerance)
                        return Hit(ChartPart::SeriesLine, k);
    }
    for (int i = 0; i < AxisCount; ++i) {
        const AxisLayout& al = layout.axes[i];
        if (!al.shown) continue;
        if (al.titleRect.contains(pos)) return AxisHit(ChartPart::AxisTitle, static_cast<AxisId>(i));
        if (al.band.contains(pos)) return AxisHit(ChartPart::Axis, static_cast<AxisId>(i));
    }
    if (chart.view3D && layout.AxisAt(AxisId::Depth).shown) {
        const auto edge = layout.box.AxisEdge(AxisId::Depth);
        if (DistanceToSegment(pos, edge[0], edge[1]) <= HitTolerance + TickLength)
            return AxisHit(ChartPart::Axis, AxisId::Depth);
    }
    if (layout.plot.contains(pos)) return Hit(ChartPart::ChartRect);
    return {};
}

// ---------------------------------------------------------------------------------------------
// Painting

void Renderer::Paint(QPainter& p) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setClipRect(layout.rect);
    PaintBackground(p);
    PaintTexts(p);
    PaintGrid(p);
    PaintAxes(p);
    if (layout.clipSeries) p.setClipRect(layout.plot);
    for (int k = 0; k < chart.SeriesCount(); ++k)
        if (chart.SeriesAt(k).active) PaintSeries(p, chart.SeriesAt(k));
    PaintLineLabels(p);
    for (int k = 0; k < chart.SeriesCount(); ++k)
        if (chart.SeriesAt(k).active) PaintMarks(p, chart.SeriesAt(k));
    p.setClipRect(layout.rect);
    PaintEmptyNote(p);
    PaintCursor(p);
    PaintLegend(p);
    p.restore();
}

void Renderer::PaintBackground(QPainter& p) const {
    if (chart.gradient) {
        QLinearGradient g(layout.rect.left(), layout.rect.bottom(), layout.rect.left(), layout.rect.top());
        g.setColorAt(0.0, chart.gradientBottom);
        g.setColorAt(1.0, chart.gradientTop);
        p.fillRect(layout.rect, g);
    } else {
        p.fillRect(layout.rect, chart.background);
    }
    if (chart.view3D && chart.walls) {
        p.setPen(Qt::gray);
        p.setBrush(QColor(235, 235, 235));
        const Projection& box = layout.box;
        const QPointF back[] = {box.Project(0, 0, 1), box.Project(1, 0, 1), box.Project(1, 1, 1), box.Project(0, 1, 1)};
        const QPointF floor[] = {box.Project(0, 0, 0), box.Project(1, 0, 0), box.Project(1, 0, 1), box.Project(0, 0, 1)};
        p.drawPolygon(back, 4);
        p.drawPolygon(floor, 4);
    }
}

void Renderer::PaintTexts(QPainter& p) const {
    for (int i = 0; i < 4; ++i) {
        if (!layout.texts[i].shown) continue;
        const ChartText& t = chart.Text(static_cast<TextId>(i));
        QFont f = layout.titleFont;
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(t.colour);
        p.drawText(layout.texts[i].rect, Qt::AlignCenter, layout.texts[i].text);
    }
}

void Renderer::PaintGrid(QPainter& p) const {
    for (int i = 0; i < AxisCount; ++i) {
        const auto id = static_cast<AxisId>(i);
        const Axis& a = chart.AxisOf(id);
        if (!layout.axes[i].shown || !a.grid) continue;
        p.setPen(QPen(a.gridColour, 0, a.gridStyle));
        for (const Tick& t : layout.axes[i].ticks) {
            const auto f = layout.axes[i].scale.Fraction(t.value);
            if (!f) continue;
            if (chart.view3D) {
                switch (id) {
                case AxisId::Bottom:
                case AxisId::Top: p.drawLine(layout.box.Project(*f, 0, 1), layout.box.Project(*f, 1, 1)); break;
                case AxisId::Left:
                case AxisId::Right: p.drawLine(layout.box.Project(0, *f, 1), layout.box.Project(1, *f, 1)); break;
                case AxisId::Depth: p.drawLine(layout.box.Project(0, 0, *f), layout.box.Project(1, 0, *f)); break;
                }
            } else if (IsHorizontal(id)) {
                const int x = ToPixel(*layout.PixelOf(id, t.value));
                p.drawLine(x, layout.plot.top(), x, layout.plot.bottom());
            } else {
                const int y = ToPixel(*layout.PixelOf(id, t.value));
                p.drawLine(layout.plot.left(), y, layout.plot.right(), y);
            }
        }
    }
}

void Renderer::PaintAxes(QPainter& p) const {
    for (int i = 0; i < AxisCount; ++i) {
        if (!layout.axes[i].shown) continue;
        const auto id = static_cast<AxisId>(i);
        PaintAxis(p, id);
        PaintAxisTitle(p, id);
    }
}

// Where a tick of an axis sits: on the axis line beside the plot in 2D, on the box edge in 3D.
std::optional<QPoint> Renderer::TickPoint(AxisId id, double value) const {
    if (layout.view3D) {
        const auto f = layout.AxisAt(id).scale.Fraction(value);
        if (!f) return std::nullopt;
        return ToPoint(layout.box.AxisPoint(id, *f));
    }
    const auto pixel = layout.PixelOf(id, value);
    if (!pixel) return std::nullopt;
    const QRect& plot = layout.plot;
    if (IsHorizontal(id)) return QPoint(ToPixel(*pixel), id == AxisId::Top ? plot.top() - 1 : plot.bottom() + 1);
    return QPoint(id == AxisId::Left ? plot.left() - 1 : plot.right() + 1, ToPixel(*pixel));
}

void Renderer::PaintAxis(QPainter& p, AxisId id) const {
    const Axis& a = chart.AxisOf(id);
    const QFontMetrics fm(layout.font);
    p.setFont(layout.font);
    p.setPen(a.colour);
    if (layout.view3D) {
        const auto edge = layout.box.AxisEdge(id);
        p.drawLine(edge[0], edge[1]);
    } else {
        // The line reaches one pixel past the plot at both ends, to the corners of the frame.
        const QRect frame = layout.plot.adjusted(-1, -1, 1, 1);
        switch (id) {
        case AxisId::Bottom: p.drawLine(frame.bottomLeft(), frame.bottomRight()); break;
        case AxisId::Top: p.drawLine(frame.topLeft(), frame.topRight()); break;
        case AxisId::Left: p.drawLine(frame.topLeft(), frame.bottomLeft()); break;
        default: p.drawLine(frame.topRight(), frame.bottomRight()); break;
        }
    }
    for (const Tick& t : layout.AxisAt(id).ticks)
        if (const auto at = TickPoint(id, t.value)) PaintTick(p, id, *at, t.label, fm);
}

// A tick going outwards from the axis line at a point, and its label beyond the tick's end.
void Renderer::PaintTick(QPainter& p, AxisId id, const QPoint& at, const QString& label, const QFontMetrics& fm) const {
    const Axis& a = chart.AxisOf(id);
    const int w = fm.horizontalAdvance(label), h = fm.height();
    QPoint end;
    QRect box;
    switch (id) {
    case AxisId::Bottom:
        end = at + QPoint(0, TickLength);
        box = QRect(at.x() - w / 2, end.y() + Gap, w, h);
        break;
    case AxisId::Top:
        end = at - QPoint(0, TickLength);
        box = QRect(at.x() - w / 2, end.y() - Gap - h, w, h);
        break;
    case AxisId::Left:
        end = at - QPoint(TickLength, 0);
        box = QRect(end.x() - Gap - w, at.y() - h / 2, w, h);
        break;
    default:
        end = at + QPoint(TickLength, 0);
        box = QRect(end.x() + Gap, at.y() - h / 2, w, h);
        break;
    }
    p.setPen(a.colour);
    p.drawLine(at, end);
    if (!a.labels) return;
    p.setPen(a.labelColour);
    p.drawText(box, Qt::AlignCenter, label);
}

void Renderer::PaintAxisTitle(QPainter& p, AxisId id) const {
    const Axis& a = chart.AxisOf(id);
    if (a.title.isEmpty()) return;
    QFont f = layout.titleFont;
    f.setBold(a.titleBold);
    p.setFont(f);
    p.setPen(a.colour);
    if (id == AxisId::Depth) {
        // Beyond the far end of the depth axis, clear of its labels.
        const QPointF end = layout.box.AxisEdge(id)[1];
        const QFontMetricsF fm(layout.font);
        const double w = WidestLabel(layout.AxisAt(id).ticks, fm);
        p.drawText(QPointF(end.x() + TickLength + 2 * Gap + w, end.y() - fm.height()), a.title);
        return;
    }
    const QRect r = layout.AxisAt(id).titleRect;
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
    if (s.Kind() == SeriesKind::Area) return PaintArea(p, s);
    if (s.Kind() == SeriesKind::WindBarbs) return PaintBarbs(p, s);
    std::vector<int> idx;
    const auto pts = layout.ScreenPoints(s, &idx);
    if (pts.empty()) return;
    if (s.penStyle != Qt::NoPen && pts.size() > 1) {
        p.setPen(QPen(s.colour, s.penWidth <= 1 ? 0 : s.penWidth, s.penStyle));
        p.setBrush(Qt::NoBrush);
        for (const QPolygon& piece : layout.LinePieces(s)) p.drawPolyline(piece);
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

// Each polygon runs from a point that starts a new line to the point before the next one.
void Renderer::PaintArea(QPainter& p, const Series& s) const {
    std::vector<int> idx;
    const auto pts = layout.MappedPoints(s, &idx);
    p.setPen(s.penStyle == Qt::NoPen ? QPen(Qt::NoPen) : QPen(s.colour, s.penWidth <= 1 ? 0 : s.penWidth, s.penStyle));
    p.setBrush(s.fill);
    // Clipped to the plot (with a pixel to spare for the outline) before rounding to pixels.
    const QRectF bounds = QRectF(layout.plot).adjusted(-1, -1, 1, 1);
    QPolygonF polygon;
    auto flush = [&] {
        const QPolygonF inside = polygon.size() > 2 ? ClipPolygon(polygon, bounds) : QPolygonF();
        if (inside.size() > 2) {
            QPolygon pixels;
            for (const QPointF& q : inside) pixels << ToPoint(q);
            p.drawPolygon(pixels);
        }
        polygon.clear();
    };
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if (i > 0 && s.Point(idx[i]).breakBefore) flush();
        polygon << pts[i];
    }
    flush();
    p.setBrush(Qt::NoBrush);
}

// A barb: the staff from the point towards where the wind comes from, then from the far end in,
// a pennant for each 50 m/s, a full barb for each 10 and a half barb for 5 (the speed rounded to
// 5 m/s). A lone half barb stands one step in from the end. Under 2.5 m/s: a small circle (calm).
void Renderer::PaintBarbs(QPainter& p, const Series& s) const {
    std::vector<int> idx;
    const auto pts = layout.MappedPoints(s, &idx);
    p.setPen(QPen(s.colour, s.penWidth <= 1 ? 0 : s.penWidth));
    p.setBrush(s.colour);
    p.setRenderHint(QPainter::Antialiasing, true);
    double lastY = std::numeric_limits<double>::infinity();
    const QRectF bounds = QRectF(layout.plot).adjusted(-1, -1, 1, 1);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const QPointF base = pts[i];
        if (!bounds.contains(base)) continue;   // zoomed out of view
        if (std::abs(base.y() - lastY) < s.barbSpacing) continue;
        lastY = base.y();
        const ChartPoint& pt = s.Point(idx[i]);
        const int fives = static_cast<int>(std::lround(pt.z / 5.0));
        if (fives == 0) {
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(base, 3.0, 3.0);
            p.setBrush(s.colour);
            continue;
        }
        const double a = pt.x * std::numbers::pi / 180.0;
        const QPointF along(std::sin(a), -std::cos(a));   // screen y grows downwards
        const double side = s.barbsSouth ? -1.0 : 1.0;
        const QPointF across = side * QPointF(std::cos(a), std::sin(a));
        const QPointF tip = base + BarbLength * along;
        p.drawLine(base, tip);
        int pennants = fives / 10, fulls = (fives % 10) / 2;
        const bool half = fives % 2 != 0;
        double at = 0.0;   // distance in from the tip
        for (; pennants > 0; --pennants, at += BarbStep * 1.5) {
            const QPointF a0 = tip - at * along, a1 = tip - (at + BarbStep * 1.5) * along;
            const QPointF poly[] = {a0, a0 + BarbFeather * across, a1};
            p.drawPolygon(poly, 3);
        }
        if (at > 0) at += BarbStep / 2.0;
        for (; fulls > 0; --fulls, at += BarbStep) {
            const QPointF from = tip - at * along;
            p.drawLine(from, from + BarbFeather * across + 0.4 * BarbFeather * along);
        }
        if (half) {
            if (at == 0.0) at = BarbStep;
            const QPointF from = tip - at * along;
            p.drawLine(from, from + 0.5 * (BarbFeather * across + 0.4 * BarbFeather * along));
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
}

// Line labels over every series, in series order; a label that would cover one drawn before it
// is left out.
void Renderer::PaintLineLabels(QPainter& p) const {
    std::vector<QRect> taken;
    p.setFont(layout.font);
    const QColor back = chart.gradient ? chart.gradientBottom : chart.background;
    for (int k = 0; k < chart.SeriesCount(); ++k) {
        const Series& s = chart.SeriesAt(k);
        if (!s.active) continue;
        const auto r = layout.LineLabelRect(s);
        if (!r) continue;
        const QRect room = r->adjusted(-1, 0, 1, 0);
        if (std::any_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(room); })) continue;
        taken.push_back(room);
        p.fillRect(*r, back);
        p.setPen(s.colour);
        p.drawText(*r, Qt::AlignCenter, s.lineLabel);
    }
}

void Renderer::PaintMarks(QPainter& p, const Series& s) const {
    if (!s.marksVisible) return;
    std::vector<int> idx;
    const auto rects = layout.MarkRects(s, &idx);
    p.setFont(layout.font);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        p.setPen(Qt::gray);
        p.setBrush(QColor(255, 255, 225));
        p.drawRect(rects[i].adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(rects[i], Qt::AlignCenter, MarkText(s.Point(idx[i])));
    }
}

bool Renderer::HasDrawnPoint() const {
    for (int k = 0; k < chart.SeriesCount(); ++k) {
        const Series& s = chart.SeriesAt(k);
        if (s.active && !layout.ScreenPoints(s, nullptr).empty()) return true;
    }
    return false;
}

void Renderer::PaintEmptyNote(QPainter& p) const {
    if (chart.emptyNote.isEmpty() || HasDrawnPoint()) return;
    p.setFont(layout.titleFont);
    p.setPen(Qt::black);
    p.drawText(layout.plot, Qt::AlignCenter | Qt::TextWordWrap, chart.emptyNote);
}

void Renderer::PaintCursor(QPainter& p) const {
    const auto at = CursorPixel();
    if (!at) return;
    p.setPen(QPen(chart.cursor.colour, 0, chart.cursor.style));
    p.drawLine(at->x(), layout.plot.top(), at->x(), layout.plot.bottom());
    p.drawLine(layout.plot.left(), at->y(), layout.plot.right(), at->y());
}

void Renderer::PaintLegend(QPainter& p) const {
    if (layout.legend.empty()) return;
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(layout.legendRect.adjusted(0, 0, -1, -1));
    p.setFont(layout.font);
    for (const LegendEntry& e : layout.legend) {
        const Series& s = chart.SeriesAt(e.series);
        const int y = e.rect.center().y();
        p.setPen(QPen(s.colour, 2, s.penStyle == Qt::NoPen ? Qt::SolidLine : s.penStyle));
        p.drawLine(e.rect.left() + Gap, y, e.rect.left() + Gap + LegendSwatch, y);
        p.setPen(Qt::black);
        p.drawText(e.rect.adjusted(LegendSwatch + 2 * Gap, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, s.title);
    }
}

}  // namespace chart

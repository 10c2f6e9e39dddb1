#include "chart/EmfDevice.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace chart {

namespace {

constexpr quint32 NullBrush = 0x80000005;   // stock objects
constexpr quint32 NullPen = 0x80000008;
constexpr quint32 Transparent = 1;
constexpr quint32 TextAlignBaseline = 24;
constexpr quint32 Winding = 2;
constexpr int GradientBands = 64;
constexpr double CoordinateLimit = 1e7;

// The body of one record; Append() adds the type and size in front.
class Body {
public:
    Body& U32(quint32 v) { Put(qToLittleEndian(v)); return *this; }
    Body& I32(qint32 v) { Put(qToLittleEndian(v)); return *this; }
    Body& U16(quint16 v) { Put(qToLittleEndian(v)); return *this; }
    Body& U8(quint8 v) { bytes.append(static_cast<char>(v)); return *this; }
    Body& F32(float v) {
        quint32 u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    Body& Rect(const QRect& r) { return I32(r.left()).I32(r.top()).I32(r.right()).I32(r.bottom()); }
    Body& Raw(const QByteArray& b) { bytes.append(b); return *this; }
    Body& Pad() {
        while (bytes.size() % 4) bytes.append('\0');
        return *this;
    }
    int Size() const { return static_cast<int>(bytes.size()); }
    const QByteArray& Bytes() const { return bytes; }

private:
    template <typename T>
    void Put(T v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    QByteArray bytes;
};

quint32 ColorRef(const QColor& c) {
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}

quint32 PenStyleCode(Qt::PenStyle s) {
    switch (s) {
    case Qt::NoPen: return 5;
    case Qt::DashLine: return 1;
    case Qt::DotLine: return 2;
    case Qt::DashDotLine: return 3;
    case Qt::DashDotDotLine: return 4;
    default: return 0;
    }
}

qint32 Coord(double v) { return static_cast<qint32>(std::lround(std::clamp(v, -CoordinateLimit, CoordinateLimit))); }

QColor GradientColourAt(const QGradientStops& stops, double t) {
    if (stops.isEmpty()) return Qt::black;
    if (t <= stops.first().first) return stops.first().second;
    for (int i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const auto& a = stops[i - 1];
            const auto& b = stops[i];
            const double f = (t - a.first) / std::max(1e-12, b.first - a.first);
            auto mix = [f](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * f)); };
            return QColor(mix(a.second.red(), b.second.red()), mix(a.second.green(), b.second.green()),
                          mix(a.second.blue(), b.second.blue()));
        }
    }
    return stops.last().second;
}

}  // namespace

class EmfPaintEngine : public QPaintEngine {
public:
    EmfPaintEngine(QSize size, int dpi) : QPaintEngine(AllFeatures), size(size), dpi(dpi) {}

    QByteArray data;   // the finished file

    bool begin(QPaintDevice*) override {
        records.clear();
        recordCount = 0;
        objects.clear();
        nextHandle = 1;
        selectedPen = selectedBrush = selectedFont = 0;
        clipSaved = false;
        Append(emr::SetBkMode, Body().U32(Transparent));
        Append(emr::SetTextAlign, Body().U32(TextAlignBaseline));
        Append(emr::SetPolyFillMode, Body().U32(Winding));
        textColour = QColor();
        return true;
    }

    bool end() override {
        if (clipSaved) Append(emr::RestoreDc, Body().I32(-1));
        // In handle order: the hash's order changes from run to run, the file must not.
        QList<quint32> handles = objects.values();
        std::sort(handles.begin(), handles.end());
        for (quint32 h : std::as_const(handles)) Append(emr::DeleteObject, Body().U32(h));
        Append(emr::Eof, Body().U32(0).U32(16).U32(20));
        Body header;
        const QRect bounds(0, 0, size.width(), size.height());
        const int mmW = static_cast<int>(std::lround(size.width() * 25.4 / dpi));
        const int mmH = static_cast<int>(std::lround(size.height() * 25.4 / dpi));
        const QRect frame(0, 0, static_cast<int>(std::lround(size.width() * 2540.0 / dpi)),
                          static_cast<int>(std::lround(size.height() * 2540.0 / dpi)));
        constexpr int HeaderSize = 108;
        header.Rect(bounds.adjusted(0, 0, 0, 0))
            .Rect(frame)
            .U32(emr::Signature)
            .U32(0x00010000)
            .U32(static_cast<quint32>(HeaderSize + records.size()))
            .U32(static_cast<quint32>(recordCount + 1))
            .U16(static_cast<quint16>(nextHandle))
            .U16(0)
            .U32(0)   // no description
            .U32(0)
            .U32(0)   // no palette
            .I32(size.width()).I32(size.height())
            .I32(std::max(1, mmW)).I32(std::max(1, mmH))
            .U32(0).U32(0).U32(0)   // no pixel format, not OpenGL
            .I32(static_cast<qint32>(std::lround(size.width() * 25400.0 / dpi)))
            .I32(static_cast<qint32>(std::lround(size.height() * 25400.0 / dpi)));
        data.clear();
        Body head;
        head.U32(emr::Header).U32(HeaderSize).Raw(header.Bytes());
        data = head.Bytes() + records;
        return true;
    }

    void updateState(const QPaintEngineState& s) override {
        const DirtyFlags f = s.state();
        if (f & DirtyPen) pen = s.pen();
        if (f & DirtyBrush) brush = s.brush();
        if (f & DirtyFont) font = s.font();
        if (f & DirtyTransform) transform = s.transform();
        if (f & (DirtyClipEnabled | DirtyClipRegion | DirtyClipPath)) {
            if (f & DirtyClipPath) clip = s.clipPath().boundingRect();
            else if (f & DirtyClipRegion) clip = QRectF(s.clipRegion().boundingRect());
            clipOn = s.isClipEnabled() && s.clipOperation() != Qt::NoClip && !clip.isNull();
            ApplyClip();
        }
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        if (count < 2) return;
        const bool line = mode == PolylineMode;
        SelectPen();
        if (line) Select(selectedBrush, NullBrush);
        else if (!FillGradientPolygon(points, count)) SelectBrush();
        Body b;
        QPolygonF poly;
        for (int i = 0; i < count; ++i) poly << transform.map(points[i]);
        b.Rect(poly.boundingRect().toAlignedRect()).U32(static_cast<quint32>(count));
        for (const QPointF& p : std::as_const(poly)) b.I32(Coord(p.x())).I32(Coord(p.y()));
        if (line || pen.style() != Qt::NoPen || (brush.style() != Qt::NoBrush && !IsGradient()))
            Append(line ? emr::Polyline : emr::Polygon, b);
    }

    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QPointF pts[] = {lines[i].p1(), lines[i].p2()};
            drawPolygon(pts, 2, PolylineMode);
        }
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF& r = rects[i];
            if (!transform.isRotating() && !IsGradient()) {
                SelectPen();
                SelectBrush();
                // EMF rectangles leave out their right and bottom edges, which Qt covers.
                const QRectF m = transform.mapRect(r);
                Append(emr::Rectangle, Body().I32(Coord(m.left())).I32(Coord(m.top()))
                                           .I32(Coord(m.right()) + 1).I32(Coord(m.bottom()) + 1));
            } else {
                const QPointF pts[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
                drawPolygon(pts, 4, OddEvenMode);
            }
        }
    }

    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }

    void drawEllipse(const QRectF& r) override {
        if (transform.isRotating()) {
            QPainterPath path;
            path.addEllipse(r);
            drawPath(path);
            return;
        }
        SelectPen();
        SelectBrush();
        Append(emr::Ellipse, Body().Rect(transform.mapRect(r).toAlignedRect()));
    }

    void drawPath(const QPainterPath& path) override {
        const bool fill = brush.style() != Qt::NoBrush;
        for (const QPolygonF& poly : path.toSubpathPolygons())
            drawPolygon(poly.constData(), static_cast<int>(poly.size()),
                        fill && poly.isClosed() ? WindingMode : PolylineMode);
    }

    void drawTextItem(const QPointF& p, const QTextItem& ti) override {
        const QString text = ti.text();
        if (text.isEmpty()) return;
        const QFont f = ti.font();
        const double scale = std::sqrt(std::abs(transform.determinant()));
        const double angle = std::atan2(transform.m12(), transform.m11()) * 180.0 / std::numbers::pi;
        SelectFont(f, scale, angle);
        if (textColour != pen.color()) {
            textColour = pen.color();
            Append(emr::SetTextColor, Body().U32(ColorRef(textColour)));
        }
        const QPointF at = transform.map(p);
        const QFontMetricsF fm(f);
        const int n = static_cast<int>(text.size());
        const quint32 stringBytes = static_cast<quint32>((2 * n + 3) / 4 * 4);
        constexpr quint32 Fixed = 76;   // record header to the end of EmrText
        Body b;
        b.I32(0).I32(0).I32(-1).I32(-1)        // bounds: not computed
            .U32(1)                             // GM_COMPATIBLE
            .F32(1.0f).F32(1.0f)
            .I32(Coord(at.x())).I32(Coord(at.y()))
            .U32(static_cast<quint32>(n))
            .U32(Fixed)
            .U32(0)                             // options
            .I32(0).I32(0).I32(-1).I32(-1)
            .U32(Fixed + stringBytes);
        for (QChar c : text) b.U16(c.unicode());
        b.Pad();
        // Advances as differences of rounded running positions, so that rounding does not add up.
        double run = 0.0;
        for (QChar c : text) {
            const double next = run + fm.horizontalAdvance(c) * scale;
            b.I32(Coord(next) - Coord(run));
            run = next;
        }
        Append(emr::ExtTextOutW, b);
    }

    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        const QImage img = pm.toImage().copy(sr.toAlignedRect()).convertToFormat(QImage::Format_RGB32);
        if (img.isNull()) return;
        const QRect dest = transform.mapRect(r).toAlignedRect();
        const int w = img.width(), h = img.height();
        constexpr quint32 Fixed = 80, InfoSize = 40;
        const quint32 bitsSize = static_cast<quint32>(w * h * 4);
        Body b;
        b.Rect(dest)
            .I32(dest.left()).I32(dest.top()).I32(0).I32(0).I32(w).I32(h)
            .U32(Fixed).U32(InfoSize).U32(Fixed + InfoSize).U32(bitsSize)
            .U32(0)             // DIB_RGB_COLORS
            .U32(0x00CC0020)    // SRCCOPY
            .I32(dest.width()).I32(dest.height());
        b.U32(InfoSize).I32(w).I32(h).U16(1).U16(32).U32(0).U32(bitsSize).I32(0).I32(0).U32(0).U32(0);
        for (int y = h - 1; y >= 0; --y)   // bottom-up rows of BGRA
            b.Raw(QByteArray(reinterpret_cast<const char*>(img.constScanLine(y)), w * 4));
        Append(emr::StretchDiBits, b);
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override {
        drawPixmap(r, QPixmap::fromImage(image), sr);
    }

    Type type() const override { return User; }

private:
    void Append(quint32 type, const Body& body) {
        Body b;
        b.U32(type).U32(static_cast<quint32>(8 + (body.Size() + 3) / 4 * 4)).Raw(body.Bytes()).Pad();
        records.append(b.Bytes());
        ++recordCount;
    }

    // Objects are created once per distinct look and kept until the end, so that a restored DC
    // never refers to a deleted object.
    quint32 Object(const QString& key, quint32 type, const Body& body) {
        auto it = objects.constFind(key);
        if (it != objects.constEnd()) return *it;
        const quint32 h = nextHandle++;
        Body b;
        b.U32(h).Raw(body.Bytes());
        Append(type, b);
        objects.insert(key, h);
        return h;
    }

    void Select(quint32& selected, quint32 handle) {
        if (selected == handle) return;
        Append(emr::SelectObject, Body().U32(handle));
        selected = handle;
    }

    void SelectPen() {
        if (pen.style() == Qt::NoPen || pen.brush().style() == Qt::NoBrush) {
            Select(selectedPen, NullPen);
            return;
        }
        const double scale = std::sqrt(std::abs(transform.determinant()));
        const int width = pen.isCosmetic() ? std::max(1, qRound(pen.widthF())) : std::max(1, qRound(pen.widthF() * scale));
        const quint32 style = PenStyleCode(pen.style());
        const quint32 colour = ColorRef(pen.color());
        const QString key = QStringLiteral("pen %1 %2 %3").arg(style).arg(width).arg(colour);
        Select(selectedPen, Object(key, emr::CreatePen, Body().U32(style).I32(width).I32(0).U32(colour)));
    }

    bool IsGradient() const { return brush.style() == Qt::LinearGradientPattern; }

    void SelectSolidBrush(const QColor& c) {
        const quint32 colour = ColorRef(c);
        Select(selectedBrush, Object(QStringLiteral("brush %1").arg(colour), emr::CreateBrushIndirect,
                                     Body().U32(0).U32(colour).U32(0)));
    }

    void SelectBrush() {
        if (brush.style() == Qt::NoBrush) {
            Select(selectedBrush, NullBrush);
            return;
        }
        // Patterns and gradients other than the banded linear fill become their first colour.
        QColor c = brush.gradient() && !brush.gradient()->stops().isEmpty()
                       ? brush.gradient()->stops().first().second
                       : brush.color();
        // The records have no transparency: a translucent fill becomes the colour it shows on white.
        if (c.alpha() < 255) {
            const double a = c.alphaF();
            c = QColor::fromRgbF(1 - a + a * c.redF(), 1 - a + a * c.greenF(), 1 - a + a * c.blueF());
        }
        SelectSolidBrush(c);
    }

    // A linear gradient fill becomes bands of solid colour across the gradient's direction.
    bool FillGradientPolygon(const QPointF* points, int count) {
        if (!IsGradient()) return false;
        const auto* g = static_cast<const QLinearGradient*>(brush.gradient());
        QPolygonF poly(count);
        for (int i = 0; i < count; ++i) poly[i] = points[i];
        const QRectF box = poly.boundingRect();
        const QPointF d = g->finalStop() - g->start();
        const bool vertical = std::abs(d.y()) >= std::abs(d.x());
        const double len = vertical ? d.y() : d.x();
        if (len == 0) return false;
        const QPen savedPen = pen;
        const QBrush savedBrush = brush;
        pen = Qt::NoPen;
        SelectPen();
        for (int i = 0; i < GradientBands; ++i) {
            QRectF band = box;
            if (vertical) {
                band.setTop(box.top() + box.height() * i / GradientBands);
                band.setBottom(box.top() + box.height() * (i + 1) / GradientBands);
            } else {
                band.setLeft(box.left() + box.width() * i / GradientBands);
                band.setRight(box.left() + box.width() * (i + 1) / GradientBands);
            }
            const QPointF mid = band.center();
            const double t = ((vertical ? mid.y() - g->start().y() : mid.x() - g->start().x())) / len;
            SelectSolidBrush(GradientColourAt(g->stops(), std::clamp(t, 0.0, 1.0)));
            const QPolygonF part = poly.intersected(QPolygonF(band));
            if (part.size() < 3) continue;
            Body b;
            QPolygonF m = transform.map(part);
            b.Rect(m.boundingRect().toAlignedRect()).U32(static_cast<quint32>(m.size()));
            for (const QPointF& p : std::as_const(m)) b.I32(Coord(p.x())).I32(Coord(p.y()));
            Append(emr::Polygon, b);
        }
        pen = savedPen;
        brush = Qt::NoBrush;
        SelectBrush();
        brush = savedBrush;
        SelectPen();
        return true;
    }

    void SelectFont(const QFont& f, double scale, double angle) {
        const double px = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * dpi / 72.0;
        const qint32 height = -std::max(1, qRound(px * scale));
        const qint32 escapement = qRound(-angle * 10.0);
        const QString face = f.family().left(31);
        const QString key = QStringLiteral("font %1 %2 %3 %4 %5").arg(height).arg(escapement).arg(f.bold()).arg(f.italic()).arg(face);
        Body b;
        b.I32(height).I32(0).I32(escapement).I32(escapement).I32(f.bold() ? 700 : 400)
            .U8(f.italic()).U8(f.underline()).U8(f.strikeOut()).U8(1 /* DEFAULT_CHARSET */)
            .U8(0).U8(0).U8(0).U8(0);
        for (int i = 0; i < 32; ++i) b.U16(i < face.size() ? face[i].unicode() : 0);
        Select(selectedFont, Object(key, emr::ExtCreateFontIndirectW, b));
    }

    void ApplyClip() {
        if (clipSaved) {
            Append(emr::RestoreDc, Body().I32(-1));
            clipSaved = false;
            selectedPen = selectedBrush = selectedFont = 0;
            textColour = QColor();
        }
        if (!clipOn) return;
        Append(emr::SaveDc, Body());
        clipSaved = true;
        const QRect r = transform.mapRect(clip).toAlignedRect();
        Append(emr::IntersectClipRect, Body().Rect(r.adjusted(0, 0, 1, 1)));
    }

    QSize size;
    int dpi;
    QByteArray records;
    int recordCount = 0;
    QHash<QString, quint32> objects;
    quint32 nextHandle = 1;
    quint32 selectedPen = 0, selectedBrush = 0, selectedFont = 0;
    QColor textColour;
    QPen pen;
    QBrush brush;
    QFont font;
    QTransform transform;
    QRectF clip;
    bool clipOn = false;
    bool clipSaved = false;
};

EmfDevice::EmfDevice(QSize size, int dpi)
    : size(size), dpi(dpi), engine(std::make_unique<EmfPaintEngine>(size, dpi)) {}

EmfDevice::~EmfDevice() = default;

QPaintEngine* EmfDevice::paintEngine() const { return engine.get(); }

QByteArray EmfDevice::Data() const { return engine->data; }

int EmfDevice::metric(PaintDeviceMetric m) const {
    switch (m) {
    case PdmWidth: return size.width();
    case PdmHeight: return size.height();
    case PdmWidthMM: return qRound(size.width() * 25.4 / dpi);
    case PdmHeightMM: return qRound(size.height() * 25.4 / dpi);
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return dpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return 0;
    }
}

}  // namespace chart

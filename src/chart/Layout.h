// Lays a Chart out in a rectangle: where the texts, the legend, the axes and the plot go, the axis
// scales and ticks, and in 3D the box fitted into the plot. Painting, hit testing and the mouse
// tools all read the same Layout, so that what the user clicks is what was drawn.
//
// LayOut runs these steps in order, each one reading what the steps before it placed:
//   texts         title lines on top, foot lines at the bottom
//   legend        at the right, centred on the height left
//   scales        the range of every axis (data, fixed range or zoom)
//   axes          the plot inside the room the axes take, and the ticks that fit
//   end labels    the plot narrowed so that the end labels of the horizontal axes stay inside
//   axis bands    the band and the title rectangle of each plane axis
//   3D fit        the box turned and fitted into the plot, the ticks along its edges
//
// A Layout is a snapshot: lay the chart out again after it or the rectangle changed.
#pragma once

#include "chart/AxisScale.h"
#include "chart/Chart.h"

#include <QFont>
#include <QLineF>
#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QRectF>

#include <array>
#include <optional>
#include <vector>

namespace chart {

// What a picture, a copy or a print shows instead of the chart's own settings; the chart itself is
// left alone.
struct RenderOptions {
    std::optional<QString> title;      // a title line with this text (the chart's title colours)
    std::optional<bool> clipSeries;    // series clipped to the plot, or not
};

struct AxisLayout {
    AxisScale scale;
    std::vector<Tick> ticks;
    bool shown = false;
    QRect band;        // axis line, ticks and labels: hit as the axis
    QRect titleRect;   // hit as the axis title
};

struct TextLayout {
    bool shown = false;
    QRect rect;
    QString text;
};

struct LegendEntry {
    int series;
    QRect rect;
};

// The 3D box: fractions u along the bottom axis, v up the vertical axis and w into the depth,
// turned by the chart's azimuth and elevation and fitted into the plot. In 2D every point
// projects onto the origin.
class Projection {
public:
    Projection() = default;
    Projection(const Chart& chart, const QRect& plot);

    QPointF Project(double u, double v, double w) const;
    // The twelve edges of the box.
    std::vector<QLineF> BoxEdges() const;
    // The edge an axis is drawn on, and the point at a fraction along it.
    std::array<QPointF, 2> AxisEdge(AxisId id) const;
    QPointF AxisPoint(AxisId id, double fraction) const;

private:
    double cosA = 1, sinA = 0, cosE = 1, sinE = 0;
    double boxW = 0, boxH = 0, boxD = 0, fitScale = 1, centreX = 0, centreY = 0;
};

struct Layout {
    QRect rect;         // the whole chart
    QRect plot;         // the plotting panel; in 3D the box is fitted inside it
    QFont font;         // value labels, legend and marks
    QFont titleFont;    // text lines and axis titles
    std::array<TextLayout, 4> texts;   // by TextId
    QRect legendRect;
    std::vector<LegendEntry> legend;
    std::array<AxisLayout, AxisCount> axes;
    bool view3D = false;
    Projection box;
    bool clipSeries = false;

    const AxisLayout& AxisAt(AxisId id) const { return axes[static_cast<int>(id)]; }
    const TextLayout& TextAt(TextId id) const { return texts[static_cast<int>(id)]; }

    // 2D mapping: the x pixel of a value on a horizontal axis, the y pixel on a vertical one;
    // nothing for a value the axis cannot show. ValueAt is the inverse.
    std::optional<double> PixelOf(AxisId id, double value) const;
    double ValueAt(AxisId id, double pixel) const;

    // Where a point of a series lands (2D or 3D); nothing when it is left out.
    std::optional<QPointF> MapPoint(const Series& series, const ChartPoint& point) const;
    // The pixels of the points of a series that are drawn, with their indices in the series.
    std::vector<QPoint> ScreenPoints(const Series& series, std::vector<int>* indices) const;
    // The same positions before rounding, however far outside the chart they lie.
    std::vector<QPointF> MappedPoints(const Series& series, std::vector<int>* indices) const;
    // The line of a series as polylines: split where a point starts a new line, and every
    // segment clipped before rounding to a margin around the chart, so that a segment whose
    // ends lie far outside (a deep zoom) is drawn where it is.
    std::vector<QPolygon> LinePieces(const Series& series) const;
    // Where the line label of a series goes: the end (lineLabelAt) of the part of its line
    // inside the plot, and the rectangle of the text there, moved wholly inside the plot.
    // Nothing without a label or when no segment of the line crosses the plot.
    std::optional<QPointF> LineLabelAnchor(const Series& series) const;
    std::optional<QRect> LineLabelRect(const Series& series) const;
    // The rectangles of the point labels (marks) of a series, empty when they are off.
    std::vector<QRect> MarkRects(const Series& series, std::vector<int>* indices) const;
};

// The part of a segment inside a rectangle (Liang-Barsky); nothing when it misses the rectangle.
std::optional<QLineF> ClipSegment(const QLineF& segment, const QRectF& rect);
// The part of a polygon inside a rectangle (Sutherland-Hodgman, in floating point), so that a
// filled area whose corners lie far outside the view keeps its edges at any zoom; empty when
// nothing of it is inside.
QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& rect);

// The box a marker of the series covers around a point.
QRect MarkerRect(const Series& series, const QPoint& at);
// The text of a point's mark.
QString MarkText(const ChartPoint& point);

Layout LayOut(const Chart& chart, const QRect& rect, const RenderOptions& options = {});

}  // namespace chart

// A series of a chart: its points and how they are drawn.
#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace chart {

enum class AxisId { Bottom, Top, Left, Right, Depth };
inline constexpr int AxisCount = 5;
inline bool IsHorizontal(AxisId id) { return id == AxisId::Bottom || id == AxisId::Top; }

enum class SeriesKind {
    Line,      // a line through the points and a marker at each point
    FastLine,  // only the line; no markers, no marks
    Point3D,   // (x, y, z) points joined by a line; z goes on the depth axis of a 3D view
    Area,      // closed polygons filled with the series' fill colour; a break starts a new polygon
    WindBarbs, // a barb per point in a column at the right edge of the plot: y is the vertical
               // value, x the direction the wind blows from (degrees), z its speed (m/s)
};

enum class MarkerStyle { None, Circle, Square, Rectangle, Diamond };

enum class SortOrder { Ascending, Descending };

// Which end of a line carries its line label: where the line first enters the plot, or where it
// last leaves it.
enum class LineLabelAt { Start, End };

// One point. An invalid colour or an empty label means the series' own.
struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    QColor colour;
    QString label;
    bool breakBefore = false;   // no line from the point before: the line starts anew here
};

class Series {
public:
    Series(SeriesKind kind, const QString& title);

    SeriesKind Kind() const { return kind; }

    // Look. Marker sizes are half extents in pixels: a marker covers 2 * size + 1 pixels across,
    // centred on the point. A square uses markerHSize both ways, a rectangle markerHSize by
    // markerVSize; circles and diamonds fit the same box as a rectangle. Markers have no outline.
    QString title;
    QColor colour = Qt::red;
    Qt::PenStyle penStyle = Qt::SolidLine;
    int penWidth = 1;
    MarkerStyle marker = MarkerStyle::None;
    int markerHSize = 2;
    int markerVSize = 2;
    bool active = true;           // an inactive series draws nothing and gives no axis range
    bool marksVisible = false;    // point labels, drawn only when switched on
    bool inLegend = true;
    AxisId horizontalAxis = AxisId::Bottom;
    AxisId verticalAxis = AxisId::Left;

    // Area: the fill of the polygons (give it an alpha to see what lies beneath); the outline
    // follows the pen, none with Qt::NoPen.
    QColor fill = QColor(255, 0, 0, 80);
    // Line label: a text in the series' colour at one end of the part of its line inside the plot.
    // A label that would cover one drawn before it is left out, so that a dense family of lines
    // keeps its labels readable at any size and zoom.
    QString lineLabel;
    LineLabelAt lineLabelAt = LineLabelAt::Start;
    // Wind barbs: a barb is left out when it would come closer than this many pixels to the
    // last barb drawn, so that a sounding of thousands of levels shows a readable column. With
    // barbsSouth the feathers go on the other side of the staff, as in the southern hemisphere.
    int barbSpacing = 14;
    bool barbsSouth = false;

    // Points, kept in the order they are added.
    void Add(double x, double y, const QString& label = {}, const QColor& colour = {});
    void Add3D(double x, double y, double z, const QString& label = {}, const QColor& colour = {});
    // The next point added starts a new line: no segment joins it to the point before.
    void BreakLine() { breakNext = true; }
    void Clear();
    int Count() const { return static_cast<int>(points.size()); }
    const ChartPoint& Point(int index) const { return points.at(index); }
    const std::vector<ChartPoint>& Points() const { return points; }
    std::size_t Capacity() const { return points.capacity(); }

    // Reorders the points by their vertical value; each point moves whole (x, y, z, colour,
    // label). Points with equal vertical values keep their order.
    void Sort(SortOrder order);

    // The storage of this series grows by this many points at a time (at least one); a window that
    // fills the series from long soundings raises it before filling.
    int growthStep = 1000;

private:
    void Reserve();

    SeriesKind kind;
    std::vector<ChartPoint> points;
    bool breakNext = false;
};

}  // namespace chart

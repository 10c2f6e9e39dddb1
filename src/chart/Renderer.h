// Lays a Chart out in a rectangle and paints it on any QPainter: a widget, an image, a printer, an
// SVG generator or our EMF device all go through Paint(). The same layout answers the hit test and
// maps between pixels and axis values, so that what the user clicks is what was drawn.
//
// A Renderer is a snapshot: build a new one after the chart or the rectangle changed.
#pragma once

#include "chart/AxisScale.h"
#include "chart/Chart.h"

#include <QLineF>
#include <QPointF>
#include <QRect>

#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace chart {

// The parts of a chart a point can lie on.
enum class ChartPart {
    None,
    Legend,
    Axis,
    AxisTitle,
    SeriesLine,
    SeriesMarks,
    SeriesPoint,
    Title,
    SubTitle,
    Foot,
    SubFoot,
    ChartRect,  // the plotting panel
};

struct HitResult {
    ChartPart part = ChartPart::None;
    int series = -1;               // index in the chart, for the series parts
    int point = -1;                // point index, for SeriesPoint and SeriesMarks
    std::optional<AxisId> axis;    // for Axis and AxisTitle
};

class Renderer {
public:
    Renderer(const Chart& chart, const QRect& rect);

    void Paint(QPainter& painter) const;
    HitResult HitTest(const QPoint& pos) const;

    const Chart& Model() const { return chart; }
    QRect Rect() const { return rect; }
    // The plotting area. In 3D the box is fitted inside it.
    QRect PlotRect() const { return plot; }
    const AxisScale& ScaleOf(AxisId id) const { return axes[Index(id)].scale; }
    const std::vector<Tick>& TicksOf(AxisId id) const { return axes[Index(id)].ticks; }
    // Whether the axis is drawn.
    bool AxisShown(AxisId id) const { return axes[Index(id)].shown; }

    // 2D mapping: the x pixel of a value on a horizontal axis, the y pixel on a vertical one;
    // nothing for a value the axis cannot show. ValueAt is the inverse.
    std::optional<double> PixelOf(AxisId id, double value) const;
    double ValueAt(AxisId id, double pixel) const;

    // Where a point of a series lands (2D or 3D); nothing when it is left out.
    std::optional<QPointF> MapPoint(const Series& series, const ChartPoint& point) const;
    // 3D: the screen position of fractions (u along the bottom axis, v up the vertical axis,
    // w into the depth) of the box.
    QPointF Project(double u, double v, double w) const;
    // The twelve edges of the 3D box, for the outline the rotate tool shows.
    std::vector<QLineF> BoxEdges() const;

    // Zooms the chart's horizontal and vertical axes to the values under a pixel rectangle.
    // Nothing happens in 3D or for an empty rectangle; returns whether it zoomed.
    bool ZoomTo(Chart& target, const QRect& pixels) const;

    // The pixel where the cursor tool's lines cross (nothing when the tool is off or in 3D),
    // and the cursor position in axis values for a pixel.
    std::optional<QPoint> CursorPixel() const;
    QPointF CursorValueAt(const QPoint& pixel) const;

private:
    struct AxisLayout {
        AxisScale scale;
        std::vector<Tick> ticks;
        bool shown = false;
        QRect band;        // axis line, ticks and labels: hit as the axis
        QRect titleRect;   // hit as the axis title
    };
    struct TextLayout {
        QRect rect;
        bool shown = false;
    };
    struct LegendEntry {
        int series;
        QRect rect;
    };

    static int Index(AxisId id) { return static_cast<int>(id); }
    void LayOut();
    void ComputeScales();
    void ComputeTicks(AxisId id);
    int AxisThickness(AxisId id) const;
    void Fit3D();

    void PaintBackground(QPainter& p) const;
    void PaintTexts(QPainter& p) const;
    void PaintGrid(QPainter& p) const;
    void PaintAxes(QPainter& p) const;
    void PaintAxis2D(QPainter& p, AxisId id) const;
    void PaintAxis3D(QPainter& p, AxisId id) const;
    void PaintAxisTitle(QPainter& p, AxisId id) const;
    void PaintSeries(QPainter& p, const Series& s) const;
    void PaintMarks(QPainter& p, const Series& s) const;
    void PaintCursor(QPainter& p) const;
    void PaintLegend(QPainter& p) const;

    std::vector<QPoint> ScreenPoints(const Series& s, std::vector<int>* indices) const;
    std::vector<QRect> MarkRects(const Series& s, std::vector<int>* indices) const;
    QRect MarkerRect(const Series& s, const QPoint& at) const;
    std::array<QPointF, 2> AxisEdge(AxisId id) const;   // 3D edge an axis is drawn on
    QPointF AxisPoint3D(AxisId id, double fraction) const;

    const Chart& chart;
    QRect rect;
    QRect plot;
    QFont font;
    QFont titleFont;
    std::array<AxisLayout, AxisCount> axes;
    std::array<TextLayout, 4> texts;
    QRect legendRect;
    std::vector<LegendEntry> legend;
    // 3D projection: world box half sizes, rotation and the fit into the plot.
    double cosA = 1, sinA = 0, cosE = 1, sinE = 0;
    double boxW = 0, boxH = 0, boxD = 0, fitScale = 1, centreX = 0, centreY = 0;
    bool fitted3D = false;
};

}  // namespace chart

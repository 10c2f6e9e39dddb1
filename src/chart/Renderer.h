// Paints a Chart from its Layout on any QPainter: a widget, an image, a printer, an SVG generator or
// our EMF device all go through Paint(). The same layout answers the hit test and maps between
// pixels and axis values, so that what the user clicks is what was drawn.
//
// A Renderer is a snapshot: build a new one after the chart or the rectangle changed.
#pragma once

#include "chart/Chart.h"
#include "chart/Layout.h"

#include <QLineF>
#include <QPointF>
#include <QRect>

#include <optional>
#include <vector>

class QFontMetrics;
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
    // Options change what is shown (title, clipping) without touching the chart.
    Renderer(const Chart& chart, const QRect& rect, const RenderOptions& options = {});

    void Paint(QPainter& painter) const;
    HitResult HitTest(const QPoint& pos) const;

    const Chart& Model() const { return chart; }
    const Layout& LaidOut() const { return layout; }
    QRect Rect() const { return layout.rect; }
    // The plotting area. In 3D the box is fitted inside it.
    QRect PlotRect() const { return layout.plot; }
    const AxisScale& ScaleOf(AxisId id) const { return layout.AxisAt(id).scale; }
    const std::vector<Tick>& TicksOf(AxisId id) const { return layout.AxisAt(id).ticks; }
    // Whether the axis is drawn.
    bool AxisShown(AxisId id) const { return layout.AxisAt(id).shown; }

    // 2D mapping: the x pixel of a value on a horizontal axis, the y pixel on a vertical one;
    // nothing for a value the axis cannot show. ValueAt is the inverse.
    std::optional<double> PixelOf(AxisId id, double value) const { return layout.PixelOf(id, value); }
    double ValueAt(AxisId id, double pixel) const { return layout.ValueAt(id, pixel); }

    // Where a point of a series lands (2D or 3D); nothing when it is left out.
    std::optional<QPointF> MapPoint(const Series& series, const ChartPoint& point) const {
        return layout.MapPoint(series, point);
    }
    // 3D: the screen position of fractions (u along the bottom axis, v up the vertical axis,
    // w into the depth) of the box.
    QPointF Project(double u, double v, double w) const { return layout.box.Project(u, v, w); }
    // The twelve edges of the 3D box, for the outline the rotate tool shows.
    std::vector<QLineF> BoxEdges() const { return layout.box.BoxEdges(); }

    // Zooms the chart's horizontal and vertical axes to the values under a pixel rectangle.
    // Nothing happens in 3D or for an empty rectangle; returns whether it zoomed.
    bool ZoomTo(Chart& target, const QRect& pixels) const;

    // The pixel where the cursor tool's lines cross (nothing when the tool is off or in 3D),
    // and the cursor position in axis values for a pixel.
    std::optional<QPoint> CursorPixel() const;
    QPointF CursorValueAt(const QPoint& pixel) const;

private:
    void PaintBackground(QPainter& p) const;
    void PaintTexts(QPainter& p) const;
    void PaintGrid(QPainter& p) const;
    void PaintAxes(QPainter& p) const;
    std::optional<QPoint> TickPoint(AxisId id, double value) const;
    void PaintAxis(QPainter& p, AxisId id) const;
    void PaintTick(QPainter& p, AxisId id, const QPoint& at, const QString& label, const QFontMetrics& fm) const;
    void PaintAxisTitle(QPainter& p, AxisId id) const;
    void PaintSeries(QPainter& p, const Series& s) const;
    void PaintArea(QPainter& p, const Series& s) const;
    void PaintBarbs(QPainter& p, const Series& s) const;
    void PaintLineLabels(QPainter& p) const;
    void PaintMarks(QPainter& p, const Series& s) const;
    bool HasDrawnPoint() const;
    void PaintEmptyNote(QPainter& p) const;
    void PaintCursor(QPainter& p) const;
    void PaintLegend(QPainter& p) const;

    const Chart& chart;
    Layout layout;
};

}  // namespace chart

// The chart model: a chart with five axes, its series and its look.
//
// A window builds a Chart once (axes, colours, series styles), then fills and empties the series as
// soundings come and go, and calls Refresh() so that every view of the chart repaints. The model
// only holds data; laying out belongs to Layout, painting and hit testing to Renderer, interaction
// to ChartView, and pictures, printing and the clipboard to the functions of Export.h.
//
//   Chart chart;
//   chart.AxisOf(AxisId::Left).logarithmic = true;
//   Series& t = chart.AddSeries(SeriesKind::Line, "TPrim");
//   t.colour = Qt::red; t.marker = MarkerStyle::Circle; t.markerHSize = t.markerVSize = 2;
//   t.Add(-12.5, 850.0);
//   chart.Refresh();
#pragma once

#include "chart/Series.h"

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace chart {

// One axis. The plain fields are read each time the chart is laid out.
struct Axis {
    bool visible = true;
    QColor colour = Qt::black;       // axis line, ticks and title
    QColor labelColour = Qt::black;  // value labels
    bool grid = true;
    Qt::PenStyle gridStyle = Qt::DotLine;
    QColor gridColour = Qt::gray;
    QString title;
    bool titleBold = false;
    bool labels = true;              // value labels shown
    bool automatic = true;           // range from the data of the active series attached to it
    double minimum = 0.0;            // fixed range, used when automatic is off
    double maximum = 1.0;
    bool inverted = false;           // minimum at the top (vertical) or at the right (horizontal)
    bool logarithmic = false;        // values at or below zero are left out
    // When not empty, the values that get a tick and a label, as many as fit, earlier ones
    // first; the usual steps are used when fewer than two of them lie in the range shown.
    std::vector<double> labelValues;

    // Zoom: while zoomed the axis shows [zoomMinimum, zoomMaximum] whatever its range mode.
    bool zoomed = false;
    double zoomMinimum = 0.0;
    double zoomMaximum = 1.0;
};

// A line of text above (title, subtitle) or below (foot, subfoot) the chart.
struct ChartText {
    bool visible = false;
    QString text;
    QColor colour = Qt::black;
    bool bold = false;
};

enum class TextId { Title, SubTitle, Foot, SubFoot };

// The cursor tool: a vertical and a horizontal line crossing at a position given in the values of
// the bottom (or top) and left (or right) axes the tool follows. The user drags either line.
struct CursorTool {
    bool active = false;
    QColor colour = Qt::red;
    Qt::PenStyle style = Qt::DotLine;
    AxisId horizontalAxis = AxisId::Bottom;
    AxisId verticalAxis = AxisId::Left;
    bool placed = false;   // false: the lines cross in the middle of the plot until first dragged
    double x = 0.0;
    double y = 0.0;
};

class Chart : public QObject {
    Q_OBJECT
public:
    explicit Chart(QObject* parent = nullptr);
    ~Chart() override;

    // View.
    bool view3D = false;
    int depthPercent = 15;        // depth of the 3D box as a percentage of the plot width
    bool walls = false;           // back and floor walls of the 3D box
    double azimuth = 20.0;        // 3D rotation in degrees, turned by the rotate tool
    double elevation = 15.0;

    // Panel: the whole chart area.
    bool gradient = true;         // background gradient from gradientBottom to gradientTop
    QColor gradientBottom = Qt::white;
    QColor gradientTop = Qt::white;
    QColor background = Qt::white; // used when gradient is off
    QMargins margins{4, 4, 4, 4}; // pixels around everything drawn
    QString fontFamily = QStringLiteral("DejaVu Sans");
    int fontPixelSize = 11;

    bool legendVisible = false;
    QString hint;                 // tooltip of the views showing this chart
    bool clipSeries = false;      // series drawing clipped to the plotting area
    bool zoomEnabled = true;      // the views zoom by dragging a rectangle
    QString emptyNote;            // shown in the middle of the plot while no series draws a point
    // Width over height of the plot; 0 lets the plot take all the room. A chart whose geometry
    // has a fixed slant in pixels (a skewed diagram) keeps its proportions in every picture.
    double plotAspect = 0.0;

    CursorTool cursor;            // one cursor tool per chart, off unless activated
    bool rotateTool = false;      // the views turn the 3D view by dragging

    Axis& AxisOf(AxisId id) { return axes[static_cast<int>(id)]; }
    const Axis& AxisOf(AxisId id) const { return axes[static_cast<int>(id)]; }

    ChartText& Text(TextId id) { return texts[static_cast<int>(id)]; }
    const ChartText& Text(TextId id) const { return texts[static_cast<int>(id)]; }
    // The title line: hidden unless asked for.
    void ShowTitle(const QString& text);
    void HideTitle();

    // Series are owned by the chart and keep their address for the chart's life.
    Series& AddSeries(SeriesKind kind, const QString& title);
    int SeriesCount() const { return static_cast<int>(series.size()); }
    Series& SeriesAt(int index) { return *series.at(index); }
    const Series& SeriesAt(int index) const { return *series.at(index); }
    int IndexOf(const Series* s) const;   // -1 when not a series of this chart
    // Drops every series (a chart whose set of lines changes with what it shows builds them anew).
    void RemoveAllSeries() { series.clear(); }

    // Zoom every horizontal and vertical axis to the given value ranges (Renderer::ZoomTo turns a
    // dragged rectangle into these), and undo it.
    void UndoZoom();
    bool IsZoomed() const;

    // Tells the views (and anyone else listening) that the chart changed and must be repainted.
    void Refresh() { emit Changed(); }

signals:
    void Changed();

private:
    std::array<Axis, AxisCount> axes;
    std::array<ChartText, 4> texts;
    std::vector<std::unique_ptr<Series>> series;
};

}  // namespace chart

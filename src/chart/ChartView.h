// The widget that shows a chart and lets the user work on it.
//
// The view owns its Chart; a window keeps the view (ChrtTemp, ChrtWind, ...) and fills
// view->Model(). Every change made through the model is shown after Model().Refresh().
//
// Mouse, left button:
//   - drag a rectangle from its top-left to its bottom-right corner: zoom to it;
//     drag the other way (up or left): undo the zoom (UndoZoom() does the same);
//   - with the cursor tool active, press on one of its lines and drag: move that line (on the
//     crossing: both);
//   - in a 3D view with the rotate tool on: drag to turn the view (the box outline is drawn
//     inverted while turning);
//   - double click: DoubleClicked(pos) is emitted, and the rest of that click starts nothing.
// The tooltip is the chart's hint.
#pragma once

#include "chart/Chart.h"
#include "chart/Renderer.h"

#include <QWidget>

namespace chart {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    Chart& Model() { return chart; }
    const Chart& Model() const { return chart; }

    // The layout of the chart as the view shows it now.
    Renderer Layout() const { return Renderer(chart, rect()); }
    // Which part of the chart lies under a point of the widget.
    HitResult HitTest(const QPoint& pos) const { return Layout().HitTest(pos); }
    void UndoZoom();

signals:
    void DoubleClicked(const QPoint& pos);
    void Zoomed();
    void ZoomUndone();
    void CursorMoved(double x, double y);   // values on the cursor tool's axes

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Zoom, CursorX, CursorY, CursorBoth, Rotate, Ignore };
    void ChartChanged();

    Chart chart;
    Drag drag = Drag::None;
    QPoint origin;
    QPoint current;
    double startAzimuth = 0;
    double startElevation = 0;
};

}  // namespace chart

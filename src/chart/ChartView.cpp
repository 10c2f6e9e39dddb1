#include "chart/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace chart {

namespace {
constexpr int GrabDistance = 3;       // pixels from a cursor line that still grab it
constexpr int MinimumDrag = 3;        // a smaller drag neither zooms nor undoes
constexpr double DegreesPerPixel = 0.5;
}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&chart, &Chart::Changed, this, &ChartView::ChartChanged);
}

void ChartView::ChartChanged() {
    setToolTip(chart.hint);
    update();
}

void ChartView::UndoZoom() {
    chart.UndoZoom();
    update();
    emit ZoomUndone();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Renderer layout = Layout();
    layout.Paint(p);
    if (drag == Drag::Zoom) {
        p.setPen(QPen(Qt::black, 0, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(origin, current).normalized());
    } else if (drag == Drag::Rotate) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 0));
        for (const QLineF& e : layout.BoxEdges()) p.drawLine(e);
    }
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    origin = current = event->position().toPoint();
    drag = Drag::None;
    const Renderer layout = Layout();
    if (const auto at = layout.CursorPixel()) {
        const bool nearX = std::abs(origin.x() - at->x()) <= GrabDistance;
        const bool nearY = std::abs(origin.y() - at->y()) <= GrabDistance;
        if (layout.PlotRect().contains(origin) && (nearX || nearY)) {
            drag = nearX && nearY ? Drag::CursorBoth : nearX ? Drag::CursorX : Drag::CursorY;
            return;
        }
    }
    if (chart.view3D && chart.rotateTool) {
        drag = Drag::Rotate;
        startAzimuth = chart.azimuth;
        startElevation = chart.elevation;
    } else if (!chart.view3D && chart.zoomEnabled) {
        drag = Drag::Zoom;
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    current = event->position().toPoint();
    switch (drag) {
    case Drag::Zoom: update(); break;
    case Drag::Rotate:
        chart.azimuth = startAzimuth + (current.x() - origin.x()) * DegreesPerPixel;
        chart.elevation = std::clamp(startElevation + (current.y() - origin.y()) * DegreesPerPixel, -90.0, 90.0);
        update();
        break;
    case Drag::CursorX:
    case Drag::CursorY:
    case Drag::CursorBoth: {
        const Renderer layout = Layout();
        const QPoint at = *layout.CursorPixel();
        const QRect plot = layout.PlotRect();
        const QPoint clamped(std::clamp(current.x(), plot.left(), plot.right()),
                             std::clamp(current.y(), plot.top(), plot.bottom()));
        const QPoint target(drag == Drag::CursorY ? at.x() : clamped.x(), drag == Drag::CursorX ? at.y() : clamped.y());
        const QPointF v = layout.CursorValueAt(target);
        chart.cursor.placed = true;
        chart.cursor.x = v.x();
        chart.cursor.y = v.y();
        update();
        emit CursorMoved(v.x(), v.y());
        break;
    }
    default: break;
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    current = event->position().toPoint();
    const Drag was = drag;
    drag = Drag::None;
    if (was == Drag::Zoom) {
        const QPoint d = current - origin;
        if (d.x() >= MinimumDrag && d.y() >= MinimumDrag) {
            if (Layout().ZoomTo(chart, QRect(origin, current))) emit Zoomed();
        } else if (d.x() <= -MinimumDrag || d.y() <= -MinimumDrag) {
            chart.UndoZoom();
            emit ZoomUndone();
        }
    }
    update();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The owner handles the double click; nothing else starts from this click.
    drag = Drag::Ignore;
    emit DoubleClicked(event->position().toPoint());
    update();
}

}  // namespace chart

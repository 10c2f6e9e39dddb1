#include "chart/ChartView.h"

#include "TestApp.h"

#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace chart {
namespace {

class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        view.resize(500, 400);
        Chart& c = view.Model();
        Series& s = c.AddSeries(SeriesKind::Line, "s");
        s.Add(0, 0);
        s.Add(100, 1000);
    }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), view.mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &e);
    }
    void Drag(QPoint from, QPoint to) {
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Send(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        Send(QEvent::MouseMove, to, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    struct AppFirst {
        AppFirst() { test::App(); }
    } appFirst;   // the application exists before the widget
    ChartView view;
};

TEST_F(ChartViewTest, DraggingARectangleZoomsAndDraggingBackUndoes) {
    const Renderer before = view.Layout();
    const QRect plot = before.PlotRect();
    const QPoint from = plot.topLeft() + QPoint(plot.width() / 4, plot.height() / 4);
    const QPoint to = plot.center();
    QSignalSpy zoomed(&view, &ChartView::Zoomed);
    Drag(from, to);
    EXPECT_EQ(zoomed.count(), 1);
    ASSERT_TRUE(view.Model().IsZoomed());
    const Renderer after = view.Layout();
    // What lay under the rectangle's corners now lies at the plot's corners.
    EXPECT_NEAR(after.ScaleOf(AxisId::Bottom).minimum, before.ValueAt(AxisId::Bottom, from.x()), 1e-9);
    EXPECT_NEAR(after.ScaleOf(AxisId::Bottom).maximum, before.ValueAt(AxisId::Bottom, to.x()), 1e-9);
    EXPECT_NEAR(after.ScaleOf(AxisId::Left).maximum, before.ValueAt(AxisId::Left, from.y()), 1e-9);
    EXPECT_NEAR(after.ScaleOf(AxisId::Left).minimum, before.ValueAt(AxisId::Left, to.y()), 1e-9);

    QSignalSpy undone(&view, &ChartView::ZoomUndone);
    Drag(to, from);
    EXPECT_EQ(undone.count(), 1);
    EXPECT_FALSE(view.Model().IsZoomed());
    // A click without a drag does neither.
    Drag(to, to + QPoint(1, 1));
    EXPECT_FALSE(view.Model().IsZoomed());
    Drag(from, to);
    ASSERT_TRUE(view.Model().IsZoomed());
    view.UndoZoom();
    EXPECT_FALSE(view.Model().IsZoomed());
}

TEST_F(ChartViewTest, DoubleClickIsReportedAndStartsNothing) {
    QSignalSpy clicked(&view, &ChartView::DoubleClicked);
    const QPoint at = view.Layout().PlotRect().center() + QPoint(-40, -30);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    Send(QEvent::MouseMove, at + QPoint(60, 60), Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at + QPoint(60, 60), Qt::NoButton);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toPoint(), at);
    EXPECT_FALSE(view.Model().IsZoomed());
}

TEST_F(ChartViewTest, CursorLinesAreDraggedOneOrBoth) {
    Chart& c = view.Model();
    c.cursor.active = true;
    const Renderer r = view.Layout();
    const QPoint centre = *r.CursorPixel();
    struct Case {
        const char* name;
        QPoint grab;
        QPoint moveBy;
        QPoint expected;   // crossing afterwards
    };
    const Case cases[] = {
        {"vertical line", centre + QPoint(0, 50), {30, 20}, centre + QPoint(30, 0)},
        {"horizontal line", centre + QPoint(30 - 60, 0), {15, -25}, centre + QPoint(30, -25)},
        {"crossing", centre + QPoint(30, -25), {-10, 10}, centre + QPoint(20, -15)},
    };
    QSignalSpy moved(&view, &ChartView::CursorMoved);
    for (const Case& k : cases) {
        Drag(k.grab, k.grab + k.moveBy);
        const QPoint at = *view.Layout().CursorPixel();
        EXPECT_EQ(at, k.expected) << k.name;
        EXPECT_FALSE(c.IsZoomed()) << k.name;
    }
    EXPECT_EQ(moved.count(), 6);
    // Away from the lines a drag zooms as usual.
    Drag(centre + QPoint(-100, -100), centre + QPoint(-50, -60));
    EXPECT_TRUE(c.IsZoomed());
}

TEST_F(ChartViewTest, RotateToolTurnsThe3DView) {
    Chart& c = view.Model();
    c.view3D = true;
    c.rotateTool = true;
    c.azimuth = 20;
    c.elevation = 15;
    const QPoint from = view.Layout().PlotRect().center();
    Drag(from, from + QPoint(40, -20));
    EXPECT_DOUBLE_EQ(c.azimuth, 40);
    EXPECT_DOUBLE_EQ(c.elevation, 5);
    EXPECT_FALSE(c.IsZoomed());
    Drag(from, from + QPoint(0, 1000));
    EXPECT_DOUBLE_EQ(c.elevation, 90);
}

TEST_F(ChartViewTest, TooltipIsTheHintAndHitTestUsesTheViewLayout) {
    view.Model().hint = QStringLiteral("Скорость подъема");
    view.Model().Refresh();
    EXPECT_EQ(view.toolTip(), QStringLiteral("Скорость подъема"));
    const Renderer r = view.Layout();
    const Series& s = view.Model().SeriesAt(0);
    const QPoint p = r.MapPoint(s, s.Point(1))->toPoint();
    const HitResult h = view.HitTest(p);
    EXPECT_EQ(h.part, ChartPart::SeriesPoint);
    EXPECT_EQ(h.series, 0);
    EXPECT_EQ(h.point, 1);
}

}  // namespace
}  // namespace chart

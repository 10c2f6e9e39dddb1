// Rendering speed of a dense profile chart: six series of 8191 points (the longest sounding),
// a logarithmic inverted pressure axis, two horizontal axes and the background gradient, painted
// into a 1280 x 800 image as the view does on every repaint.
#include "chart/Chart.h"
#include "chart/Renderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int Levels = 8191;

void FillChart(chart::Chart& c) {
    using namespace chart;
    c.gradientBottom = QColor(208, 255, 208);
    c.gradientTop = QColor(255, 223, 223);
    c.margins = QMargins(0, 0, 0, 0);
    Axis& left = c.AxisOf(AxisId::Left);
    left.logarithmic = left.inverted = true;
    left.title = QStringLiteral("P, гПа");
    c.AxisOf(AxisId::Bottom).title = QStringLiteral("T, °C");
    c.AxisOf(AxisId::Top).title = QStringLiteral("U, %");
    c.AxisOf(AxisId::Right).visible = false;
    struct Look {
        SeriesKind kind;
        MarkerStyle marker;
        QColor colour;
        AxisId horizontal;
        double shift;
    };
    const Look looks[] = {
        {SeriesKind::Line, MarkerStyle::Circle, Qt::red, AxisId::Bottom, 0},
        {SeriesKind::Line, MarkerStyle::Square, QColor(0, 170, 0), AxisId::Top, 0},
        {SeriesKind::FastLine, MarkerStyle::None, Qt::red, AxisId::Bottom, 2},
        {SeriesKind::FastLine, MarkerStyle::None, QColor(0, 170, 0), AxisId::Top, 5},
        {SeriesKind::Line, MarkerStyle::Circle, QColor(255, 0, 128), AxisId::Bottom, -3},
        {SeriesKind::Line, MarkerStyle::Square, QColor(19, 159, 124), AxisId::Top, -7},
    };
    for (const Look& l : looks) {
        Series& s = c.AddSeries(l.kind, QStringLiteral("s"));
        s.colour = l.colour;
        s.marker = l.marker;
        s.markerHSize = s.markerVSize = 2;
        s.horizontalAxis = l.horizontal;
        if (l.kind == SeriesKind::FastLine) s.penStyle = Qt::DotLine;
        for (int i = 0; i < Levels; ++i) {
            const double h = i * 3.5;
            const double p = 1000 * std::exp(-h / 7400.0);
            const double x = l.horizontal == AxisId::Top ? 50 + 40 * std::sin(h / 900) + l.shift
                                                         : 15 - 0.0065 * h + std::sin(h / 50) + l.shift;
            s.Add(x, p);
        }
    }
}

void BM_RenderSixDenseSeries(benchmark::State& state) {
    chart::Chart c;
    FillChart(c);
    QImage image(1280, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        chart::Renderer(c, image.rect()).Paint(p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderSixDenseSeries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

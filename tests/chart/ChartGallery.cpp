// Writes the five sounding charts as pictures for a look by eye:
//   chart_gallery OUTPUT_FOLDER
// PNG files of every chart (the 3D flight also turned), and the temperature chart as GIF and EMF.
#include "SampleCharts.h"

#include "chart/Export.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace chart;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: chart_gallery OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QSize size(800, 600);
    const auto levels = test::SampleSounding(3000);

    Chart temp, wind, xy, ascent, flight, flightHeight;
    test::MakeTemperatureChart(temp, levels, true);
    test::MakeWindChart(wind, levels, true);
    test::MakeTrajectoryChart(xy, levels);
    test::MakeAscentChart(ascent, levels);
    test::MakeFlightChart(flight, levels, true);
    test::MakeFlightChart(flightHeight, levels, false);
    flightHeight.azimuth = 40;
    flightHeight.elevation = 30;

    bool ok = true;
    ok &= RenderImage(temp, size).save(out.filePath("temperature.png"));
    ok &= RenderImage(wind, size).save(out.filePath("wind.png"));
    ok &= RenderImage(xy, size).save(out.filePath("trajectory.png"));
    ok &= RenderImage(ascent, size).save(out.filePath("ascent.png"));
    ok &= RenderImage(flight, size).save(out.filePath("flight3d.png"));
    ok &= RenderImage(flightHeight, size).save(out.filePath("flight3d-turned.png"));

    // The pictures a window exports: with a title and the series clipped to the plot.
    RenderOptions exported;
    exported.title = QStringLiteral("Тавик:27612_20240115233000(27612.BIN)");
    exported.clipSeries = true;
    ok &= SaveGif(temp, size, out.filePath("temperature.gif"), exported);
    ok &= SaveEmf(temp, size, out.filePath("temperature.emf"), exported);
    ok &= SaveEmf(flightHeight, size, out.filePath("flight3d.emf"));
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}

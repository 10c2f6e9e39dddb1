// One QApplication for the chart tests, created on first use on the offscreen platform.
#pragma once

#include <QApplication>

namespace chart::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "chart_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

}  // namespace chart::test

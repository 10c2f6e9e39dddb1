// One QApplication for the chart tests on the offscreen platform. A test environment creates it
// before the first test and destroys it after the last, ahead of Qt's own exit-time clean-up.
#pragma once

#include <QApplication>

namespace chart::test {

QApplication& App();

}  // namespace chart::test

#include "TestApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace chart::test {

namespace {

int argc = 1;
char name[] = "chart_tests";
char* argv[] = {name, nullptr};
std::unique_ptr<QApplication> app;

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { App(); }
    void TearDown() override { app.reset(); }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

QApplication& App() {
    if (!app) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return *app;
}

}  // namespace chart::test

#include "UiTestApp.h"

#include <memory>

#include <QFile>
#include <gtest/gtest.h>

#include "ui/TavikApplication.h"

namespace ui::test {
namespace {

ScriptedWindowDialogs appDialogs;
std::unique_ptr<TavikApplication> app;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<TavikApplication>(argc, argv, &appDialogs);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { app.reset(); }
};

[[maybe_unused]] const auto* environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

TavikApplication& App() {
    return *app;
}

ScriptedWindowDialogs& AppDialogs() {
    return appDialogs;
}

QByteArray ReadFile(const QString& fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

void WriteFile(const QString& fileName, const QByteArray& content) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    file.write(content);
}

}  // namespace ui::test

#include "UiTestApp.h"

#include <memory>

#include <QFile>
#include <gtest/gtest.h>

#include "chart/Export.h"
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

void ScriptedWindowDialogs::ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) {
    messages.push_back({title, text, icon});
    if (whileShown) whileShown();
}

bool ScriptedWindowDialogs::AskYesNo(QWidget*, const QString& title, const QString& text) {
    questionTitles.push_back(title);
    if (whileShown) whileShown();
    return prompts.AskYesNo(text.toStdString());
}

bool ScriptedWindowDialogs::AskOkCancel(QWidget*, const QString& title, const QString& text) {
    okCancelQuestions.push_back({title, text});
    if (whileShown) whileShown();
    return prompts.AskYesNo(text.toStdString());
}

std::optional<QString> ScriptedWindowDialogs::InputBox(QWidget*, const QString& caption, const QString& prompt,
                                                       const QString& preset) {
    if (whileShown) whileShown();
    const std::optional<std::string> answer =
        prompts.InputBox(caption.toStdString(), prompt.toStdString(), preset.toStdString());
    if (!answer) return std::nullopt;
    return QString::fromStdString(*answer);
}

bool ScriptedWindowDialogs::OpenFile(QWidget*, FileDialogSettings& settings) {
    openDialogs.push_back(settings);
    if (openAnswers.empty()) {
        ADD_FAILURE() << "an open dialog the script does not answer";
        return false;
    }
    const std::optional<QString> answer = openAnswers.front();
    openAnswers.pop_front();
    if (!answer) return false;
    settings.fileName = *answer;
    return true;
}

void ScriptedWindowDialogs::EditChart(QWidget* owner, chart::ChartView* view, const QPoint& pos,
                                      const QString& caption) {
    chartEditors.push_back({view, pos, caption, owner});
    if (whileShown) whileShown();
}

void ScriptedWindowDialogs::ShowFind(QWidget*, FindDialogSettings& settings, std::function<void()> next) {
    findShown = true;
    ++findShows;
    findSettings = &settings;
    findNext = std::move(next);
}

void ScriptedWindowDialogs::CopyChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) {
    copiedCharts.push_back({chart::RenderImage(chart, size, options), options.title, options.clipSeries});
}

void ScriptedWindowDialogs::PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) {
    printedCharts.push_back({chart::RenderImage(chart, size, options), options.title, options.clipSeries});
}

std::vector<QString> ScriptedWindowDialogs::MessageTexts() const {
    std::vector<QString> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
}

bool ScriptedWindowDialogs::SaveFile(QWidget*, FileDialogSettings& settings) {
    saveDialogs.push_back(settings);
    if (saveAnswers.empty()) {
        ADD_FAILURE() << "a save dialog the script does not answer";
        return false;
    }
    const std::optional<QString> answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (!answer) return false;
    settings.fileName = *answer;
    return true;
}

ScriptedWindowDialogs& ScriptedWindowDialogs::SaveAs(const QString& fullPath) {
    saveAnswers.push_back(fullPath);
    return *this;
}

ScriptedWindowDialogs& ScriptedWindowDialogs::CancelSave() {
    saveAnswers.push_back(std::nullopt);
    return *this;
}

ScriptedWindowDialogs& ScriptedWindowDialogs::Choose(const QString& fullPath) {
    openAnswers.push_back(fullPath);
    return *this;
}

ScriptedWindowDialogs& ScriptedWindowDialogs::CancelOpen() {
    openAnswers.push_back(std::nullopt);
    return *this;
}

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

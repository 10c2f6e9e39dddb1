#pragma once
// The application object of the window tests and the dialogs that answer in the user's place.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <QPoint>
#include <QString>

#include "support/ScriptedPrompts.h"
#include "ui/WindowDialogs.h"

class TavikApplication;

namespace ui::test {

// Records every message box, question, dialog and beep instead of showing them, and answers the
// questions and the open dialog from a script. A question or an open dialog the script has no
// answer for fails the running test and is answered No, Cancel or cancelled.
class ScriptedWindowDialogs : public WindowDialogs {
public:
    struct Message {
        QString title;
        QString text;
        MessageIcon icon;
    };
    struct ChartEditor {
        chart::ChartView* view;
        QPoint pos;
        QString caption;
        QWidget* owner;
    };

    void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) override;
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override;
    // Answered from the same script as the Yes/No questions: Yes is OK.
    bool AskOkCancel(QWidget*, const QString& title, const QString& text) override;
    std::optional<QString> InputBox(QWidget*, const QString& caption, const QString& prompt,
                                    const QString& preset) override;
    bool OpenFile(QWidget*, FileDialogSettings& settings) override;
    bool SaveFile(QWidget*, FileDialogSettings& settings) override;
    void EditChart(QWidget* owner, chart::ChartView* view, const QPoint& pos, const QString& caption) override;
    void Beep() override { ++beeps; }
    void OpenUrl(const QUrl& address) override { openedUrls.push_back(address); }
    void ShowFind(QWidget*, FindDialogSettings& settings, std::function<void()> findNext) override;
    void CloseFind() override { findShown = false; }
    void CopyText(const std::string& cp1251) override { copiedTexts.push_back(cp1251); }
    void CopyChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) override;
    void PrintLines(const QStringList& lines) override { printedTexts.push_back(lines); }
    void PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) override;

    // The next open dialog is confirmed with that full path, or cancelled.
    ScriptedWindowDialogs& Choose(const QString& fullPath);
    ScriptedWindowDialogs& CancelOpen();
    // The next save dialog is confirmed with that full path, or cancelled.
    ScriptedWindowDialogs& SaveAs(const QString& fullPath);
    ScriptedWindowDialogs& CancelSave();

    std::vector<Message> messages;
    // The texts of the messages, in the order shown.
    std::vector<QString> MessageTexts() const;
    int beeps = 0;
    std::vector<QUrl> openedUrls;
    // The Yes/No questions and input boxes: their answers and the record of what was asked.
    ScriptedPrompts prompts;
    std::vector<QString> questionTitles;   // of the Yes/No questions
    struct Question {
        QString title;
        QString text;
    };
    std::vector<Question> okCancelQuestions;
    std::deque<std::optional<QString>> openAnswers;
    std::vector<FileDialogSettings> openDialogs;   // each as it was shown
    std::deque<std::optional<QString>> saveAnswers;
    std::vector<FileDialogSettings> saveDialogs;   // each as it was shown
    std::vector<ChartEditor> chartEditors;
    // The find dialog: whether it is shown, and its find-next button (the settings are the
    // window's own, to be set by the test first).
    bool findShown = false;
    int findShows = 0;
    FindDialogSettings* findSettings = nullptr;
    std::function<void()> findNext;
    // Clipboard and printer: what they were given; a chart as the picture drawn with the options
    // it came with.
    struct ChartPicture {
        QImage image;
        std::optional<QString> title;
        std::optional<bool> clipSeries;
    };
    std::vector<std::string> copiedTexts;
    std::vector<ChartPicture> copiedCharts;
    std::vector<QStringList> printedTexts;
    std::vector<ChartPicture> printedCharts;
    // Runs at every message, question and chart editor, while it is up.
    std::function<void()> whileShown;
};

// The one application object of the test binary (a TavikApplication on the offscreen platform).
TavikApplication& App();
// The dialogs the application's last-line error handler reports to.
ScriptedWindowDialogs& AppDialogs();

// Whole-file helpers for the configuration tests.
QByteArray ReadFile(const QString& fileName);
void WriteFile(const QString& fileName, const QByteArray& content);

}  // namespace ui::test

// The real window path, watched: once the main window has been shown and its start-up load has
// run, the probe prints the window's caption, every message box, and Qt's text of the Cancel
// button (which shows whether Qt speaks Russian), then ends the event loop. Arguments are the
// program's.
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "ui/MainFrm.h"
#include "ui/WindowDialogs.h"
#include "ui/WindowPath.h"

namespace {

void Report(const char* kind, const QString& text) {
    std::printf("%s\t%s\n", kind, text.toUtf8().constData());
    std::fflush(stdout);
}

class ReportingDialogs : public QtWindowDialogs {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon) override { Report("message", text); }
    bool AskOkCancel(QWidget*, const QString&, const QString& text) override {
        Report("okcancel", text);
        return false;
    }
};

// Polls for the shown main window; its start-up load runs from the event loop right after.
void WatchTheWindow() {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<TfmMainFrm*>(widget);
            if (window == nullptr || !window->isVisible()) continue;
            timer->stop();
            QTimer::singleShot(200, window, [window] {
                Report("caption", window->windowTitle());
                Report("cancel", QCoreApplication::translate("QPlatformTheme", "Cancel"));
                QCoreApplication::quit();
            });
        }
    });
    timer->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchTheWindow)

int main(int argc, char* argv[]) {
    ReportingDialogs dialogs;
    return RunWindowPath(argc, argv, dialogs);
}

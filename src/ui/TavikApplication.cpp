#include "ui/TavikApplication.h"

#include "ui/ErrorReport.h"
#include "ui/WindowDialogs.h"

TavikApplication::TavikApplication(int& argc, char** argv, WindowDialogs* dialogs)
    : QApplication(argc, argv), dialogs(dialogs) {}

bool TavikApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (dialogs == nullptr) throw;
        ReportException(*dialogs, activeWindow(), std::current_exception());
        return false;
    }
}

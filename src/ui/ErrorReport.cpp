#include "ui/ErrorReport.h"

#include "core/Errors.h"
#include "ui/WindowDialogs.h"

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ReportError(WindowDialogs& dialogs, QWidget* parent, const QString& message) {
    dialogs.ShowMessage(parent, ApplicationTitle, ErrorBoxText(message), MessageIcon::Error);
}

void ReportException(WindowDialogs& dialogs, QWidget* parent, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        ReportError(dialogs, parent, QString::fromUtf8(e.what()));
    }
}

#include "ui/UsageBox.h"

#include "app/UsageText.h"
#include "ui/ErrorReport.h"
#include "ui/WindowDialogs.h"

void ShowUsage(WindowDialogs& dialogs, QWidget* parent) {
    dialogs.ShowMessage(parent, ApplicationTitle, QString::fromStdString(UsageText()), MessageIcon::None);
}

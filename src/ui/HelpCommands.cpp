// «Помощь»: the usage text and the about window.
#include "ui/MainFrm.h"
#include "ui/UsageBox.h"
#include "ui/about.h"

void TfmMainFrm::idUsageClick() {
    ShowUsage(dialogs, this);
}

void TfmMainFrm::idAboutClick() {
    ShowAboutBox(this, [this](const QUrl& address) { dialogs.OpenUrl(address); });
}

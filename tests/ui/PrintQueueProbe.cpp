// Prints through the real window and the real printer: the listing of a sounding, then its
// temperature chart, each as one job to the default printer; and saves the listing beside the
// sounding (<file>.PRN) for comparison. Run by PrintQueueTest.sh, which sets up the print queue
// and reads the printed documents back.
//
//   print_queue_probe <sounding file>
// Exit status: 0 when both jobs went out, 1 when the window reported an error (on stderr), 2
// when the file did not load.
#include <iostream>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/WindowDialogs.h"

namespace {

// The real printer and clipboard; messages go to stderr instead of a box nobody would close.
class ProbeDialogs : public QtWindowDialogs {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon) override {
        std::cerr << text.toStdString() << '\n';
        reported = true;
    }
    bool reported = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    ProbeDialogs dialogs;
    QTemporaryDir config;
    TfmMainFrm window(dialogs, config.path(), QStringList());
    window.show();
    QApplication::processEvents();
    if (!window.LoadPrimary(QString::fromLocal8Bit(argv[1]))) return 2;
    window.idSave->trigger();
    window.idPrint->trigger();
    window.PageControlTU->SetActivePage(window.tsTemp);
    window.idPrint->trigger();
    return dialogs.reported ? 1 : 0;
}

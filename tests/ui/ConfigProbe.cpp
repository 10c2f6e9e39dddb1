// Not a test by itself: the window as a user other than the program's owner starts it, for
// ConfigLocationTest.sh. Run as root, it first becomes the user nobody. It opens the window
// offscreen with TAVIK.CNF located as the program locates it for PROGRAM_FOLDER, prints the
// ShowSig option and the recent files it read, then (with "set") switches ShowSig on and adds a
// recent file, and closes the window normally. Every message the window would show is printed as
// "message: <text>".
//   config_probe PROGRAM_FOLDER [set RECENT_FILE]
#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include <QApplication>

#include "ui/ConfigLocation.h"
#include "ui/MainFrm.h"
#include "ui/ROFMenu.h"
#include "ui/WindowDialogs.h"

namespace {

// The real dialogs, but every message and question printed instead of shown (none is expected).
class PrintingDialogs : public QtWindowDialogs {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon) override { Print(text); }
    bool AskYesNo(QWidget*, const QString&, const QString& text) override { return Print(text), false; }
    std::optional<QString> InputBox(QWidget*, const QString&, const QString& prompt, const QString&) override {
        Print(prompt);
        return std::nullopt;
    }

private:
    static void Print(const QString& text) { std::printf("message: %s\n", text.toUtf8().constData()); }
};

bool BecomeNobody() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || !BecomeNobody()) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintingDialogs dialogs;
    const ConfigFiles config = LocateConfig(QString::fromLocal8Bit(argv[1]), UserConfigHome());
    {
        TfmMainFrm window(dialogs, config, QStringList());
        window.show();
        QCoreApplication::processEvents();
        std::printf("writes: %s\nShowSig: %d\nrecent: %d\n", config.write.toUtf8().constData(), window.ShowSig ? 1 : 0,
                    window.RecentFiles->Count());
        if (argc == 4 && QByteArray(argv[2]) == "set") {
            if (!window.ShowSig) window.idShowSig->trigger();
            window.RecentFiles->Add(QString::fromLocal8Bit(argv[3]));
        }
        window.close();
        QCoreApplication::processEvents();
    }
    return 0;
}

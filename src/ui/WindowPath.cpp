#include "ui/WindowPath.h"

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QTranslator>

#include "app/DecodeDriver.h"
#include "app/DisplayCheck.h"
#include "ui/BalloonPicture.h"
#include "ui/ConfigLocation.h"
#include "ui/CopyDataServer.h"
#include "ui/ErrorReport.h"
#include "ui/IniFile.h"
#include "ui/MainFrm.h"
#include "ui/QtTranslation.h"
#include "ui/RunningCopy.h"
#include "ui/TavikApplication.h"
#include "ui/WindowDialogs.h"
#include "ui/about.h"

namespace {

constexpr qint64 SplashPauseMs = 400;

// The pause under the splash. The display server maps and exposes the splash only as its events
// are delivered: they are, but nothing the user does (there is nothing else yet to take it).
void WaitWithSplash() {
    QElapsedTimer clock;
    clock.start();
    while (!clock.hasExpired(SplashPauseMs)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}

// While the application object is built. A display that is named but cannot be reached (no server
// behind DISPLAY) makes the platform plugin fail, and Qt's fatal message would abort the process
// with a core dump: the program says instead what works without a window and ends with status 1.
// The platform's warnings on the way there are held back and shown only when the start goes on.
class PlatformStartGuard {
public:
    PlatformStartGuard() { previous = qInstallMessageHandler(Handle); }
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
    ~PlatformStartGuard() {
        qInstallMessageHandler(previous);
        Replay();
    }

private:
    struct Held {
        QtMsgType type;
        std::string category;
        QString text;
    };

    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
            std::fprintf(stderr, "%s\n", NoDisplayLine().c_str());
            std::fflush(stderr);
            ::_exit(1);
        }
        if (type == QtFatalMsg) {   // any other fatal goes its usual way, after what came before it
            qInstallMessageHandler(previous);
            Replay();
            if (previous != nullptr) previous(type, context, text);
            return;
        }
        held.push_back({type, context.category != nullptr ? context.category : "default", text});
    }

    static void Replay() {
        for (const Held& message : held) {
            const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
            if (previous != nullptr) previous(message.type, context, message.text);
        }
        held.clear();
    }

    static inline QtMessageHandler previous = nullptr;
    static inline std::vector<Held> held;
};

}  // namespace

bool SplashWanted(const ConfigFiles& config) {
    const IniFile ini(config.read);
    return ini.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSplash"), true);
}

bool SplashWanted(const QString& configFolder) { return SplashWanted(ConfigFilesIn(configFolder)); }

std::unique_ptr<TfmMainFrm> CreateMainWindow(WindowDialogs& dialogs, const ConfigFiles& config,
                                             const QStringList& arguments, bool showSplash) {
    if (showSplash) {
        ShowAboutSplash();
        WaitWithSplash();
    }
    auto window = std::make_unique<TfmMainFrm>(dialogs, config, arguments);
    if (showSplash) CloseAboutSplash();
    return window;
}

std::unique_ptr<TfmMainFrm> CreateMainWindow(WindowDialogs& dialogs, const QString& configFolder,
                                             const QStringList& arguments, bool showSplash) {
    return CreateMainWindow(dialogs, ConfigFilesIn(configFolder), arguments, showSplash);
}

int RunWindowPath(int argc, char* argv[]) {
    QtWindowDialogs dialogs;
    return RunWindowPath(argc, argv, dialogs);
}

int RunWindowPath(int argc, char* argv[], WindowDialogs& dialogs) {
    // After the program name, as the user typed them: constructing the application removes the
    // options Qt takes for itself (-reverse, -style, ...) from argv.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    std::optional<PlatformStartGuard> platformStart(std::in_place);
    TavikApplication app(argc, argv, &dialogs);
    platformStart.reset();
    // '.' is the decimal point: constructing the application took the user's numeric locale.
    UseDecimalPoint();
    QLocale::setDefault(QLocale::c());
    QTranslator qtTexts;
    InstallQtTranslation(qtTexts);   // without it Qt's texts stay English

    // Before anything of the window is built: a copy already running may take over.
    if (SwitchToRunningCopy(dialogs, CopyDataServer::DefaultName(), arguments)) return 0;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The name, not the display name: Qt would append a display name to every window caption.
    QCoreApplication::setApplicationName(ApplicationTitle);
    QApplication::setWindowIcon(BalloonIcon());

    const ConfigFiles config = LocateConfig(QCoreApplication::applicationDirPath(), UserConfigHome());
    const std::unique_ptr<TfmMainFrm> fmMainFrm = CreateMainWindow(dialogs, config, arguments, SplashWanted(config));
    // A second copy started with a file name hands it over here.
    fmMainFrm->ListenForRunningCopies(CopyDataServer::DefaultName());
    // The initial size is the platform's; like the usual desktop default, three quarters of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        fmMainFrm->resize(fmMainFrm->size().expandedTo(screen->availableSize() * 3 / 4));
    QApplication::restoreOverrideCursor();
    fmMainFrm->show();
    app.exec();
    return 0;
}

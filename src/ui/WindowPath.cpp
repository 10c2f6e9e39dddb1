#include "ui/WindowPath.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QTranslator>

#include "app/DecodeDriver.h"
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

    TavikApplication app(argc, argv, &dialogs);
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

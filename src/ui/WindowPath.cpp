#include "ui/WindowPath.h"

#include <QLocale>
#include <QScreen>

#include "app/DecodeDriver.h"
#include "ui/BalloonPicture.h"
#include "ui/ConfigLocation.h"
#include "ui/CopyDataServer.h"
#include "ui/ErrorReport.h"
#include "ui/MainFrm.h"
#include "ui/TavikApplication.h"
#include "ui/WindowDialogs.h"

int RunWindowPath(int argc, char* argv[]) {
    QtWindowDialogs dialogs;
    TavikApplication app(argc, argv, &dialogs);
    // '.' is the decimal point: constructing the application took the user's numeric locale.
    UseDecimalPoint();
    QLocale::setDefault(QLocale::c());

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The name, not the display name: Qt would append a display name to every window caption.
    QCoreApplication::setApplicationName(ApplicationTitle);
    QApplication::setWindowIcon(BalloonIcon());

    QStringList arguments;   // after the program name, without the options Qt took for itself
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    TfmMainFrm fmMainFrm(dialogs, LocateConfig(QCoreApplication::applicationDirPath(), UserConfigHome()), arguments);
    // A second copy started with a file name hands it over here.
    fmMainFrm.ListenForRunningCopies(CopyDataServer::DefaultName());
    // The initial size is the platform's; like the usual desktop default, three quarters of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        fmMainFrm.resize(fmMainFrm.size().expandedTo(screen->availableSize() * 3 / 4));
    QApplication::restoreOverrideCursor();
    fmMainFrm.show();
    app.exec();
    return 0;
}

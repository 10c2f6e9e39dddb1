// The start of the window: ShowSplash read from the configuration, and the splash over the
// window being built.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>

#include "UiTestApp.h"
#include "ui/MainFrm.h"
#include "ui/WindowPath.h"
#include "ui/about.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

TEST(WindowStart, ShowSplashIsReadFromOptionsAndDefaultsToTrue) {
    struct Case {
        const char* content;   // nullptr: no file
        bool expected;
    } const cases[] = {
        {nullptr, true},
        {"[OPTIONS]\r\nShowSplash=0\r\n", false},
        {"[options]\nshowsplash = 0\n", false},
        {"[OPTIONS]\r\nShowSplash=1\r\n", true},
        {"[OPTIONS]\r\nShowSplash=no\r\n", true},
        {"[PATHS]\r\nShowSplash=0\r\n", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        if (c.content != nullptr) WriteFile(folder.filePath(QStringLiteral("TAVIK.CNF")), c.content);
        EXPECT_EQ(SplashWanted(folder.path()), c.expected) << (c.content ? c.content : "no file");
    }
}

// Watches the about windows shown while the main window is being built.
class SplashWatch : public QObject {
public:
    SplashWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~SplashWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    int aboutShown = 0;
    bool upWhileWindowBuilt = false;   // an about window was on the screen while the main window was built
    bool ownerless = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* about = qobject_cast<TAboutBox*>(watched)) {
                ++aboutShown;
                ownerless = ownerless && about->parentWidget() == nullptr;
            }
        }
        if (qobject_cast<TfmMainFrm*>(watched) != nullptr && AboutBox != nullptr && AboutBox->isVisible())
            upWhileWindowBuilt = true;
        return false;
    }
};

TEST(WindowStart, TheSplashCoversTheBuildingOfTheWindowOnlyWhenAskedFor) {
    for (const bool showSplash : {true, false}) {
        QTemporaryDir config;
        const QString cnf = config.filePath(QStringLiteral("TAVIK.CNF"));
        if (!showSplash) WriteFile(cnf, "[OPTIONS]\r\nShowSplash=0\r\n");
        ScriptedWindowDialogs dialogs;
        SplashWatch watch;
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<TfmMainFrm> window = CreateMainWindow(dialogs, config.path(), {}, showSplash);
        const qint64 elapsed = clock.elapsed();
        ASSERT_TRUE(window);
        EXPECT_EQ(watch.aboutShown, showSplash ? 1 : 0) << showSplash;
        EXPECT_EQ(watch.upWhileWindowBuilt, showSplash);
        EXPECT_TRUE(watch.ownerless);
        EXPECT_EQ(AboutBox, nullptr) << "taken down once the window exists";
        if (showSplash) {
            EXPECT_GE(elapsed, 400);
        }
        window->close();
        window.reset();
        // The window keeps its options in TAVIK.CNF when it closes; ShowSplash is not one of them:
        // never written, kept as the user set it.
        const QByteArray stored = ReadFile(cnf);
        EXPECT_TRUE(stored.contains("[OPTIONS]")) << stored.toStdString();
        EXPECT_EQ(stored.contains("ShowSplash"), !showSplash) << stored.toStdString();
        if (!showSplash) {
            EXPECT_TRUE(stored.contains("ShowSplash=0\r\n"));
        }
    }
}

}  // namespace

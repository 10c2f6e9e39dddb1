// «Помощь» on the real window: the usage text in the program's message box, and the about window
// whose links go through the window's "open".
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "UiTestApp.h"
#include "app/UsageText.h"
#include "ui/MainFrm.h"
#include "ui/about.h"

using ui::test::ScriptedWindowDialogs;

namespace {

class HelpCommandsTest : public ::testing::Test {
protected:
    HelpCommandsTest() : window(dialogs, configDir.path(), QStringList()) {
        window.show();
        QCoreApplication::processEvents();
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    TfmMainFrm window;
};

TEST_F(HelpCommandsTest, UsageShowsTheUsageTextTitledWithTheProgram) {
    window.idUsage->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(dialogs.messages[0].text.toUtf8().toStdString(), UsageText());
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
}

// The about window is modal: the test acts from inside its loop.
TEST_F(HelpCommandsTest, AboutOpensALinkThroughTheWindowAndCloses) {
    bool wasUp = false;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(AboutBox, nullptr);
        wasUp = AboutBox->isVisible() && AboutBox->parentWidget() == &window;
        AboutBox->lbInternetClick(AboutBox->lbHomePage);
    });
    window.idAbout->trigger();
    EXPECT_TRUE(wasUp);
    EXPECT_EQ(AboutBox, nullptr) << "the about window is gone when the command ends";
    ASSERT_EQ(dialogs.openedUrls.size(), 1u);
    EXPECT_TRUE(dialogs.openedUrls[0].isValid());
}

TEST_F(HelpCommandsTest, AboutClosedElsewhereOpensNothing) {
    QTimer::singleShot(0, [] { AboutBox->OKButtonClick(); });
    window.idAbout->trigger();
    EXPECT_TRUE(dialogs.openedUrls.empty());
    EXPECT_EQ(AboutBox, nullptr);
}

}  // namespace

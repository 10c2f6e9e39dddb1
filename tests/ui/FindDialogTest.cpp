// The real find dialog, offscreen: its Russian texts, what it starts with, and that find-next
// hands the text and options back and asks the window on its own thread.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "UiTestApp.h"
#include "ui/FindDialog.h"

namespace {

TEST(FindDialog, StartsWithTheSettingsAndHandsThemBackOnFindNext) {
    ui::test::App();
    QWidget owner;
    FindDialog dialog(&owner);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.WholeWord->text(), QStringLiteral("Только слово целиком"));
    EXPECT_EQ(dialog.MatchCase->text(), QStringLiteral("С учетом регистра"));
    EXPECT_EQ(dialog.Up->text(), QStringLiteral("Вверх"));
    EXPECT_EQ(dialog.Down->text(), QStringLiteral("Вниз"));
    EXPECT_EQ(dialog.FindNext->text(), QStringLiteral("Найти далее"));
    EXPECT_EQ(dialog.Cancel->text(), QStringLiteral("Отмена"));

    FindDialogSettings settings;   // down by default, both options off
    int asked = 0;
    dialog.Start(settings, [&asked] { ++asked; });
    EXPECT_TRUE(dialog.Down->isChecked());
    EXPECT_FALSE(dialog.MatchCase->isChecked());
    EXPECT_FALSE(dialog.FindNext->isEnabled()) << "nothing to find yet";

    dialog.FindText->setText(QStringLiteral("ветер"));
    dialog.MatchCase->setChecked(true);
    dialog.Up->setChecked(true);
    dialog.FindNext->click();
    EXPECT_EQ(asked, 0) << "queued to the window's thread";
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(settings.findText, QStringLiteral("ветер"));
    EXPECT_TRUE(settings.matchCase);
    EXPECT_FALSE(settings.wholeWord);
    EXPECT_FALSE(settings.down);

    // A later showing starts with what the last one kept.
    FindDialog again(&owner);
    again.Start(settings, [] {});
    EXPECT_EQ(again.FindText->text(), QStringLiteral("ветер"));
    EXPECT_TRUE(again.MatchCase->isChecked());
    EXPECT_TRUE(again.Up->isChecked());
}

}  // namespace

namespace {

TEST(FindDialog, KeepsWhatWasTypedWhenClosedWithoutASearch) {
    ui::test::App();
    QWidget owner;
    FindDialog dialog(&owner);
    FindDialogSettings settings;
    dialog.Start(settings, [] { ADD_FAILURE() << "no search was asked for"; });
    dialog.show();
    dialog.FindText->setText(QStringLiteral("1000"));
    dialog.WholeWord->setChecked(true);
    dialog.Cancel->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.findText, QStringLiteral("1000"));
    EXPECT_TRUE(settings.wholeWord);
}

}  // namespace

// The help menu: the usage box, the about window's look, keys and clicks, the documents its links
// find, the program's picture, and the modal and splash ways of showing the window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "AboutSettings.h"
#include "UiTestApp.h"
#include "app/UsageText.h"
#include "ui/BalloonPicture.h"
#include "ui/UsageBox.h"
#include "ui/about.h"

namespace ui::test {
namespace {

const QUrl MailAddress(QStringLiteral("mailto:team@tavik.test"));
const QUrl HomeAddress(QStringLiteral("file:///opt/tavik/README.md"));
const QUrl UpdateAddress(QStringLiteral("file:///opt/tavik/CHANGELOG.md"));

AboutContent TestContent(bool withEmail = true) {
    AboutContent content{QStringLiteral("maker"), QStringLiteral("credits"), {}, {}, {}};
    if (withEmail) content.email = {QStringLiteral("team@tavik.test"), MailAddress};
    content.homePage = {QStringLiteral("README.md"), HomeAddress};
    content.updatePage = {QStringLiteral("CHANGELOG.md"), UpdateAddress};
    return content;
}

// An about window shown without owner whose links open into a record.
class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.SetUrlOpener([this](const QUrl& address) { opened.push_back(address); });
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }

    static void Click(QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }

    TAboutBox box{nullptr, TestContent()};
    std::vector<QUrl> opened;
};

TEST(UsageBox, ShowsTheUsageTextAsItIsInABoxTitledWithTheProgramsTitle) {
    ScriptedWindowDialogs dialogs;
    ShowUsage(dialogs, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(dialogs.messages[0].text.toUtf8().toStdString(), UsageText());
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
}

TEST_F(AboutBoxTest, HasTheLayoutSizesAndFontsOfTheWindow) {
    EXPECT_EQ(box.size(), QSize(514, 162));  // a one-pixel frame around 512 by 160
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box.pnlLeft->geometry(), QRect(1, 1, 89, 160));
    EXPECT_EQ(box.pnlRight->geometry(), QRect(90, 1, 423, 160));
    EXPECT_EQ(box.imgProgram->size(), QSize(77, 104));
    EXPECT_EQ(box.imgProgram->geometry().center().x(), box.pnlLeft->rect().center().x());
    EXPECT_GT(box.lbReturn->y(), box.imgProgram->geometry().bottom());
    EXPECT_EQ(box.lbReturn->text(), QStringLiteral("Возврат"));
    EXPECT_EQ(box.lbReturn->font().pixelSize(), 15);
    EXPECT_TRUE(box.lbReturn->font().underline());
    EXPECT_EQ(box.lbTitle->size(), QSize(407, 40));
    EXPECT_EQ(box.lbTitle->text(),
              QStringLiteral("Тавик v.0.2.0.2017: декодирование и просмотр аэрологических данных в коде BUFR"));
    EXPECT_TRUE(box.lbTitle->font().bold());
    EXPECT_EQ(box.lbTitle->font().pixelSize(), 16);
    EXPECT_EQ(box.lbMaker->font().pixelSize(), 16);
    EXPECT_EQ(box.lbCredits->font().pixelSize(), 12);
    EXPECT_EQ(box.pnlRight->toolTip(), QStringLiteral("Наши координаты"));
    EXPECT_LT(box.lbHomePage->geometry().right(), box.lbUpdate->geometry().left());
    EXPECT_GT(box.lbEmail->y(), box.lbHomePage->geometry().bottom());
    EXPECT_EQ(box.lbHomePage->toolTip(), QStringLiteral("Зеркало домашней страницы"));
    EXPECT_EQ(box.lbUpdate->toolTip(), QStringLiteral("Зеркало домашней страницы"));
    EXPECT_EQ(box.lbEmail->toolTip(), QStringLiteral("e-mail"));
    for (const QLabel* link : {box.lbHomePage, box.lbUpdate, box.lbEmail}) {
        EXPECT_EQ(link->font().pixelSize(), 12);
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST_F(AboutBoxTest, PaintsTheBrownAndCreamPanelsAndTheDarkRedTitle) {
    const QImage image = box.grab().toImage();
    if (const QByteArray shot = qgetenv("TAVIK_ABOUT_SCREENSHOT"); !shot.isEmpty()) image.save(QString::fromLocal8Bit(shot));
    const qreal ratio = image.devicePixelRatio();
    const auto colourAt = [&](QPoint p) { return image.pixelColor((QPointF(p) * ratio).toPoint()).rgb(); };
    EXPECT_EQ(colourAt({5, 150}), QColor(152, 105, 53).rgb());     // left panel below the return label
    EXPECT_EQ(colourAt({500, 70}), QColor(248, 231, 216).rgb());   // right panel beside the links
    bool titleInk = false;
    const QRect title = box.lbTitle->geometry().translated(box.pnlRight->pos());
    for (int x = title.left(); x <= title.right() && !titleInk; ++x)
        for (int y = title.top(); y <= title.bottom() && !titleInk; ++y)
            titleInk = colourAt({x, y}) == QColor(64, 0, 0).rgb();
    EXPECT_TRUE(titleInk);
}

TEST_F(AboutBoxTest, KeysThatProduceACharacterCloseItOthersDoNot) {
    struct Case {
        Qt::Key key;
        bool closes;
    };
    constexpr Case cases[] = {
        {Qt::Key_Escape, true}, {Qt::Key_Return, true}, {Qt::Key_Enter, true}, {Qt::Key_Space, true},
        {Qt::Key_A, true},      {Qt::Key_5, true},      {Qt::Key_Left, false}, {Qt::Key_Down, false},
        {Qt::Key_Shift, false}, {Qt::Key_Control, false}, {Qt::Key_F1, false}, {Qt::Key_PageUp, false},
        {Qt::Key_Delete, false},
    };
    for (const Case& c : cases) {
        box.show();
        QTest::keyClick(&box, c.key);
        EXPECT_EQ(box.isVisible(), !c.closes) << "key " << QTest::toString(c.key);
    }
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBoxTest, EscapeEnterAndSpaceCloseItAlsoWhereThePlatformGivesThemNoText) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        box.show();
        const QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString());
        box.FormKeyPress(press);
        EXPECT_FALSE(box.isVisible()) << "key " << QTest::toString(key);
    }
}

TEST_F(AboutBoxTest, AClickOnALinkOpensItsAddressAndCloses) {
    struct Case {
        QLabel* TAboutBox::*link;
        int tag;
        QUrl address;
    };
    const Case cases[] = {
        {&TAboutBox::lbEmail, 1, MailAddress},
        {&TAboutBox::lbHomePage, 2, HomeAddress},
        {&TAboutBox::lbUpdate, 3, UpdateAddress},
    };
    for (const Case& c : cases) {
        opened.clear();
        box.show();
        QLabel* link = box.*c.link;
        EXPECT_EQ(link->property("tag").toInt(), c.tag);
        Click(link);
        EXPECT_EQ(opened, std::vector<QUrl>{c.address}) << "tag " << c.tag;
        EXPECT_FALSE(box.isVisible()) << "tag " << c.tag;
    }
}

TEST_F(AboutBoxTest, AClickAnywhereElseClosesWithoutOpeningAnything) {
    const std::pair<QWidget*, QPoint> places[] = {
        {&box, {0, 0}},  // the frame
        {box.pnlLeft, {}}, {box.pnlRight, {3, 158}}, {box.imgProgram, {}}, {box.lbReturn, {}},
        {box.lbTitle, {}}, {box.lbMaker, {}},          {box.lbCredits, {}},
    };
    for (const auto& [widget, at] : places) {
        box.show();
        Click(widget, at);
        EXPECT_FALSE(box.isVisible()) << widget->metaObject()->className();
    }
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBoxTest, ALinkHandlerWithoutAKnownTagDoesNothing) {
    QLabel stray;
    for (const int tag : {0, 4, -1}) {
        stray.setProperty("tag", tag);
        box.lbInternetClick(&stray);
    }
    box.lbInternetClick(nullptr);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(box.isVisible());
}

TEST(AboutBox, TheTitleAndTheBuildsOwnLinesFitTheirPlaces) {
    TAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    if (const QByteArray shot = qgetenv("TAVIK_ABOUT_SCREENSHOT"); !shot.isEmpty())
    {
        const QString name = QString::fromLocal8Bit(shot);
        box.grab().save(QString(name).replace(QStringLiteral(".png"), QStringLiteral("-default.png")));
        BalloonPixmap(QSize(77, 104), 4).save(QString(name).replace(QStringLiteral(".png"), QStringLiteral("-balloon.png")));
    }
    for (const QLabel* label : {box.lbTitle, box.lbMaker, box.lbCredits}) {
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
    }
    for (const QLabel* link : {box.lbHomePage, box.lbUpdate, box.lbEmail})
        EXPECT_LE(link->sizeHint().width(), link->width()) << link->text().toStdString();
}

TEST(AboutBox, ShowsTheEmailLinkOnlyWithAContactAddress) {
    for (const bool withEmail : {true, false}) {
        TAboutBox box(nullptr, TestContent(withEmail));
        box.show();
        EXPECT_EQ(box.lbEmail->isVisible(), withEmail);
        EXPECT_TRUE(box.lbHomePage->isVisible());
        EXPECT_TRUE(box.lbUpdate->isVisible());
    }
}

TEST(AboutBox, IsCentredOnTheMainWindowOrOnTheScreenWithoutOne) {
    QWidget mainWindow;
    mainWindow.setGeometry(120, 90, 700, 500);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    TAboutBox owned(&mainWindow, TestContent());
    owned.show();
    EXPECT_LE((owned.frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength(), 1);

    TAboutBox alone(nullptr, TestContent());
    alone.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((alone.frameGeometry().center() - screen.center()).manhattanLength(), 1);
}

TEST(AboutBox, TheMenuShowsItModallyAndFreesItWhenClosed) {
    QWidget mainWindow;
    mainWindow.show();
    std::vector<QUrl> opened;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(AboutBox, nullptr);
        wasModal = AboutBox->isModal() && AboutBox->isVisible() && AboutBox->parentWidget() == &mainWindow;
        QTest::mouseClick(AboutBox->lbHomePage, Qt::LeftButton);
    });
    ShowAboutBox(&mainWindow, [&](const QUrl& address) { opened.push_back(address); });
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_EQ(opened, std::vector<QUrl>{DefaultAboutContent(QCoreApplication::applicationDirPath()).homePage.address});
}

TEST(AboutBox, TheSplashIsShownWithoutOwnerAndFreedOnClose) {
    ShowAboutSplash();
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_TRUE(AboutBox->isVisible());
    EXPECT_FALSE(AboutBox->isModal());
    EXPECT_EQ(AboutBox->parentWidget(), nullptr);
    const QPointer<TAboutBox> splash = AboutBox;
    CloseAboutSplash();
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_TRUE(splash.isNull());
    CloseAboutSplash();  // a second close finds nothing to free
}

TEST(AboutContent, TheInstalledDocFolderComesBeforeTheExecutablesFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString docs = root.filePath(QStringLiteral("share/doc/tavik"));
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(docs));
    const QString installed = docs + QStringLiteral("/README.md");
    const QString beside = bin + QStringLiteral("/README.md");

    EXPECT_EQ(InstalledDocument(bin, QStringLiteral("README.md")), installed);  // neither: where it belongs
    WriteFile(beside, "beside");
    EXPECT_EQ(InstalledDocument(bin, QStringLiteral("README.md")), beside);
    WriteFile(installed, "installed");
    EXPECT_EQ(InstalledDocument(bin, QStringLiteral("README.md")), installed);
}

TEST(AboutContent, TheDefaultLinksOpenTheInstalledReadmeAndChangeLog) {
    if (*about_settings::HomePageUrl || *about_settings::UpdatePageUrl)
        GTEST_SKIP() << "this build names its own pages";
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const AboutContent content = DefaultAboutContent(bin);
    EXPECT_EQ(content.homePage.caption, QStringLiteral("README.md"));
    EXPECT_EQ(content.homePage.address, QUrl::fromLocalFile(root.filePath(QStringLiteral("share/doc/tavik/README.md"))));
    EXPECT_EQ(content.updatePage.caption, QStringLiteral("CHANGELOG.md"));
    EXPECT_EQ(content.updatePage.address,
              QUrl::fromLocalFile(root.filePath(QStringLiteral("share/doc/tavik/CHANGELOG.md"))));
    EXPECT_EQ(content.email.address.isEmpty(), *about_settings::ContactEmail == '\0');
    if (*about_settings::ContactEmail) {
        EXPECT_EQ(content.email.address.toString(),
                  QStringLiteral("mailto:") + QString::fromUtf8(about_settings::ContactEmail));
    }
}

TEST(BalloonPicture, DrawsTheBalloonOnATransparentGroundAndMakesTheIcon) {
    const QImage picture = BalloonPixmap(QSize(77, 104)).toImage();
    ASSERT_EQ(picture.size(), QSize(77, 104));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(76, 103)), 0);
    const QColor envelope = picture.pixelColor(38, 30);
    EXPECT_EQ(envelope.alpha(), 255);
    EXPECT_GT(envelope.lightness(), 200);  // the pale latex
    const QColor instrument = picture.pixelColor(38, 91);  // the label band on the box
    EXPECT_GT(instrument.blue(), instrument.red());

    const QIcon icon = BalloonIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.actualSize(QSize(32, 32)), QSize(32, 32));
}

}  // namespace
}  // namespace ui::test

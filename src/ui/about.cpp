#include "ui/about.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "ui/BalloonPicture.h"

TAboutBox* AboutBox = nullptr;

namespace {

TAboutBox* splash = nullptr;  // the splash while it is up, owned here

// The window: a one-pixel frame around a client area of 512 by 160.
constexpr int FrameWidth = 1;
constexpr QSize ClientSize(512, 160);
constexpr int LeftPanelWidth = 89;
constexpr QSize PictureSize(77, 104);

const QColor Brown(152, 105, 53);
const QColor Cream(248, 231, 216);
const QColor DarkRed(64, 0, 0);
const QColor FrameColour(72, 46, 20);
const QColor LinkBlue(0, 0, 255);

const QString Title =
    QStringLiteral("Тавик v.0.2.0.2017: декодирование и просмотр аэрологических данных в коде BUFR");

// The places on the right panel (its own coordinates; it is 423 wide).
constexpr QRect TitleRect(8, 4, 407, 40);
constexpr QRect MakerRect(8, 46, 407, 20);
constexpr QRect HomePageRect(8, 72, 200, 18);
constexpr QRect UpdateRect(215, 72, 200, 18);
constexpr QRect EmailRect(8, 92, 407, 18);
constexpr QRect CreditsRect(8, 114, 407, 42);

constexpr QRect ReturnRect(0, 120, LeftPanelWidth, 24);

// Keys that produce a character even where the platform gives them no text.
constexpr Qt::Key CharacterKeys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space};

// Delete is an editing key, though some platforms give it the text DEL.
bool ProducesCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Delete) return false;
    if (!key.text().isEmpty()) return true;
    for (const Qt::Key k : CharacterKeys)
        if (key.key() == k) return true;
    return false;
}

// A narrow sans-serif face with Cyrillic glyphs at a size in pixels: the title needs a narrow
// face to fit its two lines.
QFont AboutFont(int pixelSize, bool bold = false, bool underline = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::Condensed);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QWidget* CreatePanel(QWidget* parent, const QRect& place, const QColor& background, const QColor& text) {
    auto* panel = new QWidget(parent);
    panel->setGeometry(place);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

QLabel* CreateLabel(QWidget* panel, const QString& text, const QRect& place, const QFont& font,
                    Qt::Alignment alignment = Qt::AlignCenter) {
    auto* label = new QLabel(text, panel);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void OpenWithDesktop(const QUrl& address) {
    QDesktopServices::openUrl(address);  // a failure shows nothing
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : TAboutBox(parent, DefaultAboutContent(QCoreApplication::applicationDirPath())) {}

TAboutBox::TAboutBox(QWidget* parent, const AboutContent& content)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), urlOpener(OpenWithDesktop) {
    setFixedSize(ClientSize + QSize(2 * FrameWidth, 2 * FrameWidth));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Brown);
    setPalette(palette);
    setAutoFillBackground(true);
    setWindowIcon(BalloonIcon());
    CreatePanels();
    CreateLeftPanel();
    CreateRightPanel(content);
}

void TAboutBox::CreatePanels() {
    const QRect client(QPoint(FrameWidth, FrameWidth), ClientSize);
    pnlLeft = CreatePanel(this, QRect(client.topLeft(), QSize(LeftPanelWidth, client.height())), Brown, Cream);
    pnlRight = CreatePanel(this, client.adjusted(LeftPanelWidth, 0, 0, 0), Cream, DarkRed);
    pnlRight->setToolTip(QStringLiteral("Наши координаты"));
}

void TAboutBox::CreateLeftPanel() {
    imgProgram = new QLabel(pnlLeft);
    imgProgram->setGeometry(QRect(QPoint((LeftPanelWidth - PictureSize.width()) / 2, 8), PictureSize));
    imgProgram->setPixmap(BalloonPixmap(PictureSize, devicePixelRatioF()));
    lbReturn = CreateLabel(pnlLeft, QStringLiteral("Возврат"), ReturnRect, AboutFont(15, false, true));
    lbReturn->setCursor(Qt::PointingHandCursor);
}

void TAboutBox::CreateRightPanel(const AboutContent& content) {
    lbTitle = CreateLabel(pnlRight, Title, TitleRect, AboutFont(16, true));
    lbMaker = CreateLabel(pnlRight, content.makerLine, MakerRect, AboutFont(16));
    const QString homeHint = QStringLiteral("Зеркало домашней страницы");
    lbHomePage = CreateLink(content.homePage, 2, homeHint);
    lbHomePage->setGeometry(HomePageRect);
    lbHomePage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbUpdate = CreateLink(content.updatePage, 3, homeHint);
    lbUpdate->setGeometry(UpdateRect);
    lbUpdate->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbEmail = CreateLink(content.email, 1, QStringLiteral("e-mail"));
    lbEmail->setGeometry(EmailRect);
    lbCredits = CreateLabel(pnlRight, content.creditsLine, CreditsRect, AboutFont(12));
    SetTextColour(lbCredits, Qt::black);
}

QLabel* TAboutBox::CreateLink(const AboutLink& link, int tag, const QString& hint) {
    QLabel* label = CreateLabel(pnlRight, link.caption, QRect(), AboutFont(12, false, true));
    SetTextColour(label, LinkBlue);
    label->setWordWrap(false);
    label->setToolTip(hint);
    label->setCursor(Qt::PointingHandCursor);
    label->setProperty("tag", tag);
    label->setVisible(!link.address.isEmpty());
    label->installEventFilter(this);
    addresses[tag - 1] = link.address;
    return label;
}

void TAboutBox::OKButtonClick() {
    close();
}

void TAboutBox::FormKeyPress(const QKeyEvent& key) {
    if (ProducesCharacter(key)) OKButtonClick();
}

void TAboutBox::lbInternetClick(QObject* sender) {
    const int tag = sender ? sender->property("tag").toInt() : 0;
    if (tag < 1 || tag > static_cast<int>(addresses.size())) return;
    urlOpener(addresses[tag - 1]);
    OKButtonClick();
}

// The links take their own clicks; every other element lets the click through to the window.
bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) lbInternetClick(watched);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    FormKeyPress(*event);
}

void TAboutBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OKButtonClick();
}

void TAboutBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(FrameColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TAboutBox::showEvent(QShowEvent* event) {
    CentreOnOwner();
    QDialog::showEvent(event);
}

void TAboutBox::CentreOnOwner() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) move(area.center() - rect().center());
}

void ShowAboutBox(QWidget* mainWindow, TAboutBox::UrlOpener opener) {
    TAboutBox box(mainWindow);
    if (opener) box.SetUrlOpener(std::move(opener));
    TAboutBox* const before = AboutBox;
    AboutBox = &box;
    box.exec();
    AboutBox = before;
}

void ShowAboutSplash() {
    CloseAboutSplash();
    splash = new TAboutBox();
    AboutBox = splash;
    splash->show();
    splash->repaint();
}

void CloseAboutSplash() {
    if (!splash) return;
    splash->hide();
    if (AboutBox == splash) AboutBox = nullptr;
    delete splash;
    splash = nullptr;
}

#pragma once
// The about window: the program's picture, title, maker, links and credits on two panels. The help
// menu shows it modally; at start it is the splash, shown without waiting.
#include <array>
#include <functional>
#include <utility>

#include <QDialog>
#include <QUrl>

#include "ui/AboutContent.h"

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // The shell's "open" for a link's address; its result is of no interest.
    using UrlOpener = std::function<void(const QUrl&)>;

    // Centred on parent's window when shown, on the screen without one.
    explicit TAboutBox(QWidget* parent = nullptr);
    TAboutBox(QWidget* parent, const AboutContent& content);

    // Replaces the desktop's "open" (QDesktopServices::openUrl) that the links go through.
    void SetUrlOpener(UrlOpener opener) { urlOpener = std::move(opener); }

    // Closes the window: a click anywhere but on a link.
    void OKButtonClick();
    // Closes the window on a key that produces a character; other keys do nothing.
    void FormKeyPress(const QKeyEvent& key);
    // A link was clicked: opens the address of the sender's tag (1 e-mail, 2 home page, 3 update
    // page) and closes the window; another tag does nothing.
    void lbInternetClick(QObject* sender);

    // The elements, for the window's users and tests.
    QWidget* pnlLeft = nullptr;
    QWidget* pnlRight = nullptr;
    QLabel* imgProgram = nullptr;
    QLabel* lbReturn = nullptr;
    QLabel* lbTitle = nullptr;
    QLabel* lbMaker = nullptr;
    QLabel* lbHomePage = nullptr;
    QLabel* lbUpdate = nullptr;
    QLabel* lbEmail = nullptr;
    QLabel* lbCredits = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreatePanels();
    void CreateLeftPanel();
    void CreateRightPanel(const AboutContent& content);
    QLabel* CreateLink(const AboutLink& link, int tag, const QString& hint);
    void CentreOnOwner();

    // The link addresses by tag: [0] tag 1 e-mail, [1] tag 2 home page, [2] tag 3 update page.
    std::array<QUrl, 3> addresses;
    UrlOpener urlOpener;
};

// The one about window while it exists (the help menu's or the splash).
extern TAboutBox* AboutBox;

// The help menu's about command: shows the about window modally over mainWindow and frees it when
// it closes. An opener given replaces the desktop's "open" for its links.
void ShowAboutBox(QWidget* mainWindow, TAboutBox::UrlOpener opener = {});

// The splash: the about window without owner, shown without waiting and painted at once.
void ShowAboutSplash();
// Hides and frees the splash, if it is up.
void CloseAboutSplash();

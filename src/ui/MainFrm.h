#pragma once
// The main window: the decoded texts of a primary and a secondary sounding and five charts on tab
// pages down the left side, the main menu and the page control's popup menu, four display
// options, and the configuration file TAVIK.CNF that keeps the options, the folder of the last
// data file and the recent files between runs.
//
// The components are public members under their own names, as the window's parts are known to
// the rest of the program and to its tests; each also carries its name as its object name.
#include <memory>

#include <QMainWindow>
#include <QStringList>

#include "ui/WindowDialogs.h"

class LineListBox;
class PageControl;
class QAction;
class QMenu;
class TROFMenu;

class TfmMainFrm : public QMainWindow {
    Q_OBJECT
public:
    // The name by which a second copy of the program finds this window (64 characters, NUL padded).
    static constexpr char WindowClassName[64] = "TavikMainClass#";
    static constexpr int MinimumWidth = 600;
    static constexpr int MinimumHeight = 460;

    // configFolder holds TAVIK.CNF (the executable's folder in a real run); arguments are the
    // command-line arguments after the program name.
    TfmMainFrm(WindowDialogs& dialogs, const QString& configFolder, const QStringList& arguments,
               QWidget* parent = nullptr);
    ~TfmMainFrm() override;

    QString ConfigFileName() const;

    // Main menu "&Выпуск".
    QAction* idPrimary = nullptr;
    QAction* idReload = nullptr;
    QAction* idRecent = nullptr;   // its menu() lists the recent files
    QAction* idSave = nullptr;
    QAction* idSaveAs = nullptr;
    QAction* idPrint = nullptr;
    QAction* idPrintSelected = nullptr;
    QAction* idSecondary = nullptr;
    QAction* idSecEol = nullptr;
    QAction* idExit = nullptr;
    // "Правка".
    QAction* idFind = nullptr;
    QAction* idFindAgain = nullptr;
    QAction* idCopy = nullptr;
    QAction* idCopySelected = nullptr;
    QAction* idEditChart = nullptr;
    // "Сервис".
    QAction* idClearSecondary = nullptr;
    QAction* idSaveChart = nullptr;
    QAction* idSaveGIF = nullptr;
    QAction* idSaveWMF = nullptr;
    QAction* idTraj = nullptr;
    QAction* idKML = nullptr;
    QAction* idGMStatic = nullptr;
    QAction* idYMStatic = nullptr;
    QAction* idShowSig = nullptr;
    QAction* idCombineTU = nullptr;
    QAction* idLeftAxisP = nullptr;
    QAction* idSortYAxis = nullptr;
    // "Помощь", at the right end of the menu bar.
    QAction* idHelp = nullptr;
    QAction* idUsage = nullptr;
    QAction* idAbout = nullptr;

    // The page control's popup menu; each item follows the enabled state of its main-menu twin.
    QMenu* PopupMenu1 = nullptr;
    QAction* pidFind = nullptr;
    QAction* pidFindAgain = nullptr;
    QAction* pidCopy = nullptr;
    QAction* pidCopySelected = nullptr;
    QAction* pidEditChart = nullptr;

    PageControl* PageControlTU = nullptr;
    QWidget* tsPrimary = nullptr;
    QWidget* tsTemp = nullptr;
    QWidget* tsWind = nullptr;
    QWidget* tsXY = nullptr;
    QWidget* tsZ = nullptr;
    QWidget* ts3D = nullptr;
    QWidget* tsSec = nullptr;
    LineListBox* lbPrim = nullptr;
    LineListBox* lbSec = nullptr;

    // Dialog state kept between uses: the open dialog, the shared save dialog, the find dialog.
    FileDialogSettings OpnDlgFlights;
    FileDialogSettings SvDlgData;
    FindDialogSettings fdlLists;

    // The four display options, mirrored by the check marks of their menu items.
    bool ShowSig = false;
    bool CombineTU = false;
    bool LeftAxisP = true;
    bool SortYAxis = false;

    // Recent files, listed under idRecent; released when the window closes.
    std::unique_ptr<TROFMenu> RecentFiles;

    // Last found line of each list for the find command.
    int LastFoundPrimary = -1;
    int LastFoundSecondary = -1;

    // Handlers.
    void idExitClick();
    void idShowSigClick();
    void idCombineTUClick();
    void idLeftAxisPClick();
    void idSortYAxisClick();
    void RecentFileClick(QObject* sender);
    void PageControlTUChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void CreatePages();
    void FormCreate();
    void FormShow();
    void FormClose();
    // A command of the window: its errors are shown and stop there.
    void Run(void (TfmMainFrm::*handler)());

    WindowDialogs& dialogs;
    QString configFolder;
    QStringList arguments;
    bool shown = false;
};

#pragma once
// The main window: the decoded texts of a primary and a secondary sounding and five charts on tab
// pages down the left side, the main menu and the page control's popup menu, four display
// options, and the configuration file TAVIK.CNF that keeps the options, the folder of the last
// data file and the recent files between runs.
//
// The components are public members under their own names, as the window's parts are known to
// the rest of the program and to its tests; each also carries its name as its object name.
//
// The window's code is split by feature: MainFrm.cpp the shell (construction, pages, page rule,
// options, configuration file, chart editor), MainFrmMenus.cpp the menu tables, MainFrmLoad.cpp
// the loading of soundings (open dialog, reload, secondary, drops, second copies); each command
// family to come gets a file of its own.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>
#include <QStringList>

#include "core/Lines.h"
#include "ui/ConfigLocation.h"
#include "ui/ProfileCharts.h"
#include "ui/WindowDialogs.h"

class DiagramPage;
class LineListBox;
class PageControl;
class QAction;
class QMenu;
class CopyDataServer;
class TROFMenu;
namespace chart {
class ChartView;
}

class TfmMainFrm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 600;
    static constexpr int MinimumHeight = 460;

    // config names the TAVIK.CNF read at start and the one stored at close (ui/ConfigLocation);
    // arguments are the command-line arguments after the program name, a relative file name
    // among them relative to the current directory when the window is created.
    TfmMainFrm(WindowDialogs& dialogs, const ConfigFiles& config, const QStringList& arguments,
               QWidget* parent = nullptr);
    // TAVIK.CNF read and stored in configFolder.
    TfmMainFrm(WindowDialogs& dialogs, const QString& configFolder, const QStringList& arguments,
               QWidget* parent = nullptr);
    ~TfmMainFrm() override;

    // The TAVIK.CNF the window stores into.
    QString ConfigFileName() const { return config.write; }

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
    QAction* idDataExport = nullptr;
    QAction* idJSON = nullptr;
    QAction* idCSV = nullptr;
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
    QWidget* tsDiagram = nullptr;
    QWidget* tsSec = nullptr;
    LineListBox* lbPrim = nullptr;
    LineListBox* lbSec = nullptr;

    // Dialog state kept between uses: the open dialog, the shared save dialog, the find dialog.
    FileDialogSettings OpnDlgFlights;
    FileDialogSettings SvDlgData;
    FindDialogSettings fdlLists;

    // The four display options, mirrored by the check marks of their menu items; the charts read
    // them through ChartOptions.
    bool ShowSig = false;
    bool CombineTU = false;
    bool LeftAxisP = true;
    bool SortYAxis = false;

    // The five charts, one on each chart page, and their series.
    ProfileCharts* Charts = nullptr;
    // The aerological diagram and its panel of indices, on tsDiagram.
    DiagramPage* Diagram = nullptr;

    // Recent files, listed under idRecent; released when the window closes.
    std::unique_ptr<TROFMenu> RecentFiles;

    // Last found line of each list for the find command.
    int LastFoundPrimary = -1;
    int LastFoundSecondary = -1;

    // Loads a primary file: true when it was decoded and shown. A bare or relative name is taken
    // from the current directory.
    bool LoadPrimary(const QString& name);
    // Undoes the zoom of the charts, empties lbPrim and the primary series.
    void ClearPrimary();

    // Handlers.
    void idPrimaryClick();
    void idReloadClick();
    void idSecondaryClick();
    void idClearSecondaryClick();
    void idEditChartClick();
    void chtDblClick(chart::ChartView* sender, const QPoint& pos);
    // Files dropped on the window: the first is loaded as the primary file.
    void WMDropFiles(const QStringList& files);
    // A record from a second copy of the program: identifier CopyDataOpenFile and a file name, up
    // to its first zero octet, which is loaded as the primary file; CopyDataProbe, answered only;
    // CopyDataRaise, which brings the window to the front. True when it was taken.
    bool WMCopyData(quint64 identifier, const QByteArray& data);
    // Un-minimises, raises and activates the window: a second copy asks for it, since one process
    // may not raise another's window here.
    void BringToFront();
    void idExitClick();
    void idShowSigClick();
    void idCombineTUClick();
    void idLeftAxisPClick();
    void idSortYAxisClick();
    void RecentFileClick(QObject* sender);
    void PageControlTUChange();
    // Help (ui/HelpCommands.cpp).
    void idUsageClick();
    void idAboutClick();
    // The trajectory exports of the primary sounding (ui/TrajectoryExports.cpp).
    void idKMLClick();
    void idGMStaticClick();
    void idYMStaticClick();
    // The data exports of the primary sounding (ui/DataExports.cpp).
    void idJSONClick();
    void idCSVClick();
    // Saving, copying, printing and finding in the decoded text (ui/TextCommands.cpp).
    enum class FindSender { Dialog, Menu };
    void idSaveClick();
    void idSaveAsClick();
    void idCopyClick();
    void idCopySelectedClick();
    void idPrintClick();
    void idPrintSelectedClick();
    void idFindClick();
    void idFindAgainClick();   // fdlListsFind from the menu
    void fdlListsFind(FindSender sender);
    // The title a copied or printed chart carries: the caption and the file names in brackets.
    QString ChartTitleText() const;
    // The chart picture export (ui/ChartExport.cpp); the invoking item tells GIF from metafile.
    void idSaveDiagram(QAction* sender);
    void idSaveGIFClick();
    void idSaveWMFClick();

    // Starts receiving the messages of second copies on a local server of that name (in a real
    // run CopyDataServer::DefaultName()). False when it cannot listen there.
    bool ListenForRunningCopies(const QString& serverName);
    CopyDataServer* RunningCopyServer() const { return copyDataServer; }

    // The folder a bare PrimaryFileName stands in: the current directory of its load.
    QString PrimaryFolder() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenus();
    void CreatePages();
    void FormCreate();
    void FormShow();
    void FormClose();
    // A command of the window: its errors are shown and stop there.
    void Run(void (TfmMainFrm::*handler)());
    void RunCommand(const std::function<void()>& command);
    // Loads name, resolved against folder, as the primary file.
    bool LoadPrimaryFrom(const QString& name, const QString& folder);
    // Shows the open dialog; a confirmed file's folder becomes the current directory.
    bool ExecuteOpenDialog();
    void Message(const QString& text);
    // The shared save dialog SvDlgData with a proposed name (no folder) and a title; it opens in
    // the folder of its last confirmed file. The chosen full path, or nothing on Cancel.
    std::optional<QString> ExecuteSaveDialog(const QString& proposedName, const QString& title);
    // Writes the bytes that make() returns as the whole file. On any failure the message
    // failureText is shown and the error goes on to the command's error reporting; the file that
    // stood there before stays as it was.
    void WriteOrReport(const QString& fileName, const std::function<std::string()>& make, const QString& failureText);
    // The chart of the active page; nullptr on a text page.
    chart::ChartView* ActiveChart() const;
    // The list the text tools act on: lbPrim on its page, lbSec on its page while a secondary
    // sounding is loaded; nullptr otherwise.
    LineListBox* ActiveTextList() const;
    void CopyTextToClipboard(const std::string& text);
    void CopySelectedLines(const LineListBox& list);
    void CopyChartPicture(const chart::ChartView& view);
    void PrintChart(const chart::ChartView& view);
    void PrintText(const LineList& lines);
    void PrintSelectedLines(const LineListBox& list);
    void SaveChartPicture(const chart::ChartView& view, QAction* sender);
    // The option commands' refill of the loaded soundings.
    void RefillSeries();
    ProfileChartOptions ChartOptions() const;
    bool PrimaryLoaded() const;
    bool SecondaryLoaded() const;
    // Loads asked for while a decode runs wait for its end.
    void LoadLater(const QString& name);
    void LoadPending();

    WindowDialogs& dialogs;
    ConfigFiles config;
    QStringList arguments;
    QString startFolder;   // the current directory before the window moved it to PATHS/DATA
    bool shown = false;
    QString primaryFolder;
    CopyDataServer* copyDataServer = nullptr;
    bool decoding = false;
    QStringList pendingLoads;
    friend class DecodingScope;
};

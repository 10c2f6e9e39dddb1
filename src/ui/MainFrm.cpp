#include "ui/MainFrm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QFileInfo>
#include <QTimer>
#include <QVBoxLayout>

#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "ui/CopyDataServer.h"
#include "ui/DiagramPage.h"
#include "ui/ErrorReport.h"
#include "ui/IniFile.h"
#include "ui/LineListBox.h"
#include "ui/PageControl.h"
#include "ui/ROFMenu.h"
#include "ui/WindowFileNames.h"

namespace {

using Field = QAction* TfmMainFrm::*;
using Page = QWidget* TfmMainFrm::*;

struct PageRow {
    const char* name;
    Page field;
    const char* caption;
    const char* hint;   // nullptr for none
};

// The pages in tab order. The text pages hold the lists; each chart page holds its chart:
// tsTemp ChrtTemp, tsWind ChrtWind, tsXY ChrtXY, tsZ ChrtZ, ts3D Chrt3D; tsDiagram holds the
// DiagramPage with its chart ChrtDiagram.
constexpr PageRow PageRows[] = {
    {"tsPrimary", &TfmMainFrm::tsPrimary, "Первичный", "Щелкни меня"},
    {"tsTemp", &TfmMainFrm::tsTemp, "Температура и Влажность", "Щелкни меня"},
    {"tsWind", &TfmMainFrm::tsWind, "Ветер", "Щелкни меня"},
    {"tsXY", &TfmMainFrm::tsXY, "Траектория", nullptr},
    {"tsZ", &TfmMainFrm::tsZ, "Скорость подъема", nullptr},
    {"ts3D", &TfmMainFrm::ts3D, "3D", nullptr},
    {"tsDiagram", &TfmMainFrm::tsDiagram, "Аэрологическая диаграмма", nullptr},
    {"tsSec", &TfmMainFrm::tsSec, "Вторичный", "Вторичный выпуск"},
};

// The page rule: these go off on every page change, then some come back by the page.
constexpr Field PageRuleItems[] = {&TfmMainFrm::idPrintSelected, &TfmMainFrm::idFind,
                                   &TfmMainFrm::idFindAgain, &TfmMainFrm::idCopySelected,
                                   &TfmMainFrm::idEditChart, &TfmMainFrm::idSaveGIF,
                                   &TfmMainFrm::idSaveWMF};
// On a text page with a list to work on, and on a chart page.
constexpr Field TextPageItems[] = {&TfmMainFrm::idCopySelected, &TfmMainFrm::idFind, &TfmMainFrm::idPrintSelected};
constexpr Field ChartPageItems[] = {&TfmMainFrm::idSaveGIF, &TfmMainFrm::idSaveWMF, &TfmMainFrm::idEditChart};

using View = chart::ChartView* ProfileCharts::*;

struct ChartPageRow {
    Page page;
    View view;
};

constexpr ChartPageRow ChartPageRows[] = {
    {&TfmMainFrm::tsTemp, &ProfileCharts::ChrtTemp}, {&TfmMainFrm::tsWind, &ProfileCharts::ChrtWind},
    {&TfmMainFrm::tsXY, &ProfileCharts::ChrtXY},     {&TfmMainFrm::tsZ, &ProfileCharts::ChrtZ},
    {&TfmMainFrm::ts3D, &ProfileCharts::Chrt3D},
};

struct OptionRow {
    const char* key;
    bool TfmMainFrm::* option;
    Field item;
    bool defaultValue;
};

// The options in the order they are read and written.
constexpr OptionRow OptionRows[] = {
    {"ShowSig", &TfmMainFrm::ShowSig, &TfmMainFrm::idShowSig, false},
    {"CombineTU", &TfmMainFrm::CombineTU, &TfmMainFrm::idCombineTU, false},
    {"LeftAxisP", &TfmMainFrm::LeftAxisP, &TfmMainFrm::idLeftAxisP, true},
    {"SortYAxis", &TfmMainFrm::SortYAxis, &TfmMainFrm::idSortYAxis, false},
};

const QString RecentSection = QStringLiteral("RECENT");
const QString PathsSection = QStringLiteral("PATHS");
const QString OptionsSection = QStringLiteral("OPTIONS");
const QString DataKey = QStringLiteral("DATA");

}  // namespace

TfmMainFrm::TfmMainFrm(WindowDialogs& dialogs, const QString& configFolder, const QStringList& arguments,
                       QWidget* parent)
    : TfmMainFrm(dialogs, ConfigFilesIn(configFolder), arguments, parent) {}

TfmMainFrm::TfmMainFrm(WindowDialogs& dialogs, const ConfigFiles& config, const QStringList& arguments,
                       QWidget* parent)
    : QMainWindow(parent), dialogs(dialogs), config(config), arguments(arguments), startFolder(QDir::currentPath()) {
    setObjectName(QStringLiteral("fmMainFrm"));
    setWindowTitle(ApplicationTitle);
    setMinimumSize(MinimumWidth, MinimumHeight);
    CreateMenus();
    CreatePages();
    FormCreate();
}

TfmMainFrm::~TfmMainFrm() = default;


void TfmMainFrm::Run(void (TfmMainFrm::*handler)()) {
    RunGuarded(dialogs, this, [this, handler] { (this->*handler)(); });
}

void TfmMainFrm::RunCommand(const std::function<void()>& command) {
    RunGuarded(dialogs, this, command);
}

void TfmMainFrm::CreatePages() {
    PageControlTU = new PageControl(this);
    PageControlTU->setObjectName(QStringLiteral("PageControlTU"));
    PageControlTU->setToolTip(QStringLiteral("Выбирайте мышкой закладки по левой стороне или используйте клавиши Ctrl-Tab"));
    SideTabBar* tabs = PageControlTU->TabBar();
    tabs->setToolTip(PageControlTU->toolTip());
    QFont tabFont = tabs->font();
    tabFont.setBold(true);
    tabFont.setPixelSize(15);
    tabs->setFont(tabFont);

    for (const PageRow& row : PageRows) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromUtf8(row.name));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        PageControlTU->AddPage(page, QString::fromUtf8(row.caption));
        if (row.hint != nullptr) page->setToolTip(QString::fromUtf8(row.hint));
        this->*row.field = page;
    }

    lbPrim = new LineListBox(Qt::white, tsPrimary);
    lbPrim->setObjectName(QStringLiteral("lbPrim"));
    lbPrim->setToolTip(QStringLiteral("Раскодированное сообщение"));
    tsPrimary->layout()->addWidget(lbPrim);
    lbSec = new LineListBox(QColor(0, 255, 255), tsSec);
    lbSec->setObjectName(QStringLiteral("lbSec"));
    lbSec->setToolTip(QStringLiteral("Раскодированное сообщение для вторичного выпуска"));
    tsSec->layout()->addWidget(lbSec);

    Charts = new ProfileCharts([this] { return ChartOptions(); }, this);
    for (const ChartPageRow& row : ChartPageRows) (this->*row.page)->layout()->addWidget(Charts->*row.view);
    connect(Charts, &ProfileCharts::ChartDoubleClicked, this, [this](chart::ChartView* view, QPoint pos) {
        RunCommand([this, view, pos] { chtDblClick(view, pos); });
    });
    Diagram = new DiagramPage(tsDiagram);
    tsDiagram->layout()->addWidget(Diagram);
    connect(Diagram->View(), &chart::ChartView::DoubleClicked, this, [this](const QPoint& pos) {
        RunCommand([this, pos] { chtDblClick(Diagram->View(), pos); });
    });

    PageControlTU->SetActivePage(tsPrimary);
    setCentralWidget(PageControlTU);

    PageControlTU->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PageControlTU, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(PageControlTU->mapToGlobal(at)); });
    connect(PageControlTU, &PageControl::Change, this, [this] { Run(&TfmMainFrm::PageControlTUChange); });
}

void TfmMainFrm::FormCreate() {
    // The "Помощь" menu stands at the right end of the menu bar (CreateMenus).
    LastFoundPrimary = -1;
    LastFoundSecondary = -1;
    setAcceptDrops(true);
    RecentFiles = std::make_unique<TROFMenu>(idRecent->menu(), [this](QObject* sender) {
        RunGuarded(dialogs, this, [this, sender] { RecentFileClick(sender); });
    });

    const IniFile ini(config.read);
    RecentFiles->LoadFromIni(ini, RecentSection);

    OpnDlgFlights.title = QStringLiteral("Выбор сообщения");
    OpnDlgFlights.filter = QStringLiteral("Данные зондирования в коде BUFR (*.bufr *.bin *.bfr *.b)");
    OpnDlgFlights.defaultSuffix = QStringLiteral("bin");
    const QString dataFolder = ini.ReadString(PathsSection, DataKey, QDir::currentPath());
    QDir::setCurrent(dataFolder);   // a folder that is gone is ignored
    OpnDlgFlights.initialDir = dataFolder;

    for (const OptionRow& row : OptionRows) {
        this->*row.option = ini.ReadBool(OptionsSection, QString::fromUtf8(row.key), row.defaultValue);
        (this->*row.item)->setChecked(this->*row.option);
    }
    idCombineTU->setEnabled(ShowSig);
    // The charts are designed with height axes; pressure needs the set-up.
    if (LeftAxisP) Charts->SetupVerticalAxes(nullptr, nullptr);

    idRecent->setEnabled(RecentFiles->Count() > 0);
}

void TfmMainFrm::FormShow() {
    if (arguments.size() != 1) return;
    // Typed in the folder the program was started in, not in PATHS/DATA, now the current one.
    const QString path = FullPath(startFolder, arguments.constFirst());
    if (QFileInfo(path).isFile())
        LoadPrimary(path);
    else
        Message(path + QStringLiteral(" не найден!"));
}

void TfmMainFrm::FormClose() {
    if (!RecentFiles) return;   // closed before
    RunGuarded(dialogs, this, [this] {
        IniFile ini(QFileInfo::exists(config.write) ? config.write : config.read);
        ini.StoreInto(config.write);
        if (config.createFolder) QDir().mkpath(FolderOf(config.write));
        RecentFiles->SaveToIni(ini, RecentSection);
        if (!PrimaryFileName.empty()) {
            // A bare name stands in the folder it was loaded from, whatever the current directory
            // is now.
            QString folder = FolderOf(FullPath(PrimaryFolder(), FromNative(PrimaryFileName)));
            if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
            ini.WriteString(PathsSection, DataKey, folder);
        }
        for (const OptionRow& row : OptionRows)
            ini.WriteBool(OptionsSection, QString::fromUtf8(row.key), this->*row.option);
        ini.UpdateFile();
    });
    setAcceptDrops(false);
    RecentFiles.reset();
    delete copyDataServer;
    copyDataServer = nullptr;
}

void TfmMainFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown) return;
    shown = true;
    // Once the window is on the screen: a load may ask its questions over it.
    QTimer::singleShot(0, this, [this] { Run(&TfmMainFrm::FormShow); });
}

void TfmMainFrm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TfmMainFrm::idExitClick() {
    close();
}

ProfileChartOptions TfmMainFrm::ChartOptions() const {
    return {.LeftAxisP = LeftAxisP, .ShowSig = ShowSig, .CombineTU = CombineTU, .SortYAxis = SortYAxis};
}

bool TfmMainFrm::PrimaryLoaded() const {
    return idSecondary->isEnabled();
}

bool TfmMainFrm::SecondaryLoaded() const {
    return idClearSecondary->isEnabled();
}

void TfmMainFrm::RefillSeries() {
    Charts->ClearPrimarySeries();
    if (PrimaryLoaded()) Charts->FillPrimarySeries(UAPrimary);
    if (SecondaryLoaded()) {
        Charts->ClearSecondarySeries();
        Charts->FillSecondarySeries(UASecondary);
    }
}

void TfmMainFrm::idShowSigClick() {
    ShowSig = !ShowSig;
    idShowSig->setChecked(ShowSig);
    idCombineTU->setEnabled(ShowSig);
    RefillSeries();
}

void TfmMainFrm::idCombineTUClick() {
    CombineTU = !CombineTU;
    idCombineTU->setChecked(CombineTU);
    RefillSeries();
}

void TfmMainFrm::idLeftAxisPClick() {
    LeftAxisP = !LeftAxisP;
    idLeftAxisP->setChecked(LeftAxisP);
    Charts->SetupVerticalAxes(PrimaryLoaded() ? &UAPrimary : nullptr, SecondaryLoaded() ? &UASecondary : nullptr);
}

void TfmMainFrm::idSortYAxisClick() {
    SortYAxis = !SortYAxis;
    idSortYAxis->setChecked(SortYAxis);
    if (!SortYAxis) {
        // Emptied and filled again: the points go back into level order.
        if (PrimaryLoaded()) {
            Charts->ClearPrimarySeries();
            Charts->FillPrimarySeries(UAPrimary);
        }
        if (SecondaryLoaded()) {
            Charts->ClearSecondarySeries();
            Charts->FillSecondarySeries(UASecondary);
        }
        return;
    }
    if (PrimaryLoaded()) Charts->SortPrimarySeries();
    if (SecondaryLoaded()) Charts->SortSecondarySeries();
    QWidget* page = PageControlTU->ActivePage();
    if (page == tsTemp)
        Charts->ChrtTemp->Model().Refresh();
    else if (page == tsWind)
        Charts->ChrtWind->Model().Refresh();
}

void TfmMainFrm::Message(const QString& text) {
    dialogs.ShowMessage(this, ApplicationTitle, text, MessageIcon::None);
}

void TfmMainFrm::idEditChartClick() {
    chart::ChartView* view = ActiveChart();
    if (view == nullptr) return dialogs.Beep();
    chtDblClick(view, view->mapFromGlobal(QCursor::pos()));
}

chart::ChartView* TfmMainFrm::ActiveChart() const {
    QWidget* page = PageControlTU->ActivePage();
    for (const ChartPageRow& row : ChartPageRows)
        if (this->*row.page == page) return Charts->*row.view;
    return page == tsDiagram ? Diagram->View() : nullptr;
}

void TfmMainFrm::chtDblClick(chart::ChartView* sender, const QPoint& pos) {
    if (!Charts->IsChart(sender) && sender != Diagram->View()) return;
    const QString caption =
        windowTitle() + QLatin1Char(':') + PageControlTU->Caption(PageControlTU->ActivePageIndex());
    dialogs.EditChart(this, sender, pos, caption);
    sender->Model().Refresh();
}

void TfmMainFrm::PageControlTUChange() {
    for (Field item : PageRuleItems) (this->*item)->setEnabled(false);
    if (!idSecondary->isEnabled()) return;   // no primary sounding loaded yet
    QWidget* page = PageControlTU->ActivePage();
    const bool textPage = page == tsPrimary || (page == tsSec && idClearSecondary->isEnabled());
    const bool chartPage = page != tsPrimary && page != tsSec;
    for (Field item : TextPageItems) (this->*item)->setEnabled(textPage);
    for (Field item : ChartPageItems) (this->*item)->setEnabled(chartPage);
    if (idFind->isEnabled()) idFindAgain->setEnabled(!fdlLists.findText.isEmpty());
}

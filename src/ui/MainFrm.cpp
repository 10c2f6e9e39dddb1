#include "ui/MainFrm.h"

#include <vector>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProxyStyle>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Series.h"
#include "core/Cp1251.h"
#include "core/TextHelpers.h"
#include "ui/CopyDataServer.h"
#include "ui/ErrorReport.h"
#include "ui/IniFile.h"
#include "ui/LineListBox.h"
#include "ui/PageControl.h"
#include "ui/QtPrompts.h"
#include "ui/ROFMenu.h"

namespace {

using Field = QAction* TfmMainFrm::*;
using Handler = void (TfmMainFrm::*)();

constexpr int Keys(QKeyCombination keys) { return keys.toCombined(); }

enum class Row {
    Menu,        // opens a submenu (or a menu of the menu bar); the rows up to its End go into it
    End,
    Item,
    Check,       // an item with a check mark
    Separator,   // on the menu bar: the menus after it stand at the right end
};

struct MenuRow {
    Row kind;
    const char* name;   // object name; the window's member of that name when field is set
    Field field;
    const char* caption;
    int shortcut;       // 0 for none
    int tag;            // kept as the item's data()
    bool enabled;       // at creation
    const char* hint;
    Handler handler;    // nullptr: the command has no handler in this build
};

// The main menu. Commands without a handler here are not part of the window yet; choosing them
// does nothing.
constexpr MenuRow MainMenuRows[] = {
    {Row::Menu, "idRelease", nullptr, "&Выпуск", 0, 0, true, "Загрузка данных", nullptr},
    {Row::Item, "idPrimary", &TfmMainFrm::idPrimary, "Открыть", Keys(Qt::ALT | Qt::Key_O), 0, true, nullptr, &TfmMainFrm::idPrimaryClick},
    {Row::Item, "idReload", &TfmMainFrm::idReload, "Загрузить повторно", Keys(Qt::ALT | Qt::Key_R), 0, false, nullptr, &TfmMainFrm::idReloadClick},
    {Row::Menu, "idRecent", &TfmMainFrm::idRecent, "Недавние файлы", 0, 0, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idSave", &TfmMainFrm::idSave, "Сохранить", Keys(Qt::CTRL | Qt::Key_S), 0, false, nullptr, nullptr},
    {Row::Item, "idSaveAs", &TfmMainFrm::idSaveAs, "Сохранить как...", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idPrint", &TfmMainFrm::idPrint, "Печать", Keys(Qt::CTRL | Qt::Key_P), 0, false, nullptr, nullptr},
    {Row::Item, "idPrintSelected", &TfmMainFrm::idPrintSelected, "Печатать выделение", 0, 0, false, nullptr, nullptr},
    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idSecondary", &TfmMainFrm::idSecondary, "Вторичный", Keys(Qt::ALT | Qt::Key_S), 0, false, nullptr, &TfmMainFrm::idSecondaryClick},
    {Row::Item, "idSecEol", &TfmMainFrm::idSecEol, "Вторичный ТАЕ", Keys(Qt::ALT | Qt::Key_E), 0, false, nullptr, nullptr},
    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idExit", &TfmMainFrm::idExit, "Вы&ход", Keys(Qt::ALT | Qt::Key_X), 0, true, "Выход из программы", &TfmMainFrm::idExitClick},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},

    {Row::Menu, "idEdit", nullptr, "Правка", 0, 0, true, nullptr, nullptr},
    {Row::Item, "idFind", &TfmMainFrm::idFind, "Найти", Keys(Qt::CTRL | Qt::Key_F), 0, false, nullptr, nullptr},
    {Row::Item, "idFindAgain", &TfmMainFrm::idFindAgain, "Продолжить поиск...", Keys(QKeyCombination(Qt::Key_F3)), 0, false, nullptr, nullptr},
    {Row::Item, "idCopy", &TfmMainFrm::idCopy, "Копировать", Keys(Qt::CTRL | Qt::Key_Insert), 0, false, nullptr, nullptr},
    {Row::Item, "idCopySelected", &TfmMainFrm::idCopySelected, "Копировать выделение", Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert), 0, false, nullptr, nullptr},
    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idEditChart", &TfmMainFrm::idEditChart, "Редактировать диаграмму (DblClk)", 0, 0, false, nullptr, &TfmMainFrm::idEditChartClick},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},

    {Row::Menu, "idService", nullptr, "Сервис", 0, 0, true, nullptr, nullptr},
    {Row::Item, "idClearSecondary", &TfmMainFrm::idClearSecondary, "Очистить вторичный", Keys(Qt::CTRL | Qt::Key_D), 0, false, nullptr, &TfmMainFrm::idClearSecondaryClick},
    {Row::Menu, "idSaveChart", &TfmMainFrm::idSaveChart, "Экспорт диаграммы", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idSaveGIF", &TfmMainFrm::idSaveGIF, "GIF", 0, 1, false, nullptr, nullptr},
    {Row::Item, "idSaveWMF", &TfmMainFrm::idSaveWMF, "WMF", 0, 2, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Menu, "idTraj", &TfmMainFrm::idTraj, "Экспорт траектории", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idKML", &TfmMainFrm::idKML, "Планета Земля", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idGMStatic", &TfmMainFrm::idGMStatic, "Карты Google (Статика)", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idYMStatic", &TfmMainFrm::idYMStatic, "Карты Яндекс (Статика)", 0, 0, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Menu, "idSigPoints", nullptr, "Особые точки", 0, 0, true, nullptr, nullptr},
    {Row::Check, "idShowSig", &TfmMainFrm::idShowSig, "Показывать особые точки", 0, 0, true, nullptr, &TfmMainFrm::idShowSigClick},
    {Row::Check, "idCombineTU", &TfmMainFrm::idCombineTU, "Объединять особые точки температуры и влажности", 0, 0, false, nullptr, &TfmMainFrm::idCombineTUClick},
    {Row::Check, "idLeftAxisP", &TfmMainFrm::idLeftAxisP, "Давление по оси ординат", 0, 0, true, nullptr, &TfmMainFrm::idLeftAxisPClick},
    {Row::Check, "idSortYAxis", &TfmMainFrm::idSortYAxis, "Сортировка вертикальной оси", 0, 0, true, nullptr, &TfmMainFrm::idSortYAxisClick},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},

    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Menu, "idHelp", &TfmMainFrm::idHelp, "Помощь", 0, 0, true, nullptr, nullptr},
    {Row::Item, "idUsage", &TfmMainFrm::idUsage, "Подсказка", 0, 0, true, nullptr, nullptr},
    {Row::Item, "idAbout", &TfmMainFrm::idAbout, "О программе", 0, 0, true, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
};

struct PopupRow {
    const char* name;   // nullptr for a separator
    Field field;
    const char* caption;
    int shortcut;
    Field twin;         // the main-menu item whose command and enabled state it shares
};

constexpr PopupRow PopupMenuRows[] = {
    {"pidFind", &TfmMainFrm::pidFind, "Найти", Keys(Qt::CTRL | Qt::Key_F), &TfmMainFrm::idFind},
    {"pidFindAgain", &TfmMainFrm::pidFindAgain, "Продолжить поиск...", Keys(QKeyCombination(Qt::Key_F3)), &TfmMainFrm::idFindAgain},
    {"pidCopy", &TfmMainFrm::pidCopy, "Копировать", Keys(Qt::CTRL | Qt::Key_Insert), &TfmMainFrm::idCopy},
    {"pidCopySelected", &TfmMainFrm::pidCopySelected, "Копировать выделение", Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert), &TfmMainFrm::idCopySelected},
    {nullptr, nullptr, nullptr, 0, nullptr},
    {"pidEditChart", &TfmMainFrm::pidEditChart, "Редактировать диаграмму (DblClk)", 0, &TfmMainFrm::idEditChart},
};

using Page = QWidget* TfmMainFrm::*;

struct PageRow {
    const char* name;
    Page field;
    const char* caption;
    const char* hint;   // nullptr for none
};

// The pages in tab order. The text pages hold the lists; each chart page holds its chart:
// tsTemp ChrtTemp, tsWind ChrtWind, tsXY ChrtXY, tsZ ChrtZ, ts3D Chrt3D.
constexpr PageRow PageRows[] = {
    {"tsPrimary", &TfmMainFrm::tsPrimary, "Первичный", "Щелкни меня"},
    {"tsTemp", &TfmMainFrm::tsTemp, "Температура и Влажность", "Щелкни меня"},
    {"tsWind", &TfmMainFrm::tsWind, "Ветер", "Щелкни меня"},
    {"tsXY", &TfmMainFrm::tsXY, "Траектория", nullptr},
    {"tsZ", &TfmMainFrm::tsZ, "Скорость подъема", nullptr},
    {"ts3D", &TfmMainFrm::ts3D, "3D", nullptr},
    {"tsSec", &TfmMainFrm::tsSec, "Вторичный", "Вторичный выпуск"},
};

// The page rule: these go off on every page change, then some come back by the page.
constexpr Field PageRuleItems[] = {&TfmMainFrm::idPrintSelected, &TfmMainFrm::idFind,
                                   &TfmMainFrm::idFindAgain, &TfmMainFrm::idCopySelected,
                                   &TfmMainFrm::idEditChart, &TfmMainFrm::idSaveGIF,
                                   &TfmMainFrm::idSaveWMF};
using View = chart::ChartView* TProfileCharts::*;

struct ChartPageRow {
    Page page;
    View view;
};

constexpr ChartPageRow ChartPageRows[] = {
    {&TfmMainFrm::tsTemp, &TProfileCharts::ChrtTemp}, {&TfmMainFrm::tsWind, &TProfileCharts::ChrtWind},
    {&TfmMainFrm::tsXY, &TProfileCharts::ChrtXY},     {&TfmMainFrm::tsZ, &TProfileCharts::ChrtZ},
    {&TfmMainFrm::ts3D, &TProfileCharts::Chrt3D},
};

// Items a successful primary load enables, and those it disables.
constexpr Field LoadedItems[] = {&TfmMainFrm::idSave,  &TfmMainFrm::idSaveAs,    &TfmMainFrm::idSecondary,
                                 &TfmMainFrm::idTraj,  &TfmMainFrm::idSaveChart, &TfmMainFrm::idCopy,
                                 &TfmMainFrm::idPrint};
constexpr Field TrajectoryItems[] = {&TfmMainFrm::idKML, &TfmMainFrm::idGMStatic, &TfmMainFrm::idYMStatic};

constexpr Field TextPageItems[] = {&TfmMainFrm::idCopySelected, &TfmMainFrm::idFind, &TfmMainFrm::idPrintSelected};
constexpr Field ChartPageItems[] = {&TfmMainFrm::idSaveGIF, &TfmMainFrm::idSaveWMF, &TfmMainFrm::idEditChart};

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

// File names are octets on this system; the window shows them as the locale's text (UTF-8).
std::string NativeName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString FromNative(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

// A base name: the file's name when it came from the file name, the station's characters as the
// message holds them (Windows-1251 where they are not ASCII) when it came from the data.
QString BaseNameText(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (!utf8.hasError()) return text;
    return QString::fromStdString(Cp1251ToUtf8(name));
}

QString WithoutFolder(const QString& name) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : name.mid(slash + 1);
}

QString FolderOf(const QString& fullPath) {
    return QFileInfo(fullPath).absolutePath();
}

QString FullPath(const QString& folder, const QString& name) {
    return QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}

// The hourglass from here to the end of the scope, however it is left.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The lines of a decode reach their list however the decode ends, an exception included.
class LinesTo {
public:
    explicit LinesTo(LineListBox* list) : list(list), lines(list->Lines()) {}
    ~LinesTo() { list->SetLines(std::move(lines)); }
    LinesTo(const LinesTo&) = delete;
    LinesTo& operator=(const LinesTo&) = delete;
    TLines& Lines() { return lines; }

private:
    LineListBox* list;
    TLines lines;
};

// Lets a separator on the menu bar send the menus after it to the right end of the bar.
class MenuBarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DrawMenuBarSeparator) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

// Marks a decode as running; loads asked for meanwhile (a second copy's message) wait for its end.
class DecodingScope {
public:
    explicit DecodingScope(TfmMainFrm& window) : window(window), outer(window.decoding) { window.decoding = true; }
    ~DecodingScope() {
        window.decoding = outer;
        if (!outer && !window.pendingLoads.isEmpty())
            QTimer::singleShot(0, &window, [w = &window] { w->LoadPending(); });
    }
    DecodingScope(const DecodingScope&) = delete;
    DecodingScope& operator=(const DecodingScope&) = delete;

private:
    TfmMainFrm& window;
    bool outer;
};

TfmMainFrm::TfmMainFrm(WindowDialogs& dialogs, const QString& configFolder, const QStringList& arguments,
                       QWidget* parent)
    : QMainWindow(parent), dialogs(dialogs), configFolder(configFolder), arguments(arguments) {
    setObjectName(QStringLiteral("fmMainFrm"));
    setWindowTitle(ApplicationTitle);
    setMinimumSize(MinimumWidth, MinimumHeight);
    CreateMenus();
    CreatePages();
    FormCreate();
}

TfmMainFrm::~TfmMainFrm() = default;

QString TfmMainFrm::ConfigFileName() const {
    return QDir(configFolder).filePath(QStringLiteral("TAVIK.CNF"));
}

void TfmMainFrm::Run(void (TfmMainFrm::*handler)()) {
    RunGuarded(dialogs, this, [this, handler] { (this->*handler)(); });
}

template <class Command>
void TfmMainFrm::RunCommand(Command&& command) {
    RunGuarded(dialogs, this, std::forward<Command>(command));
}

void TfmMainFrm::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto* barStyle = new MenuBarStyle;
    barStyle->setParent(bar);
    bar->setStyle(barStyle);

    std::vector<QMenu*> open;   // the menus being filled, innermost last
    for (const MenuRow& row : MainMenuRows) {
        QMenu* menu = open.empty() ? nullptr : open.back();
        const QString name = QString::fromUtf8(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        QAction* action = nullptr;
        switch (row.kind) {
        case Row::End:
            open.pop_back();
            continue;
        case Row::Separator:
            menu ? menu->addSeparator() : bar->addSeparator();
            continue;
        case Row::Menu: {
            QMenu* submenu = menu ? menu->addMenu(caption) : bar->addMenu(caption);
            submenu->setObjectName(name);
            submenu->setToolTipsVisible(true);
            open.push_back(submenu);
            action = submenu->menuAction();
            break;
        }
        case Row::Item:
        case Row::Check:
            action = menu->addAction(caption);
            action->setCheckable(row.kind == Row::Check);
            action->setShortcut(QKeySequence(row.shortcut));
            if (row.handler != nullptr)
                connect(action, &QAction::triggered, this, [this, handler = row.handler] { Run(handler); });
            break;
        }
        action->setObjectName(name);
        action->setData(row.tag);
        action->setEnabled(row.enabled);
        if (row.hint != nullptr) {
            action->setToolTip(QString::fromUtf8(row.hint));
            action->setStatusTip(action->toolTip());
        }
        if (row.field != nullptr) this->*row.field = action;
    }

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const PopupRow& row : PopupMenuRows) {
        if (row.name == nullptr) {
            PopupMenu1->addSeparator();
            continue;
        }
        QAction* twin = this->*row.twin;
        QAction* action = PopupMenu1->addAction(QString::fromUtf8(row.caption));
        action->setObjectName(QString::fromUtf8(row.name));
        // The key goes to the main-menu twin; here it is only shown.
        action->setShortcut(QKeySequence(row.shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setEnabled(twin->isEnabled());
        connect(twin, &QAction::enabledChanged, action, &QAction::setEnabled);
        connect(action, &QAction::triggered, twin, &QAction::trigger);
        this->*row.field = action;
    }
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

    Charts = new TProfileCharts(chartOptions, this);
    for (const ChartPageRow& row : ChartPageRows) (this->*row.page)->layout()->addWidget(Charts->*row.view);
    connect(Charts, &TProfileCharts::ChartDoubleClicked, this, [this](chart::ChartView* view, QPoint pos) {
        RunCommand([this, view, pos] { chtDblClick(view, pos); });
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

    const IniFile ini(ConfigFileName());
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
    UpdateChartOptions();
    idCombineTU->setEnabled(ShowSig);
    // The charts are designed with height axes; pressure needs the set-up.
    if (LeftAxisP) Charts->SetupVerticalAxes(nullptr, nullptr);

    idRecent->setEnabled(RecentFiles->Count() > 0);
}

void TfmMainFrm::FormShow() {
    if (arguments.size() != 1) return;
    const QString path = FullPath(QDir::currentPath(), arguments.constFirst());
    if (QFileInfo(path).isFile())
        LoadPrimary(path);
    else
        Message(path + QStringLiteral(" не найден!"));
}

void TfmMainFrm::FormClose() {
    if (!RecentFiles) return;   // closed before
    RunGuarded(dialogs, this, [this] {
        IniFile ini(ConfigFileName());
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

void TfmMainFrm::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TfmMainFrm::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    // The drop ends before the load starts, as the desktop expects.
    QTimer::singleShot(0, this, [this, files] { RunCommand([this, &files] { WMDropFiles(files); }); });
}

void TfmMainFrm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TfmMainFrm::idExitClick() {
    close();
}

void TfmMainFrm::UpdateChartOptions() {
    chartOptions.ShowSig = ShowSig;
    chartOptions.CombineTU = CombineTU;
    chartOptions.LeftAxisP = LeftAxisP;
    chartOptions.SortYAxis = SortYAxis;
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
    UpdateChartOptions();
    idShowSig->setChecked(ShowSig);
    idCombineTU->setEnabled(ShowSig);
    RefillSeries();
}

void TfmMainFrm::idCombineTUClick() {
    CombineTU = !CombineTU;
    UpdateChartOptions();
    idCombineTU->setChecked(CombineTU);
    RefillSeries();
}

void TfmMainFrm::idLeftAxisPClick() {
    LeftAxisP = !LeftAxisP;
    UpdateChartOptions();
    idLeftAxisP->setChecked(LeftAxisP);
    Charts->SetupVerticalAxes(PrimaryLoaded() ? &UAPrimary : nullptr, SecondaryLoaded() ? &UASecondary : nullptr);
}

void TfmMainFrm::idSortYAxisClick() {
    SortYAxis = !SortYAxis;
    UpdateChartOptions();
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

void TfmMainFrm::RecentFileClick(QObject* sender) {
    const auto* item = qobject_cast<QAction*>(sender);
    if (item == nullptr) return;
    LoadPrimary(TROFMenu::PathOf(item));
}

void TfmMainFrm::Message(const QString& text) {
    dialogs.ShowMessage(this, ApplicationTitle, text, MessageIcon::None);
}

QString TfmMainFrm::PrimaryFolder() const {
    return primaryFolder.isEmpty() ? QDir::currentPath() : primaryFolder;
}

void TfmMainFrm::ClearPrimary() {
    Charts->UndoZoomAll();
    lbPrim->Clear();
    Charts->ClearPrimarySeries();
}

bool TfmMainFrm::LoadPrimary(const QString& name) {
    return LoadPrimaryFrom(name, QDir::currentPath());
}

bool TfmMainFrm::LoadPrimaryFrom(const QString& name, const QString& folder) {
    ClearPrimary();
    idReload->setEnabled(false);
    const WaitCursor hourglass;
    PrimaryFileName = NativeName(name);
    primaryFolder = folder;
    setWindowTitle(ApplicationTitle + QLatin1Char(':') + WithoutFolder(name));

    // Reload after a secondary open moved the current directory: the file is still the one in
    // the folder it was first loaded from.
    const QString fullPath = FullPath(folder, name);
    const bool elsewhere = QDir::isRelativePath(name) && QDir(folder) != QDir::current();
    bool decoded;
    {
        const DecodingScope decode(*this);
        LinesTo text(lbPrim);
        TWindowPrompts prompts(dialogs, this);
        decoded = DecodeFile(NativeName(elsewhere ? fullPath : name), true, text.Lines(), prompts);
    }
    if (!decoded) {
        Message(name + QStringLiteral(" ашипка!"));
        return false;
    }

    Charts->FillPrimarySeries(UAPrimary);
    QString caption = ApplicationTitle + QLatin1Char(':') + BaseNameText(PrimaryBaseName);
    if (SecondaryLoaded()) caption += QLatin1Char('/') + FromNative(FileNameNoExt(SecondaryFileName));
    setWindowTitle(caption);
    idReload->setEnabled(UAPrimary.SubsetCount() > 1);
    RecentFiles->Add(fullPath);
    idRecent->setEnabled(RecentFiles->Count() > 0);
    for (Field item : LoadedItems) (this->*item)->setEnabled(true);
    idSecEol->setEnabled(false);
    for (Field item : TrajectoryItems) (this->*item)->setEnabled(Charts->XYSeries->Count() > 1);
    PageControlTUChange();
    return true;
}

bool TfmMainFrm::ExecuteOpenDialog() {
    if (!dialogs.OpenFile(this, OpnDlgFlights)) return false;
    // As the platform's dialog does when it is not told to keep the current directory.
    QDir::setCurrent(FolderOf(OpnDlgFlights.fileName));
    return true;
}

void TfmMainFrm::idPrimaryClick() {
    OpnDlgFlights.fileName.clear();
    if (!ExecuteOpenDialog()) return;
    const QString chosen = OpnDlgFlights.fileName;
    // The dialog made the file's folder the current directory: the bare name designates it.
    if (LoadPrimary(WithoutFolder(chosen)))
        OpnDlgFlights.initialDir = FolderOf(chosen);
    else
        dialogs.Beep();
    PageControlTU->SetActivePage(tsPrimary);
    lbPrim->setFocus();
}

void TfmMainFrm::idReloadClick() {
    LoadPrimaryFrom(FromNative(PrimaryFileName), PrimaryFolder());
}

void TfmMainFrm::idSecondaryClick() {
    if (!ExecuteOpenDialog()) return;
    const QString path = OpnDlgFlights.fileName;
    const WaitCursor hourglass;
    SecondaryFileName = NativeName(WithoutFolder(path));
    bool decoded;
    {
        const DecodingScope decode(*this);
        LinesTo text(lbSec);
        TWindowPrompts prompts(dialogs, this);
        decoded = DecodeFile(NativeName(path), false, text.Lines(), prompts);
    }
    if (!decoded) {
        Message(path + QStringLiteral(" ашипка!"));
        return;
    }
    idClearSecondary->setEnabled(true);
    Charts->UndoZoomAll();
    Charts->ClearSecondarySeries();
    Charts->FillSecondarySeries(UASecondary);
    setWindowTitle(ApplicationTitle + QLatin1Char('-') + BaseNameText(PrimaryBaseName) + QLatin1Char('/') +
                   BaseNameText(SecondaryBaseName));
    PageControlTU->SetActivePage(tsSec);
    lbSec->setFocus();
}

void TfmMainFrm::idClearSecondaryClick() {
    setWindowTitle(ApplicationTitle + QLatin1Char(':') + BaseNameText(PrimaryBaseName));
    SecondaryBaseName.clear();
    SecondaryFileName.clear();
    Charts->UndoZoomAll();
    lbSec->Clear();
    Charts->ClearSecondarySeries();
    idClearSecondary->setEnabled(false);
}

void TfmMainFrm::idEditChartClick() {
    QWidget* page = PageControlTU->ActivePage();
    for (const ChartPageRow& row : ChartPageRows) {
        if (this->*row.page != page) continue;
        chart::ChartView* view = Charts->*row.view;
        chtDblClick(view, view->mapFromGlobal(QCursor::pos()));
        return;
    }
    dialogs.Beep();
}

void TfmMainFrm::chtDblClick(chart::ChartView* sender, const QPoint& pos) {
    if (sender == nullptr) return;
    const QString caption =
        windowTitle() + QLatin1Char(':') + PageControlTU->Caption(PageControlTU->ActivePageIndex());
    dialogs.EditChart(this, *Charts, sender, pos, caption);
    sender->Model().Refresh();
}

void TfmMainFrm::WMDropFiles(const QStringList& files) {
    if (files.isEmpty()) return;
    LoadPrimary(files.constFirst());
}

bool TfmMainFrm::WMCopyData(quint64 identifier, const QByteArray& data) {
    if (identifier != TCopyDataServer::CopyDataOpenFile) return false;
    const qsizetype end = data.indexOf('\0');
    const QString name = QFile::decodeName(end < 0 ? data : data.left(end));
    if (decoding)
        LoadLater(name);
    else
        RunCommand([this, &name] { LoadPrimary(name); });
    return true;
}

void TfmMainFrm::LoadLater(const QString& name) {
    pendingLoads << name;
}

void TfmMainFrm::LoadPending() {
    if (decoding || pendingLoads.isEmpty()) return;
    const QString name = pendingLoads.takeFirst();
    RunCommand([this, &name] { LoadPrimary(name); });   // its decode's end takes up the next
}

bool TfmMainFrm::ListenForRunningCopies(const QString& serverName) {
    delete copyDataServer;
    copyDataServer = new TCopyDataServer(
        [this](quint64 identifier, const QByteArray& data) { return WMCopyData(identifier, data); }, this);
    return copyDataServer->Listen(serverName);
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

#include "ui/MainFrm.h"

#include <vector>

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QVBoxLayout>

#include "app/DecodeDriver.h"
#include "ui/ErrorReport.h"
#include "ui/IniFile.h"
#include "ui/LineListBox.h"
#include "ui/PageControl.h"
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
    {Row::Item, "idPrimary", &TfmMainFrm::idPrimary, "Открыть", Keys(Qt::ALT | Qt::Key_O), 0, true, nullptr, nullptr},
    {Row::Item, "idReload", &TfmMainFrm::idReload, "Загрузить повторно", Keys(Qt::ALT | Qt::Key_R), 0, false, nullptr, nullptr},
    {Row::Menu, "idRecent", &TfmMainFrm::idRecent, "Недавние файлы", 0, 0, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idSave", &TfmMainFrm::idSave, "Сохранить", Keys(Qt::CTRL | Qt::Key_S), 0, false, nullptr, nullptr},
    {Row::Item, "idSaveAs", &TfmMainFrm::idSaveAs, "Сохранить как...", 0, 0, false, nullptr, nullptr},
    {Row::Item, "idPrint", &TfmMainFrm::idPrint, "Печать", Keys(Qt::CTRL | Qt::Key_P), 0, false, nullptr, nullptr},
    {Row::Item, "idPrintSelected", &TfmMainFrm::idPrintSelected, "Печатать выделение", 0, 0, false, nullptr, nullptr},
    {Row::Separator, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},
    {Row::Item, "idSecondary", &TfmMainFrm::idSecondary, "Вторичный", Keys(Qt::ALT | Qt::Key_S), 0, false, nullptr, nullptr},
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
    {Row::Item, "idEditChart", &TfmMainFrm::idEditChart, "Редактировать диаграмму (DblClk)", 0, 0, false, nullptr, nullptr},
    {Row::End, nullptr, nullptr, nullptr, 0, 0, false, nullptr, nullptr},

    {Row::Menu, "idService", nullptr, "Сервис", 0, 0, true, nullptr, nullptr},
    {Row::Item, "idClearSecondary", &TfmMainFrm::idClearSecondary, "Очистить вторичный", Keys(Qt::CTRL | Qt::Key_D), 0, false, nullptr, nullptr},
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

    const QString dataFolder = ini.ReadString(PathsSection, DataKey, QDir::currentPath());
    QDir::setCurrent(dataFolder);   // a folder that is gone is ignored
    OpnDlgFlights.initialDir = dataFolder;

    for (const OptionRow& row : OptionRows) {
        this->*row.option = ini.ReadBool(OptionsSection, QString::fromUtf8(row.key), row.defaultValue);
        (this->*row.item)->setChecked(this->*row.option);
    }
    idCombineTU->setEnabled(ShowSig);
    // With LeftAxisP on, the charts' vertical axes are switched to pressure here.

    idRecent->setEnabled(RecentFiles->Count() > 0);
}

void TfmMainFrm::FormShow() {
    // A single command-line argument is opened here as the primary file.
}

void TfmMainFrm::FormClose() {
    if (!RecentFiles) return;   // closed before
    RunGuarded(dialogs, this, [this] {
        IniFile ini(ConfigFileName());
        RecentFiles->SaveToIni(ini, RecentSection);
        if (!PrimaryFileName.empty()) {
            // Resolved against the current directory of this moment.
            const QString name = QFile::decodeName(QByteArray::fromStdString(PrimaryFileName));
            QString folder = QFileInfo(QDir::cleanPath(QDir::current().absoluteFilePath(name))).path();
            if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
            ini.WriteString(PathsSection, DataKey, folder);
        }
        for (const OptionRow& row : OptionRows)
            ini.WriteBool(OptionsSection, QString::fromUtf8(row.key), this->*row.option);
        ini.UpdateFile();
    });
    setAcceptDrops(false);
    RecentFiles.reset();
}

void TfmMainFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown) return;
    shown = true;
    Run(&TfmMainFrm::FormShow);
}

void TfmMainFrm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TfmMainFrm::idExitClick() {
    close();
}

void TfmMainFrm::idShowSigClick() {
    ShowSig = !ShowSig;
    idShowSig->setChecked(ShowSig);
    idCombineTU->setEnabled(ShowSig);
    // The significant-level series are refilled here.
}

void TfmMainFrm::idCombineTUClick() {
    CombineTU = !CombineTU;
    idCombineTU->setChecked(CombineTU);
    // The significant-level series are refilled here.
}

void TfmMainFrm::idLeftAxisPClick() {
    LeftAxisP = !LeftAxisP;
    idLeftAxisP->setChecked(LeftAxisP);
    // The charts' vertical axes are set up again here.
}

void TfmMainFrm::idSortYAxisClick() {
    SortYAxis = !SortYAxis;
    idSortYAxis->setChecked(SortYAxis);
    // The profile series are sorted, or refilled in level order, here.
}

void TfmMainFrm::RecentFileClick(QObject* sender) {
    if (qobject_cast<QAction*>(sender) == nullptr) return;
    // The entry's path, TROFMenu::PathOf, is loaded here as the primary file.
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

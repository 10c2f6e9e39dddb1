// The main menu and the page control's popup menu of the main window, as tables.
#include <span>

#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>

#include "ui/MainFrm.h"

namespace {

using Field = QAction* TfmMainFrm::*;
using Handler = void (TfmMainFrm::*)();

constexpr int Keys(QKeyCombination keys) { return keys.toCombined(); }

enum class Kind {
    Command,
    Check,       // a command with a check mark
    Submenu,     // its items are in items
    Separator,   // on the menu bar: the menus after it stand at the right end
};

struct MenuItem {
    Kind kind = Kind::Command;
    const char* name = nullptr;        // object name; the window's member of that name when field is set
    Field field = nullptr;
    const char* caption = nullptr;
    int shortcut = 0;                  // 0 for none
    int tag = 0;                       // kept as the item's data()
    bool enabled = false;              // at creation
    const char* hint = nullptr;
    Handler handler = nullptr;         // the command; nullptr while it is not part of the window
    std::span<const MenuItem> items = {};
};

constexpr MenuItem Separator{.kind = Kind::Separator};

using W = TfmMainFrm;

// Commands without a handler here are not part of the window yet; choosing them does nothing.
// Their handler slots wait for: the secondary TAE load (idSecEol).

constexpr MenuItem ReleaseItems[] = {
    {.name = "idPrimary", .field = &W::idPrimary, .caption = "Открыть", .shortcut = Keys(Qt::ALT | Qt::Key_O),
     .enabled = true, .handler = &W::idPrimaryClick},
    {.name = "idReload", .field = &W::idReload, .caption = "Загрузить повторно", .shortcut = Keys(Qt::ALT | Qt::Key_R),
     .handler = &W::idReloadClick},
    // Its items are the recent files (ui/ROFMenu).
    {.kind = Kind::Submenu, .name = "idRecent", .field = &W::idRecent, .caption = "Недавние файлы"},
    {.name = "idSave", .field = &W::idSave, .caption = "Сохранить", .shortcut = Keys(Qt::CTRL | Qt::Key_S),
     .handler = &W::idSaveClick},
    {.name = "idSaveAs", .field = &W::idSaveAs, .caption = "Сохранить как...", .handler = &W::idSaveAsClick},
    {.name = "idPrint", .field = &W::idPrint, .caption = "Печать", .shortcut = Keys(Qt::CTRL | Qt::Key_P),
     .handler = &W::idPrintClick},
    {.name = "idPrintSelected", .field = &W::idPrintSelected, .caption = "Печатать выделение",
     .handler = &W::idPrintSelectedClick},
    Separator,
    {.name = "idSecondary", .field = &W::idSecondary, .caption = "Вторичный", .shortcut = Keys(Qt::ALT | Qt::Key_S),
     .handler = &W::idSecondaryClick},
    {.name = "idSecEol", .field = &W::idSecEol, .caption = "Вторичный ТАЕ", .shortcut = Keys(Qt::ALT | Qt::Key_E)},
    Separator,
    {.name = "idExit", .field = &W::idExit, .caption = "Вы&ход", .shortcut = Keys(Qt::ALT | Qt::Key_X),
     .enabled = true, .hint = "Выход из программы", .handler = &W::idExitClick},
};

constexpr MenuItem EditItems[] = {
    {.name = "idFind", .field = &W::idFind, .caption = "Найти", .shortcut = Keys(Qt::CTRL | Qt::Key_F),
     .handler = &W::idFindClick},
    {.name = "idFindAgain", .field = &W::idFindAgain, .caption = "Продолжить поиск...",
     .shortcut = Keys(QKeyCombination(Qt::Key_F3)), .handler = &W::idFindAgainClick},
    {.name = "idCopy", .field = &W::idCopy, .caption = "Копировать", .shortcut = Keys(Qt::CTRL | Qt::Key_Insert),
     .handler = &W::idCopyClick},
    {.name = "idCopySelected", .field = &W::idCopySelected, .caption = "Копировать выделение",
     .shortcut = Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert), .handler = &W::idCopySelectedClick},
    Separator,
    {.name = "idEditChart", .field = &W::idEditChart, .caption = "Редактировать диаграмму (DblClk)",
     .handler = &W::idEditChartClick},
};

// The tags tell the picture formats apart.
constexpr MenuItem ChartExportItems[] = {
    {.name = "idSaveGIF", .field = &W::idSaveGIF, .caption = "GIF", .tag = 1, .handler = &W::idSaveGIFClick},
    {.name = "idSaveWMF", .field = &W::idSaveWMF, .caption = "WMF", .tag = 2, .handler = &W::idSaveWMFClick},
};

constexpr MenuItem TrajectoryExportItems[] = {
    {.name = "idKML", .field = &W::idKML, .caption = "Планета Земля", .handler = &W::idKMLClick},
    {.name = "idGMStatic", .field = &W::idGMStatic, .caption = "Карты Google (Статика)", .handler = &W::idGMStaticClick},
    {.name = "idYMStatic", .field = &W::idYMStatic, .caption = "Карты Яндекс (Статика)", .handler = &W::idYMStaticClick},
};

constexpr MenuItem DataExportItems[] = {
    {.name = "idJSON", .field = &W::idJSON, .caption = "JSON", .handler = &W::idJSONClick},
    {.name = "idCSV", .field = &W::idCSV, .caption = "CSV", .handler = &W::idCSVClick},
};

constexpr MenuItem OptionItems[] = {
    {.kind = Kind::Check, .name = "idShowSig", .field = &W::idShowSig, .caption = "Показывать особые точки",
     .enabled = true, .handler = &W::idShowSigClick},
    {.kind = Kind::Check, .name = "idCombineTU", .field = &W::idCombineTU,
     .caption = "Объединять особые точки температуры и влажности", .handler = &W::idCombineTUClick},
    {.kind = Kind::Check, .name = "idLeftAxisP", .field = &W::idLeftAxisP, .caption = "Давление по оси ординат",
     .enabled = true, .handler = &W::idLeftAxisPClick},
    {.kind = Kind::Check, .name = "idSortYAxis", .field = &W::idSortYAxis, .caption = "Сортировка вертикальной оси",
     .enabled = true, .handler = &W::idSortYAxisClick},
};

constexpr MenuItem ServiceItems[] = {
    {.name = "idClearSecondary", .field = &W::idClearSecondary, .caption = "Очистить вторичный",
     .shortcut = Keys(Qt::CTRL | Qt::Key_D), .handler = &W::idClearSecondaryClick},
    {.kind = Kind::Submenu, .name = "idSaveChart", .field = &W::idSaveChart, .caption = "Экспорт диаграммы",
     .items = ChartExportItems},
    {.kind = Kind::Submenu, .name = "idTraj", .field = &W::idTraj, .caption = "Экспорт траектории",
     .items = TrajectoryExportItems},
    {.kind = Kind::Submenu, .name = "idDataExport", .field = &W::idDataExport, .caption = "Экспорт данных",
     .items = DataExportItems},
    Separator,
    {.kind = Kind::Submenu, .name = "idSigPoints", .caption = "Особые точки", .enabled = true, .items = OptionItems},
};

constexpr MenuItem HelpItems[] = {
    {.name = "idUsage", .field = &W::idUsage, .caption = "Подсказка", .enabled = true, .handler = &W::idUsageClick},
    {.name = "idAbout", .field = &W::idAbout, .caption = "О программе", .enabled = true, .handler = &W::idAboutClick},
};

constexpr MenuItem MenuBarItems[] = {
    {.kind = Kind::Submenu, .name = "idRelease", .caption = "&Выпуск", .enabled = true, .hint = "Загрузка данных",
     .items = ReleaseItems},
    {.kind = Kind::Submenu, .name = "idEdit", .caption = "Правка", .enabled = true, .items = EditItems},
    {.kind = Kind::Submenu, .name = "idService", .caption = "Сервис", .enabled = true, .items = ServiceItems},
    Separator,
    {.kind = Kind::Submenu, .name = "idHelp", .field = &W::idHelp, .caption = "Помощь", .enabled = true,
     .items = HelpItems},
};

struct PopupItem {
    const char* name = nullptr;   // nullptr for a separator
    Field field = nullptr;
    const char* caption = nullptr;
    int shortcut = 0;
    Field twin = nullptr;         // the main-menu item whose command and enabled state it shares
};

constexpr PopupItem PopupItems[] = {
    {.name = "pidFind", .field = &W::pidFind, .caption = "Найти", .shortcut = Keys(Qt::CTRL | Qt::Key_F),
     .twin = &W::idFind},
    {.name = "pidFindAgain", .field = &W::pidFindAgain, .caption = "Продолжить поиск...",
     .shortcut = Keys(QKeyCombination(Qt::Key_F3)), .twin = &W::idFindAgain},
    {.name = "pidCopy", .field = &W::pidCopy, .caption = "Копировать", .shortcut = Keys(Qt::CTRL | Qt::Key_Insert),
     .twin = &W::idCopy},
    {.name = "pidCopySelected", .field = &W::pidCopySelected, .caption = "Копировать выделение",
     .shortcut = Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert), .twin = &W::idCopySelected},
    {},
    {.name = "pidEditChart", .field = &W::pidEditChart, .caption = "Редактировать диаграмму (DblClk)",
     .twin = &W::idEditChart},
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

void TfmMainFrm::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto* barStyle = new MenuBarStyle;
    barStyle->setParent(bar);
    bar->setStyle(barStyle);

    // Adds the items to a menu or to the menu bar, submenus with their items.
    const auto addItems = [this](const auto& self, auto* container, std::span<const MenuItem> items) -> void {
        for (const MenuItem& item : items) {
            const QString caption = QString::fromUtf8(item.caption);
            QAction* action = nullptr;
            switch (item.kind) {
            case Kind::Separator:
                container->addSeparator();
                continue;
            case Kind::Submenu: {
                QMenu* submenu = container->addMenu(caption);
                submenu->setObjectName(QString::fromUtf8(item.name));
                submenu->setToolTipsVisible(true);
                self(self, submenu, item.items);
                action = submenu->menuAction();
                break;
            }
            case Kind::Command:
            case Kind::Check:
                action = container->addAction(caption);
                action->setCheckable(item.kind == Kind::Check);
                action->setShortcut(QKeySequence(item.shortcut));
                if (item.handler != nullptr)
                    connect(action, &QAction::triggered, this, [this, handler = item.handler] { Run(handler); });
                break;
            }
            action->setObjectName(QString::fromUtf8(item.name));
            action->setData(item.tag);
            action->setEnabled(item.enabled);
            if (item.hint != nullptr) {
                action->setToolTip(QString::fromUtf8(item.hint));
                action->setStatusTip(action->toolTip());
            }
            if (item.field != nullptr) this->*item.field = action;
        }
    };
    addItems(addItems, bar, MenuBarItems);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const PopupItem& item : PopupItems) {
        if (item.name == nullptr) {
            PopupMenu1->addSeparator();
            continue;
        }
        QAction* twin = this->*item.twin;
        QAction* action = PopupMenu1->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromUtf8(item.name));
        // The key goes to the main-menu twin; here it is only shown.
        action->setShortcut(QKeySequence(item.shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setEnabled(twin->isEnabled());
        connect(twin, &QAction::enabledChanged, action, &QAction::setEnabled);
        connect(action, &QAction::triggered, twin, &QAction::trigger);
        this->*item.field = action;
    }
}

#include "chart/Editor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <utility>

namespace chart {

namespace {

QByteArray rememberedGeometry;   // placement kept between editors that remember it

struct PageName {
    EditorPage page;
    unsigned flag;
    const char* name;
};
constexpr PageName PageNames[] = {
    {EditorPage::SeriesList, PageSeriesList, "Серии"}, {EditorPage::General, PageGeneral, "Общие"},
    {EditorPage::Axis, PageAxis, "Оси"},               {EditorPage::Titles, PageTitles, "Заголовки"},
    {EditorPage::Legend, PageLegend, "Легенда"},       {EditorPage::Panel, PagePanel, "Панель"},
};

const std::pair<AxisId, const char*> AxisNames[] = {
    {AxisId::Left, "Левая"}, {AxisId::Right, "Правая"}, {AxisId::Top, "Верхняя"},
    {AxisId::Bottom, "Нижняя"}, {AxisId::Depth, "Глубина"}};

const std::pair<TextId, const char*> TextNames[] = {
    {TextId::Title, "Заголовок"}, {TextId::SubTitle, "Подзаголовок"}, {TextId::Foot, "Подвал"},
    {TextId::SubFoot, "Нижний подвал"}};

const std::pair<Qt::PenStyle, const char*> PenNames[] = {
    {Qt::SolidLine, "Сплошная"}, {Qt::DotLine, "Точечная"}, {Qt::DashLine, "Штриховая"},
    {Qt::DashDotLine, "Штрихпунктирная"}, {Qt::NoPen, "Нет"}};

const std::pair<MarkerStyle, const char*> MarkerNames[] = {
    {MarkerStyle::None, "Нет"}, {MarkerStyle::Circle, "Круг"}, {MarkerStyle::Square, "Квадрат"},
    {MarkerStyle::Rectangle, "Прямоугольник"}, {MarkerStyle::Diamond, "Ромб"}};

QString Ru(const char* s) { return QString::fromUtf8(s); }

template <typename T, std::size_t N>
int IndexIn(const std::pair<T, const char*> (&table)[N], T value) {
    for (std::size_t i = 0; i < N; ++i)
        if (table[i].first == value) return static_cast<int>(i);
    return 0;
}

template <typename T, std::size_t N>
QComboBox* Combo(const std::pair<T, const char*> (&table)[N], const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    for (const auto& entry : table) box->addItem(Ru(entry.second));
    return box;
}

// A button that shows a colour and lets the user pick another.
class ColourButton : public QPushButton {
public:
    ColourButton(const char* name, std::function<QColor()> get, std::function<void(QColor)> set)
        : get(std::move(get)), set(std::move(set)) {
        setObjectName(QString::fromLatin1(name));
        Reload();
        connect(this, &QPushButton::clicked, this, [this] {
            // Qt's own dialog, whose texts the program's translation gives in Russian.
            const QColor c = QColorDialog::getColor(this->get(), this, Ru("Выбор цвета"),
                                                    QColorDialog::DontUseNativeDialog);
            if (c.isValid()) Choose(c);
        });
    }
    void Choose(const QColor& c) {
        set(c);
        Reload();
    }
    void Reload() {
        const QColor c = get();
        setText(c.name());
        // For this button only: a rule without a selector would also paint the colour dialog,
        // which opens as the button's child.
        setStyleSheet(QStringLiteral("QPushButton#%1 { background-color: %2; color: %3 }")
                          .arg(objectName(), c.name(), c.lightness() < 128 ? "white" : "black"));
    }

private:
    std::function<QColor()> get;
    std::function<void(QColor)> set;
};

QCheckBox* Check(const char* text, const char* name, bool value, bool enabled, std::function<void(bool)> set) {
    auto* box = new QCheckBox(Ru(text));
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(value);
    box->setEnabled(enabled);
    QObject::connect(box, &QCheckBox::toggled, box, std::move(set));
    return box;
}

QSpinBox* Spin(const char* name, int lo, int hi, int value, bool enabled, std::function<void(int)> set) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(lo, hi);
    spin->setValue(value);
    spin->setEnabled(enabled);
    QObject::connect(spin, qOverload<int>(&QSpinBox::valueChanged), spin, std::move(set));
    return spin;
}

}  // namespace

Editor::Editor(Chart& chart, const HitResult& clicked, const EditorSettings& settings, QWidget* parent)
    : QDialog(parent), chart(chart), settings(settings) {
    setWindowTitle(settings.caption.isEmpty() ? Ru("Редактор диаграмм") : settings.caption);
    if (!settings.hint.isEmpty()) setToolTip(settings.hint);

    tree = new QTreeWidget;
    tree->setObjectName(QStringLiteral("pageTree"));
    tree->setHeaderHidden(true);
    tree->setMaximumWidth(200);
    tabs = new QTabBar;
    tabs->setObjectName(QStringLiteral("pageTabs"));
    tabs->setExpanding(false);
    stack = new QStackedWidget;

    QTreeWidgetItem* seriesItem = nullptr;
    for (const PageName& p : PageNames) {
        if (settings.hiddenPages & p.flag) continue;
        QWidget* w = nullptr;
        switch (p.page) {
        case EditorPage::SeriesList: w = MakeSeriesListPage(); break;
        case EditorPage::General: w = MakeGeneralPage(); break;
        case EditorPage::Axis: w = MakeAxisPage(); break;
        case EditorPage::Titles: w = MakeTitlesPage(); break;
        case EditorPage::Legend: w = MakeLegendPage(); break;
        case EditorPage::Panel: w = MakePanelPage(); break;
        case EditorPage::Series: break;
        }
        AddPage(p.page, -1, w, Ru(p.name), nullptr);
        if (p.page == EditorPage::SeriesList) seriesItem = pages.back().item;
    }
    if (!(settings.hiddenPages & PageSeries))
        for (int k = 0; k < chart.SeriesCount(); ++k)
            AddPage(EditorPage::Series, k, MakeSeriesPage(k), chart.SeriesAt(k).title, seriesItem);
    tree->expandAll();

    connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        for (const PageEntry& e : pages)
            if (e.item == item) ShowPage(e.page, e.series);
    });
    connect(tabs, &QTabBar::currentChanged, this, [this](int tab) {
        for (const PageEntry& e : pages)
            if (e.tab == tab) ShowPage(e.page, e.series);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(Ru("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(tabs);
    right->addWidget(stack, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(tree);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    tree->setVisible(settings.treeShown);
    tabs->setVisible(!settings.treeShown);

    // The page the click asks for; the first page shown when that one is hidden.
    const EditorPage wanted = PageFor(clicked);
    int wantedSeries = -1;
    if (wanted == EditorPage::Series) wantedSeries = clicked.series;
    if (wanted == EditorPage::Axis) {
        if (clicked.axis) ShowAxis(*clicked.axis);
        else if (clicked.series >= 0 && clicked.series < chart.SeriesCount()) ShowAxis(chart.SeriesAt(clicked.series).verticalAxis);
    }
    if (PageWidget(wanted, wantedSeries)) ShowPage(wanted, wantedSeries);
    else if (!pages.empty()) ShowPage(pages.front().page, pages.front().series);

    resize(560, 420);
    if (settings.rememberPlacement && !rememberedGeometry.isEmpty()) restoreGeometry(rememberedGeometry);
}

Editor::~Editor() {
    if (settings.rememberPlacement) rememberedGeometry = saveGeometry();
}

EditorPage Editor::PageFor(const HitResult& clicked) {
    switch (clicked.part) {
    case ChartPart::None: return EditorPage::General;
    case ChartPart::Legend: return EditorPage::Legend;
    case ChartPart::Axis:
    case ChartPart::AxisTitle:
    case ChartPart::SeriesPoint: return EditorPage::Axis;
    case ChartPart::SeriesLine:
    case ChartPart::SeriesMarks: return clicked.series >= 0 ? EditorPage::Series : EditorPage::SeriesList;
    case ChartPart::Title:
    case ChartPart::SubTitle:
    case ChartPart::Foot:
    case ChartPart::SubFoot: return EditorPage::Titles;
    case ChartPart::ChartRect: return EditorPage::Panel;
    }
    return EditorPage::General;
}

void Editor::AddPage(EditorPage page, int series, QWidget* widget, const QString& name, QTreeWidgetItem* parentItem) {
    stack->addWidget(widget);
    auto* item = parentItem ? new QTreeWidgetItem(parentItem, QStringList{name}) : new QTreeWidgetItem(tree, QStringList{name});
    const int tab = tabs->addTab(name);
    pages.push_back({page, series, widget, item, tab});
}

QWidget* Editor::PageWidget(EditorPage page, int series) const {
    for (const PageEntry& e : pages)
        if (e.page == page && (page != EditorPage::Series || e.series == series)) return e.widget;
    return nullptr;
}

void Editor::ShowPage(EditorPage page, int series) {
    for (const PageEntry& e : pages) {
        if (e.page != page || (page == EditorPage::Series && e.series != series)) continue;
        stack->setCurrentWidget(e.widget);
        const QSignalBlocker blockTree(tree), blockTabs(tabs);
        tree->setCurrentItem(e.item);
        tabs->setCurrentIndex(e.tab);
        if (const auto it = reloads.find(e.widget); it != reloads.end()) it->second();
        return;
    }
}

EditorPage Editor::CurrentPage() const {
    for (const PageEntry& e : pages)
        if (e.widget == stack->currentWidget()) return e.page;
    return EditorPage::General;
}

int Editor::CurrentSeries() const {
    for (const PageEntry& e : pages)
        if (e.widget == stack->currentWidget()) return e.series;
    return -1;
}

void Editor::ShowAxis(AxisId id) {
    axis = id;
    for (auto& reload : axisReload) reload();
}

void Editor::Changed() { chart.Refresh(); }

QWidget* Editor::MakeSeriesListPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(Ru("Серии диаграммы (флажок: серия показана)")));
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("seriesList"));
    layout->addWidget(list);
    auto fill = [this, list] {
        const QSignalBlocker block(list);
        list->clear();
        for (int k = 0; k < chart.SeriesCount(); ++k) {
            auto* item = new QListWidgetItem(chart.SeriesAt(k).title, list);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (Allowed(OptionSeriesActive)) flags |= Qt::ItemIsUserCheckable;
            item->setFlags(flags);
            item->setCheckState(chart.SeriesAt(k).active ? Qt::Checked : Qt::Unchecked);
        }
    };
    fill();
    reloads[page] = fill;
    connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
        const int k = list->row(item);
        if (k < 0 || k >= chart.SeriesCount()) return;
        chart.SeriesAt(k).active = item->checkState() == Qt::Checked;
        Changed();
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this, list](QListWidgetItem* item) {
        ShowPage(EditorPage::Series, list->row(item));
    });
    return page;
}

QWidget* Editor::MakeGeneralPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const bool allowed = Allowed(OptionPanel);
    form->addRow(Check("Трёхмерный вид", "view3D", chart.view3D, allowed, [this](bool on) { chart.view3D = on; Changed(); }));
    form->addRow(Ru("Глубина 3D, %"), Spin("depthPercent", 0, 100, chart.depthPercent, allowed, [this](int v) { chart.depthPercent = v; Changed(); }));
    form->addRow(Check("Стенки 3D", "walls", chart.walls, allowed, [this](bool on) { chart.walls = on; Changed(); }));
    form->addRow(Check("Ограничить серии областью построения", "clipSeries", chart.clipSeries, allowed,
                       [this](bool on) { chart.clipSeries = on; Changed(); }));
    form->addRow(Check("Масштабирование мышью", "zoomEnabled", chart.zoomEnabled, allowed, [this](bool on) { chart.zoomEnabled = on; Changed(); }));
    auto* unzoom = new QPushButton(Ru("Отменить масштабирование"));
    unzoom->setObjectName(QStringLiteral("undoZoom"));
    connect(unzoom, &QPushButton::clicked, this, [this] { chart.UndoZoom(); Changed(); });
    form->addRow(unzoom);
    form->addRow(Ru("Поле слева"), Spin("marginLeft", 0, 500, chart.margins.left(), allowed, [this](int v) { chart.margins.setLeft(v); Changed(); }));
    form->addRow(Ru("Поле сверху"), Spin("marginTop", 0, 500, chart.margins.top(), allowed, [this](int v) { chart.margins.setTop(v); Changed(); }));
    form->addRow(Ru("Поле справа"), Spin("marginRight", 0, 500, chart.margins.right(), allowed, [this](int v) { chart.margins.setRight(v); Changed(); }));
    form->addRow(Ru("Поле снизу"), Spin("marginBottom", 0, 500, chart.margins.bottom(), allowed, [this](int v) { chart.margins.setBottom(v); Changed(); }));
    return page;
}

QWidget* Editor::MakeAxisPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    auto* which = Combo(AxisNames, "axisChoice");
    form->addRow(Ru("Ось"), which);
    const bool look = Allowed(OptionAxisLook), range = Allowed(OptionAxisRange);
    auto a = [this]() -> Axis& { return chart.AxisOf(axis); };
    auto* visible = Check("Видимая", "axisVisible", false, look, [this, a](bool on) { a().visible = on; Changed(); });
    auto* colour = new ColourButton("axisColour", [a] { return a().colour; }, [this, a](QColor c) { a().colour = c; Changed(); });
    auto* labelColour = new ColourButton("axisLabelColour", [a] { return a().labelColour; }, [this, a](QColor c) { a().labelColour = c; Changed(); });
    auto* labels = Check("Подписи значений", "axisLabels", false, look, [this, a](bool on) { a().labels = on; Changed(); });
    auto* grid = Check("Сетка", "axisGrid", false, look, [this, a](bool on) { a().grid = on; Changed(); });
    auto* gridStyle = Combo(PenNames, "axisGridStyle");
    auto* gridColour = new ColourButton("axisGridColour", [a] { return a().gridColour; }, [this, a](QColor c) { a().gridColour = c; Changed(); });
    auto* title = new QLineEdit;
    title->setObjectName(QStringLiteral("axisTitle"));
    auto* bold = Check("Жирный заголовок", "axisTitleBold", false, look, [this, a](bool on) { a().titleBold = on; Changed(); });
    auto* automatic = Check("Автоматический диапазон", "axisAutomatic", false, range, [this, a](bool on) { a().automatic = on; Changed(); });
    auto makeValue = [](const char* name) {
        auto* s = new QDoubleSpinBox;
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(-1e9, 1e9);
        s->setDecimals(4);
        return s;
    };
    auto* minimum = makeValue("axisMinimum");
    auto* maximum = makeValue("axisMaximum");
    auto* inverted = Check("Обратная", "axisInverted", false, range, [this, a](bool on) { a().inverted = on; Changed(); });
    auto* logarithmic = Check("Логарифмическая", "axisLogarithmic", false, range, [this, a](bool on) { a().logarithmic = on; Changed(); });
    for (QWidget* w : std::initializer_list<QWidget*>{colour, labelColour, gridStyle, gridColour, title}) w->setEnabled(look);
    connect(gridStyle, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, a](int i) {
        if (i >= 0) a().gridStyle = PenNames[i].first;
        Changed();
    });
    connect(title, &QLineEdit::textEdited, this, [this, a](const QString& t) { a().title = t; Changed(); });
    connect(minimum, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this, a](double v) { a().minimum = v; Changed(); });
    connect(maximum, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this, a](double v) { a().maximum = v; Changed(); });
    connect(which, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
        if (i >= 0) ShowAxis(AxisNames[i].first);
    });
    form->addRow(visible);
    form->addRow(Ru("Цвет оси"), colour);
    form->addRow(Ru("Цвет подписей"), labelColour);
    form->addRow(labels);
    form->addRow(grid);
    form->addRow(Ru("Линии сетки"), gridStyle);
    form->addRow(Ru("Цвет сетки"), gridColour);
    form->addRow(Ru("Заголовок"), title);
    form->addRow(bold);
    form->addRow(automatic);
    form->addRow(Ru("Минимум"), minimum);
    form->addRow(Ru("Максимум"), maximum);
    form->addRow(inverted);
    form->addRow(logarithmic);
    axisReload.push_back([=, this] {
        const Axis& ax = chart.AxisOf(axis);
        const QSignalBlocker b0(which), b1(visible), b2(labels), b3(grid), b4(gridStyle), b5(title), b6(bold),
            b7(automatic), b8(minimum), b9(maximum), b10(inverted), b11(logarithmic);
        which->setCurrentIndex(IndexIn(AxisNames, axis));
        visible->setChecked(ax.visible);
        labels->setChecked(ax.labels);
        grid->setChecked(ax.grid);
        gridStyle->setCurrentIndex(IndexIn(PenNames, ax.gridStyle));
        title->setText(ax.title);
        bold->setChecked(ax.titleBold);
        automatic->setChecked(ax.automatic);
        minimum->setValue(ax.minimum);
        maximum->setValue(ax.maximum);
        inverted->setChecked(ax.inverted);
        logarithmic->setChecked(ax.logarithmic);
        colour->Reload();
        labelColour->Reload();
        gridColour->Reload();
    });
    axisReload.push_back([=, this] {
        minimum->setEnabled(range && !chart.AxisOf(axis).automatic);
        maximum->setEnabled(range && !chart.AxisOf(axis).automatic);
    });
    connect(automatic, &QCheckBox::toggled, this, [this] { axisReload.back()(); });
    for (auto& reload : axisReload) reload();
    return page;
}

QWidget* Editor::MakeTitlesPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const bool allowed = Allowed(OptionTitles);
    auto* which = Combo(TextNames, "textChoice");
    auto current = std::make_shared<TextId>(TextId::Title);
    auto t = [this, current]() -> ChartText& { return chart.Text(*current); };
    auto* visible = Check("Видимый", "textVisible", false, allowed, [this, t](bool on) { t().visible = on; Changed(); });
    auto* text = new QLineEdit;
    text->setObjectName(QStringLiteral("textText"));
    text->setEnabled(allowed);
    connect(text, &QLineEdit::textEdited, this, [this, t](const QString& s) { t().text = s; Changed(); });
    auto* colour = new ColourButton("textColour", [t] { return t().colour; }, [this, t](QColor c) { t().colour = c; Changed(); });
    colour->setEnabled(allowed);
    auto* bold = Check("Жирный", "textBold", false, allowed, [this, t](bool on) { t().bold = on; Changed(); });
    form->addRow(Ru("Надпись"), which);
    form->addRow(visible);
    form->addRow(Ru("Текст"), text);
    form->addRow(Ru("Цвет"), colour);
    form->addRow(bold);
    auto reload = [=] {
        const QSignalBlocker b0(visible), b1(text), b2(bold);
        visible->setChecked(t().visible);
        text->setText(t().text);
        bold->setChecked(t().bold);
        colour->Reload();
    };
    connect(which, qOverload<int>(&QComboBox::currentIndexChanged), this, [current, reload](int i) {
        if (i < 0) return;
        *current = TextNames[i].first;
        reload();
    });
    reload();
    titleReload.push_back(reload);
    return page;
}

QWidget* Editor::MakeLegendPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(Check("Показывать легенду", "legendVisible", chart.legendVisible, Allowed(OptionLegend),
                       [this](bool on) { chart.legendVisible = on; Changed(); }));
    return page;
}

QWidget* Editor::MakePanelPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const bool allowed = Allowed(OptionPanel);
    form->addRow(Check("Градиентный фон", "gradient", chart.gradient, allowed, [this](bool on) { chart.gradient = on; Changed(); }));
    auto* bottom = new ColourButton("gradientBottom", [this] { return chart.gradientBottom; }, [this](QColor c) { chart.gradientBottom = c; Changed(); });
    auto* top = new ColourButton("gradientTop", [this] { return chart.gradientTop; }, [this](QColor c) { chart.gradientTop = c; Changed(); });
    auto* back = new ColourButton("background", [this] { return chart.background; }, [this](QColor c) { chart.background = c; Changed(); });
    for (QWidget* w : {static_cast<QWidget*>(bottom), static_cast<QWidget*>(top), static_cast<QWidget*>(back)}) w->setEnabled(allowed);
    form->addRow(Ru("Цвет снизу"), bottom);
    form->addRow(Ru("Цвет сверху"), top);
    form->addRow(Ru("Цвет фона"), back);
    auto* hint = new QLineEdit(chart.hint);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setEnabled(allowed);
    connect(hint, &QLineEdit::textEdited, this, [this](const QString& s) { chart.hint = s; Changed(); });
    form->addRow(Ru("Подсказка"), hint);
    return page;
}

QWidget* Editor::MakeSeriesPage(int index) {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    Series& s = chart.SeriesAt(index);
    auto* title = new QLineEdit(s.title);
    title->setObjectName(QStringLiteral("seriesTitle"));
    title->setEnabled(Allowed(OptionSeriesTitle));
    connect(title, &QLineEdit::textEdited, this, [this, &s, index](const QString& t) {
        s.title = t;
        for (const PageEntry& e : pages)
            if (e.page == EditorPage::Series && e.series == index) {
                e.item->setText(0, t);
                tabs->setTabText(e.tab, t);
            }
        Changed();
    });
    form->addRow(Ru("Название"), title);
    auto* active = Check("Активна (показана)", "seriesActive", s.active, Allowed(OptionSeriesActive), [this, &s](bool on) { s.active = on; Changed(); });
    form->addRow(active);
    reloads[page] = [active, &s] {
        const QSignalBlocker block(active);
        active->setChecked(s.active);
    };
    auto* colour = new ColourButton("seriesColour", [&s] { return s.colour; }, [this, &s](QColor c) { s.colour = c; Changed(); });
    colour->setEnabled(Allowed(OptionSeriesColour));
    form->addRow(Ru("Цвет"), colour);
    auto* pen = Combo(PenNames, "seriesPen");
    pen->setCurrentIndex(IndexIn(PenNames, s.penStyle));
    pen->setEnabled(Allowed(OptionSeriesPen));
    connect(pen, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, &s](int i) {
        if (i >= 0) s.penStyle = PenNames[i].first;
        Changed();
    });
    form->addRow(Ru("Линия"), pen);
    form->addRow(Ru("Толщина линии"), Spin("seriesPenWidth", 1, 10, s.penWidth, Allowed(OptionSeriesPen), [this, &s](int v) { s.penWidth = v; Changed(); }));
    if (s.Kind() == SeriesKind::Line) {
        const bool markers = Allowed(OptionSeriesMarkers);
        auto* marker = Combo(MarkerNames, "seriesMarker");
        marker->setCurrentIndex(IndexIn(MarkerNames, s.marker));
        marker->setEnabled(markers);
        connect(marker, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, &s](int i) {
            if (i >= 0) s.marker = MarkerNames[i].first;
            Changed();
        });
        form->addRow(Ru("Маркеры"), marker);
        form->addRow(Ru("Размер по горизонтали"), Spin("seriesMarkerH", 0, 20, s.markerHSize, markers, [this, &s](int v) { s.markerHSize = v; Changed(); }));
        form->addRow(Ru("Размер по вертикали"), Spin("seriesMarkerV", 0, 20, s.markerVSize, markers, [this, &s](int v) { s.markerVSize = v; Changed(); }));
    }
    form->addRow(Check("Показывать метки точек", "seriesMarks", s.marksVisible, Allowed(OptionSeriesMarks), [this, &s](bool on) { s.marksVisible = on; Changed(); }));
    form->addRow(Check("В легенде", "seriesInLegend", s.inLegend, Allowed(OptionLegend), [this, &s](bool on) { s.inLegend = on; Changed(); }));
    form->addRow(new QLabel(Ru("Точек: %1").arg(s.Count())));
    return page;
}

void ShowChartEditor(QWidget* owner, Chart& chart, const HitResult& part, const QString& caption, unsigned options,
                     unsigned hiddenPages, bool treeShown, bool rememberPlacement, const QString& hint) {
    Editor editor(chart, part, EditorSettings{caption, options, hiddenPages, treeShown, rememberPlacement, hint}, owner);
    editor.setModal(true);
    editor.exec();
}

}  // namespace chart

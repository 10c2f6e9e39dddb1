#include "ui/PageControl.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>

namespace {
constexpr int AlongPadding = 10;   // each end of a caption along its tab
constexpr int AcrossPadding = 4;   // each side of a caption across its tab
}  // namespace

SideTabBar::SideTabBar(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

int SideTabBar::AddTab(const QString& caption) {
    tabs.append({caption, {}});
    if (current < 0) current = 0;
    columns = Layout(height());
    updateGeometry();
    update();
    return Count() - 1;
}

void SideTabBar::SetCurrentIndex(int index) {
    if (index < 0 || index >= Count() || index == current) return;
    current = index;
    Layout(height());   // the active tab's column moves next to the pages
    update();
    emit CurrentChanged(index);
}

int SideTabBar::TabAt(const QPoint& at) const {
    for (int i = 0; i < Count(); ++i)
        if (tabs[i].rect.contains(at)) return i;
    return -1;
}

int SideTabBar::Thickness() const {
    return fontMetrics().height() + 2 * AcrossPadding;
}

int SideTabBar::TabLength(int index) const {
    return fontMetrics().horizontalAdvance(tabs[index].caption) + 2 * AlongPadding;
}

int SideTabBar::Layout(int height) {
    // Columns of tabs in order, each as long as the height allows (at least one tab each).
    QList<QList<int>> cols{{}};
    int used = 0;
    for (int i = 0; i < Count(); ++i) {
        const int length = TabLength(i);
        if (!cols.back().isEmpty() && used + length > height) {
            cols.append(QList<int>());
            used = 0;
        }
        cols.back().append(i);
        used += length;
    }
    // The column of the active tab stands next to the pages, the others keep their order.
    for (int c = 0; c < cols.size(); ++c)
        if (cols[c].contains(current)) {
            cols.append(cols.takeAt(c));
            break;
        }
    const int thickness = Thickness();
    for (int c = 0; c < cols.size(); ++c) {
        int natural = 0;
        for (int i : cols[c]) natural += TabLength(i);
        // With more than one column each is stretched to the full height.
        const int spare = cols.size() > 1 ? std::max(0, height - natural) : 0;
        int y = 0;
        for (int k = 0; k < cols[c].size(); ++k) {
            const int i = cols[c][k];
            // Spread the spare height over the tabs of the column, the last one taking what is left.
            const int length = TabLength(i) + (k + 1 == cols[c].size() ? spare - spare / cols[c].size() * k
                                                                        : spare / cols[c].size());
            tabs[i].rect = QRect(c * thickness, y, thickness, length);
            y += length;
        }
    }
    return static_cast<int>(cols.size());
}

QSize SideTabBar::sizeHint() const {
    int longest = 0;
    for (int i = 0; i < Count(); ++i) longest = std::max(longest, TabLength(i));
    return {columns * Thickness(), longest};
}

QSize SideTabBar::minimumSizeHint() const {
    return sizeHint();
}

void SideTabBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int needed = Layout(height());
    if (needed != columns) {
        columns = needed;
        updateGeometry();
    }
}

void SideTabBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        columns = Layout(height());
        updateGeometry();
        update();
    }
}

void SideTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < Count(); ++i) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedWest;
        option.rect = tabs[i].rect;
        option.text = tabs[i].caption;
        option.position = QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
        if (i == current) option.state |= QStyle::State_Selected;
        if (i == hovered) option.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void SideTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int index = TabAt(event->position().toPoint());
    if (index >= 0) SetCurrentIndex(index);
}

void SideTabBar::mouseMoveEvent(QMouseEvent* event) {
    const int index = TabAt(event->position().toPoint());
    if (index != hovered) {
        hovered = index;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void SideTabBar::leaveEvent(QEvent* event) {
    hovered = -1;
    update();
    QWidget::leaveEvent(event);
}

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), bar(new SideTabBar(this)), stack(new QStackedWidget(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(stack, 1);
    stack->setFrameShape(QFrame::StyledPanel);
    connect(bar, &SideTabBar::CurrentChanged, this, [this](int index) {
        stack->setCurrentIndex(index);
        emit Change();
    });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    // Ctrl+Shift+Tab arrives as Backtab with Ctrl and Shift; the shortcut map of X11 and Wayland
    // offers it as Ctrl+Shift+Tab (and Ctrl+Backtab), never as Ctrl+Shift+Backtab, and elsewhere
    // tries Ctrl+Shift+Tab after Ctrl+Shift+Backtab. One key only: two would make it ambiguous.
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    for (QShortcut* shortcut : {next, previous}) shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { StepPage(1); });
    connect(previous, &QShortcut::activated, this, [this] { StepPage(-1); });
}

int PageControl::AddPage(QWidget* page, const QString& caption) {
    stack->addWidget(page);
    return bar->AddTab(caption);
}

QWidget* PageControl::Pages(int index) const {
    return stack->widget(index);
}

QWidget* PageControl::ActivePage() const {
    return stack->currentWidget();
}

void PageControl::SetActivePage(QWidget* page) {
    SetActivePageIndex(stack->indexOf(page));
}

void PageControl::StepPage(int step) {
    if (PageCount() > 0) SetActivePageIndex((ActivePageIndex() + step + PageCount()) % PageCount());
}

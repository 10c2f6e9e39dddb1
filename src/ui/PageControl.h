#pragma once
// Tab pages with their tabs in a column on the left. The captions read upwards; when the column
// is too short for all tabs they wrap into further columns, the column of the active tab next to
// the pages, and every column is stretched to the full height. Ctrl+Tab and Ctrl+Shift+Tab step
// through the pages.
#include <QList>
#include <QWidget>

class QStackedWidget;

class SideTabBar : public QWidget {
    Q_OBJECT
public:
    explicit SideTabBar(QWidget* parent = nullptr);

    int AddTab(const QString& caption);
    int Count() const { return static_cast<int>(tabs.size()); }
    QString Caption(int index) const { return tabs[index].caption; }
    int CurrentIndex() const { return current; }
    void SetCurrentIndex(int index);
    // Where the tab stands, in the bar's coordinates.
    QRect TabRect(int index) const { return tabs[index].rect; }
    int TabAt(const QPoint& at) const;
    // Room a caption needs along the tab.
    int TabLength(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void CurrentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Tab {
        QString caption;
        QRect rect;
    };
    int Thickness() const;
    // Lays the tabs out for a height; returns the number of columns.
    int Layout(int height);

    QList<Tab> tabs;
    int current = -1;
    int hovered = -1;
    int columns = 1;
};

class PageControl : public QWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    int AddPage(QWidget* page, const QString& caption);
    int PageCount() const { return bar->Count(); }
    QWidget* Pages(int index) const;
    QString Caption(int index) const { return bar->Caption(index); }
    QWidget* ActivePage() const;
    int ActivePageIndex() const { return bar->CurrentIndex(); }
    void SetActivePage(QWidget* page);
    void SetActivePageIndex(int index) { bar->SetCurrentIndex(index); }
    SideTabBar* TabBar() const { return bar; }

signals:
    // The active page changed, by the user or by the program.
    void Change();

private:
    void StepPage(int step);

    SideTabBar* bar;
    QStackedWidget* stack;
};

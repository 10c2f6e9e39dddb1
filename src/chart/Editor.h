// The chart editor: a Russian dialog over a Chart. Every change the user makes applies to the
// chart at once (and Refresh() repaints its views); nothing is stored.
//
// Pages: the series list, general settings, axes, titles, legend, panel, and one page per series.
// A window opens it on a double click with ShowChartEditor(), passing the part the click hit;
// the page opened follows from that part (PageFor).
#pragma once

#include "chart/Chart.h"
#include "chart/Renderer.h"

#include <QDialog>

#include <functional>
#include <map>
#include <vector>

class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace chart {

enum class EditorPage { SeriesList, General, Axis, Titles, Legend, Panel, Series };

// Pages that can be hidden (a bit per page kind; PageSeries hides every series page).
enum EditorPageFlag : unsigned {
    PageSeriesList = 0x01,
    PageGeneral = 0x02,
    PageAxis = 0x04,
    PageTitles = 0x08,
    PageLegend = 0x10,
    PagePanel = 0x20,
    PageSeries = 0x40,
};

// What the user may change (eleven options; AllEditorOptions enables every one). Controls of an
// option that is off are shown but cannot be changed.
enum EditorOption : unsigned {
    OptionSeriesActive = 0x001,
    OptionSeriesTitle = 0x002,
    OptionSeriesColour = 0x004,
    OptionSeriesPen = 0x008,
    OptionSeriesMarkers = 0x010,
    OptionSeriesMarks = 0x020,
    OptionAxisRange = 0x040,
    OptionAxisLook = 0x080,
    OptionTitles = 0x100,
    OptionLegend = 0x200,
    OptionPanel = 0x400,
};
inline constexpr unsigned AllEditorOptions = 0x7FF;

struct EditorSettings {
    QString caption;
    unsigned options = AllEditorOptions;
    unsigned hiddenPages = 0;
    bool treeShown = true;            // navigation tree; without it, tabs
    bool rememberPlacement = false;   // restore and store the dialog's position and size
    QString hint;                     // tooltip of the dialog; hints on when not empty
};

class Editor : public QDialog {
    Q_OBJECT
public:
    Editor(Chart& chart, const HitResult& clicked, const EditorSettings& settings, QWidget* parent = nullptr);
    ~Editor() override;

    // The page a click on a part of the chart opens.
    static EditorPage PageFor(const HitResult& clicked);

    EditorPage CurrentPage() const;
    int CurrentSeries() const;          // the series of the current series page, or -1
    void ShowPage(EditorPage page, int series = -1);
    // The page widget (for a series page: of that series); nullptr when hidden.
    QWidget* PageWidget(EditorPage page, int series = -1) const;
    // The axis the axes page shows.
    AxisId CurrentAxis() const { return axis; }
    void ShowAxis(AxisId id);

private:
    struct PageEntry {
        EditorPage page;
        int series;
        QWidget* widget;
        QTreeWidgetItem* item;
        int tab;
    };

    QWidget* MakeSeriesListPage();
    QWidget* MakeGeneralPage();
    QWidget* MakeAxisPage();
    QWidget* MakeTitlesPage();
    QWidget* MakeLegendPage();
    QWidget* MakePanelPage();
    QWidget* MakeSeriesPage(int index);
    void AddPage(EditorPage page, int series, QWidget* widget, const QString& name, QTreeWidgetItem* parentItem);
    void Changed();
    bool Allowed(unsigned option) const { return (settings.options & option) != 0; }

    Chart& chart;
    EditorSettings settings;
    QTreeWidget* tree = nullptr;
    QTabBar* tabs = nullptr;
    QStackedWidget* stack = nullptr;
    std::vector<PageEntry> pages;
    AxisId axis = AxisId::Left;
    std::vector<std::function<void()>> axisReload;   // refill the axes page from the model
    std::vector<std::function<void()>> titleReload;
    std::map<QWidget*, std::function<void()>> reloads;   // refill a page from the model when shown
};

// Shows the editor modally for a chart and releases it. The owner is the dialog's parent; the
// part is what the click that opened it hit. Returns when the dialog is closed.
void ShowChartEditor(QWidget* owner, Chart& chart, const HitResult& part, const QString& caption,
                     unsigned options, unsigned hiddenPages, bool treeShown, bool rememberPlacement,
                     const QString& hint);

}  // namespace chart

#pragma once
// The five profile charts of the main window and their series, filled from the decoded
// soundings: temperature and humidity, wind, the horizontal trajectory, ascent rate and height
// against time, and the flight in 3D. The window owns one TProfileCharts, puts its five views on
// the chart pages and calls the fill, clear and axis operations from its loading and option
// commands.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <array>

namespace chart {
struct Axis;
class ChartView;
class Series;
}  // namespace chart
class QWidget;
class tUAInBound;

// The display options of the window that decide what the charts show.
struct TChartOptions {
    bool LeftAxisP = true;   // pressure (on) or height (off) as the vertical coordinate
    bool ShowSig = false;    // curves through the significant levels
    bool CombineTU = false;  // temperature-significant levels also count for humidity
    bool SortYAxis = false;  // profile curves ordered by the vertical coordinate
};

class TProfileCharts : public QObject {
    Q_OBJECT
public:
    // Points by which every series' storage grows; set for the whole process by the constructor,
    // so that a fill from a sounding of up to 8191 levels reallocates a series at most once.
    static constexpr int SeriesGrowthStep = 9000;

    // Builds the charts with their axes, colours, tools and series, as views parented to parent
    // (the window reparents them onto the pages). Options are read at every fill. The views still
    // alive when this object goes are deleted with it.
    TProfileCharts(const TChartOptions& options, QWidget* parent);
    ~TProfileCharts() override;

    // Adds the points of the sounding to the twelve primary series (the callers empty them first);
    // sorts them when SortYAxis is on. A level without the vertical coordinate of the mode gives no
    // point to a series drawn against it; in height mode it gives no trajectory point either, in
    // pressure mode it keeps its XYSeries point. The ascent rate reads the height in both modes.
    // Missing flags (0x3FFFF) make no level significant.
    void FillPrimarySeries(const tUAInBound& sounding);
    // Makes p3D2 active and adds the points of the sounding to the six secondary series, with the
    // same rule for levels without the vertical coordinate.
    void FillSecondarySeries(const tUAInBound& sounding);
    void ClearPrimarySeries();
    void ClearSecondarySeries();  // also makes p3D2 inactive
    void SortPrimarySeries();
    void SortSecondarySeries();
    // Applies LeftAxisP to the four vertical axes, undoes the zoom of the temperature, wind and 3D
    // charts, and refills the loaded soundings (either may be null: not loaded).
    void SetupVerticalAxes(const tUAInBound* primary, const tUAInBound* secondary);
    void SetVerticalAxis(chart::Axis& axis, bool pressure, bool scaledTitle);
    // Undoes the zoom on all five charts.
    void UndoZoomAll();
    // Repaints every chart.
    void RefreshAll();

    // The chart editor for one of the five views (chtDblClick; idEditChartClick passes the view of
    // the active page): asks the view which part of the chart lies at pos (view coordinates),
    // shows the editor modally with owner as its parent, caption as its title, every editor option
    // enabled, no page hidden, the navigation tree shown, its placement not remembered and the
    // hint "Редактор диаграмм", then refreshes the chart. A null view or a view that is not one
    // of the five does nothing. The double click itself starts no zoom (the view sees to that).
    void ShowEditor(chart::ChartView* view, QPoint pos, const QString& caption, QWidget* owner);
    // The same at the mouse cursor's current position (the menu command).
    void ShowEditorAtCursor(chart::ChartView* view, const QString& caption, QWidget* owner);

    // The five views in page order: ChrtTemp, ChrtWind, ChrtXY, ChrtZ, Chrt3D.
    std::array<chart::ChartView*, 5> Views() const { return {ChrtTemp, ChrtWind, ChrtXY, ChrtZ, Chrt3D}; }

    // The views, by the names the window knows them by.
    chart::ChartView* ChrtTemp = nullptr;
    chart::ChartView* ChrtWind = nullptr;
    chart::ChartView* ChrtXY = nullptr;
    chart::ChartView* ChrtZ = nullptr;
    chart::ChartView* Chrt3D = nullptr;

    chart::Series* TSeries = nullptr;
    chart::Series* USeries = nullptr;
    chart::Series* TSigSeries = nullptr;
    chart::Series* USigSeries = nullptr;
    chart::Series* TSecSeries = nullptr;
    chart::Series* USecSeries = nullptr;
    chart::Series* VSeries = nullptr;
    chart::Series* DSeries = nullptr;
    chart::Series* VSigSeries = nullptr;
    chart::Series* DSigSeries = nullptr;
    chart::Series* VSecSeries = nullptr;
    chart::Series* DSecSeries = nullptr;
    chart::Series* XYSeries = nullptr;
    chart::Series* XYSecSeries = nullptr;
    chart::Series* VAscSeries = nullptr;
    chart::Series* HSeries = nullptr;
    chart::Series* p3D = nullptr;
    chart::Series* p3D2 = nullptr;

signals:
    // A double click on one of the charts, at pos in the view's coordinates (the window opens the
    // editor: it knows the caption).
    void ChartDoubleClicked(chart::ChartView* view, QPoint pos);

private:
    const TChartOptions& options_;
    std::array<QPointer<chart::ChartView>, 5> views_;
};

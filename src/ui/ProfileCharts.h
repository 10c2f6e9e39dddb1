#pragma once
// The five profile charts of the main window and their series: temperature and humidity, wind,
// the horizontal trajectory, ascent rate and height against time, and the flight in 3D, filled
// with the points products/ProfilePoints derives from the decoded soundings. The window owns one ProfileCharts, puts its five views on
// the chart pages and calls the fill, clear and axis operations from its loading and option
// commands. How the charts and series look is here; which points they get is not.
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <array>
#include <functional>

namespace chart {
struct Axis;
class ChartView;
class Series;
}  // namespace chart
namespace products {
struct ProfilePoints;
}
class QWidget;
class tUAInBound;

// The display options of the window that decide what the charts show.
struct ProfileChartOptions {
    bool LeftAxisP = true;   // pressure (on) or height (off) as the vertical coordinate
    bool ShowSig = false;    // curves through the significant levels
    bool CombineTU = false;  // temperature-significant levels also count for humidity
    bool SortYAxis = false;  // profile curves ordered by the vertical coordinate
};

class ProfileCharts : public QObject {
    Q_OBJECT
public:
    // Points by which every series' storage grows; set for the whole process by the constructor,
    // so that a fill from a sounding of up to 8191 levels reallocates a series at most once.
    static constexpr int SeriesGrowthStep = 9000;

    // Where the charts read the window's display options: asked at every fill and set-up, so
    // that the charts always see the options as they are.
    using OptionsSource = std::function<ProfileChartOptions()>;

    // Builds the charts with their axes, colours, tools and series, as views parented to parent
    // (the window reparents them onto the pages). The views still alive when this object goes
    // are deleted with it.
    ProfileCharts(OptionsSource options, QWidget* parent);
    ~ProfileCharts() override;

    // Copies the points of the sounding (products/ProfilePoints) into the twelve primary series
    // (the callers empty them first); sorts them when SortYAxis is on.
    void FillPrimarySeries(const tUAInBound& sounding);
    // Makes p3D2 active and copies the points of the sounding into the six secondary series.
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

    // Whether view is one of the five.
    bool IsChart(const chart::ChartView* view) const;

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
    void AddPoints(bool primary, const products::ProfilePoints& points);

    OptionsSource options;
    std::array<QPointer<chart::ChartView>, 5> views;
};

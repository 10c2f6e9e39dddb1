#include "ui/ProfileCharts.h"

#include <algorithm>
#include <vector>

#include <QRgb>

#include "chart/ChartView.h"
#include "products/ProfilePoints.h"

namespace {

using chart::AxisId;
using chart::MarkerStyle;
using chart::SeriesKind;
using ViewMember = chart::ChartView* ProfileCharts::*;
using SeriesMember = chart::Series* ProfileCharts::*;
using PointsMember = products::PointList products::ProfilePoints::*;

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Green = qRgb(0, 128, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Navy = qRgb(0, 0, 128);
constexpr QRgb Purple = qRgb(128, 0, 128);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Gray = qRgb(128, 128, 128);
constexpr QRgb Maroon3D = qRgb(128, 64, 64);
constexpr QRgb WindBottom = qRgb(224, 238, 241);

constexpr const char* TitlePressure = "P, гПа";
constexpr const char* TitleHeightScaled = "H/1000, гпм";
constexpr const char* TitleHeight = "H, км";

// How one axis looks when the charts are built. A label colour of 0 means the axis colour.
struct AxisLook {
    bool visible = true;
    QRgb colour = Black;
    QRgb labelColour = 0;
    bool grid = true;
    QRgb gridColour = Gray;
    const char* title = "";
    bool titleBold = false;
    bool labels = true;
    bool fixedRange = false;
    double minimum = 0.0;
    double maximum = 1.0;
};

constexpr AxisLook Hidden{.visible = false};

struct ChartLook {
    ViewMember view;
    const char* hint;
    bool view3D;
    QRgb gradientBottom;
    QRgb gradientTop;
    AxisLook axes[chart::AxisCount];  // in AxisId order: bottom, top, left, right, depth
    bool cursorTool;
    QRgb cursorColour;
};

// The charts as designed: the vertical axes in their height form until SetupVerticalAxes runs.
constexpr ChartLook ChartLooks[] = {
    {&ProfileCharts::ChrtTemp, "Температура и влажность", false, qRgb(208, 255, 208), qRgb(255, 223, 223),
     {{.colour = Red, .grid = false, .title = "T, °C"},
      {.colour = Green, .grid = false, .title = "U, %"},
      {.title = TitleHeightScaled},
      Hidden,
      Hidden},
     true, qRgb(255, 128, 128)},
    {&ProfileCharts::ChrtWind, "Направление и скорость ветра", false, WindBottom, White,
     {{.colour = Blue, .grid = false, .title = "f, м/с", .titleBold = true},
      {.colour = Navy, .grid = false, .title = "D, °", .titleBold = true},
      {.title = TitleHeightScaled},
      Hidden,
      Hidden},
     true, qRgb(128, 128, 255)},
    {&ProfileCharts::ChrtXY, "Горизонтальная траектория полета щара", false, WindBottom, White,
     {{.colour = Blue, .title = "Долг, °", .titleBold = true},
      Hidden,
      {.colour = Navy, .title = "Шир,°"},
      Hidden,
      Hidden},
     false, 0},
    {&ProfileCharts::ChrtZ, "Скорость подъема", false, WindBottom, White,
     {{.grid = false, .title = "Время, с", .titleBold = true},
      Hidden,
      {.colour = Red, .gridColour = Red, .title = "Va, м/c", .fixedRange = true, .minimum = 0.0, .maximum = 15.0},
      {.colour = Blue, .gridColour = qRgb(0, 128, 255), .title = TitleHeight},
      Hidden},
     false, 0},
    {&ProfileCharts::Chrt3D, "Траектория полета", true, WindBottom, White,
     {{.title = "Долг, °", .titleBold = true},
      Hidden,
      {.colour = Maroon3D, .labelColour = Navy, .title = TitleHeight},
      {.colour = Blue, .labels = false},  // no series of its own: its values would mean nothing
      {.title = "Шир,°"}},
     false, 0},
};

constexpr int Depth3DPercent = 40;

enum class Sorting { None, Ascending, Descending };

struct SeriesLook {
    SeriesMember series;
    PointsMember points;  // what a fill copies into it
    ViewMember view;
    const char* title;
    bool primary;
    SeriesKind kind;
    QRgb colour;
    Qt::PenStyle pen;
    MarkerStyle marker;
    int markerH;
    int markerV;
    AxisId horizontal;
    AxisId vertical;
    Sorting sorting;
};

using P = ProfileCharts;
using Pts = products::ProfilePoints;
constexpr auto Line = SeriesKind::Line;
constexpr auto Fast = SeriesKind::FastLine;
constexpr auto Solid = Qt::SolidLine;
constexpr auto Dotted = Qt::DotLine;

// Every series of the five charts; the order is the drawing order within a chart.
constexpr SeriesLook SeriesLooks[] = {
    {&P::TSeries, &Pts::temperature, &P::ChrtTemp, "TPrim", true, Line, Red, Solid, MarkerStyle::Circle, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USeries, &Pts::humidity, &P::ChrtTemp, "UPrim", true, Line, qRgb(0, 170, 0), Solid, MarkerStyle::Square, 2, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::TSigSeries, &Pts::temperatureSig, &P::ChrtTemp, "TPrimSig", true, Fast, Red, Dotted, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USigSeries, &Pts::humiditySig, &P::ChrtTemp, "UPrimSig", true, Fast, qRgb(0, 170, 0), Dotted, MarkerStyle::None, 0, 0, AxisId::Top, AxisId::Left, Sorting::Descending},
    {&P::TSecSeries, &Pts::temperature, &P::ChrtTemp, "TSec", false, Line, qRgb(255, 0, 128), Solid, MarkerStyle::Circle, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USecSeries, &Pts::humidity, &P::ChrtTemp, "USec", false, Line, qRgb(19, 159, 124), Solid, MarkerStyle::Square, 2, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::VSeries, &Pts::windSpeed, &P::ChrtWind, "fPrim", true, Line, Blue, Solid, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::DSeries, &Pts::windDirection, &P::ChrtWind, "DPrim", true, Line, Purple, Solid, MarkerStyle::Rectangle, 1, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::VSigSeries, &Pts::windSpeedSig, &P::ChrtWind, "fPrimSig", true, Fast, Blue, Dotted, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::Descending},
    {&P::DSigSeries, &Pts::windDirectionSig, &P::ChrtWind, "DPrimSig", true, Fast, Purple, Dotted, MarkerStyle::None, 0, 0, AxisId::Top, AxisId::Left, Sorting::Descending},
    {&P::VSecSeries, &Pts::windSpeed, &P::ChrtWind, "fSec", false, Line, Navy, Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::DSecSeries, &Pts::windDirection, &P::ChrtWind, "DSec", false, Line, qRgb(128, 0, 64), Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::XYSeries, &Pts::trajectory, &P::ChrtXY, "XYPrim", true, Line, Navy, Dotted, MarkerStyle::Diamond, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::XYSecSeries, &Pts::trajectory, &P::ChrtXY, "XYSec", false, Line, qRgb(64, 128, 128), Dotted, MarkerStyle::Diamond, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::VAscSeries, &Pts::ascentRate, &P::ChrtZ, "VAscPrim", true, Line, Red, Solid, MarkerStyle::Square, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::HSeries, &Pts::heightTime, &P::ChrtZ, "HPrim", true, Line, Blue, Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Right, Sorting::None},
    {&P::p3D, &Pts::flight, &P::Chrt3D, "XYZPrim", true, SeriesKind::Point3D, Maroon3D, Solid, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::p3D2, &Pts::flight, &P::Chrt3D, "XYZSec", false, SeriesKind::Point3D, Green, Solid, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::None},
};

// The four vertical axes SetupVerticalAxes switches between pressure and height.
struct VerticalAxis {
    ViewMember view;
    AxisId axis;
    bool scaledTitle;
};

constexpr VerticalAxis VerticalAxes[] = {
    {&P::ChrtTemp, AxisId::Left, true},
    {&P::ChrtWind, AxisId::Left, true},
    {&P::Chrt3D, AxisId::Left, true},
    {&P::ChrtZ, AxisId::Right, false},
};

// The levels a pressure axis labels, main ones first: the standard isobaric surfaces, in hPa.
const std::vector<double> StandardLevels = {1000, 850, 700, 500, 300, 200, 100, 50, 10, 925, 400, 250, 150,
                                            70, 30, 20, 7, 5, 3, 2, 1};

// The charts that stay empty in pressure mode for a sounding without pressures, and say why.
constexpr ViewMember PressureCharts[] = {&P::ChrtTemp, &P::ChrtWind, &P::Chrt3D};
constexpr const char* NoPressureNote = "Нет уровней с давлением: выключите «Давление по оси ординат»";

// The charts SetupVerticalAxes undoes the zoom of (the trajectory and ascent charts keep theirs).
constexpr ViewMember ZoomUndoneBySetup[] = {&P::ChrtTemp, &P::ChrtWind, &P::Chrt3D};

// How a temperature point the plausibility rule flags is shown.
const QString MarkLabel = QStringLiteral("?!");
const QColor MarkColour(128, 0, 0);

void ApplyAxisLook(chart::Axis& axis, const AxisLook& look) {
    axis.visible = look.visible;
    axis.colour = QColor::fromRgb(look.colour);
    axis.labelColour = QColor::fromRgb(look.labelColour != 0 ? look.labelColour : look.colour);
    axis.grid = look.grid;
    axis.gridStyle = Qt::DotLine;
    axis.gridColour = QColor::fromRgb(look.gridColour);
    axis.title = QString::fromUtf8(look.title);
    axis.titleBold = look.titleBold;
    axis.labels = look.labels;
    axis.automatic = !look.fixedRange;
    axis.minimum = look.minimum;
    axis.maximum = look.maximum;
    axis.inverted = false;
    axis.logarithmic = false;
}

void AddPoint(chart::Series& series, const products::ProfilePoint& p) {
    if (p.breakBefore) series.BreakLine();
    if (series.Kind() == SeriesKind::Point3D)
        series.Add3D(p.x, p.y, p.z);
    else if (p.implausible)
        series.Add(p.x, p.y, MarkLabel, MarkColour);
    else if (!p.label.empty())
        series.Add(p.x, p.y, QString::fromStdString(p.label));
    else
        series.Add(p.x, p.y);
}

products::ProfileOptions ProductOptions(const ProfileChartOptions& options) {
    return {.pressureAxis = options.LeftAxisP, .showSig = options.ShowSig, .combineTU = options.CombineTU};
}

}  // namespace

ProfileCharts::ProfileCharts(OptionsSource options, QWidget* parent) : QObject(parent), options(std::move(options)) {
    qRegisterMetaType<chart::ChartView*>();

    for (const ChartLook& look : ChartLooks) {
        auto* view = new chart::ChartView(parent);
        this->*look.view = view;
        chart::Chart& c = view->Model();
        c.view3D = look.view3D;
        c.depthPercent = look.view3D ? Depth3DPercent : c.depthPercent;
        c.walls = false;
        c.gradient = true;
        c.gradientBottom = QColor::fromRgb(look.gradientBottom);
        c.gradientTop = QColor::fromRgb(look.gradientTop);
        c.margins = QMargins(0, 0, 0, 0);
        c.legendVisible = false;
        c.hint = QString::fromUtf8(look.hint);
        c.clipSeries = false;
        c.zoomEnabled = true;
        c.HideTitle();
        for (int a = 0; a < chart::AxisCount; ++a) ApplyAxisLook(c.AxisOf(static_cast<AxisId>(a)), look.axes[a]);
        c.cursor.active = look.cursorTool;
        c.cursor.colour = QColor::fromRgb(look.cursorColour);
        c.cursor.style = Qt::DotLine;
        c.rotateTool = look.view3D;
        connect(view, &chart::ChartView::DoubleClicked, this,
                [this, view](const QPoint& pos) { emit ChartDoubleClicked(view, pos); });
    }
    views = {ChrtTemp, ChrtWind, ChrtXY, ChrtZ, Chrt3D};

    for (const SeriesLook& look : SeriesLooks) {
        chart::Series& s = (this->*look.view)->Model().AddSeries(look.kind, QString::fromUtf8(look.title));
        this->*look.series = &s;
        s.growthStep = SeriesGrowthStep;
        s.colour = QColor::fromRgb(look.colour);
        s.penStyle = look.pen;
        s.marker = look.marker;
        s.markerHSize = look.markerH;
        s.markerVSize = look.markerV;
        s.inLegend = false;
        s.marksVisible = false;
        s.horizontalAxis = look.horizontal;
        s.verticalAxis = look.vertical;
    }
    p3D2->active = false;
    RefreshAll();
}

ProfileCharts::~ProfileCharts() {
    for (const QPointer<chart::ChartView>& view : views) delete view.data();
}

void ProfileCharts::AddPoints(bool primary, const products::ProfilePoints& points) {
    for (const SeriesLook& look : SeriesLooks) {
        if (look.primary != primary) continue;
        chart::Series& series = *(this->*look.series);
        for (const products::ProfilePoint& p : points.*look.points) AddPoint(series, p);
    }
}

void ProfileCharts::FillPrimarySeries(const tUAInBound& sounding) {
    const ProfileChartOptions now = options();
    AddPoints(true, products::PrimaryProfilePoints(sounding, ProductOptions(now)));
    const QString note = now.LeftAxisP && products::LacksPressures(sounding) ? QString::fromUtf8(NoPressureNote) : QString();
    for (ViewMember view : PressureCharts) (this->*view)->Model().emptyNote = note;
    if (now.SortYAxis) SortPrimarySeries();
    RefreshAll();
}

void ProfileCharts::FillSecondarySeries(const tUAInBound& sounding) {
    const ProfileChartOptions now = options();
    p3D2->active = true;
    AddPoints(false, products::SecondaryProfilePoints(sounding, ProductOptions(now)));
    if (now.SortYAxis) SortSecondarySeries();
    RefreshAll();
}

void ProfileCharts::ClearPrimarySeries() {
    for (const SeriesLook& look : SeriesLooks)
        if (look.primary) (this->*look.series)->Clear();
    for (ViewMember view : PressureCharts) (this->*view)->Model().emptyNote.clear();
    RefreshAll();
}

void ProfileCharts::ClearSecondarySeries() {
    for (const SeriesLook& look : SeriesLooks)
        if (!look.primary) (this->*look.series)->Clear();
    p3D2->active = false;
    RefreshAll();
}

namespace {
void SortSeries(ProfileCharts& charts, bool primary) {
    for (const SeriesLook& look : SeriesLooks) {
        if (look.primary != primary || look.sorting == Sorting::None) continue;
        (charts.*look.series)->Sort(look.sorting == Sorting::Ascending ? chart::SortOrder::Ascending
                                                                      : chart::SortOrder::Descending);
    }
}
}  // namespace

void ProfileCharts::SortPrimarySeries() {
    SortSeries(*this, true);
    RefreshAll();
}

void ProfileCharts::SortSecondarySeries() {
    SortSeries(*this, false);
    RefreshAll();
}

void ProfileCharts::SetupVerticalAxes(const tUAInBound* primary, const tUAInBound* secondary) {
    ClearPrimarySeries();
    ClearSecondarySeries();
    for (ViewMember view : ZoomUndoneBySetup) (this->*view)->UndoZoom();
    for (const VerticalAxis& vertical : VerticalAxes)
        SetVerticalAxis((this->*vertical.view)->Model().AxisOf(vertical.axis), options().LeftAxisP, vertical.scaledTitle);
    if (primary) FillPrimarySeries(*primary);
    if (secondary) {
        ClearSecondarySeries();
        FillSecondarySeries(*secondary);
    }
    RefreshAll();
}

void ProfileCharts::SetVerticalAxis(chart::Axis& axis, bool pressure, bool scaledTitle) {
    axis.inverted = pressure;
    axis.logarithmic = pressure;
    axis.labelValues = pressure ? StandardLevels : std::vector<double>();
    axis.title = QString::fromUtf8(pressure ? TitlePressure : scaledTitle ? TitleHeightScaled : TitleHeight);
}

void ProfileCharts::UndoZoomAll() {
    for (chart::ChartView* view : Views()) view->UndoZoom();
}

void ProfileCharts::RefreshAll() {
    for (chart::ChartView* view : Views()) view->Model().Refresh();
}

bool ProfileCharts::IsChart(const chart::ChartView* view) const {
    const auto all = Views();
    return view != nullptr && std::find(all.begin(), all.end(), view) != all.end();
}

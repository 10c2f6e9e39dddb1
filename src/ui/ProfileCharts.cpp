#include "ui/ProfileCharts.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QRgb>

#include "chart/ChartView.h"
#include "chart/Editor.h"
#include "core/TextHelpers.h"
#include "decoder/UAReport.h"

namespace {

using chart::AxisId;
using chart::MarkerStyle;
using chart::SeriesKind;
using ViewMember = chart::ChartView* TProfileCharts::*;
using SeriesMember = chart::Series* TProfileCharts::*;

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
    {&TProfileCharts::ChrtTemp, "Температура и влажность", false, qRgb(208, 255, 208), qRgb(255, 223, 223),
     {{.colour = Red, .grid = false, .title = "T, °C"},
      {.colour = Green, .grid = false, .title = "U, %"},
      {.title = TitleHeightScaled},
      Hidden,
      Hidden},
     true, qRgb(255, 128, 128)},
    {&TProfileCharts::ChrtWind, "Направление и скорость ветра", false, WindBottom, White,
     {{.colour = Blue, .grid = false, .title = "f, м/с", .titleBold = true},
      {.colour = Navy, .grid = false, .title = "D, °", .titleBold = true},
      {.title = TitleHeightScaled},
      Hidden,
      Hidden},
     true, qRgb(128, 128, 255)},
    {&TProfileCharts::ChrtXY, "Горизонтальная траектория полета щара", false, WindBottom, White,
     {{.colour = Blue, .title = "Долг, °", .titleBold = true},
      Hidden,
      {.colour = Navy, .title = "Шир,°"},
      Hidden,
      Hidden},
     false, 0},
    {&TProfileCharts::ChrtZ, "Скорость подъема", false, WindBottom, White,
     {{.grid = false, .title = "Время, с", .titleBold = true},
      Hidden,
      {.colour = Red, .gridColour = Red, .title = "Va, м/c", .fixedRange = true, .minimum = 0.0, .maximum = 15.0},
      {.colour = Blue, .gridColour = qRgb(0, 128, 255), .title = TitleHeight},
      Hidden},
     false, 0},
    {&TProfileCharts::Chrt3D, "Траектория полета", true, WindBottom, White,
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

using P = TProfileCharts;
constexpr auto Line = SeriesKind::Line;
constexpr auto Fast = SeriesKind::FastLine;
constexpr auto Solid = Qt::SolidLine;
constexpr auto Dotted = Qt::DotLine;

// Every series of the five charts; the order is the drawing order within a chart.
constexpr SeriesLook SeriesLooks[] = {
    {&P::TSeries, &P::ChrtTemp, "TPrim", true, Line, Red, Solid, MarkerStyle::Circle, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USeries, &P::ChrtTemp, "UPrim", true, Line, qRgb(0, 170, 0), Solid, MarkerStyle::Square, 2, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::TSigSeries, &P::ChrtTemp, "TPrimSig", true, Fast, Red, Dotted, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USigSeries, &P::ChrtTemp, "UPrimSig", true, Fast, qRgb(0, 170, 0), Dotted, MarkerStyle::None, 0, 0, AxisId::Top, AxisId::Left, Sorting::Descending},
    {&P::TSecSeries, &P::ChrtTemp, "TSec", false, Line, qRgb(255, 0, 128), Solid, MarkerStyle::Circle, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::USecSeries, &P::ChrtTemp, "USec", false, Line, qRgb(19, 159, 124), Solid, MarkerStyle::Square, 2, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::VSeries, &P::ChrtWind, "fPrim", true, Line, Blue, Solid, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::DSeries, &P::ChrtWind, "DPrim", true, Line, Purple, Solid, MarkerStyle::Rectangle, 1, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::VSigSeries, &P::ChrtWind, "fPrimSig", true, Fast, Blue, Dotted, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::Descending},
    {&P::DSigSeries, &P::ChrtWind, "DPrimSig", true, Fast, Purple, Dotted, MarkerStyle::None, 0, 0, AxisId::Top, AxisId::Left, Sorting::Descending},
    {&P::VSecSeries, &P::ChrtWind, "fSec", false, Line, Navy, Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Left, Sorting::Ascending},
    {&P::DSecSeries, &P::ChrtWind, "DSec", false, Line, qRgb(128, 0, 64), Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Top, AxisId::Left, Sorting::Ascending},
    {&P::XYSeries, &P::ChrtXY, "XYPrim", true, Line, Navy, Dotted, MarkerStyle::Diamond, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::XYSecSeries, &P::ChrtXY, "XYSec", false, Line, qRgb(64, 128, 128), Dotted, MarkerStyle::Diamond, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::VAscSeries, &P::ChrtZ, "VAscPrim", true, Line, Red, Solid, MarkerStyle::Square, 2, 2, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::HSeries, &P::ChrtZ, "HPrim", true, Line, Blue, Dotted, MarkerStyle::Rectangle, 1, 2, AxisId::Bottom, AxisId::Right, Sorting::None},
    {&P::p3D, &P::Chrt3D, "XYZPrim", true, SeriesKind::Point3D, Maroon3D, Solid, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::None},
    {&P::p3D2, &P::Chrt3D, "XYZSec", false, SeriesKind::Point3D, Green, Solid, MarkerStyle::None, 0, 0, AxisId::Bottom, AxisId::Left, Sorting::None},
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

// The charts SetupVerticalAxes undoes the zoom of (the trajectory and ascent charts keep theirs).
constexpr ViewMember ZoomUndoneBySetup[] = {&P::ChrtTemp, &P::ChrtWind, &P::Chrt3D};

// A temperature point is implausible when it falls faster than this with height (K per metre),
// or when it changes by more than TemperatureJump at a height not above the previous point.
constexpr double LapseLimit = 0.013;
constexpr double TemperatureJump = 0.2;
const QColor MarkColour(128, 0, 0);

// Ascent-rate points are at least this far apart in time (s); a level needs a height above
// MinimumAscentHeight (m) to take part.
constexpr double AscentStep = 60.0;
constexpr double MinimumAscentHeight = -500.0;

// The "above -99" tests of the profile values.
constexpr double ProfileFloor = -99.0;

constexpr std::int32_t SigTemperature = 0x2000;
constexpr std::int32_t SigHumidity = 0x1000;
constexpr std::int32_t SigWind = 0x800;

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

QString TimeLabel(double time) { return QString::fromStdString(FloatStr(4, 0, time)); }

}  // namespace

TProfileCharts::TProfileCharts(const TChartOptions& options, QWidget* parent) : QObject(parent), options_(options) {
    chart::Series::SetGrowthStep(SeriesGrowthStep);
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
    views_ = {ChrtTemp, ChrtWind, ChrtXY, ChrtZ, Chrt3D};

    for (const SeriesLook& look : SeriesLooks) {
        chart::Series& s = (this->*look.view)->Model().AddSeries(look.kind, QString::fromUtf8(look.title));
        this->*look.series = &s;
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

TProfileCharts::~TProfileCharts() {
    for (const QPointer<chart::ChartView>& view : views_) delete view.data();
}

void TProfileCharts::FillPrimarySeries(const tUAInBound& sounding) {
    const bool pressureMode = options_.LeftAxisP;
    const bool showSig = options_.ShowSig;
    const bool combineTU = options_.CombineTU;
    const QString mark = QStringLiteral("?!");

    bool haveAscent = false;
    double ascentTime = 0.0, ascentHeight = 0.0;
    bool haveTemp = false;
    double prevTemp = 0.0, prevHeight = 0.0;

    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        // Missing flags (all bits set) mark no level as significant, as in the report's flag column.
        const std::int32_t flags = level.Flags >= MissingFlags ? 0 : level.Flags;
        // A level without the vertical coordinate gives no point on a profile; in pressure mode it
        // still has its place on the trajectory, which does not depend on the pressure.
        const bool hasVertical = !IsMissing(pressureMode ? level.Pressure : level.Height);
        if (hasVertical || pressureMode) {
            const double v = pressureMode ? level.Pressure / 100.0 : level.Height / 1000.0;
            if (hasVertical) {
                if (level.Temp > ProfileFloor) {
                    const double celsius = level.Temp - 273.15;
                    bool implausible = false;
                    if (!pressureMode) {
                        if (haveTemp) {
                            if (level.Height > prevHeight)
                                implausible = -(level.Temp - prevTemp) / (level.Height - prevHeight) > LapseLimit;
                            else
                                implausible = std::abs(level.Temp - prevTemp) > TemperatureJump;
                        }
                        haveTemp = true;
                        prevTemp = level.Temp;
                        prevHeight = level.Height;
                    }
                    if (implausible)
                        TSeries->Add(celsius, v, mark, MarkColour);
                    else
                        TSeries->Add(celsius, v);
                    if (showSig && (flags & SigTemperature)) TSigSeries->Add(celsius, v);
                }
                if (level.Humidity > ProfileFloor) {
                    USeries->Add(level.Humidity, v);
                    if (showSig && ((flags & SigHumidity) || (combineTU && (flags & SigTemperature))))
                        USigSeries->Add(level.Humidity, v);
                }
                if (level.WindDir > ProfileFloor) {
                    DSeries->Add(level.WindDir, v);
                    if (showSig && (flags & SigWind)) DSigSeries->Add(level.WindDir, v);
                }
                if (level.WindSpeed > ProfileFloor) {
                    VSeries->Add(level.WindSpeed, v);
                    if (showSig && (flags & SigWind)) VSigSeries->Add(level.WindSpeed, v);
                }
                if (level.Time >= 0.0) HSeries->Add(level.Time, v);
            }
            if (!IsMissing(level.DLat)) {
                XYSeries->Add(level.DLon, level.DLat, TimeLabel(level.Time));
                if (hasVertical) p3D->Add3D(level.DLon, v, level.DLat);
            }
        }

        if (level.Time >= 0.0 && level.Height > MinimumAscentHeight) {
            if (!haveAscent) {
                haveAscent = true;
                ascentTime = level.Time;
                ascentHeight = level.Height;
            } else if (level.Time - ascentTime >= AscentStep) {
                VAscSeries->Add(level.Time, (level.Height - ascentHeight) / (level.Time - ascentTime));
                ascentTime = level.Time;
                ascentHeight = level.Height;
            }
        }
    }
    if (options_.SortYAxis) SortPrimarySeries();
    RefreshAll();
}

void TProfileCharts::FillSecondarySeries(const tUAInBound& sounding) {
    const bool pressureMode = options_.LeftAxisP;
    p3D2->active = true;

    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        const bool hasVertical = !IsMissing(pressureMode ? level.Pressure : level.Height);
        if (!hasVertical && !pressureMode) continue;
        const double v = pressureMode ? level.Pressure / 100.0 : level.Height / 1000.0;
        if (hasVertical) {
            if (!IsMissing(level.Temp)) TSecSeries->Add(level.Temp - 273.15, v);
            if (level.Humidity > ProfileFloor) USecSeries->Add(level.Humidity, v);
            if (level.WindDir > ProfileFloor) DSecSeries->Add(level.WindDir, v);
            if (level.WindSpeed > ProfileFloor) VSecSeries->Add(level.WindSpeed, v);
        }
        if (level.DLat > ProfileFloor) {
            XYSecSeries->Add(level.DLon, level.DLat, TimeLabel(level.Time));
            if (hasVertical) p3D2->Add3D(level.DLon, v, level.DLat);
        }
    }
    if (options_.SortYAxis) SortSecondarySeries();
    RefreshAll();
}

void TProfileCharts::ClearPrimarySeries() {
    for (const SeriesLook& look : SeriesLooks)
        if (look.primary) (this->*look.series)->Clear();
    RefreshAll();
}

void TProfileCharts::ClearSecondarySeries() {
    for (const SeriesLook& look : SeriesLooks)
        if (!look.primary) (this->*look.series)->Clear();
    p3D2->active = false;
    RefreshAll();
}

namespace {
void SortSeries(TProfileCharts& charts, bool primary) {
    for (const SeriesLook& look : SeriesLooks) {
        if (look.primary != primary || look.sorting == Sorting::None) continue;
        (charts.*look.series)->Sort(look.sorting == Sorting::Ascending ? chart::SortOrder::Ascending
                                                                      : chart::SortOrder::Descending);
    }
}
}  // namespace

void TProfileCharts::SortPrimarySeries() {
    SortSeries(*this, true);
    RefreshAll();
}

void TProfileCharts::SortSecondarySeries() {
    SortSeries(*this, false);
    RefreshAll();
}

void TProfileCharts::SetupVerticalAxes(const tUAInBound* primary, const tUAInBound* secondary) {
    ClearPrimarySeries();
    ClearSecondarySeries();
    for (ViewMember view : ZoomUndoneBySetup) (this->*view)->UndoZoom();
    for (const VerticalAxis& vertical : VerticalAxes)
        SetVerticalAxis((this->*vertical.view)->Model().AxisOf(vertical.axis), options_.LeftAxisP, vertical.scaledTitle);
    if (primary) FillPrimarySeries(*primary);
    if (secondary) {
        ClearSecondarySeries();
        FillSecondarySeries(*secondary);
    }
    RefreshAll();
}

void TProfileCharts::SetVerticalAxis(chart::Axis& axis, bool pressure, bool scaledTitle) {
    axis.inverted = pressure;
    axis.logarithmic = pressure;
    axis.title = QString::fromUtf8(pressure ? TitlePressure : scaledTitle ? TitleHeightScaled : TitleHeight);
}

void TProfileCharts::UndoZoomAll() {
    for (chart::ChartView* view : Views()) view->UndoZoom();
}

void TProfileCharts::RefreshAll() {
    for (chart::ChartView* view : Views()) view->Model().Refresh();
}

void TProfileCharts::ShowEditor(chart::ChartView* view, QPoint pos, const QString& caption, QWidget* owner) {
    const auto views = Views();
    if (view == nullptr || std::find(views.begin(), views.end(), view) == views.end()) return;
    const chart::HitResult part = view->HitTest(pos);
    chart::ShowChartEditor(owner, view->Model(), part, caption, chart::AllEditorOptions, 0, true, false,
                           QStringLiteral("Редактор диаграмм"));
    view->Model().Refresh();
}

void TProfileCharts::ShowEditorAtCursor(chart::ChartView* view, const QString& caption, QWidget* owner) {
    if (view == nullptr) return;
    ShowEditor(view, view->mapFromGlobal(QCursor::pos()), caption, owner);
}

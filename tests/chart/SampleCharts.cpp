#include "SampleCharts.h"

#include <cmath>

namespace chart::test {

namespace {

const QColor Navy(0, 0, 128);
const QColor Purple(128, 0, 128);

void Background(Chart& c, QColor bottom, QColor top) {
    c.gradient = true;
    c.gradientBottom = bottom;
    c.gradientTop = top;
    c.margins = QMargins(0, 0, 0, 0);
}

void VerticalAxis(Axis& a, bool pressure, const QString& heightTitle) {
    a.inverted = pressure;
    a.logarithmic = pressure;
    a.title = pressure ? QStringLiteral("P, гПа") : heightTitle;
}

Series& Line(Chart& c, const QString& title, QColor colour, MarkerStyle marker, int h, int v) {
    Series& s = c.AddSeries(SeriesKind::Line, title);
    s.colour = colour;
    s.marker = marker;
    s.markerHSize = h;
    s.markerVSize = v;
    s.inLegend = false;
    return s;
}

Series& Fast(Chart& c, const QString& title, QColor colour) {
    Series& s = c.AddSeries(SeriesKind::FastLine, title);
    s.colour = colour;
    s.penStyle = Qt::DotLine;
    s.inLegend = false;
    return s;
}

double Vertical(const SampleLevel& l, bool pressure) { return pressure ? l.pressure : l.height / 1000.0; }

}  // namespace

std::vector<SampleLevel> SampleSounding(int levels) {
    std::vector<SampleLevel> out;
    out.reserve(levels);
    for (int i = 0; i < levels; ++i) {
        const double t = i * 2.0;                         // a level every 2 s
        const double h = 150 + 5.2 * t;                   // about 5 m/s
        const double p = 1000 * std::exp(-h / 7400.0);
        const double temp = h < 11000 ? 15 - 0.0065 * h : -56.5 + 0.001 * (h - 11000);
        const double hum = std::clamp(80 - h / 200 + 15 * std::sin(h / 900), 2.0, 100.0);
        const double speed = 3 + 25 * std::exp(-std::pow((h - 10500) / 3500, 2)) + 2 * std::sin(h / 300);
        const double dir = std::fmod(200 + h / 120 + 10 * std::sin(h / 700), 360.0);
        const double dLon = 0.9 * (h / 25000) * (h / 25000) + 0.05 * std::sin(h / 3000);
        const double dLat = 0.35 * h / 25000 - 0.2 * (h / 25000) * (h / 25000);
        out.push_back({t, p, h, temp, hum, dir, speed, dLat, dLon});
    }
    return out;
}

void MakeTemperatureChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure) {
    c.hint = QStringLiteral("Температура и влажность");
    Background(c, QColor(208, 255, 208), QColor(255, 223, 223));
    Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.colour = Qt::red;
    bottom.grid = false;
    bottom.title = QStringLiteral("T, °C");
    Axis& top = c.AxisOf(AxisId::Top);
    top.colour = QColor(0, 128, 0);
    top.grid = false;
    top.title = QStringLiteral("U, %");
    c.AxisOf(AxisId::Right).visible = false;
    VerticalAxis(c.AxisOf(AxisId::Left), pressure, QStringLiteral("H/1000, гпм"));
    c.cursor.active = true;
    c.cursor.colour = QColor(255, 128, 128);
    Series& t = Line(c, "TPrim", Qt::red, MarkerStyle::Circle, 2, 2);
    Series& u = Line(c, "UPrim", QColor(0, 170, 0), MarkerStyle::Square, 2, 2);
    u.horizontalAxis = AxisId::Top;
    Series& tSig = Fast(c, "TPrimSig", Qt::red);
    bool marked = false;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const SampleLevel& l = levels[i];
        const double v = Vertical(l, pressure);
        if (i == levels.size() / 3 && !marked) {
            t.Add(l.temp, v, QStringLiteral("?!"), QColor(128, 0, 0));
            marked = true;
        } else {
            t.Add(l.temp, v);
        }
        u.Add(l.humidity, v);
        if (i % 150 == 0) tSig.Add(l.temp + 1.5, v);
    }
    t.Sort(SortOrder::Ascending);
    u.Sort(SortOrder::Ascending);
    tSig.Sort(SortOrder::Ascending);
}

void MakeWindChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure) {
    c.hint = QStringLiteral("Направление и скорость ветра");
    Background(c, QColor(224, 238, 241), Qt::white);
    Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.colour = Qt::blue;
    bottom.grid = false;
    bottom.title = QStringLiteral("f, м/с");
    bottom.titleBold = true;
    Axis& top = c.AxisOf(AxisId::Top);
    top.colour = Navy;
    top.grid = false;
    top.title = QStringLiteral("D, °");
    top.titleBold = true;
    c.AxisOf(AxisId::Right).visible = false;
    VerticalAxis(c.AxisOf(AxisId::Left), pressure, QStringLiteral("H/1000, гпм"));
    c.cursor.active = true;
    c.cursor.colour = QColor(128, 128, 255);
    Series& f = Line(c, "fPrim", Qt::blue, MarkerStyle::Rectangle, 1, 2);
    Series& d = Line(c, "DPrim", Purple, MarkerStyle::Rectangle, 1, 2);
    d.horizontalAxis = AxisId::Top;
    Series& dSig = Fast(c, "DPrimSig", Purple);
    dSig.horizontalAxis = AxisId::Top;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double v = Vertical(levels[i], pressure);
        f.Add(levels[i].windSpeed, v);
        d.Add(levels[i].windDir, v);
        if (i % 200 == 0) dSig.Add(levels[i].windDir, v);
    }
    dSig.Sort(SortOrder::Descending);
}

void MakeTrajectoryChart(Chart& c, const std::vector<SampleLevel>& levels) {
    c.hint = QStringLiteral("Горизонтальная траектория полета щара");
    Background(c, QColor(224, 238, 241), Qt::white);
    Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.colour = Qt::blue;
    bottom.title = QStringLiteral("Долг, °");
    bottom.titleBold = true;
    Axis& left = c.AxisOf(AxisId::Left);
    left.colour = Navy;
    left.title = QStringLiteral("Шир,°");
    c.AxisOf(AxisId::Right).visible = false;
    c.AxisOf(AxisId::Top).visible = false;
    Series& xy = Line(c, "XYPrim", Navy, MarkerStyle::Diamond, 2, 2);
    xy.penStyle = Qt::DotLine;
    for (const SampleLevel& l : levels) xy.Add(l.dLon, l.dLat, QString::number(std::lround(l.time)));
}

void MakeAscentChart(Chart& c, const std::vector<SampleLevel>& levels) {
    c.hint = QStringLiteral("Скорость подъема");
    Background(c, QColor(224, 238, 241), Qt::white);
    Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.grid = false;
    bottom.title = QStringLiteral("Время, с");
    bottom.titleBold = true;
    Axis& left = c.AxisOf(AxisId::Left);
    left.colour = Qt::red;
    left.gridColour = Qt::red;
    left.gridStyle = Qt::DotLine;
    left.automatic = false;
    left.minimum = 0;
    left.maximum = 15;
    left.title = QStringLiteral("Va, м/c");
    Axis& right = c.AxisOf(AxisId::Right);
    right.colour = Qt::blue;
    right.gridColour = QColor(0, 128, 255);
    right.gridStyle = Qt::DotLine;
    right.title = QStringLiteral("H, км");
    c.AxisOf(AxisId::Top).visible = false;
    Series& va = Line(c, "VAscPrim", Qt::red, MarkerStyle::Square, 2, 2);
    Series& h = Line(c, "HPrim", Qt::blue, MarkerStyle::Rectangle, 1, 2);
    h.penStyle = Qt::DotLine;
    h.verticalAxis = AxisId::Right;
    const SampleLevel* previous = nullptr;
    for (const SampleLevel& l : levels) {
        h.Add(l.time, l.height / 1000.0);
        if (!previous) {
            previous = &l;
        } else if (l.time - previous->time >= 60) {
            va.Add(l.time, (l.height - previous->height) / (l.time - previous->time) + 1.5 * std::sin(l.time / 400));
            previous = &l;
        }
    }
}

void MakeFlightChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure) {
    c.hint = QStringLiteral("Траектория полета");
    Background(c, QColor(224, 238, 241), Qt::white);
    c.view3D = true;
    c.depthPercent = 40;
    c.walls = false;
    c.rotateTool = true;
    c.AxisOf(AxisId::Bottom).title = QStringLiteral("Долг, °");
    c.AxisOf(AxisId::Bottom).titleBold = true;
    Axis& depth = c.AxisOf(AxisId::Depth);
    depth.visible = true;
    depth.title = QStringLiteral("Шир,°");
    Axis& left = c.AxisOf(AxisId::Left);
    left.colour = QColor(128, 64, 64);
    left.labelColour = Navy;
    VerticalAxis(left, pressure, QStringLiteral("H, км"));
    c.AxisOf(AxisId::Right).colour = Qt::blue;
    c.AxisOf(AxisId::Top).visible = false;
    Series& p3d = c.AddSeries(SeriesKind::Point3D, "XYZPrim");
    p3d.colour = QColor(128, 64, 64);
    p3d.inLegend = false;
    Series& p3d2 = c.AddSeries(SeriesKind::Point3D, "XYZSec");
    p3d2.colour = Qt::green;
    p3d2.active = false;
    for (const SampleLevel& l : levels) p3d.Add3D(l.dLon, Vertical(l, pressure), l.dLat);
}

}  // namespace chart::test

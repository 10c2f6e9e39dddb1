// Measures and pixel helpers shared by the layout and the painting of a chart (internal).
#pragma once

#include "chart/AxisScale.h"

#include <QFontMetricsF>
#include <QPoint>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace chart {

inline constexpr int TickLength = 4;
inline constexpr int Gap = 2;
inline constexpr int LegendSwatch = 18;
inline constexpr int BarbLength = 26;      // the staff of a wind barb
inline constexpr int BarbFeather = 10;     // a full barb; a half barb is half of it
inline constexpr int BarbStep = 4;         // between barbs along the staff
inline constexpr double PixelLimit = 1e5;   // mapped coordinates are kept within this, far off any device

inline int ToPixel(double v) { return static_cast<int>(std::lround(std::clamp(v, -PixelLimit, PixelLimit))); }

inline QPoint ToPoint(const QPointF& p) { return {ToPixel(p.x()), ToPixel(p.y())}; }

// The advance of the widest tick label.
inline double WidestLabel(const std::vector<Tick>& ticks, const QFontMetricsF& fm) {
    double w = 0;
    for (const Tick& t : ticks) w = std::max(w, fm.horizontalAdvance(t.label));
    return w;
}

}  // namespace chart

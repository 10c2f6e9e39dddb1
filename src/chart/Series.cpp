#include "chart/Series.h"

#include <algorithm>

namespace chart {

Series::Series(SeriesKind kind, const QString& title) : title(title), kind(kind) {
    if (kind == SeriesKind::Line) marker = MarkerStyle::Rectangle;
}

void Series::Reserve() {
    if (points.size() == points.capacity()) points.reserve(points.capacity() + std::max(1, growthStep));
}

void Series::Add(double x, double y, const QString& label, const QColor& colour) {
    Add3D(x, y, 0.0, label, colour);
}

void Series::Add3D(double x, double y, double z, const QString& label, const QColor& colour) {
    Reserve();
    points.push_back(ChartPoint{x, y, z, colour, label, breakNext});
    breakNext = false;
}

void Series::Clear() {
    points.clear();
    breakNext = false;
}

void Series::Sort(SortOrder order) {
    if (order == SortOrder::Ascending)
        std::stable_sort(points.begin(), points.end(),
                         [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    else
        std::stable_sort(points.begin(), points.end(),
                         [](const ChartPoint& a, const ChartPoint& b) { return a.y > b.y; });
}

}  // namespace chart

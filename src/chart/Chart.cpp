#include "chart/Chart.h"

namespace chart {

Chart::Chart(QObject* parent) : QObject(parent) {
    AxisOf(AxisId::Depth).visible = false;
}

Chart::~Chart() = default;

void Chart::ShowTitle(const QString& text) {
    Text(TextId::Title).text = text;
    Text(TextId::Title).visible = true;
}

void Chart::HideTitle() { Text(TextId::Title).visible = false; }

Series& Chart::AddSeries(SeriesKind kind, const QString& title) {
    series.push_back(std::make_unique<Series>(kind, title));
    return *series.back();
}

int Chart::IndexOf(const Series* s) const {
    for (int i = 0; i < SeriesCount(); ++i)
        if (series[i].get() == s) return i;
    return -1;
}

void Chart::UndoZoom() {
    for (Axis& a : axes) a.zoomed = false;
}

bool Chart::IsZoomed() const {
    for (const Axis& a : axes)
        if (a.zoomed) return true;
    return false;
}

}  // namespace chart

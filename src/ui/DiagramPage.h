#pragma once
// The page «Аэрологическая диаграмма»: the chart of the diagram (skew-T/log-p, or the emagram
// while cbEmagram is checked) with the primary and secondary soundings, and beside it the panel
// of the indices of the primary sounding and of what its data left out. The geometry comes from
// products/AerologicalDiagram, the numbers from products/SoundingIndices; here they only become
// series and text.
#include "products/AerologicalDiagram.h"
#include "products/SoundingIndices.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QPlainTextEdit;
class tUAInBound;

namespace chart {
class ChartView;
}

class DiagramPage : public QWidget {
    Q_OBJECT
public:
    explicit DiagramPage(QWidget* parent = nullptr);

    chart::ChartView* View() const { return ChrtDiagram; }

    // The soundings to show; either may be null (not loaded). Computes the indices of the primary.
    void ShowSoundings(const tUAInBound* primary, const tUAInBound* secondary);
    void ClearSecondary();

    chart::ChartView* ChrtDiagram = nullptr;
    QCheckBox* cbEmagram = nullptr;   // the switch between the skew-T and the emagram
    QPlainTextEdit* mmIndices = nullptr;

private:
    void Rebuild();
    void FillPanel();

    std::optional<products::SoundingProfile> primary;
    std::optional<products::SoundingProfile> secondary;
    products::SoundingIndices indices;
    bool southern = false;   // the primary's station lies south of the equator: barbs flipped
};

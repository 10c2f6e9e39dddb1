// The numeric side of one axis: the range in force, the mapping between values and a fraction of
// the axis length, and the values that get a tick and a label.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace chart {

struct AxisScale {
    double minimum = 0.0;
    double maximum = 1.0;
    bool logarithmic = false;
    bool inverted = false;

    // Fraction 0 at the start of the axis (bottom or left), 1 at its end; nothing for a value the
    // axis cannot show (not finite, or at or below zero on a logarithmic axis). Fractions outside
    // [0, 1] are values outside the range.
    std::optional<double> Fraction(double value) const;
    // The value at a fraction of the axis length (the inverse of Fraction).
    double ValueAt(double fraction) const;

    // Fraction as offset + factor * g(value), g being log10 on a logarithmic axis and the value
    // itself otherwise: the same mapping with the range work done once, for long series.
    struct Linear {
        bool logarithmic;
        double offset;
        double factor;
        // Nothing for a value the axis cannot show; f(x) is then applied by the caller.
        std::optional<double> Of(double value) const;
    };
    Linear Linearised() const;
};

struct Tick {
    double value;
    QString label;
};

// Ticks for an axis of the given length in pixels. extent(label) is the room a label takes along
// the axis; two neighbouring labels need at least gap pixels between them. The densest set that fits
// is returned. Linear axes step by 1, 2 or 5 times a power of ten. Logarithmic axes are
// decade-aware: the mantissas 1 2 3 5 7 (1000 700 500 300 200 100 70 50 ... 10), then 1 2 5, 1 3,
// 1, then every second, fifth or tenth decade.
using LabelExtent = std::function<double(const QString& label)>;
std::vector<Tick> MakeTicks(const AxisScale& scale, double length, const LabelExtent& extent,
                            double gap);

// Ticks at chosen values: those in the range shown, taken in the order given as long as each keeps
// the room of MakeTicks from every tick already taken, in the order along the axis. Falls back to
// MakeTicks when fewer than two of the values lie in the range.
std::vector<Tick> MakeTicksAt(const AxisScale& scale, const std::vector<double>& values, double length,
                              const LabelExtent& extent, double gap);

// A tick label: no exponent for ordinary magnitudes, at most `decimals` decimals, no trailing zeros.
QString FormatTickValue(double value, int decimals);

}  // namespace chart

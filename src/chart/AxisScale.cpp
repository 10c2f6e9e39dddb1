#include "chart/AxisScale.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

constexpr double Epsilon = 1e-9;

// Mantissa sets of a logarithmic axis, densest first.
const std::vector<std::vector<double>> LogMantissas = {
    {1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 5, 7}, {1, 2, 5}, {1, 3}, {1}};
constexpr int DecadeSteps[] = {2, 5, 10, 20, 50, 100};
constexpr double LinearMantissas[] = {1, 2, 5};

bool Fits(const AxisScale& scale, const std::vector<Tick>& ticks, double length,
          const LabelExtent& extent, double gap) {
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double a = scale.Fraction(ticks[i - 1].value).value_or(0.0) * length;
        const double b = scale.Fraction(ticks[i].value).value_or(0.0) * length;
        const double need = (extent(ticks[i - 1].label) + extent(ticks[i].label)) / 2.0 + gap;
        if (std::abs(b - a) < need) return false;
    }
    return true;
}

std::vector<Tick> LinearTicks(double lo, double hi, double step) {
    std::vector<Tick> ticks;
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + Epsilon)));
    for (double k = std::ceil(lo / step - Epsilon); k * step <= hi + step * Epsilon; k += 1.0) {
        double v = k * step;
        if (std::abs(v) < step * Epsilon) v = 0.0;
        ticks.push_back({v, FormatTickValue(v, decimals)});
    }
    return ticks;
}

std::vector<Tick> MakeLinearTicks(const AxisScale& scale, double length, const LabelExtent& extent,
                                  double gap) {
    const double lo = std::min(scale.minimum, scale.maximum);
    const double hi = std::max(scale.minimum, scale.maximum);
    const double span = hi - lo;
    if (!(span > 0.0) || !std::isfinite(span) || length <= 0.0) return {};
    const double rough = span / std::max(1.0, length / 4.0);
    const int e0 = static_cast<int>(std::floor(std::log10(rough)));
    for (int e = e0; e < e0 + 30; ++e) {
        for (double m : LinearMantissas) {
            const double step = m * std::pow(10.0, e);
            if (step < rough) continue;
            auto ticks = LinearTicks(lo, hi, step);
            if (Fits(scale, ticks, length, extent, gap)) return ticks;
        }
    }
    return {};
}

}  // namespace

std::optional<double> AxisScale::Fraction(double value) const {
    if (!std::isfinite(value)) return std::nullopt;
    double f;
    if (logarithmic) {
        if (value <= 0.0 || minimum <= 0.0 || maximum <= 0.0) return std::nullopt;
        f = (std::log10(value) - std::log10(minimum)) / (std::log10(maximum) - std::log10(minimum));
    } else {
        f = (value - minimum) / (maximum - minimum);
    }
    if (!std::isfinite(f)) return std::nullopt;
    return inverted ? 1.0 - f : f;
}

AxisScale::Linear AxisScale::Linearised() const {
    const double lo = logarithmic ? std::log10(minimum) : minimum;
    const double hi = logarithmic ? std::log10(maximum) : maximum;
    double factor = 1.0 / (hi - lo), offset = -lo * factor;
    if (inverted) {
        factor = -factor;
        offset = 1.0 - offset;
    }
    return {logarithmic, offset, factor};
}

std::optional<double> AxisScale::Linear::Of(double value) const {
    if (logarithmic) {
        if (!(value > 0.0)) return std::nullopt;
        value = std::log10(value);
    }
    const double f = offset + factor * value;
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

double AxisScale::ValueAt(double fraction) const {
    const double f = inverted ? 1.0 - fraction : fraction;
    if (logarithmic) {
        const double lo = std::log10(minimum), hi = std::log10(maximum);
        return std::pow(10.0, lo + f * (hi - lo));
    }
    return minimum + f * (maximum - minimum);
}

std::vector<Tick> MakeTicks(const AxisScale& scale, double length, const LabelExtent& extent,
                            double gap) {
    if (!scale.logarithmic) return MakeLinearTicks(scale, length, extent, gap);
    const double lo = std::min(scale.minimum, scale.maximum);
    const double hi = std::max(scale.minimum, scale.maximum);
    if (!(lo > 0.0) || !(hi > lo) || !std::isfinite(hi)) return {};
    const int d0 = static_cast<int>(std::floor(std::log10(lo))) - 1;
    const int d1 = static_cast<int>(std::ceil(std::log10(hi)));
    auto inRange = [&](double v) { return v >= lo * (1 - Epsilon) && v <= hi * (1 + Epsilon); };
    auto decadeTick = [](double m, int d) {
        return Tick{m * std::pow(10.0, d), FormatTickValue(m * std::pow(10.0, d), std::max(0, -d))};
    };
    bool first = true;
    for (const auto& mantissas : LogMantissas) {
        std::vector<Tick> ticks;
        for (int d = d0; d <= d1; ++d)
            for (double m : mantissas)
                if (inRange(m * std::pow(10.0, d))) ticks.push_back(decadeTick(m, d));
        // Less than a decade: the decade ticks say too little, so step linearly.
        if (first && ticks.size() < 3) return MakeLinearTicks(scale, length, extent, gap);
        first = false;
        if (Fits(scale, ticks, length, extent, gap)) return ticks;
    }
    for (int step : DecadeSteps) {
        std::vector<Tick> ticks;
        for (int d = d0; d <= d1; ++d)
            if (d % step == 0 && inRange(std::pow(10.0, d))) ticks.push_back(decadeTick(1, d));
        if (Fits(scale, ticks, length, extent, gap)) return ticks;
    }
    return {};
}

std::vector<Tick> MakeTicksAt(const AxisScale& scale, const std::vector<double>& values, double length,
                              const LabelExtent& extent, double gap) {
    std::vector<Tick> inRange;
    for (double v : values) {
        const auto f = scale.Fraction(v);
        if (f && *f >= -Epsilon && *f <= 1.0 + Epsilon) inRange.push_back({v, FormatTickValue(v, 6)});
    }
    if (inRange.size() < 2) return MakeTicks(scale, length, extent, gap);
    auto position = [&](const Tick& t) { return *scale.Fraction(t.value) * length; };
    auto keepsRoom = [&](const Tick& t, const Tick& taken) {
        return std::abs(position(t) - position(taken)) >= (extent(t.label) + extent(taken.label)) / 2.0 + gap;
    };
    std::vector<Tick> ticks;
    for (const Tick& t : inRange)
        if (std::all_of(ticks.begin(), ticks.end(), [&](const Tick& taken) { return keepsRoom(t, taken); }))
            ticks.push_back(t);
    std::sort(ticks.begin(), ticks.end(), [](const Tick& a, const Tick& b) { return a.value < b.value; });
    return ticks;
}

QString FormatTickValue(double value, int decimals) {
    if (value == 0.0) return QStringLiteral("0");
    const double a = std::abs(value);
    if (a >= 1e15 || a < 1e-6) return QString::number(value, 'g', 6);
    QString s = QString::number(value, 'f', std::min(decimals, 9));
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    if (s == QStringLiteral("-0")) s = QStringLiteral("0");
    return s;
}

}  // namespace chart

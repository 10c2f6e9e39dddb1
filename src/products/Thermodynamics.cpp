#include "products/Thermodynamics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace products::thermo {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double MaxLogStep = 0.005;  // RK4 step in ln p: about 1e-9 K of error per 1000 hPa

// numpy's isclose with its default tolerances, as MetPy uses it for "the same pressure".
bool IsClose(double a, double b) { return std::fabs(a - b) <= 1e-8 + 1e-5 * std::fabs(b); }

// dT/d ln p along the pseudo-adiabat (Bakhshaii & Stull 2013, constant Lv).
double MoistSlope(double pressure, double temperature) {
    const double rs = SaturationMixingRatio(pressure, temperature);
    return (Rd * temperature + Lv * rs) / (Cpd + Lv * Lv * rs * Epsilon / (Rd * temperature * temperature));
}

// Carries t from ln p = from to ln p = to in equal RK4 steps no longer than MaxLogStep.
double IntegrateMoist(double from, double to, double t) {
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / MaxLogStep)));
    const double h = (to - from) / steps;
    double x = from;
    for (int i = 0; i < steps; ++i) {
        const double k1 = MoistSlope(std::exp(x), t);
        const double k2 = MoistSlope(std::exp(x + h / 2), t + h / 2 * k1);
        const double k3 = MoistSlope(std::exp(x + h / 2), t + h / 2 * k2);
        const double k4 = MoistSlope(std::exp(x + h), t + h * k3);
        t += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
        x = from + (i + 1) * h;
    }
    return t;
}

}  // namespace

double SaturationVaporPressure(double temperature) {
    return SatPressure0C * std::exp(17.67 * (temperature - ZeroCelsius) / (temperature - 29.65));
}

double MixingRatio(double vaporPressure, double pressure) {
    return Epsilon * vaporPressure / (pressure - vaporPressure);
}

double SaturationMixingRatio(double pressure, double temperature) {
    const double es = SaturationVaporPressure(temperature);
    return es < pressure ? MixingRatio(es, pressure) : NaN;
}

double VaporPressure(double pressure, double mixingRatio) {
    return pressure * mixingRatio / (Epsilon + mixingRatio);
}

double DewPointFromVaporPressure(double vaporPressure) {
    const double l = std::log(vaporPressure / SatPressure0C);
    return ZeroCelsius + 243.5 * l / (17.67 - l);
}

double DewPointFromRelativeHumidity(double temperature, double relativeHumidity) {
    return DewPointFromVaporPressure(relativeHumidity * SaturationVaporPressure(temperature));
}

double TemperatureAtMixingRatio(double mixingRatio, double pressure) {
    return DewPointFromVaporPressure(VaporPressure(pressure, mixingRatio));
}

double PotentialTemperature(double pressure, double temperature) {
    return temperature / std::pow(pressure / ReferencePressure, Kappa);
}

double DryAdiabatTemperature(double theta, double pressure) {
    return theta * std::pow(pressure / ReferencePressure, Kappa);
}

std::vector<double> PseudoAdiabat(double startPressure, double startTemperature,
                                  std::span<const double> pressures) {
    std::vector<double> result(pressures.size(), NaN);
    if (std::isnan(startPressure) || std::isnan(startTemperature)) return result;
    // Upward (falling pressure) and downward from the start, each in one pass through its
    // points in order, so that n points cost n intervals and not n integrations.
    std::vector<std::size_t> order;
    order.reserve(pressures.size());
    for (std::size_t i = 0; i < pressures.size(); ++i)
        if (!std::isnan(pressures[i])) order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return pressures[a] > pressures[b];
    });
    const double x0 = std::log(startPressure);
    auto walk = [&](auto first, auto last) {
        double x = x0;
        double t = startTemperature;
        for (auto it = first; it != last; ++it) {
            const double p = pressures[*it];
            if (IsClose(p, startPressure)) {
                result[*it] = startTemperature;
                continue;
            }
            const double target = std::log(p);
            if (target != x) t = IntegrateMoist(x, target, t);
            x = target;
            result[*it] = t;
        }
    };
    const auto firstAbove = std::partition_point(order.begin(), order.end(), [&](std::size_t i) {
        return pressures[i] >= startPressure;
    });
    walk(firstAbove, order.end());                                             // upward
    walk(std::make_reverse_iterator(firstAbove), std::make_reverse_iterator(order.begin()));  // downward
    return result;
}

double PseudoAdiabatTemperature(double startPressure, double startTemperature, double pressure) {
    const double p[] = {pressure};
    return PseudoAdiabat(startPressure, startTemperature, p)[0];
}

CondensationLevel LiftingCondensationLevel(double pressure, double temperature, double dewPoint) {
    if (std::isnan(pressure) || std::isnan(temperature) || std::isnan(dewPoint)) return {NaN, NaN};
    const double w = MixingRatio(SaturationVaporPressure(dewPoint), pressure);
    auto next = [&](double p) {
        return pressure * std::pow(TemperatureAtMixingRatio(w, p) / temperature, 1.0 / Kappa);
    };
    // Fixed point with Steffensen's acceleration, to full precision.
    double p = pressure;
    for (int i = 0; i < 100; ++i) {
        const double p1 = next(p);
        const double p2 = next(p1);
        const double d = p2 - 2 * p1 + p;
        const double accelerated = d != 0 ? p - (p1 - p) * (p1 - p) / d : p2;
        if (!std::isfinite(accelerated)) break;
        const bool done = std::fabs(accelerated - p) <= 1e-13 * std::fabs(p);
        p = accelerated;
        if (done) break;
    }
    if (IsClose(p, pressure)) p = pressure;
    return {p, TemperatureAtMixingRatio(w, p)};
}

double VirtualTemperature(double temperature, double mixingRatio) {
    return temperature * (mixingRatio + Epsilon) / (Epsilon * (1 + mixingRatio));
}

double VirtualTemperatureFromDewPoint(double pressure, double temperature, double dewPoint) {
    if (std::isnan(dewPoint)) return temperature;
    return VirtualTemperature(temperature, SaturationMixingRatio(pressure, dewPoint));
}

double EquivalentPotentialTemperature(double pressure, double temperature, double dewPoint) {
    const double tl = 56 + 1 / (1 / (dewPoint - 56) + std::log(temperature / dewPoint) / 800);
    const double r = SaturationMixingRatio(pressure, dewPoint);
    const double e = SaturationVaporPressure(dewPoint);
    const double thetaL = temperature * std::pow(ReferencePressure / (pressure - e), Kappa) *
                          std::pow(temperature / tl, 0.28 * r);
    return thetaL * std::exp(r * (1 + 0.448 * r) * (3036 / tl - 1.78));
}

double SaturationEquivalentPotentialTemperature(double pressure, double temperature) {
    const double es = SaturationVaporPressure(temperature);
    const double rs = SaturationMixingRatio(pressure, temperature);
    return temperature * std::pow(ReferencePressure / (pressure - es), Kappa) *
           std::exp((3036 / temperature - 1.78) * rs * (1 + 0.448 * rs));
}

double WetBulbPotentialTemperature(double equivalentPotentialTemperature) {
    const double thetaE = equivalentPotentialTemperature;
    if (thetaE <= 173.15) return thetaE;
    const double x = thetaE / ZeroCelsius;
    const double a = 7.101574 + x * (-20.68208 + x * (16.11182 + x * (2.574631 - 5.205688 * x)));
    const double b = 1 + x * (-3.552497 + x * (3.781782 + x * (-0.6899655 - 0.5929340 * x)));
    return thetaE - std::exp(a / b);
}

double WetBulbTemperature(double pressure, double temperature, double dewPoint) {
    const CondensationLevel lcl = LiftingCondensationLevel(pressure, temperature, dewPoint);
    if (std::isnan(lcl.pressure)) return NaN;
    return PseudoAdiabatTemperature(lcl.pressure, lcl.temperature, pressure);
}

}  // namespace products::thermo

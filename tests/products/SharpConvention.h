#pragma once
// The other convention the oracle file holds values for: SHARPpy's short published formulas
// (temperatures in °C, pressures in hPa, mixing ratio in g/kg), written from the definitions in
// ../shared/oracles/README.md. The program computes its indices with MetPy's definitions
// (products/Thermodynamics.h); this unit exists only so that the oracle test can show that the
// SHARPpy numbers follow from their own formulas (a polynomial es, the Wobus moist adiabat, an
// empirical LCL) rather than leave those cases unchecked.
#include <cmath>
#include <span>
#include <vector>

namespace products::test::sharp {

constexpr double Rocp = 0.28571426;
constexpr double ZeroC = 273.15;

inline double Theta(double p, double t, double p2 = 1000.0) { return (t + ZeroC) * std::pow(p2 / p, Rocp) - ZeroC; }

inline double VapPres(double t) {
    constexpr double c[] = {0.99999683, -9.082695e-3, 7.8736169e-5, -6.111796e-7, 4.3884180e-9,
                            -2.988388e-11, 2.1874425e-13, -1.789232e-15, 1.1112018e-17, -3.0994571e-20};
    double pol = 0.0;
    for (int i = 9; i >= 0; --i) pol = pol * t + c[i];
    return 6.1078 / std::pow(pol, 8);
}

inline double MixRatio(double p, double t) {
    const double x = 0.02 * (t - 12.5 + 7500.0 / p);
    const double e = (1.0 + 4.5e-6 * p + 0.0014 * x * x) * VapPres(t);
    return 621.97 * e / (p - e);
}

inline double TempAtMixRat(double w, double p) {
    const double x = std::log10(w * p / (622.0 + w));
    const double s = std::pow(10.0, 0.0915 * x) - 1.2035;
    return std::pow(10.0, 0.0498646455 * x + 2.4082965) - 7.07475 + 38.9114 * s * s - ZeroC;
}

inline double LclTemp(double t, double td) {
    const double s = t - td;
    return t - s * (1.2185 + 0.001278 * t + s * (-0.00219 + 1.173e-5 * s - 5.2e-6 * t));
}

inline double ThaLvl(double theta, double t) { return 1000.0 / std::pow((theta + ZeroC) / (t + ZeroC), 1.0 / Rocp); }

struct Lifted {
    double pressure;
    double temperature;
};
inline Lifted DryLift(double p, double t, double td) {
    const double tl = LclTemp(t, td);
    return {ThaLvl(Theta(p, t), tl), tl};
}

inline double Wobf(double t) {
    const double x = t - 20.0;
    if (x <= 0.0) {
        const double pol =
            1.0 + x * (-8.8416605e-3 + x * (1.4714143e-4 + x * (-9.671989e-7 + x * (-3.2607217e-8 + x * (-3.8598073e-10)))));
        return 15.13 / std::pow(pol, 4);
    }
    const double pol =
        1.0 + x * (3.6182989e-3 + x * (-1.3603273e-5 + x * (4.9618922e-7 + x * (-6.1059365e-9 +
                   x * (3.9401551e-11 + x * (-1.2588129e-13 + x * 1.6688280e-16))))));
    return 29.93 / std::pow(pol, 4) + 0.96 * x - 14.8;
}

// The secant iteration with SHARPpy's loose 0.1 convergence, which is part of its definition.
inline double SatLift(double p, double thetam, double conv = 0.1) {
    if (std::fabs(p - 1000.0) - 0.001 <= 0.0) return thetam;
    const double pwrp = std::pow(p / 1000.0, Rocp);
    double t1 = (thetam + ZeroC) * pwrp - ZeroC;
    double e1 = Wobf(t1) - Wobf(thetam);
    double rate = 1.0;
    for (int i = 0; i < 100; ++i) {
        const double t2 = t1 - e1 * rate;
        double e2 = (t2 + ZeroC) / pwrp - ZeroC;
        e2 += Wobf(t2) - Wobf(e2) - thetam;
        const double eor = e2 * rate;
        if (std::fabs(eor) - conv <= 0.0) return t2 - eor;
        rate = (t2 - t1) / (e2 - e1);
        t1 = t2;
        e1 = e2;
    }
    return std::nan("");
}

inline double WetLift(double p, double t, double p2) {
    const double th = Theta(p, t);
    return SatLift(p2, th - Wobf(th) + Wobf(t));
}

inline double LiftedTo(double p, double t, double td, double level) {
    const Lifted l = DryLift(p, t, td);
    return WetLift(l.pressure, l.temperature, level);
}
inline double WetBulb(double p, double t, double td) { return LiftedTo(p, t, td, p); }
inline double ThetaW(double p, double t, double td) { return LiftedTo(p, t, td, 1000.0); }
inline double ThetaE(double p, double t, double td) { return Theta(100.0, LiftedTo(p, t, td, 100.0)); }

inline double VirTemp(double p, double t, double td) {
    const double w = 0.001 * MixRatio(p, td);
    return (t + ZeroC) * (1.0 + w / 0.62197) / (1.0 + w) - ZeroC;
}
inline double RelH(double t, double td) { return 100.0 * VapPres(td) / VapPres(t); }

// A sounding as SHARPpy reads it: the surface is the first level with a temperature;
// interpolation is linear in log10 p (over the levels where the field is present).
struct Profile {
    std::vector<double> pressure, height, temperature, dewPoint;
    std::size_t surface = 0;

    double Interp(const std::vector<double>& field, double p) const {
        std::vector<double> x, y;  // by rising log10 p
        for (std::size_t i = pressure.size(); i-- > 0;)
            if (!std::isnan(field[i])) {
                x.push_back(std::log10(pressure[i]));
                y.push_back(field[i]);
            }
        const double lp = std::log10(p);
        if (x.empty() || lp < x.front() || lp > x.back()) return std::nan("");
        for (std::size_t i = 0; i + 1 < x.size(); ++i)
            if (lp <= x[i + 1]) return y[i] + (lp - x[i]) * (y[i + 1] - y[i]) / (x[i + 1] - x[i]);
        return y.back();
    }
    double Temp(double p) const { return Interp(temperature, p); }
    double Dwpt(double p) const { return Interp(dewPoint, p); }
    double Hght(double p) const { return Interp(height, p); }
    double VTemp(double p) const {
        std::vector<double> v(pressure.size());
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] = std::isnan(dewPoint[i]) ? temperature[i] : VirTemp(pressure[i], temperature[i], dewPoint[i]);
        return Interp(v, p);
    }
    // Pressure at a height above sea level: 10^(log10 p interpolated linearly in height).
    double PresAt(double z) const {
        for (std::size_t i = 0; i + 1 < pressure.size(); ++i)
            if (!std::isnan(height[i]) && !std::isnan(height[i + 1]) && height[i] <= z && z <= height[i + 1]) {
                const double f = (z - height[i]) / (height[i + 1] - height[i]);
                return std::pow(10.0, std::log10(pressure[i]) + f * (std::log10(pressure[i + 1]) - std::log10(pressure[i])));
            }
        return std::nan("");
    }
};

// Lapse rate of the virtual temperature, °C/km, between two pressures or two heights above ground.
inline double LapseRate(const Profile& prof, double lower, double upper, bool pres) {
    double p1 = lower, p2 = upper, z1, z2;
    if (pres) {
        z1 = prof.Hght(p1);
        z2 = prof.Hght(p2);
    } else {
        z1 = lower + prof.height[prof.surface];
        z2 = upper + prof.height[prof.surface];
        p1 = prof.PresAt(z1);
        p2 = prof.PresAt(z2);
    }
    return -1000.0 * (prof.VTemp(p2) - prof.VTemp(p1)) / (z2 - z1);
}

// Precipitable water in inches, surface to 400 hPa (or the top) in 1-hPa steps.
inline double PrecipWater(const Profile& prof, double ptop = 400.0) {
    const double pbot = prof.pressure[prof.surface];
    ptop = std::max(ptop, prof.pressure.back());
    double sum = 0.0, pPrev = pbot, wPrev = MixRatio(pbot, prof.Dwpt(pbot));
    for (double p = pbot - 1.0; p >= ptop - 1e-9; p -= 1.0) {
        const double w = MixRatio(p, prof.Dwpt(p));
        sum += 0.5 * (wPrev + w) * (pPrev - p) * 0.00040173;
        pPrev = p;
        wPrev = w;
    }
    return sum;
}

inline double KIndex(const Profile& prof) {
    return prof.Temp(850) - prof.Temp(500) + prof.Dwpt(850) - (prof.Temp(700) - prof.Dwpt(700));
}

// The afternoon maximum: the temperature 100 hPa above the surface plus 2 K, brought down dry.
inline double MaxTemp(const Profile& prof, double mixLayer = 100.0) {
    const double top = prof.pressure[prof.surface] - mixLayer;
    return (prof.Temp(top) + ZeroC + 2.0) * std::pow(prof.pressure[prof.surface] / top, Rocp) - ZeroC;
}

// Theta-e index: the spread of theta-e over the lowest 400 hPa.
inline double ThetaEIndex(const Profile& prof) {
    const double top = prof.pressure[prof.surface] - 400.0;
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t i = 0; i < prof.pressure.size(); ++i) {
        if (prof.pressure[i] < top || std::isnan(prof.temperature[i]) || std::isnan(prof.dewPoint[i])) continue;
        const double te = ThetaE(prof.pressure[i], prof.temperature[i], prof.dewPoint[i]);
        lo = std::min(lo, te);
        hi = std::max(hi, te);
    }
    return hi - lo;
}

// Composite parameters that are plain formulas of their inputs.
inline double StpFixed(double sbcape, double sblcl, double srh01, double bwd6) {
    const double lclTerm = sblcl < 1000.0 ? 1.0 : sblcl > 2000.0 ? 0.0 : (2000.0 - sblcl) / 1000.0;
    bwd6 = bwd6 > 30.0 ? 30.0 : bwd6 < 12.5 ? 0.0 : bwd6;
    return sbcape / 1500.0 * lclTerm * (srh01 / 150.0) * (bwd6 / 20.0);
}

inline double StpCin(double mlcape, double esrh, double ebwd, double mllcl, double mlcinh) {
    const double lclTerm = mllcl < 1000.0 ? 1.0 : mllcl > 2000.0 ? 0.0 : (2000.0 - mllcl) / 1000.0;
    const double shearTerm = ebwd < 12.5 ? 0.0 : ebwd > 30.0 ? 1.5 : ebwd / 20.0;
    const double cinTerm = mlcinh > -50.0 ? 1.0 : mlcinh < -200.0 ? 0.0 : (mlcinh + 200.0) / 150.0;
    return std::max(0.0, mlcape / 1500.0 * (esrh / 150.0) * shearTerm * lclTerm * cinTerm);
}

inline double Scp(double mucape, double srh, double ebwd) {
    ebwd = ebwd > 20.0 ? 20.0 : ebwd < 10.0 ? 0.0 : ebwd;
    return mucape / 1000.0 * (srh / 50.0) * (ebwd / 20.0);
}

}  // namespace products::test::sharp

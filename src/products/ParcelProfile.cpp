#include "products/ParcelProfile.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "products/Thermodynamics.h"

namespace products::parcel {

namespace {

using namespace products::thermo;

// numpy's isclose with its default tolerances, and MetPy's comparisons built on it.
bool IsClose(double a, double b) { return std::fabs(a - b) <= 1e-8 + 1e-5 * std::fabs(b); }
bool LessOrClose(double a, double b) { return a < b || IsClose(a, b); }
bool GreaterOrClose(double a, double b) { return a > b || IsClose(a, b); }

int Sign(double v) { return (v > 0) - (v < 0); }

// Mixing ratio for the virtual temperature: a level without vapour data counts as dry.
double VapourOrDry(double pressure, double temperature) {
    const double w = SaturationMixingRatio(pressure, temperature);
    return std::isnan(w) ? 0.0 : w;
}

// Trapezoid of y over ln x, x ascending.
double TrapezoidLog(const std::vector<double>& x, const std::vector<double>& y, std::size_t first, std::size_t last) {
    double sum = 0.0;
    for (std::size_t i = first; i + 1 <= last && i + 1 < x.size(); ++i)
        sum += 0.5 * (y[i] + y[i + 1]) * (std::log(x[i + 1]) - std::log(x[i]));
    return sum;
}

// The parcel's temperatures split at its LCL: the dry part at the levels at or below the LCL,
// the pseudo-adiabat from the LCL at the levels above it.
struct Pieces {
    PressureTemperature lcl;
    std::size_t lowerCount = 0;  // levels at or below the LCL (the column is sorted)
    std::vector<double> temperature;  // one per level
};

Pieces SplitAtLcl(std::span<const double> pressure, double temperature, double dewPoint) {
    Pieces pieces;
    pieces.temperature.assign(pressure.size(), NoValue);
    if (pressure.empty()) return pieces;
    const CondensationLevel lcl = LiftingCondensationLevel(pressure[0], temperature, dewPoint);
    pieces.lcl = {lcl.pressure, lcl.temperature};
    if (std::isnan(lcl.pressure)) return pieces;
    std::vector<double> upper;
    for (std::size_t i = 0; i < pressure.size(); ++i) {
        if (pressure[i] >= lcl.pressure) {
            pieces.temperature[i] = temperature * std::pow(pressure[i] / pressure[0], Kappa);
            ++pieces.lowerCount;
        } else {
            upper.push_back(pressure[i]);
        }
    }
    const double minPressure = *std::min_element(pressure.begin(), pressure.end());
    if (GreaterOrClose(minPressure, lcl.pressure)) {
        // Nothing above the LCL: the levels just under it (closer than isclose) stay dry too.
        for (std::size_t i = 0; i < pressure.size(); ++i)
            if (pressure[i] < lcl.pressure) pieces.temperature[i] = temperature * std::pow(pressure[i] / pressure[0], Kappa);
        return pieces;
    }
    const double startTemperature = temperature * std::pow(lcl.pressure / pressure[0], Kappa);
    const std::vector<double> moist = PseudoAdiabat(lcl.pressure, startTemperature, upper);
    std::size_t k = 0;
    for (std::size_t i = 0; i < pressure.size(); ++i)
        if (!(pressure[i] >= lcl.pressure)) pieces.temperature[i] = moist[k++];
    return pieces;
}

Column Slice(const Column& column, std::size_t from) {
    Column c;
    c.pressure.assign(column.pressure.begin() + from, column.pressure.end());
    c.temperature.assign(column.temperature.begin() + from, column.temperature.end());
    c.dewPoint.assign(column.dewPoint.begin() + from, column.dewPoint.end());
    return c;
}

// The LFC's search result before a choice: the candidates above the LCL, or one fixed answer.
struct LfcSearch {
    std::vector<PressureTemperature> candidates;
    bool fixed = false;  // candidates holds the one answer (the LCL or none)
};

LfcSearch SearchLfc(const Column& c, std::span<const double> parcel, double dewPointStart) {
    LfcSearch s;
    if (c.size() == 0) {
        s.fixed = true;
        s.candidates.push_back({});
        return s;
    }
    const std::size_t from = IsClose(parcel[0], c.temperature[0]) ? 1 : 0;
    const Crossings up = FindCrossings(c.pressure, parcel, c.temperature, Direction::Increasing, from);
    const CondensationLevel lcl = LiftingCondensationLevel(c.pressure[0], parcel[0], dewPointStart);
    const PressureTemperature atLcl{lcl.pressure, lcl.temperature};
    s.fixed = true;
    if (up.pressure.empty()) {
        bool warmerAbove = false;
        for (std::size_t i = 0; i < c.size(); ++i)
            if (c.pressure[i] < lcl.pressure && !LessOrClose(parcel[i], c.temperature[i])) warmerAbove = true;
        s.candidates.push_back(warmerAbove ? atLcl : PressureTemperature{});
        return s;
    }
    for (std::size_t i = 0; i < up.pressure.size(); ++i)
        if (up.pressure[i] < lcl.pressure) s.candidates.push_back({up.pressure[i], up.value[i]});
    if (!s.candidates.empty()) {
        s.fixed = false;
        return s;
    }
    const Crossings down = FindCrossings(c.pressure, parcel, c.temperature, Direction::Decreasing, 1);
    const bool elBelowLcl = !down.pressure.empty() &&
                            *std::min_element(down.pressure.begin(), down.pressure.end()) > lcl.pressure;
    s.candidates.push_back(elBelowLcl ? PressureTemperature{} : atLcl);
    return s;
}

std::vector<PressureTemperature> ElSearch(const Column& c, std::span<const double> parcel) {
    std::vector<PressureTemperature> candidates;
    if (c.size() == 0 || parcel.back() > c.temperature.back()) return candidates;
    const Crossings down = FindCrossings(c.pressure, parcel, c.temperature, Direction::Decreasing, 1);
    const double lclPressure = LiftingCondensationLevel(c.pressure[0], c.temperature[0], c.dewPoint[0]).pressure;
    if (down.pressure.empty() || !(down.pressure.back() < lclPressure)) return candidates;
    for (std::size_t i = 0; i < down.pressure.size(); ++i)
        if (down.pressure[i] < lclPressure) candidates.push_back({down.pressure[i], down.value[i]});
    return candidates;
}

// The choice among several LFCs or ELs. Wide: the pair (i-th LFC crossing, i-th EL crossing of
// the whole column) farthest apart in pressure. Most CAPE: top or bottom as the combination of
// LFC and EL choices with the largest CAPE says.
PressureTemperature Choose(const std::vector<PressureTemperature>& candidates, Choice choice, bool isLfc,
                           const Column& c, std::span<const double> parcel) {
    if (candidates.empty()) return {};
    switch (choice) {
    case Choice::Bottom: return candidates.front();
    case Choice::Top: return candidates.back();
    case Choice::Wide: {
        const Crossings up = FindCrossings(c.pressure, parcel, c.temperature, Direction::Increasing, 0);
        const Crossings down = FindCrossings(c.pressure, parcel, c.temperature, Direction::Decreasing, 1);
        const std::size_t pairs = std::min(up.pressure.size(), down.pressure.size());
        std::size_t best = 0;
        for (std::size_t i = 1; i < pairs; ++i)
            if (up.pressure[i] - down.pressure[i] > up.pressure[best] - down.pressure[best]) best = i;
        return candidates[std::min(best, candidates.size() - 1)];
    }
    case Choice::MostCape: {
        struct Combination { Choice lfc, el; };
        constexpr Combination Combinations[] = {
            {Choice::Top, Choice::Top}, {Choice::Top, Choice::Bottom},
            {Choice::Bottom, Choice::Top}, {Choice::Bottom, Choice::Bottom}};
        std::size_t best = 0;
        double bestCape = -1.0;
        for (std::size_t i = 0; i < std::size(Combinations); ++i) {
            const double cape = ComputeCapeCin(c, parcel, true, Combinations[i].lfc, Combinations[i].el).cape;
            if (cape > bestCape) {
                bestCape = cape;
                best = i;
            }
        }
        const Choice side = isLfc ? Combinations[best].lfc : Combinations[best].el;
        return side == Choice::Top ? candidates.back() : candidates.front();
    }
    }
    return {};
}

}  // namespace

Column DropMissing(const Column& column, std::vector<double>* parcel) {
    Column c;
    std::vector<double> kept;
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (std::isnan(column.pressure[i]) || std::isnan(column.temperature[i]) || std::isnan(column.dewPoint[i]))
            continue;
        if (parcel && std::isnan((*parcel)[i])) continue;
        c.pressure.push_back(column.pressure[i]);
        c.temperature.push_back(column.temperature[i]);
        c.dewPoint.push_back(column.dewPoint[i]);
        if (parcel) kept.push_back((*parcel)[i]);
    }
    if (parcel) *parcel = std::move(kept);
    return c;
}

std::vector<double> ParcelTemperatures(std::span<const double> pressure, double temperature, double dewPoint) {
    return SplitAtLcl(pressure, temperature, dewPoint).temperature;
}

ParcelColumn ParcelProfileWithLcl(const Column& column) {
    ParcelColumn out;
    if (column.size() == 0) return out;
    Pieces pieces = SplitAtLcl(column.pressure, column.temperature[0], column.dewPoint[0]);
    out.lcl = pieces.lcl;
    if (std::isnan(pieces.lcl.pressure)) {
        out.column = column;
        out.parcel = std::move(pieces.temperature);
        return out;
    }
    const std::size_t at = pieces.lowerCount;
    const double lclPressure = pieces.lcl.pressure;
    auto insert = [&](std::vector<double> v, double value) {
        v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), value);
        return v;
    };
    out.column.pressure = insert(column.pressure, lclPressure);
    out.column.temperature = insert(column.temperature, InterpolateInPressure(column.pressure, column.temperature, lclPressure));
    out.column.dewPoint = insert(column.dewPoint, InterpolateInPressure(column.pressure, column.dewPoint, lclPressure));
    out.parcel = insert(std::move(pieces.temperature), pieces.lcl.temperature);
    return out;
}

Crossings FindCrossings(std::span<const double> pressure, std::span<const double> a, std::span<const double> b,
                        Direction direction, std::size_t from) {
    struct Found { double x, y; int sign; };
    std::vector<Found> found;
    for (std::size_t k = from; k + 1 < pressure.size(); ++k) {
        const double dy0 = a[k] - b[k];
        const double dy1 = a[k + 1] - b[k + 1];
        if (std::isnan(dy0) || std::isnan(dy1) || Sign(dy0) == Sign(dy1)) continue;
        const double x0 = std::log(pressure[k]);
        const double x1 = std::log(pressure[k + 1]);
        const double x = (dy1 * x0 - dy0 * x1) / (dy1 - dy0);
        const double y = x1 != x0 ? (x - x0) / (x1 - x0) * (a[k + 1] - a[k]) + a[k] : a[k];
        found.push_back({std::exp(x), y, Sign(dy1)});
    }
    Crossings out;
    for (std::size_t i = 0; i < found.size(); ++i) {
        // A sign change through an exact zero is found twice: keep the last of equal pressures.
        if (i + 1 < found.size() && found[i + 1].x == found[i].x) continue;
        const bool wanted = direction == Direction::All || (direction == Direction::Increasing && found[i].sign > 0) ||
                            (direction == Direction::Decreasing && found[i].sign < 0);
        if (!wanted) continue;
        out.pressure.push_back(found[i].x);
        out.value.push_back(found[i].y);
    }
    return out;
}

std::vector<PressureTemperature> LfcCandidates(const Column& column, std::span<const double> parcel,
                                               double dewPointStart) {
    LfcSearch s = SearchLfc(column, parcel, dewPointStart);
    if (s.fixed && std::isnan(s.candidates.front().pressure)) return {};
    return s.candidates;
}

PressureTemperature Lfc(const Column& column, std::span<const double> parcel, double dewPointStart, Choice choice) {
    const LfcSearch s = SearchLfc(column, parcel, dewPointStart);
    if (s.fixed) return s.candidates.front();
    return Choose(s.candidates, choice, true, column, parcel);
}

std::vector<PressureTemperature> ElCandidates(const Column& column, std::span<const double> parcel) {
    return ElSearch(column, parcel);
}

PressureTemperature El(const Column& column, std::span<const double> parcel, Choice choice) {
    return Choose(ElSearch(column, parcel), choice, false, column, parcel);
}

CapeCin ComputeCapeCin(const Column& column, std::span<const double> parcel, bool virtualCorrection, Choice lfcChoice,
                       Choice elChoice) {
    CapeCin result;
    const std::size_t n = column.size();
    if (n < 2) return result;
    Column env = column;
    std::vector<double> lifted(parcel.begin(), parcel.end());
    if (virtualCorrection) {
        const double lclPressure =
            LiftingCondensationLevel(column.pressure[0], column.temperature[0], column.dewPoint[0]).pressure;
        for (std::size_t i = 0; i < n; ++i) {
            const double p = column.pressure[i];
            const double w = p > lclPressure ? VapourOrDry(p, column.dewPoint[i]) : VapourOrDry(p, column.temperature[i]);
            env.temperature[i] = VirtualTemperature(column.temperature[i], VapourOrDry(p, column.dewPoint[i]));
            lifted[i] = VirtualTemperature(parcel[i], w);
        }
    }
    result.lfc = Lfc(env, lifted, column.dewPoint[0], lfcChoice);
    if (std::isnan(result.lfc.pressure)) return result;
    result.el = El(env, lifted, elChoice);
    const double elPressure = std::isnan(result.el.pressure) ? column.pressure.back() : result.el.pressure;

    // Buoyancy at every level and at every zero crossing, sorted by rising pressure.
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i) y[i] = lifted[i] - env.temperature[i];
    const std::vector<double> zero(n, 0.0);
    const Crossings crossings = FindCrossings(column.pressure, y, zero, Direction::All, 1);
    std::vector<std::pair<double, double>> points;
    points.reserve(n + crossings.pressure.size());
    for (std::size_t i = 0; i < n; ++i) points.emplace_back(column.pressure[i], y[i]);
    for (std::size_t i = 0; i < crossings.pressure.size(); ++i)
        points.emplace_back(crossings.pressure[i], crossings.value[i]);
    std::stable_sort(points.begin(), points.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<double> xs, ys;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i + 1 < points.size() && !(points[i + 1].first - points[i].first > 1e-6)) continue;
        xs.push_back(points[i].first);
        ys.push_back(points[i].second);
    }
    // CAPE between the EL and the LFC, CIN from the LFC down.
    auto integrate = [&](auto inside) {
        std::vector<double> px, py;
        for (std::size_t i = 0; i < xs.size(); ++i)
            if (inside(xs[i])) {
                px.push_back(xs[i]);
                py.push_back(ys[i]);
            }
        return px.size() < 2 ? 0.0 : Rd * TrapezoidLog(px, py, 0, px.size() - 1);
    };
    const double lfcPressure = result.lfc.pressure;
    result.cape = integrate([&](double p) { return LessOrClose(p, lfcPressure) && GreaterOrClose(p, elPressure); });
    result.cin = std::min(0.0, integrate([&](double p) { return GreaterOrClose(p, lfcPressure); }));
    return result;
}

double InterpolateInPressure(std::span<const double> pressure, std::span<const double> values, double at) {
    for (std::size_t i = 0; i < pressure.size(); ++i)
        if (pressure[i] == at) return values[i];
    for (std::size_t i = 0; i + 1 < pressure.size(); ++i) {
        const double p0 = pressure[i], p1 = pressure[i + 1];
        if (p0 != p1 && std::min(p0, p1) <= at && at <= std::max(p0, p1))
            return values[i] + (at - p0) * (values[i + 1] - values[i]) / (p1 - p0);
    }
    return NoValue;
}

double InterpolateInLogPressure(std::span<const double> pressure, std::span<const double> values, double at) {
    for (std::size_t i = 0; i < pressure.size(); ++i)
        if (pressure[i] == at) return values[i];
    for (std::size_t i = 0; i + 1 < pressure.size(); ++i) {
        const double p0 = pressure[i], p1 = pressure[i + 1];
        if (p0 != p1 && std::min(p0, p1) <= at && at <= std::max(p0, p1))
            return values[i] + std::log(at / p0) * (values[i + 1] - values[i]) / std::log(p1 / p0);
    }
    return NoValue;
}

namespace {

// The layer from bottom up to top (both observed or interpolated in ln p), pressure falling,
// of the levels where values is present. Empty when the data do not reach the top.
struct Layer {
    std::vector<double> pressure;
    std::vector<double> values;
};

Layer GetLayer(std::span<const double> pressure, std::span<const double> values, double bottom, double top) {
    Layer layer;
    std::vector<double> p, v;
    p.reserve(pressure.size());
    v.reserve(pressure.size());
    for (std::size_t i = 0; i < pressure.size(); ++i)
        if (!std::isnan(pressure[i]) && !std::isnan(values[i])) {
            p.push_back(pressure[i]);
            v.push_back(values[i]);
        }
    if (p.empty()) return layer;
    const double minP = *std::min_element(p.begin(), p.end());
    const double maxP = *std::max_element(p.begin(), p.end());
    if (!(GreaterOrClose(top, minP) && LessOrClose(bottom, maxP) && bottom >= top)) return layer;
    // The observed levels inside with their own values, the bounds interpolated where not observed.
    std::vector<std::pair<double, double>> at;
    bool hasTop = false, hasBottom = false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (LessOrClose(p[i], bottom) && GreaterOrClose(p[i], top)) {
            at.emplace_back(p[i], v[i]);
            hasTop = hasTop || IsClose(top, p[i]);
            hasBottom = hasBottom || IsClose(bottom, p[i]);
        }
    if (!hasTop) at.emplace_back(top, InterpolateInLogPressure(p, v, top));
    if (!hasBottom) at.emplace_back(bottom, InterpolateInLogPressure(p, v, bottom));
    std::stable_sort(at.begin(), at.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [x, y] : at) {
        layer.pressure.push_back(x);
        layer.values.push_back(y);
    }
    return layer;
}

}  // namespace

double MixedLayerMean(std::span<const double> pressure, std::span<const double> values, double depth) {
    if (pressure.empty()) return NoValue;
    const double bottom = *std::max_element(pressure.begin(), pressure.end());
    const Layer layer = GetLayer(pressure, values, bottom, bottom - depth);
    if (layer.pressure.size() < 2) return NoValue;
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < layer.pressure.size(); ++i)
        sum += 0.5 * (layer.values[i] + layer.values[i + 1]) * (layer.pressure[i] - layer.pressure[i + 1]);
    return sum / std::fabs(layer.pressure.front() - layer.pressure.back());
}

StartPoint MixedParcel(const Column& column, double depth, double startPressure) {
    StartPoint start;
    if (column.size() == 0) return start;
    std::vector<double> theta(column.size()), mixing(column.size());
    for (std::size_t i = 0; i < column.size(); ++i) {
        theta[i] = PotentialTemperature(column.pressure[i], column.temperature[i]);
        mixing[i] = SaturationMixingRatio(column.pressure[i], column.dewPoint[i]);
    }
    const double meanTheta = MixedLayerMean(column.pressure, theta, depth);
    const double meanMixing = MixedLayerMean(column.pressure, mixing, depth);
    start.pressure = std::isnan(startPressure) ? column.pressure[0] : startPressure;
    start.temperature = DryAdiabatTemperature(meanTheta, start.pressure);
    start.dewPoint = TemperatureAtMixingRatio(meanMixing, start.pressure);
    return start;
}

StartPoint MostUnstableParcel(const Column& column, double depth) {
    StartPoint start;
    if (column.size() == 0) return start;
    const double bottom = column.pressure[0];
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < column.size(); ++i)
        if (std::fabs(column.pressure[i] - (bottom - depth)) < std::fabs(column.pressure[nearest] - (bottom - depth)))
            nearest = i;
    const double top = column.pressure[nearest];
    double best = -1.0;
    for (std::size_t i = 0; i < column.size(); ++i) {
        const double p = column.pressure[i];
        if (!(LessOrClose(p, bottom) && GreaterOrClose(p, top))) continue;
        const double thetaE = EquivalentPotentialTemperature(p, column.temperature[i], column.dewPoint[i]);
        if (thetaE > best) {
            best = thetaE;
            start = {p, column.temperature[i], column.dewPoint[i], i};
        }
    }
    return start;
}

ParcelColumn SurfaceParcelColumn(const Column& column) { return ParcelProfileWithLcl(column); }

ParcelColumn MostUnstableParcelColumn(const Column& column, double depth) {
    const StartPoint start = MostUnstableParcel(column, depth);
    if (std::isnan(start.pressure)) return {};
    return ParcelProfileWithLcl(Slice(column, start.index));
}

ParcelColumn MixedLayerParcelColumn(const Column& column, double depth, double startPressure) {
    const StartPoint start = MixedParcel(column, depth, startPressure);
    if (std::isnan(start.temperature) || std::isnan(start.dewPoint)) return {};
    Column c;
    c.pressure.push_back(start.pressure);
    c.temperature.push_back(start.temperature);
    c.dewPoint.push_back(start.dewPoint);
    for (std::size_t i = 0; i < column.size(); ++i)
        if (column.pressure[i] < start.pressure - depth) {
            c.pressure.push_back(column.pressure[i]);
            c.temperature.push_back(column.temperature[i]);
            c.dewPoint.push_back(column.dewPoint[i]);
        }
    return ParcelProfileWithLcl(c);
}

double PrecipitableWater(std::span<const double> pressure, std::span<const double> dewPoint, double bottom, double top) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < pressure.size(); ++i)
        if (!std::isnan(pressure[i]) && !std::isnan(dewPoint[i])) order.push_back(i);
    if (order.empty()) return NoValue;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return pressure[a] > pressure[b]; });
    std::vector<double> p, td;
    for (std::size_t i : order) {
        p.push_back(pressure[i]);
        td.push_back(dewPoint[i]);
    }
    if (std::isnan(top)) top = p.back();
    if (std::isnan(bottom)) bottom = p.front();
    const Layer layer = GetLayer(p, td, bottom, top);
    if (layer.pressure.size() < 2) return NoValue;
    double sum = 0.0;  // integral of w dp, hPa
    for (std::size_t i = 0; i + 1 < layer.pressure.size(); ++i) {
        const double w0 = MixingRatio(SaturationVaporPressure(layer.values[i]), layer.pressure[i]);
        const double w1 = MixingRatio(SaturationVaporPressure(layer.values[i + 1]), layer.pressure[i + 1]);
        sum += 0.5 * (w0 + w1) * (layer.pressure[i] - layer.pressure[i + 1]);
    }
    return sum * 100.0 / (Gravity * WaterDensity) * 1000.0;
}

}  // namespace products::parcel

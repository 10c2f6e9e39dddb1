#include "products/SoundingIndices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "decoder/UAReport.h"
#include "products/ParcelProfile.h"
#include "products/Thermodynamics.h"

namespace products {

namespace {

using namespace products::thermo;
using parcel::Column;
using parcel::ParcelColumn;

// What a level may hold and still be taken for an observation.
constexpr double MinPressure = 0.1, MaxPressure = 1100.0;        // hPa
constexpr double MinTemperature = 150.0, MaxTemperature = 350.0;  // K
constexpr double DewPointSlack = 1.0;  // K: a dew point this far above the temperature is rounding

constexpr double MixedLayerDepth = 100.0;     // hPa
constexpr double MostUnstableDepth = 300.0;   // hPa
constexpr double TropopauseLapse = 2.0;       // K/km
constexpr double TropopauseDepth = 2000.0;    // m
constexpr double SecondLayerLapse = 3.0;      // K/km
constexpr double SecondLayerDepth = 1000.0;   // m
constexpr double TropopauseFloor = 500.0;     // hPa: no tropopause below (surface inversions)
constexpr double HighResolutionSpacing = 50.0;  // m, median spacing below which the data are thinned
constexpr double ThinnedSpacing = 100.0;        // m, the spacing the tropopause search then uses

bool Valid(double v, double lo, double hi) { return !std::isnan(v) && v >= lo && v <= hi; }
double OrNaN(double v) { return IsMissing(v) ? NoValue : v; }

std::string Count(const char* text, std::size_t n) {
    char line[256];
    std::snprintf(line, sizeof line, text, n);
    return line;
}

// Indices of the longest run of strictly falling pressure (not necessarily adjacent levels), in
// order; of runs equally long, the one keeping the earlier levels. Patience sorting from the last
// level back: n log n, so 8000 levels cost nothing.
std::vector<std::size_t> LongestFalling(const std::vector<SoundingLevel>& levels) {
    std::vector<std::size_t> tails;                  // the run of each length with the lowest first pressure
    std::vector<std::size_t> after(levels.size());   // the next level of each in its run
    for (std::size_t i = levels.size(); i-- > 0;) {
        const auto at = std::partition_point(tails.begin(), tails.end(), [&](std::size_t t) {
            return levels[t].pressure < levels[i].pressure;
        });
        after[i] = at == tails.begin() ? i : *(at - 1);
        if (at == tails.end()) tails.push_back(i);
        else *at = i;
    }
    std::vector<std::size_t> run;
    if (tails.empty()) return run;
    for (std::size_t i = tails.back();; i = after[i]) {
        run.push_back(i);
        if (after[i] == i) break;
    }
    return run;
}

// Heights that are missing, from the nearest level with one by the hypsometric equation
// (virtual temperature); from 0 at the first level when no level has one.
std::size_t FillHeights(std::vector<SoundingLevel>& levels) {
    std::size_t filled = 0;
    // The plain temperature where the virtual one has no value (a dew point whose vapour pressure
    // reaches the level's pressure), so that one odd level does not leave every height above it empty.
    auto tv = [](const SoundingLevel& l) {
        const double virtualTemperature = VirtualTemperatureFromDewPoint(l.pressure, l.temperature, l.dewPoint);
        return std::isnan(virtualTemperature) ? l.temperature : virtualTemperature;
    };
    auto step = [&](const SoundingLevel& from, const SoundingLevel& to) {
        return from.height + Rd / Gravity * 0.5 * (tv(from) + tv(to)) * std::log(from.pressure / to.pressure);
    };
    const auto known = std::find_if(levels.begin(), levels.end(), [](const SoundingLevel& l) { return !std::isnan(l.height); });
    if (levels.empty()) return 0;
    std::size_t first = known == levels.end() ? 0 : static_cast<std::size_t>(known - levels.begin());
    if (known == levels.end()) {
        levels[0].height = 0.0;
        ++filled;
    }
    for (std::size_t i = first; i-- > 0;) {
        levels[i].height = step(levels[i + 1], levels[i]);
        ++filled;
    }
    for (std::size_t i = first + 1; i < levels.size(); ++i)
        if (std::isnan(levels[i].height)) {
            levels[i].height = step(levels[i - 1], levels[i]);
            ++filled;
        }
    return filled;
}

Column ColumnOf(const std::vector<SoundingLevel>& levels) {
    Column c;
    for (const SoundingLevel& l : levels) {
        c.pressure.push_back(l.pressure);
        c.temperature.push_back(l.temperature);
        c.dewPoint.push_back(l.dewPoint);
    }
    return c;
}

// The parcel column without the levels where the environment has no temperature (an LCL above
// the top of the sounding).
void DropNoTemperature(ParcelColumn& pc) {
    ParcelColumn kept;
    kept.lcl = pc.lcl;
    for (std::size_t i = 0; i < pc.column.size(); ++i) {
        if (std::isnan(pc.column.temperature[i]) || std::isnan(pc.parcel[i])) continue;
        kept.column.pressure.push_back(pc.column.pressure[i]);
        kept.column.temperature.push_back(pc.column.temperature[i]);
        kept.column.dewPoint.push_back(pc.column.dewPoint[i]);
        kept.parcel.push_back(pc.parcel[i]);
    }
    pc = std::move(kept);
}

// The path with its crossings inserted, and the areas from the start up to the EL (the top
// without one); none without an LFC.
void BuildPath(const ParcelColumn& pc, ParcelResult& r) {
    const Column& c = pc.column;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (i > 0) {
            const double d0 = pc.parcel[i - 1] - c.temperature[i - 1];
            const double d1 = pc.parcel[i] - c.temperature[i];
            if ((d0 < 0 && d1 > 0) || (d0 > 0 && d1 < 0)) {
                const double f = d0 / (d0 - d1);
                const double x = std::log(c.pressure[i - 1]) + f * std::log(c.pressure[i] / c.pressure[i - 1]);
                const double t = pc.parcel[i - 1] + f * (pc.parcel[i] - pc.parcel[i - 1]);
                r.path.push_back({std::exp(x), t, t});
            }
        }
        r.path.push_back({c.pressure[i], pc.parcel[i], c.temperature[i]});
    }
    if (std::isnan(r.plain.lfc.pressure)) return;
    const double top = (std::isnan(r.plain.el.pressure) ? c.pressure.back() : r.plain.el.pressure) * (1 - 1e-9);
    auto side = [](const ParcelLevel& a, const ParcelLevel& b) {
        const double d = (a.temperature - a.environment) + (b.temperature - b.environment);
        return (d > 0) - (d < 0);
    };
    std::size_t first = 0;
    int sign = 0;
    std::size_t i = 1;
    for (; i < r.path.size() && r.path[i].pressure >= top; ++i) {
        const int s = side(r.path[i - 1], r.path[i]);
        if (s != 0 && sign != 0 && s != sign) {
            r.areas.push_back({first, i - 1, sign > 0});
            first = i - 1;
        }
        if (s != 0) sign = s;
    }
    if (sign != 0 && i - 1 > first) r.areas.push_back({first, i - 1, sign > 0});
}

ParcelResult Assemble(ParcelColumn pc) {
    ParcelResult r;
    DropNoTemperature(pc);
    if (pc.column.size() < 2) return r;
    r.valid = true;
    r.start = {pc.column.pressure[0], pc.parcel[0]};
    r.startDewPoint = pc.column.dewPoint[0];
    r.lcl = pc.lcl;
    const parcel::CapeCin plain = parcel::ComputeCapeCin(pc.column, pc.parcel, false);
    const parcel::CapeCin corrected = parcel::ComputeCapeCin(pc.column, pc.parcel, true);
    // Between the lowest LFC and the highest EL the integral takes in the negative areas between
    // them too; a net negative is no CAPE.
    r.plain = {plain.lfc, plain.el, std::max(0.0, plain.cape), plain.cin};
    r.virtualCorrected = {corrected.lfc, corrected.el, std::max(0.0, corrected.cape), corrected.cin};
    BuildPath(pc, r);
    return r;
}

// The tropopause criterion at level i of the working levels: the lapse rate to every level above
// within depth does not exceed the limit.
bool Flat(const std::vector<const SoundingLevel*>& w, std::size_t i) {
    if (i == 0 || i + 1 >= w.size()) return false;
    // The lapse rate falls to the limit here: it exceeds it below (data that begin in the
    // stratosphere have no tropopause at their first level).
    const double below = w[i]->height - w[i - 1]->height;
    if (below <= 0 || (w[i - 1]->temperature - w[i]->temperature) / below * 1000.0 <= TropopauseLapse) return false;
    // The lapse rate at the level itself (to the next one, however far) and to every level within 2 km.
    for (std::size_t j = i + 1; j < w.size() && (j == i + 1 || w[j]->height - w[i]->height <= TropopauseDepth); ++j) {
        const double dz = w[j]->height - w[i]->height;
        if (dz <= 0 || (w[i]->temperature - w[j]->temperature) / dz * 1000.0 > TropopauseLapse) return false;
    }
    return true;
}

// The second tropopause needs above the first a layer of at least 1 km in which the lapse rate
// from its base to every level within 1 km exceeds 3 K/km.
bool Steep(const std::vector<const SoundingLevel*>& w, std::size_t k) {
    bool reaches = false;
    for (std::size_t j = k + 1; j < w.size(); ++j) {
        const double dz = w[j]->height - w[k]->height;
        if (dz > SecondLayerDepth) break;
        if (dz <= 0 || (w[k]->temperature - w[j]->temperature) / dz * 1000.0 <= SecondLayerLapse) return false;
        reaches = dz >= SecondLayerDepth * 0.999;
    }
    if (!reaches) {  // the next level above 1 km closes the layer when none sits at 1 km exactly
        for (std::size_t j = k + 1; j < w.size(); ++j)
            if (w[j]->height - w[k]->height > SecondLayerDepth)
                return (w[k]->temperature - w[j]->temperature) / (w[j]->height - w[k]->height) * 1000.0 > SecondLayerLapse;
        return false;
    }
    return true;
}

TropopauseLevel At(const SoundingLevel& l) { return {true, l.pressure, l.height, l.temperature}; }

void FindTropopauses(const std::vector<SoundingLevel>& levels, SoundingIndices& out) {
    // High-resolution data are read at 100 m steps: sensor noise of hundredths of a kelvin over
    // a few metres would otherwise read as lapse rates of +-10 K/km.
    std::vector<double> spacing;
    for (std::size_t i = 1; i < levels.size(); ++i) spacing.push_back(levels[i].height - levels[i - 1].height);
    bool thin = false;
    if (!spacing.empty()) {
        std::nth_element(spacing.begin(), spacing.begin() + spacing.size() / 2, spacing.end());
        thin = spacing[spacing.size() / 2] < HighResolutionSpacing;
    }
    std::vector<const SoundingLevel*> w;
    for (const SoundingLevel& l : levels)
        if (!thin || w.empty() || l.height - w.back()->height >= ThinnedSpacing) w.push_back(&l);

    std::size_t first = w.size();
    for (std::size_t i = 0; i < w.size(); ++i)
        if (w[i]->pressure <= TropopauseFloor && Flat(w, i)) {
            first = i;
            break;
        }
    if (first == w.size()) return;
    out.tropopause1 = At(*w[first]);
    for (std::size_t k = first + 1; k < w.size(); ++k) {
        if (!Steep(w, k)) continue;
        for (std::size_t i = k + 1; i < w.size(); ++i)
            if (Flat(w, i)) {
                out.tropopause2 = At(*w[i]);
                return;
            }
        return;
    }
}

void FindFreezingLevels(const std::vector<SoundingLevel>& levels, SoundingIndices& out) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        const double d0 = levels[i - 1].temperature - ZeroCelsius;
        const double d1 = levels[i].temperature - ZeroCelsius;
        if (d1 == 0.0 && d0 != 0.0) {
            out.freezingLevels.push_back({levels[i].pressure, levels[i].height});
        } else if ((d0 < 0 && d1 > 0) || (d0 > 0 && d1 < 0)) {
            const double f = d0 / (d0 - d1);
            const double p = std::exp(std::log(levels[i - 1].pressure) + f * std::log(levels[i].pressure / levels[i - 1].pressure));
            out.freezingLevels.push_back({p, levels[i - 1].height + f * (levels[i].height - levels[i - 1].height)});
        }
    }
}

void FindMaxWind(const std::vector<SoundingLevel>& winds, SoundingIndices& out) {
    for (const SoundingLevel& l : winds)
        if (!out.maxWind.found || l.windSpeed > out.maxWind.speed)
            out.maxWind = {true, l.pressure, l.height, l.windSpeed, l.windDirection};
}

}  // namespace

SoundingProfile CleanProfile(const std::vector<SoundingLevel>& observed) {
    SoundingProfile profile;
    std::size_t noPressure = 0, noTemperature = 0, windOnly = 0, noDewPoint = 0, dewClamped = 0, dewCleared = 0;
    std::vector<SoundingLevel> valid;
    valid.reserve(observed.size());
    profile.windLevels.reserve(observed.size());
    for (SoundingLevel l : observed) {
        const bool hasWind = Valid(l.windSpeed, 0.0, 200.0) && Valid(l.windDirection, 0.0, 360.0);
        if (!Valid(l.pressure, MinPressure, MaxPressure)) {
            ++noPressure;
            continue;
        }
        if (hasWind) profile.windLevels.push_back(l);
        if (!Valid(l.temperature, MinTemperature, MaxTemperature)) {
            ++(hasWind ? windOnly : noTemperature);
            continue;
        }
        if (!Valid(l.dewPoint, MinTemperature - 50.0, MaxTemperature)) {
            l.dewPoint = NoValue;
            ++noDewPoint;
        } else if (l.dewPoint > l.temperature) {
            if (l.dewPoint - l.temperature <= DewPointSlack) {
                l.dewPoint = l.temperature;
                ++dewClamped;
            } else {
                l.dewPoint = NoValue;
                ++dewCleared;
            }
        }
        valid.push_back(l);
    }
    // A descent is read from the bottom up.
    bool reversed = false;
    if (valid.size() > 1 && valid.back().pressure > valid.front().pressure) {
        std::reverse(valid.begin(), valid.end());
        reversed = true;
    }
    // Levels repeating the pressure of the level before (the first is kept), then the longest run
    // of falling pressure.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < valid.size(); ++i)
        if (kept == 0 || valid[kept - 1].pressure != valid[i].pressure) valid[kept++] = valid[i];
    const std::size_t duplicates = valid.size() - kept;
    valid.resize(kept);
    const std::vector<std::size_t> run = LongestFalling(valid);
    profile.levels.reserve(run.size());
    for (std::size_t i : run) profile.levels.push_back(valid[i]);
    const std::size_t unordered = valid.size() - run.size();
    const std::size_t heights = FillHeights(profile.levels);

    std::stable_sort(profile.windLevels.begin(), profile.windLevels.end(),
                     [](const SoundingLevel& a, const SoundingLevel& b) { return a.pressure > b.pressure; });
    profile.windLevels.erase(std::unique(profile.windLevels.begin(), profile.windLevels.end(),
                                         [](const SoundingLevel& a, const SoundingLevel& b) { return a.pressure == b.pressure; }),
                             profile.windLevels.end());

    struct Omission { std::size_t count; const char* text; };
    const Omission omissions[] = {
        {noPressure, "пропущено уровней без давления: %zu"},
        {noTemperature, "пропущено уровней без температуры: %zu"},
        {windOnly, "уровней только с ветром (без температуры): %zu, в расчёте частиц не участвуют"},
        {duplicates, "пропущено уровней с повторяющимся давлением: %zu"},
        {unordered, "пропущено уровней, нарушающих убывание давления: %zu"},
        {noDewPoint, "уровней без точки росы: %zu"},
        {dewClamped, "точка росы выше температуры (не более 1 K), принята равной ей: %zu"},
        {dewCleared, "точка росы выше температуры более чем на 1 K, не учтена: %zu"},
        {heights, "высот рассчитано по барометрической формуле: %zu"},
    };
    if (reversed) profile.notes.push_back("уровни спуска взяты снизу вверх");
    for (const Omission& o : omissions)
        if (o.count > 0) profile.notes.push_back(Count(o.text, o.count));
    if (!profile.levels.empty() && std::none_of(observed.begin(), observed.end(), [](const SoundingLevel& l) {
            return !std::isnan(l.height);
        }))
        profile.notes.push_back("высоты отсчитаны от первого уровня: в данных нет ни одной высоты");
    return profile;
}

SoundingProfile BuildSoundingProfile(const tUAInBound& sounding) {
    std::vector<SoundingLevel> observed;
    observed.reserve(sounding.Levels.size());
    for (const tUALevelRec& r : sounding.Levels) {
        SoundingLevel l;
        l.pressure = IsMissing(r.Pressure) ? NoValue : r.Pressure / 100.0;
        l.height = OrNaN(r.Height);
        l.temperature = OrNaN(r.Temp);
        l.dewPoint = OrNaN(r.DewPoint);
        l.windDirection = OrNaN(r.WindDir);
        l.windSpeed = OrNaN(r.WindSpeed);
        observed.push_back(l);
    }
    return CleanProfile(observed);
}

ParcelResult LiftParcel(const SoundingProfile& profile, double pressure, double temperature, double dewPoint) {
    Column c;
    c.pressure.push_back(pressure);
    c.temperature.push_back(temperature);
    c.dewPoint.push_back(dewPoint);
    for (const SoundingLevel& l : profile.levels)
        if (l.pressure < pressure) {
            c.pressure.push_back(l.pressure);
            c.temperature.push_back(l.temperature);
            c.dewPoint.push_back(l.dewPoint);
        }
    if (std::isnan(pressure) || std::isnan(temperature) || std::isnan(dewPoint)) return {};
    return Assemble(parcel::ParcelProfileWithLcl(c));
}

SoundingIndices ComputeIndices(const SoundingProfile& profile) {
    SoundingIndices out;
    out.notes = profile.notes;
    const std::vector<SoundingLevel>& levels = profile.levels;
    FindMaxWind(profile.windLevels, out);
    if (levels.size() < 2) {
        out.notes.push_back("недостаточно уровней с давлением и температурой: индексы не рассчитаны");
        return out;
    }
    const Column column = ColumnOf(levels);
    if (std::isnan(column.dewPoint[0])) {
        out.notes.push_back("нет точки росы у первого уровня: частицы не рассчитаны");
    } else {
        out.surface = Assemble(parcel::SurfaceParcelColumn(column));
        out.mixedLayer = Assemble(parcel::MixedLayerParcelColumn(column, MixedLayerDepth));
        if (!out.mixedLayer.valid)
            out.notes.push_back("частица перемешанного слоя не рассчитана: данные не покрывают 100 гПа над первым уровнем");
    }
    out.mostUnstable = Assemble(parcel::MostUnstableParcelColumn(column, MostUnstableDepth));

    auto at = [&](const std::vector<double>& v, double p) { return parcel::InterpolateInPressure(column.pressure, v, p); };
    const double t850 = at(column.temperature, 850), td850 = at(column.dewPoint, 850);
    const double t700 = at(column.temperature, 700), td700 = at(column.dewPoint, 700);
    const double t500 = at(column.temperature, 500);
    if (out.surface.valid) {
        std::vector<double> p, t;
        for (const ParcelLevel& l : out.surface.path) {
            p.push_back(l.pressure);
            t.push_back(l.temperature);
        }
        out.liftedIndex = t500 - parcel::InterpolateInPressure(p, t, 500);
    }
    const double lifted[] = {850.0, 500.0};
    out.showalterIndex = t500 - parcel::ParcelTemperatures(lifted, t850, td850)[1];
    out.verticalTotals = t850 - t500;
    out.crossTotals = td850 - t500;
    out.totalTotals = out.verticalTotals + out.crossTotals;
    out.kIndex = (t850 - t500) + (td850 - ZeroCelsius) - (t700 - td700);  // a number in °C
    if (std::isnan(t500) || std::isnan(t850))
        out.notes.push_back("данные не покрывают 850–500 гПа: индексы по этим уровням не рассчитаны");

    out.precipitableWater = parcel::PrecipitableWater(column.pressure, column.dewPoint);
    for (const SoundingLevel& l : levels)
        if (!std::isnan(l.dewPoint)) out.precipitableWaterTop = l.pressure;
    FindFreezingLevels(levels, out);
    if (levels.front().pressure > TropopauseFloor)
        FindTropopauses(levels, out);
    else
        out.notes.push_back("данные начинаются выше 500 гПа: тропопауза не определяется");
    return out;
}

}  // namespace products

namespace products {

namespace {

std::string Format(const char* format, double a, double b = 0.0, double c = 0.0) {
    char line[256];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

double Celsius(double kelvin) { return kelvin - thermo::ZeroCelsius; }

// A value that rounds to zero at the shown precision is shown as 0, never as "-0".
double Shown(double value, int decimals) {
    const double half = 0.5 * std::pow(10.0, -decimals);
    return std::fabs(value) < half ? 0.0 : value;
}

// "name: value unit" or "name: нет" when the value is missing.
std::string ValueLine(const char* name, double value, const char* format) {
    if (std::isnan(value)) return std::string(name) + ": нет";
    return std::string(name) + ": " + Format(format, Shown(value, 1));
}

std::string LevelText(const PressureTemperature& level, const char* none) {
    if (std::isnan(level.pressure)) return none;
    return Format("%.0f гПа, %.1f °C", level.pressure, Celsius(level.temperature));
}

void ParcelLines(const char* title, const ParcelResult& r, std::vector<std::string>& lines) {
    if (!r.valid) {
        lines.push_back(std::string(title) + ": не рассчитана");
        return;
    }
    lines.push_back(std::string(title) + ": " +
                    Format("%.0f гПа, T %.1f °C, Td %.1f °C", r.start.pressure, Celsius(r.start.temperature),
                           Celsius(r.startDewPoint)));
    lines.push_back("  Уровень конденсации: " + LevelText(r.lcl, "нет"));
    lines.push_back("  Уровень свободной конвекции: " + LevelText(r.plain.lfc, "нет"));
    lines.push_back("  Уровень равновесия: " +
                    LevelText(r.plain.el, std::isnan(r.plain.lfc.pressure) ? "нет" : "выше вершины зондирования"));
    lines.push_back(Format("  CAPE: %.0f Дж/кг (с поправкой на виртуальную температуру %.0f Дж/кг)", Shown(r.plain.cape, 0),
                           Shown(r.virtualCorrected.cape, 0)));
    lines.push_back(Format("  CIN: %.0f Дж/кг (с поправкой на виртуальную температуру %.0f Дж/кг)", Shown(r.plain.cin, 0),
                           Shown(r.virtualCorrected.cin, 0)));
}

}  // namespace

std::vector<std::string> IndexPanelLines(const SoundingIndices& x) {
    std::vector<std::string> lines;
    ParcelLines("Приземная частица", x.surface, lines);
    ParcelLines("Частица перемешанного слоя 100 гПа", x.mixedLayer, lines);
    ParcelLines("Наиболее неустойчивая частица (слой 300 гПа)", x.mostUnstable, lines);
    lines.push_back(ValueLine("Индекс подъёма LI", x.liftedIndex, "%.1f K"));
    lines.push_back(ValueLine("Индекс Шоуолтера", x.showalterIndex, "%.1f K"));
    lines.push_back(ValueLine("Индекс K", x.kIndex, "%.1f °C"));
    lines.push_back(ValueLine("Индекс TT (Total Totals)", x.totalTotals, "%.1f K"));
    lines.push_back(ValueLine("  вертикальные (VT)", x.verticalTotals, "%.1f K"));
    lines.push_back(ValueLine("  перекрёстные (CT)", x.crossTotals, "%.1f K"));
    if (std::isnan(x.precipitableWater))
        lines.push_back("Осаждаемая вода: нет");
    else
        lines.push_back(Format("Осаждаемая вода: %.1f мм (до %.0f гПа)", x.precipitableWater, x.precipitableWaterTop));
    if (x.freezingLevels.empty()) lines.push_back("Уровень 0 °C: нет");
    for (std::size_t i = 0; i < x.freezingLevels.size(); ++i) {
        const std::string name = x.freezingLevels.size() > 1 ? Format("Уровень 0 °C (%.0f)", static_cast<double>(i + 1))
                                                              : std::string("Уровень 0 °C");
        lines.push_back(name + Format(": %.0f м, %.0f гПа", x.freezingLevels[i].height, x.freezingLevels[i].pressure));
    }
    const struct { const char* name; const TropopauseLevel& level; } tropopauses[] = {
        {"Тропопауза", x.tropopause1}, {"Вторая тропопауза", x.tropopause2}};
    for (const auto& t : tropopauses)
        lines.push_back(std::string(t.name) + ": " +
                        (t.level.found ? Format("%.0f гПа, %.0f м, %.1f °C", t.level.pressure, t.level.height,
                                                Celsius(t.level.temperature))
                                       : std::string("нет")));
    if (x.maxWind.found)
        lines.push_back(Format("Максимальный ветер: %.0f м/с, %.0f°, ", x.maxWind.speed, x.maxWind.direction) +
                        Format("%.0f гПа", x.maxWind.pressure) +
                        (std::isnan(x.maxWind.height) ? std::string() : Format(", %.0f м", x.maxWind.height)));
    else
        lines.push_back("Максимальный ветер: нет");
    for (const std::string& note : x.notes) lines.push_back("Примечание: " + note);
    return lines;
}

}  // namespace products

// Our thermodynamics and indices against the published test values in
// ../shared/oracles/thermo_cases.json (MetPy's and SHARPpy's own tests), each case within the
// tolerance its source test asserts. A table maps each case's function to our routine; the
// SHARPpy cases are computed with the short published SHARPpy formulas (SharpConvention.h) where
// there are such, and the rest are listed in a table of cases not computed here, with the reason.
// A case neither computed nor listed fails. Skips without the shared folder.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "products/ParcelProfile.h"
#include "products/Thermodynamics.h"
#include "SharpConvention.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;
using products::parcel::Choice;
using products::parcel::Column;
namespace thermo = products::thermo;
namespace parcel = products::parcel;

constexpr double NaN = products::NoValue;
constexpr double K0 = thermo::ZeroCelsius;

double Num(const json& j) { return j.is_null() ? NaN : j.get<double>(); }

std::vector<double> Vec(const json& j) {
    std::vector<double> v;
    if (j.is_array())
        for (const json& x : j) v.push_back(Num(x));
    else
        v.push_back(Num(j));
    return v;
}

std::vector<double> ToKelvin(std::vector<double> v) {
    for (double& x : v) x += K0;
    return v;
}
std::vector<double> ToCelsius(std::vector<double> v) {
    for (double& x : v) x -= K0;
    return v;
}

// Element i of an input given as a scalar (broadcast) or an array.
double At(const std::vector<double>& v, std::size_t i) { return v.size() == 1 ? v[0] : v[i]; }

// One result per expected key, in the expected key's unit.
using Outputs = std::map<std::string, std::vector<double>>;
using Routine = std::function<Outputs(const json& c, const json& datasets)>;

// Applies f elementwise over inputs broadcast to the longest.
template <typename F>
std::vector<double> Each(std::size_t n, F f) {
    std::vector<double> out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(f(i));
    return out;
}

std::size_t Longest(std::initializer_list<const std::vector<double>*> inputs) {
    std::size_t n = 0;
    for (const auto* v : inputs) n = std::max(n, v->size());
    return n;
}

// The sounding of a case: inline or one of the datasets, T and Td in K.
Column SoundingOf(const json& c, const json& datasets) {
    const json& in = c["inputs"].contains("sounding") ? datasets[c["inputs"]["sounding"].get<std::string>()] : c["inputs"];
    Column col;
    col.pressure = Vec(in["pressure_hPa"]);
    col.temperature = in.contains("temperature_degC") ? ToKelvin(Vec(in["temperature_degC"])) : std::vector<double>(col.size(), NaN);
    col.dewPoint = in.contains("dewpoint_degC") ? ToKelvin(Vec(in["dewpoint_degC"])) : std::vector<double>(col.size(), NaN);
    return col;
}

std::string Option(const json& c, const char* key) {
    const json& o = c["options"];
    return o.contains(key) && o[key].is_string() ? o[key].get<std::string>() : std::string();
}

double OptionNumber(const json& c, const char* key, double fallback) {
    const json& o = c["options"];
    return o.contains(key) && o[key].is_number() ? o[key].get<double>() : fallback;
}

Choice ChoiceOf(const std::string& which, Choice fallback) {
    if (which == "top") return Choice::Top;
    if (which == "bottom") return Choice::Bottom;
    if (which == "wide") return Choice::Wide;
    if (which == "most_cape") return Choice::MostCape;
    return fallback;
}

// The column and parcel an LFC, EL or CAPE case works on, as its options describe.
struct ParcelCase {
    Column column;
    std::vector<double> parcel;
    double dewPointStart = NaN;
};

ParcelCase ParcelCaseOf(const json& c, const json& datasets, const char* profileKey) {
    const Column raw = SoundingOf(c, datasets);
    const std::string profile = Option(c, profileKey);
    ParcelCase pc;
    if (profile.empty()) {  // the surface parcel with its LCL inserted, of the NaN-free levels
        const parcel::ParcelColumn with = parcel::ParcelProfileWithLcl(parcel::DropMissing(raw));
        pc.column = with.column;
        pc.parcel = with.parcel;
    } else if (profile.find("mixed_parcel") != std::string::npos) {
        const parcel::StartPoint ml = parcel::MixedParcel(raw, 100.0);
        pc.parcel = parcel::ParcelTemperatures(raw.pressure, ml.temperature, ml.dewPoint);
        pc.column = parcel::DropMissing(raw, &pc.parcel);
        if (Option(c, "dewpoint_start").rfind("Td_ml", 0) == 0) pc.dewPointStart = ml.dewPoint;
    } else {
        pc.parcel = parcel::ParcelTemperatures(raw.pressure, raw.temperature[0], raw.dewPoint[0]);
        if (profile.find("+ 5 K") != std::string::npos)
            for (double& t : pc.parcel) t += 5.0;
        pc.column = parcel::DropMissing(raw, &pc.parcel);
    }
    if (std::isnan(pc.dewPointStart) && pc.column.size() > 0) pc.dewPointStart = pc.column.dewPoint[0];
    return pc;
}

Outputs PressureTemperatureOut(const char* prefix, const products::PressureTemperature& level) {
    return {{std::string(prefix) + "_pressure_hPa", {level.pressure}},
            {std::string(prefix) + "_temperature_degC", {level.temperature - K0}}};
}

Outputs CapeCinOut(const parcel::CapeCin& r) { return {{"cape_J_per_kg", {r.cape}}, {"cin_J_per_kg", {r.cin}}}; }

Outputs ParcelColumnOut(const parcel::ParcelColumn& pc) {
    return {{"pressure_hPa", pc.column.pressure},
            {"temperature_degC", ToCelsius(pc.column.temperature)},
            {"dewpoint_degC", ToCelsius(pc.column.dewPoint)},
            {"parcel_temperature_degC", ToCelsius(pc.parcel)}};
}

Outputs StartPointOut(const parcel::StartPoint& s) {
    return {{"parcel_pressure_hPa", {s.pressure}},
            {"parcel_temperature_degC", {s.temperature - K0}},
            {"parcel_dewpoint_degC", {s.dewPoint - K0}}};
}

// Level values of an index case: one column, or several (the *_columns inputs) at 850/700/500.
struct LevelIndexColumns {
    std::vector<double> pressure;
    std::vector<std::vector<double>> temperature, dewPoint, parcel;
};

LevelIndexColumns LevelColumns(const json& c, const json& datasets) {
    LevelIndexColumns l;
    const json& in = c["inputs"];
    if (in.contains("temperature_degC_columns")) {
        l.pressure = Vec(in["pressure_hPa"]);
        for (const json& col : in["temperature_degC_columns"]) l.temperature.push_back(ToKelvin(Vec(col)));
        if (in.contains("dewpoint_degC_columns"))
            for (const json& col : in["dewpoint_degC_columns"]) l.dewPoint.push_back(ToKelvin(Vec(col)));
        if (in.contains("parcel_temperature_degC_columns"))
            for (const json& col : in["parcel_temperature_degC_columns"]) l.parcel.push_back(ToKelvin(Vec(col)));
        return l;
    }
    const Column col = SoundingOf(c, datasets);
    l.pressure = col.pressure;
    l.temperature.push_back(col.temperature);
    l.dewPoint.push_back(col.dewPoint);
    return l;
}

// index(T850, Td850, T700, Td700, T500) per column.
Routine LevelIndex(const char* key, double (*index)(double, double, double, double, double)) {
    return [key, index](const json& c, const json& datasets) {
        const LevelIndexColumns l = LevelColumns(c, datasets);
        std::vector<double> out;
        for (std::size_t k = 0; k < l.temperature.size(); ++k) {
            auto t = [&](double p) { return parcel::InterpolateInPressure(l.pressure, l.temperature[k], p); };
            auto td = [&](double p) {
                return l.dewPoint.empty() ? NaN : parcel::InterpolateInPressure(l.pressure, l.dewPoint[k], p);
            };
            out.push_back(index(t(850), td(850), t(700), td(700), t(500)));
        }
        return Outputs{{key, out}};
    };
}

// MetPy's routines, by function name.
const std::map<std::string, Routine>& MetPyRoutines() {
    static const std::map<std::string, Routine> routines = {
        {"saturation_vapor_pressure", [](const json& c, const json&) {
             return Outputs{{"saturation_vapor_pressure_hPa",
                             Each(Vec(c["inputs"]["temperature_degC"]).size(), [&](std::size_t i) {
                                 return thermo::SaturationVaporPressure(Vec(c["inputs"]["temperature_degC"])[i] + K0);
                             })}};
         }},
        {"dewpoint", [](const json& c, const json&) {
             return Outputs{{"dewpoint_degC", {thermo::DewPointFromVaporPressure(Num(c["inputs"]["vapor_pressure_hPa"])) - K0}}};
         }},
        {"mixing_ratio", [](const json& c, const json&) {
             return Outputs{{"mixing_ratio_kg_per_kg",
                             {thermo::MixingRatio(Num(c["inputs"]["partial_pressure_hPa"]), Num(c["inputs"]["total_pressure_hPa"]))}}};
         }},
        {"vapor_pressure", [](const json& c, const json&) {
             return Outputs{{"vapor_pressure_hPa",
                             {thermo::VaporPressure(Num(c["inputs"]["pressure_hPa"]), Num(c["inputs"]["mixing_ratio_kg_per_kg"]))}}};
         }},
        {"saturation_mixing_ratio", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]);
             return Outputs{{"saturation_mixing_ratio_kg_per_kg", Each(Longest({&p, &t}), [&](std::size_t i) {
                                 return thermo::SaturationMixingRatio(At(p, i), At(t, i) + K0);
                             })}};
         }},
        {"potential_temperature", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]);
             return Outputs{{"potential_temperature_K", Each(Longest({&p, &t}), [&](std::size_t i) {
                                 return thermo::PotentialTemperature(At(p, i), At(t, i) + K0);
                             })}};
         }},
        {"exner_function", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]);
             return Outputs{{"exner", Each(p.size(), [&](std::size_t i) { return thermo::DryAdiabatTemperature(1.0, p[i]); })}};
         }},
        {"temperature_from_potential_temperature", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), th = Vec(c["inputs"]["potential_temperature_K"]);
             return Outputs{{"temperature_degC", Each(Longest({&p, &th}), [&](std::size_t i) {
                                 return thermo::DryAdiabatTemperature(At(th, i), At(p, i)) - K0;
                             })}};
         }},
        {"equivalent_potential_temperature", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]),
                        td = Vec(c["inputs"]["dewpoint_degC"]);
             return Outputs{{"equivalent_potential_temperature_K", Each(Longest({&p, &t, &td}), [&](std::size_t i) {
                                 return thermo::EquivalentPotentialTemperature(At(p, i), At(t, i) + K0, At(td, i) + K0);
                             })}};
         }},
        {"saturation_equivalent_potential_temperature", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]);
             return Outputs{{"saturation_equivalent_potential_temperature_K", Each(Longest({&p, &t}), [&](std::size_t i) {
                                 return thermo::SaturationEquivalentPotentialTemperature(At(p, i), At(t, i) + K0);
                             })}};
         }},
        {"wet_bulb_potential_temperature", [](const json& c, const json&) {
             const json& in = c["inputs"];
             return Outputs{{"wet_bulb_potential_temperature_K",
                             {thermo::WetBulbPotentialTemperature(thermo::EquivalentPotentialTemperature(
                                 Num(in["pressure_hPa"]), Num(in["temperature_degC"]) + K0, Num(in["dewpoint_degC"]) + K0))}}};
         }},
        {"virtual_temperature", [](const json& c, const json&) {
             const json& in = c["inputs"];
             return Outputs{{"virtual_temperature_degC",
                             {thermo::VirtualTemperature(Num(in["temperature_degC"]) + K0, Num(in["mixing_ratio_kg_per_kg"])) - K0}}};
         }},
        {"virtual_temperature_from_dewpoint", [](const json& c, const json&) {
             const json& in = c["inputs"];
             return Outputs{{"virtual_temperature_degC",
                             {thermo::VirtualTemperatureFromDewPoint(Num(in["pressure_hPa"]), Num(in["temperature_degC"]) + K0,
                                                                     Num(in["dewpoint_degC"]) + K0) - K0}}};
         }},
        {"virtual_potential_temperature", [](const json& c, const json&) {
             const json& in = c["inputs"];
             const double theta = thermo::PotentialTemperature(Num(in["pressure_hPa"]), Num(in["temperature_degC"]) + K0);
             return Outputs{{"virtual_potential_temperature_K", {thermo::VirtualTemperature(theta, Num(in["mixing_ratio_kg_per_kg"]))}}};
         }},
        {"density", [](const json& c, const json&) {
             const json& in = c["inputs"];
             const double tv = thermo::VirtualTemperature(Num(in["temperature_degC"]) + K0, Num(in["mixing_ratio_kg_per_kg"]));
             return Outputs{{"density_kg_per_m3", {Num(in["pressure_hPa"]) * 100.0 / (thermo::Rd * tv)}}};
         }},
        {"dewpoint_from_relative_humidity", [](const json& c, const json&) {
             const auto t = Vec(c["inputs"]["temperature_degC"]), rh = Vec(c["inputs"]["relative_humidity_fraction"]);
             return Outputs{{"dewpoint_degC", Each(Longest({&t, &rh}), [&](std::size_t i) {
                                 return thermo::DewPointFromRelativeHumidity(At(t, i) + K0, At(rh, i)) - K0;
                             })}};
         }},
        {"moist_lapse", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]);
             const auto starts = Vec(c["inputs"]["temperature_degC"]);
             std::vector<double> out;
             if (c["options"].contains("parametrization")) {  // every level in turn as the start, both orders
                 for (int direction : {1, -1}) {
                     std::vector<double> ps = p, truth = starts;
                     if (direction < 0) {
                         std::reverse(ps.begin(), ps.end());
                         std::reverse(truth.begin(), truth.end());
                     }
                     for (std::size_t s = 0; s < ps.size(); ++s) {
                         const auto got = thermo::PseudoAdiabat(ps[s], truth[s] + K0, ps);
                         std::vector<double> again = ToCelsius(got);
                         if (direction < 0) std::reverse(again.begin(), again.end());
                         out.insert(out.end(), again.begin(), again.end());
                     }
                 }
                 return Outputs{{"temperature_degC#all", out}};
             }
             const std::string notes = c.value("notes", "");
             const double reference = notes.find("reference pressure is NaN") != std::string::npos
                                          ? NaN
                                          : OptionNumber(c, "reference_pressure_hPa", p[0]);
             for (double t0 : starts) {
                 const auto got = ToCelsius(thermo::PseudoAdiabat(reference, t0 + K0, p));
                 out.insert(out.end(), got.begin(), got.end());
             }
             return Outputs{{"temperature_degC", out}};
         }},
        {"lcl", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]),
                        td = Vec(c["inputs"]["dewpoint_degC"]);
             Outputs out;
             for (std::size_t i = 0; i < Longest({&p, &t, &td}); ++i) {
                 const auto l = thermo::LiftingCondensationLevel(At(p, i), At(t, i) + K0, At(td, i) + K0);
                 out["lcl_pressure_hPa"].push_back(l.pressure);
                 out["lcl_temperature_degC"].push_back(l.temperature - K0);
             }
             return out;
         }},
        {"wet_bulb_temperature", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]), t = Vec(c["inputs"]["temperature_degC"]),
                        td = Vec(c["inputs"]["dewpoint_degC"]);
             return Outputs{{"wet_bulb_temperature_degC", Each(Longest({&p, &t, &td}), [&](std::size_t i) {
                                 return thermo::WetBulbTemperature(At(p, i), At(t, i) + K0, At(td, i) + K0) - K0;
                             })}};
         }},
        {"dry_lapse", [](const json& c, const json&) {
             const auto p = Vec(c["inputs"]["pressure_hPa"]);
             const double theta = thermo::PotentialTemperature(p[0], Num(c["inputs"]["temperature_degC"]) + K0);
             return Outputs{{"temperature_degC",
                             Each(p.size(), [&](std::size_t i) { return thermo::DryAdiabatTemperature(theta, p[i]) - K0; })}};
         }},
        {"parcel_profile", [](const json& c, const json&) {
             const json& in = c["inputs"];
             return Outputs{{"temperature_degC",
                             ToCelsius(parcel::ParcelTemperatures(Vec(in["pressure_hPa"]), Num(in["temperature_degC"]) + K0,
                                                                  Num(in["dewpoint_degC"]) + K0))}};
         }},
        {"parcel_profile_with_lcl", [](const json& c, const json& d) {
             return ParcelColumnOut(parcel::ParcelProfileWithLcl(SoundingOf(c, d)));
         }},
        {"parcel_profile_with_lcl_as_dataset", [](const json& c, const json& d) {
             return ParcelColumnOut(parcel::ParcelProfileWithLcl(SoundingOf(c, d)));
         }},
        {"lfc", [](const json& c, const json& d) {
             const ParcelCase pc = ParcelCaseOf(c, d, "parcel_temperature_profile");
             const std::string which = Option(c, "which");
             if (which == "all")
                 return Outputs{{"number_of_lfcs",
                                 {static_cast<double>(parcel::LfcCandidates(pc.column, pc.parcel, pc.dewPointStart).size())}}};
             return PressureTemperatureOut("lfc", parcel::Lfc(pc.column, pc.parcel, pc.dewPointStart, ChoiceOf(which, Choice::Top)));
         }},
        {"el", [](const json& c, const json& d) {
             const ParcelCase pc = ParcelCaseOf(c, d, "parcel_temperature_profile");
             const std::string which = Option(c, "which");
             if (which == "all")
                 return Outputs{{"number_of_els", {static_cast<double>(parcel::ElCandidates(pc.column, pc.parcel).size())}}};
             return PressureTemperatureOut("el", parcel::El(pc.column, pc.parcel, ChoiceOf(which, Choice::Top)));
         }},
        {"cape_cin", [](const json& c, const json& d) {
             const ParcelCase pc = ParcelCaseOf(c, d, "parcel_profile");
             return CapeCinOut(parcel::ComputeCapeCin(pc.column, pc.parcel, true, ChoiceOf(Option(c, "which_lfc"), Choice::Bottom),
                                                      ChoiceOf(Option(c, "which_el"), Choice::Top)));
         }},
        {"surface_based_cape_cin", [](const json& c, const json& d) {
             const parcel::ParcelColumn pc = parcel::SurfaceParcelColumn(parcel::DropMissing(SoundingOf(c, d)));
             return CapeCinOut(parcel::ComputeCapeCin(pc.column, pc.parcel));
         }},
        {"most_unstable_cape_cin", [](const json& c, const json& d) {
             const parcel::ParcelColumn pc =
                 parcel::MostUnstableParcelColumn(parcel::DropMissing(SoundingOf(c, d)), OptionNumber(c, "depth_hPa", 300.0));
             return CapeCinOut(parcel::ComputeCapeCin(pc.column, pc.parcel));
         }},
        {"mixed_layer_cape_cin", [](const json& c, const json& d) {
             const parcel::ParcelColumn pc = parcel::MixedLayerParcelColumn(
                 SoundingOf(c, d), OptionNumber(c, "depth_hPa", 100.0), OptionNumber(c, "parcel_start_pressure_hPa", NaN));
             return CapeCinOut(parcel::ComputeCapeCin(pc.column, pc.parcel));
         }},
        {"mixed_parcel", [](const json& c, const json& d) {
             return StartPointOut(parcel::MixedParcel(SoundingOf(c, d), OptionNumber(c, "depth_hPa", 100.0)));
         }},
        {"mixed_layer", [](const json& c, const json& d) {
             const Column col = SoundingOf(c, d);
             return Outputs{{"mixed_temperature_degC",
                             {parcel::MixedLayerMean(col.pressure, col.temperature, OptionNumber(c, "depth_hPa", 100.0)) - K0}}};
         }},
        {"most_unstable_parcel", [](const json& c, const json& d) {
             return StartPointOut(parcel::MostUnstableParcel(SoundingOf(c, d), OptionNumber(c, "depth_hPa", 300.0)));
         }},
        {"lifted_index", [](const json& c, const json& d) {
             LevelIndexColumns l = LevelColumns(c, d);
             if (l.parcel.empty())
                 l.parcel.push_back(parcel::ParcelTemperatures(l.pressure, l.temperature[0][0], l.dewPoint[0][0]));
             std::vector<double> out;
             for (std::size_t k = 0; k < l.temperature.size(); ++k)
                 out.push_back(parcel::InterpolateInPressure(l.pressure, l.temperature[k], 500) -
                               parcel::InterpolateInPressure(l.pressure, l.parcel[k], 500));
             return Outputs{{"lifted_index_K", out}};
         }},
        {"showalter_index", [](const json& c, const json& d) {
             const Column col = SoundingOf(c, d);
             const double t850 = parcel::InterpolateInPressure(col.pressure, col.temperature, 850);
             const double td850 = parcel::InterpolateInPressure(col.pressure, col.dewPoint, 850);
             const double levels[] = {850.0, 500.0};
             return Outputs{{"showalter_index_K", {parcel::InterpolateInPressure(col.pressure, col.temperature, 500) -
                                                   parcel::ParcelTemperatures(levels, t850, td850)[1]}}};
         }},
        {"k_index", LevelIndex("k_index_degC", [](double t850, double td850, double t700, double td700, double t500) {
             return (t850 - t500) + (td850 - K0) - (t700 - td700);
         })},
        {"total_totals_index", LevelIndex("total_totals_K", [](double t850, double td850, double, double, double t500) {
             return (t850 - t500) + (td850 - t500);
         })},
        {"vertical_totals", LevelIndex("vertical_totals_K", [](double t850, double, double, double, double t500) {
             return t850 - t500;
         })},
        {"cross_totals", LevelIndex("cross_totals_K", [](double, double td850, double, double, double t500) {
             return td850 - t500;
         })},
        {"precipitable_water", [](const json& c, const json& d) {
             Column col = SoundingOf(c, d);
             if (c["inputs"].value("subset", "") == "levels with p >= 400 hPa") {
                 Column kept;
                 for (std::size_t i = 0; i < col.size(); ++i)
                     if (col.pressure[i] >= 400) {
                         kept.pressure.push_back(col.pressure[i]);
                         kept.temperature.push_back(col.temperature[i]);
                         kept.dewPoint.push_back(col.dewPoint[i]);
                     }
                 col = kept;
             }
             return Outputs{{"precipitable_water_mm", {parcel::PrecipitableWater(col.pressure, col.dewPoint,
                                                                                 OptionNumber(c, "bottom_hPa", NaN),
                                                                                 OptionNumber(c, "top_hPa", NaN))}}};
         }},
    };
    return routines;
}

// The tolerance of one expected key, as the source test asserts it.
struct Tolerance {
    std::string kind;
    double abs = 0, atol = 0, rtol = 0;
    int ndigits = 0;
    double limit = 0;
};

Tolerance ToleranceOf(const json& t) {
    Tolerance tol;
    tol.kind = t["kind"];
    tol.abs = t.value("abs", 0.0);
    tol.atol = t.value("atol", 0.0);
    tol.rtol = t.value("rtol", 0.0);
    tol.ndigits = t.value("ndigits", 0);
    tol.limit = t.value("limit", 0.0);
    return tol;
}

bool Within(double actual, double expected, const Tolerance& tol) {
    if (tol.kind == "nan") return std::isnan(actual);
    if (std::isnan(expected) || std::isnan(actual)) return std::isnan(expected) && std::isnan(actual);
    const double d = std::fabs(actual - expected);
    if (tol.kind == "decimal") return d < tol.abs;
    if (tol.kind == "allclose") return d <= tol.atol + tol.rtol * std::fabs(expected);
    if (tol.kind == "round") return d <= 0.5 * std::pow(10.0, -tol.ndigits) * (1 + 1e-9);
    if (tol.kind == "max_abs_bias") return std::fabs(expected - std::round(actual)) < tol.limit;
    return false;
}

std::vector<double> Flatten(const json& j) {
    std::vector<double> v;
    if (j.is_array()) {
        for (const json& x : j) {
            const auto inner = Flatten(x);
            v.insert(v.end(), inner.begin(), inner.end());
        }
    } else {
        v.push_back(Num(j));
    }
    return v;
}

struct Comparison {
    int checked = 0;
    int failed = 0;
};

// Compares every expected key of a case.
Comparison Compare(const json& c, const Outputs& got) {
    Comparison r;
    const json& tolerances = c["tolerance"];
    const json* sensitivity = c.contains("integrator_sensitivity") ? &c["integrator_sensitivity"] : nullptr;
    for (const auto& [key, value] : c["expected"].items()) {
        Tolerance tol = ToleranceOf(tolerances.contains("kind") ? tolerances : tolerances[key]);
        if (sensitivity && (*sensitivity)["field"] == key) tol.abs = (*sensitivity)["suggested_abs_tolerance"];
        std::vector<double> expected = Flatten(value);
        auto it = got.find(key);
        if (it == got.end()) it = got.find(key + "#all");
        if (it == got.end()) {
            ADD_FAILURE() << c["id"] << ": no result for " << key;
            ++r.failed;
            continue;
        }
        std::vector<double> actual = it->second;
        if (it->first.ends_with("#all")) {  // one expected row for every parametrized sub-case
            std::vector<double> repeated;
            while (repeated.size() < actual.size()) repeated.insert(repeated.end(), expected.begin(), expected.end());
            expected = repeated;
        }
        if (actual.size() != expected.size()) {
            ADD_FAILURE() << c["id"] << ": " << key << " has " << actual.size() << " values, expected " << expected.size();
            ++r.failed;
            continue;
        }
        for (std::size_t i = 0; i < actual.size(); ++i) {
            const bool ok = Within(actual[i], expected[i], tol);
            EXPECT_TRUE(ok) << c["id"] << ": " << key << "[" << i << "] = " << std::setprecision(10) << actual[i]
                            << ", expected " << expected[i] << " (" << tol.kind << ", abs " << tol.abs << ")";
            ++r.checked;
            r.failed += ok ? 0 : 1;
        }
    }
    return r;
}

namespace sharp = products::test::sharp;

// Elementwise over inputs named by keys (scalars broadcast).
template <std::size_t N, typename F>
std::vector<double> EachOf(const json& in, const char* const (&keys)[N], F f) {
    std::vector<std::vector<double>> v;
    std::size_t n = 0;
    for (const char* k : keys) {
        v.push_back(Vec(in[k]));
        n = std::max(n, v.back().size());
    }
    std::vector<double> out;
    for (std::size_t i = 0; i < n; ++i) {
        double a[N];
        for (std::size_t k = 0; k < N; ++k) a[k] = At(v[k], i);
        out.push_back(f(a));
    }
    return out;
}

sharp::Profile SharpProfile(const json& c, const json& datasets) {
    const json& d = datasets[c["inputs"]["sounding"].get<std::string>()];
    sharp::Profile prof;
    prof.pressure = Vec(d["pressure_hPa"]);
    prof.height = Vec(d["height_m_msl"]);
    prof.temperature = Vec(d["temperature_degC"]);
    prof.dewPoint = Vec(d["dewpoint_degC"]);
    while (prof.surface < prof.temperature.size() && std::isnan(prof.temperature[prof.surface])) ++prof.surface;
    return prof;
}

// A routine of one output key computed elementwise from the named inputs.
template <std::size_t N, typename F>
Routine SharpEach(const char* out, const char* const (&keys)[N], F f) {
    return [out, &keys, f](const json& c, const json&) { return Outputs{{out, EachOf(c["inputs"], keys, f)}}; };
}

constexpr const char* PT[] = {"pressure_hPa", "temperature_degC"};
constexpr const char* PTTd[] = {"pressure_hPa", "temperature_degC", "dewpoint_degC"};
constexpr const char* T[] = {"temperature_degC"};
constexpr const char* TTd[] = {"temperature_degC", "dewpoint_degC"};
constexpr const char* PTRef[] = {"pressure_hPa", "temperature_degC", "reference_pressure_hPa"};
constexpr const char* ThetaT[] = {"theta_degC", "temperature_degC"};
constexpr const char* PThetaM[] = {"pressure_hPa", "thetam_degC"};
constexpr const char* PTP2[] = {"pressure_hPa", "temperature_degC", "pressure2_hPa"};
constexpr const char* PTTdLevel[] = {"pressure_hPa", "temperature_degC", "dewpoint_degC", "level_hPa"};
constexpr const char* WP[] = {"mixing_ratio_g_per_kg", "pressure_hPa"};
constexpr const char* StpFixedIn[] = {"sbcape", "sblcl", "srh01", "bwd6"};
constexpr const char* StpCinIn[] = {"mlcape", "esrh", "ebwd", "mllcl", "mlcinh"};
constexpr const char* ScpIn[] = {"mucape", "srh", "ebwd"};

// The SHARPpy cases computed here with SHARPpy's own published formulas (SharpConvention.h).
const std::map<std::string, Routine>& SharpRoutines() {
    static const std::map<std::string, Routine> routines = {
        {"theta", SharpEach("theta_degC", PTRef, [](const double* a) { return sharp::Theta(a[0], a[1], a[2]); })},
        {"wobf", SharpEach("wobus_correction_degC", T, [](const double* a) { return sharp::Wobf(a[0]); })},
        {"lcltemp", SharpEach("lcl_temperature_degC", TTd, [](const double* a) { return sharp::LclTemp(a[0], a[1]); })},
        {"thalvl", SharpEach("pressure_hPa", ThetaT, [](const double* a) { return sharp::ThaLvl(a[0], a[1]); })},
        {"drylift", [](const json& c, const json&) {
             return Outputs{{"lcl_pressure_hPa", EachOf(c["inputs"], PTTd, [](const double* a) { return sharp::DryLift(a[0], a[1], a[2]).pressure; })},
                            {"lcl_temperature_degC", EachOf(c["inputs"], PTTd, [](const double* a) { return sharp::DryLift(a[0], a[1], a[2]).temperature; })}};
         }},
        {"satlift", [](const json& c, const json&) {
             const double conv = OptionNumber(c, "conv", 0.1);
             return Outputs{{"temperature_degC", EachOf(c["inputs"], PThetaM, [conv](const double* a) { return sharp::SatLift(a[0], a[1], conv); })}};
         }},
        {"wetlift", SharpEach("temperature_degC", PTP2, [](const double* a) { return sharp::WetLift(a[0], a[1], a[2]); })},
        {"lifted", SharpEach("temperature_degC", PTTdLevel, [](const double* a) { return sharp::LiftedTo(a[0], a[1], a[2], a[3]); })},
        {"vappres", SharpEach("vapor_pressure_hPa", T, [](const double* a) { return sharp::VapPres(a[0]); })},
        {"mixratio", SharpEach("mixing_ratio_g_per_kg", PT, [](const double* a) { return sharp::MixRatio(a[0], a[1]); })},
        {"temp_at_mixrat", SharpEach("temperature_degC", WP, [](const double* a) { return sharp::TempAtMixRat(a[0], a[1]); })},
        {"wetbulb", SharpEach("wet_bulb_temperature_degC", PTTd, [](const double* a) { return sharp::WetBulb(a[0], a[1], a[2]); })},
        {"thetaw", SharpEach("wet_bulb_potential_temperature_degC", PTTd, [](const double* a) { return sharp::ThetaW(a[0], a[1], a[2]); })},
        {"thetae", SharpEach("equivalent_potential_temperature_degC", PTTd, [](const double* a) { return sharp::ThetaE(a[0], a[1], a[2]); })},
        {"virtemp", SharpEach("virtual_temperature_degC", PTTd, [](const double* a) { return sharp::VirTemp(a[0], a[1], a[2]); })},
        {"relh", SharpEach("relative_humidity_percent", PTTd, [](const double* a) { return sharp::RelH(a[1], a[2]); })},
        {"lapse_rate", [](const json& c, const json& d) {
             const json& o = c["options"];
             return Outputs{{"lapse_rate_C_per_km", {sharp::LapseRate(SharpProfile(c, d), o["lower"].get<double>(),
                                                                      o["upper"].get<double>(), o["pres"].get<bool>())}}};
         }},
        {"precip_water", [](const json& c, const json& d) {
             return Outputs{{"precipitable_water_in", {sharp::PrecipWater(SharpProfile(c, d), OptionNumber(c, "ptop", 400.0))}}};
         }},
        {"k_index", [](const json& c, const json& d) { return Outputs{{"k_index", {sharp::KIndex(SharpProfile(c, d))}}}; }},
        {"max_temp", [](const json& c, const json& d) {
             return Outputs{{"max_temp_degC", {sharp::MaxTemp(SharpProfile(c, d), OptionNumber(c, "mixlayer", 100.0))}}};
         }},
        {"tei", [](const json& c, const json& d) { return Outputs{{"tei_K", {sharp::ThetaEIndex(SharpProfile(c, d))}}}; }},
        {"stp_fixed", SharpEach("stp_fixed", StpFixedIn, [](const double* a) { return sharp::StpFixed(a[0], a[1], a[2], a[3]); })},
        {"stp_cin", SharpEach("stp_cin", StpCinIn, [](const double* a) { return sharp::StpCin(a[0], a[1], a[2], a[3], a[4]); })},
        {"scp", SharpEach("scp", ScpIn, [](const double* a) { return sharp::Scp(a[0], a[1], a[2]); })},
    };
    return routines;
}

// The cases not computed here, and why.
struct NotComputed {
    const char* id;
    const char* reason;
};

constexpr const char* SharpParcel =
    "SHARP's parcelx: its own CAPE definition (1-hPa virtual potential temperature steps below the LCL, Wobus moist "
    "adiabat, layer-energy LFC/EL search, CIN only below 500 hPa); values from SPC SHARP online. Our CAPE follows MetPy";
constexpr const char* Kinematic =
    "composite severe-weather parameter: needs storm motion, storm-relative helicity, effective inflow layer or bulk "
    "shear, which this program does not compute";

constexpr NotComputed NotComputedHere[] = {
    {"sharppy.parcelx.sfcpcl", SharpParcel},
    {"sharppy.parcelx.mlpcl", SharpParcel},
    {"sharppy.parcelx.mupcl", SharpParcel},
    {"sharppy.parcelx.fcstpcl", SharpParcel},
    {"sharppy.convective_temp.oax", "SHARP's convective temperature iterates its parcelx CAPE/CIN (see the parcelx cases)"},
    {"sharppy.ship.oax", Kinematic},
    {"sharppy.ship.bna", Kinematic},
    {"sharppy.stp_fixed.bna_right", Kinematic},
    {"sharppy.stp_cin.bna_right", Kinematic},
    {"sharppy.sweat.oax", Kinematic},
    {"sharppy.mburst.oax", "microburst composite: needs SHARP's downdraft CAPE and its parcelx values"},
    {"sharppy.sherb.oax", Kinematic},
    {"sharppy.sherb.bna_effective", Kinematic},
    {"sharppy.mmp.oax", Kinematic},
    {"sharppy.wndg.oax", Kinematic},
    {"sharppy.wndg.bna", Kinematic},
};

TEST(ThermoOracle, EveryCaseWithinItsToleranceOrListedWithItsReason) {
    const fs::path file = SharedDir() / "oracles" / "thermo_cases.json";
    TAVIK_REQUIRE_PATH(file);
    const json all = LoadJson(file);
    const json& datasets = all["datasets"];
    std::map<std::string, int> passed, failed;
    int listed = 0, values = 0;
    for (const json& c : all["cases"]) {
        const std::string id = c["id"];
        const std::string function = c["function"];
        const std::string name = function.substr(function.rfind('.') + 1);
        const bool metpy = id.rfind("metpy.", 0) == 0;
        const auto& table = metpy ? MetPyRoutines() : SharpRoutines();
        const auto routine = table.find(name);
        const auto listedOut = std::find_if(std::begin(NotComputedHere), std::end(NotComputedHere),
                                            [&](const NotComputed& n) { return id == n.id; });
        const std::string project = metpy ? "MetPy" : "SHARPpy";
        if (routine == table.end()) {
            EXPECT_NE(listedOut, std::end(NotComputedHere)) << id << ": neither computed nor listed as not computed";
            if (listedOut != std::end(NotComputedHere)) {
                ++listed;
                std::printf("not computed here: %s — %s\n", id.c_str(), listedOut->reason);
            }
            continue;
        }
        EXPECT_EQ(listedOut, std::end(NotComputedHere)) << id << " is computed and also listed as not computed";
        const Comparison r = Compare(c, routine->second(c, datasets));
        values += r.checked;
        (r.failed == 0 ? passed : failed)[project]++;
    }
    std::printf("oracle cases passed: MetPy %d, SHARPpy %d; failed: MetPy %d, SHARPpy %d; not computed here: %d; "
                "values compared: %d\n",
                passed["MetPy"], passed["SHARPpy"], failed["MetPy"], failed["SHARPpy"], listed, values);
    EXPECT_EQ(passed["MetPy"], 132);
    EXPECT_EQ(failed["MetPy"] + failed["SHARPpy"], 0);
}

}  // namespace


#pragma once
// Moist thermodynamics of the sounding: one set of definitions, MetPy's formulation of the
// 1.5/1.6 releases (Bolton 1980 saturation vapour pressure with constant latent heat, the
// Bakhshaii & Stull 2013 pseudo-adiabat, MetPy's iterative LCL and its constants), so that the
// published MetPy test values check it.
//
// Units everywhere in this header: pressure in hPa, temperature in K, mixing ratio in kg/kg.
// A value that cannot be computed (a missing input, no solution) is NaN, never a sentinel.
#include <span>
#include <vector>

namespace products::thermo {

// MetPy's constants (SI).
constexpr double MolarGasConstant = 8.314462618;      // J mol-1 K-1
constexpr double MolarMassWater = 18.015268e-3;       // kg mol-1
constexpr double MolarMassDryAir = 28.96546e-3;       // kg mol-1
constexpr double Rd = MolarGasConstant / MolarMassDryAir;  // 287.047... J kg-1 K-1
constexpr double Rv = MolarGasConstant / MolarMassWater;   // 461.523... J kg-1 K-1
constexpr double Cpd = 3.5 * Rd;                      // dry air, ratio of specific heats 1.4
constexpr double Kappa = Rd / Cpd;                    // 2/7
constexpr double Epsilon = MolarMassWater / MolarMassDryAir;  // 0.62196...
constexpr double Lv = 2.50084e6;                      // J kg-1, constant
constexpr double Gravity = 9.80665;                   // m s-2
constexpr double WaterDensity = 999.97495;            // kg m-3, for precipitable water
constexpr double SatPressure0C = 6.112;               // hPa, Bolton's es at 0 °C
constexpr double ReferencePressure = 1000.0;          // hPa, of the potential temperature
constexpr double ZeroCelsius = 273.15;                // K

// Saturation vapour pressure over water, Bolton (1980): 6.112 exp(17.67 (T-273.15)/(T-29.65)).
double SaturationVaporPressure(double temperature);
// Mixing ratio of water vapour of partial pressure e at total pressure p: eps e / (p - e).
double MixingRatio(double vaporPressure, double pressure);
// Mixing ratio at saturation; NaN where es >= p.
double SaturationMixingRatio(double pressure, double temperature);
// Partial pressure of vapour at mixing ratio w: p w / (eps + w).
double VaporPressure(double pressure, double mixingRatio);
// The exact inverse of Bolton's formula: the dew point of vapour pressure e.
double DewPointFromVaporPressure(double vaporPressure);
// The dew point of relative humidity rh (a fraction) at temperature t.
double DewPointFromRelativeHumidity(double temperature, double relativeHumidity);
// The temperature at which the saturation mixing ratio at p equals w (the saturation
// mixing-ratio lines of the diagram).
double TemperatureAtMixingRatio(double mixingRatio, double pressure);

// Potential temperature, reference 1000 hPa, kappa = 2/7.
double PotentialTemperature(double pressure, double temperature);
// The dry adiabat of potential temperature theta at pressure p.
double DryAdiabatTemperature(double theta, double pressure);

// The pseudo-adiabat through (startPressure, startTemperature), at each requested pressure (in
// any order, above or below the start). RK4 in ln p with steps of at most 0.005 in ln p, far
// more accurate than the values it is checked against need.
std::vector<double> PseudoAdiabat(double startPressure, double startTemperature,
                                  std::span<const double> pressures);
// One point of it.
double PseudoAdiabatTemperature(double startPressure, double startTemperature, double pressure);

struct CondensationLevel {
    double pressure;     // hPa
    double temperature;  // K
};
// Lifting condensation level of a parcel (p, T, Td): where the dry adiabat from (p, T) meets the
// dew point of the parcel's conserved mixing ratio; MetPy's fixed-point iteration, solved to
// full precision. A saturated start gives the start itself.
CondensationLevel LiftingCondensationLevel(double pressure, double temperature, double dewPoint);

// Virtual temperature of air at temperature t with mixing ratio w.
double VirtualTemperature(double temperature, double mixingRatio);
// The same with w the saturation mixing ratio at the dew point; t itself when td is NaN.
double VirtualTemperatureFromDewPoint(double pressure, double temperature, double dewPoint);

// Equivalent potential temperature, Bolton (1980) eq. 39.
double EquivalentPotentialTemperature(double pressure, double temperature, double dewPoint);
// The same for saturated air (dew point = temperature).
double SaturationEquivalentPotentialTemperature(double pressure, double temperature);
// Wet-bulb potential temperature from theta-e, the Davies-Jones (2008) fit.
double WetBulbPotentialTemperature(double equivalentPotentialTemperature);
// Wet-bulb temperature by Normand's rule: up the dry adiabat to the LCL, down the pseudo-adiabat.
double WetBulbTemperature(double pressure, double temperature, double dewPoint);

}  // namespace products::thermo

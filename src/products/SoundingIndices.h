#pragma once
// The stability indices of a decoded sounding and the parcels behind them: the surface,
// mixed-layer (lowest 100 hPa) and most-unstable (lowest 300 hPa) parcels with their LCL, LFC,
// EL, CAPE and CIN; lifted index, Showalter, K, Total Totals with vertical and cross totals,
// precipitable water, the 0 °C levels, the WMO tropopauses and the maximum wind. The
// definitions are MetPy's 1.5/1.6 formulation (see Thermodynamics.h and README, "Thermodynamics
// and indices").
//
// Units: pressure hPa, temperature K, height gpm, wind m/s and degrees, energy J/kg,
// precipitable water mm, index differences K. Missing or not found: NaN.
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

class tUAInBound;

namespace products {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

// One level of the profile the indices are computed on.
struct SoundingLevel {
    double pressure = NoValue;       // hPa
    double height = NoValue;         // gpm
    double temperature = NoValue;    // K
    double dewPoint = NoValue;       // K
    double windDirection = NoValue;  // degrees
    double windSpeed = NoValue;      // m/s
};

// The valid part of a sounding: every level has a pressure and a temperature, the pressure falls
// strictly from the first level up, a dew point is never above its temperature. notes says in
// Russian what was left out on the way.
struct SoundingProfile {
    std::vector<SoundingLevel> levels;
    // Every level with a pressure and a wind (speed and direction), temperature or not (the wind
    // levels of a TEMP carry none), pressure falling, one per pressure: the barbs and the
    // maximum wind.
    std::vector<SoundingLevel> windLevels;
    std::vector<std::string> notes;
};

// Keeps the valid part of levels given in the order observed: drops levels without pressure or
// temperature (or with values out of any physical range), keeps the first of levels with the same
// pressure, drops levels whose pressure does not fall below every level before them (a descent
// of the balloon, a bad pressure), clears a dew point above the temperature. Records each kind of
// omission with its count.
SoundingProfile CleanProfile(const std::vector<SoundingLevel>& observed);
// The same for a decoded sounding (its levels in Pa, K, gpm, m/s).
SoundingProfile BuildSoundingProfile(const tUAInBound& sounding);

struct PressureTemperature {
    double pressure = NoValue;     // hPa
    double temperature = NoValue;  // K
};

// A point of a parcel's path beside the environment at the same pressure. The path has the LCL
// and every crossing of parcel and environment inserted, so between two consecutive points the
// parcel is on one side of the environment.
struct ParcelLevel {
    double pressure = NoValue;     // hPa
    double temperature = NoValue;  // K, the parcel
    double environment = NoValue;  // K
};

// A run of the path with the parcel warmer (positive) or colder than the environment:
// path[first..last], both ends included, ends on crossings or on the path's ends.
struct BuoyantArea {
    std::size_t first = 0;
    std::size_t last = 0;
    bool positive = false;
};

// LFC, EL, CAPE and CIN by one temperature convention. CAPE >= 0, CIN <= 0; both 0 without LFC.
struct Buoyancy {
    PressureTemperature lfc;
    PressureTemperature el;
    double cape = 0.0;  // J/kg
    double cin = 0.0;   // J/kg
};

struct ParcelResult {
    bool valid = false;             // the parcel has a start and at least one level above it
    PressureTemperature start;
    double startDewPoint = NoValue;  // K
    PressureTemperature lcl;
    // Parcel and environment temperatures as they are (what the diagram shows).
    Buoyancy plain;
    // With the virtual-temperature correction of MetPy 1.5/1.6: the environment's Tv from its dew
    // point; the parcel's mixing ratio from the environment's dew point below the LCL and the
    // environment's temperature from the LCL up.
    Buoyancy virtualCorrected;
    std::vector<ParcelLevel> path;  // from the start up, plain temperatures
    std::vector<BuoyantArea> areas;
};

struct TropopauseLevel {
    bool found = false;
    double pressure = NoValue;     // hPa
    double height = NoValue;       // gpm
    double temperature = NoValue;  // K
};

struct WindLevel {
    bool found = false;
    double pressure = NoValue;   // hPa
    double height = NoValue;     // gpm
    double speed = NoValue;      // m/s
    double direction = NoValue;  // degrees
};

struct FreezingLevel {
    double pressure = NoValue;  // hPa
    double height = NoValue;    // gpm
};

struct SoundingIndices {
    ParcelResult surface;       // the first level
    ParcelResult mixedLayer;    // theta and mixing ratio mixed over the lowest 100 hPa
    ParcelResult mostUnstable;  // the level of highest theta-e in the lowest 300 hPa
    double liftedIndex = NoValue;     // K, T500 - surface parcel at 500 hPa
    double showalterIndex = NoValue;  // K, T500 - parcel lifted from 850 hPa
    double kIndex = NoValue;          // °C: (T850 - T500) + Td850[°C] - (T700 - Td700)
    double totalTotals = NoValue;     // K
    double verticalTotals = NoValue;  // K, T850 - T500
    double crossTotals = NoValue;     // K, Td850 - T500
    double precipitableWater = NoValue;  // mm, first level to the top of the humidity data
    double precipitableWaterTop = NoValue;  // hPa, that top
    std::vector<FreezingLevel> freezingLevels;  // every crossing of 0 °C, from the ground up
    TropopauseLevel tropopause1;
    TropopauseLevel tropopause2;
    WindLevel maxWind;
    std::vector<std::string> notes;  // Russian: what was left out or could not be computed
};

// A parcel starting at (pressure, temperature, dewPoint) lifted through the levels of the profile
// above that pressure: dry to its LCL, pseudo-adiabatic above.
ParcelResult LiftParcel(const SoundingProfile& profile, double pressure, double temperature, double dewPoint);

SoundingIndices ComputeIndices(const SoundingProfile& profile);

// The lines of the panel beside the diagram: Russian, UTF-8, with units.
std::vector<std::string> IndexPanelLines(const SoundingIndices& indices);

}  // namespace products

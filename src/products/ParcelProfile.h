#pragma once
// The parcel routines on columns of pressure, temperature and dew point that the indices are
// built of, each as MetPy 1.5/1.6 defines it (the numbers of its published tests check them):
// the parcel profile with and without its LCL inserted, the crossings of two curves, LFC and EL
// with their choices among several, CAPE and CIN with or without the virtual-temperature
// correction, the mixed-layer and most-unstable parcels, level interpolation and precipitable
// water.
//
// Units: pressure hPa, temperature K, mixing ratio kg/kg, energy J/kg, water mm. A column runs
// from its first (highest) pressure upward. A missing dew point is NaN; where a routine needs the
// vapour of a level above the first and has none it counts the air as dry.
#include <span>
#include <vector>

#include "products/SoundingIndices.h"

namespace products::parcel {

struct Column {
    std::vector<double> pressure;
    std::vector<double> temperature;
    std::vector<double> dewPoint;
    std::size_t size() const { return pressure.size(); }
};

// Levels with every value present (MetPy's removal of NaN levels); a parcel column beside the
// column is filtered alike when given.
Column DropMissing(const Column& column, std::vector<double>* parcel = nullptr);

// Temperature of the parcel lifted from (pressure[0], temperature, dewPoint) at every pressure:
// dry adiabat down to the LCL, pseudo-adiabat from it. The LCL itself is not in the output.
std::vector<double> ParcelTemperatures(std::span<const double> pressure, double temperature, double dewPoint);

// The column with the LCL of its first level inserted after every level at or below it, the
// environment interpolated there linearly in pressure, and the parcel beside it.
struct ParcelColumn {
    Column column;
    std::vector<double> parcel;
    PressureTemperature lcl;
};
ParcelColumn ParcelProfileWithLcl(const Column& column);

enum class Direction { Increasing, Decreasing, All };

// Where a - b changes sign between consecutive levels from `from` on: pressure by linear
// interpolation in ln p, value by linear interpolation of a. Increasing: a becomes larger than b
// going up.
struct Crossings {
    std::vector<double> pressure;
    std::vector<double> value;
};
Crossings FindCrossings(std::span<const double> pressure, std::span<const double> a, std::span<const double> b,
                        Direction direction, std::size_t from = 0);

enum class Choice { Top, Bottom, Wide, MostCape };

// The level of free convection of the parcel column beside the environment (no NaN inside):
// every candidate (all crossings above the LCL, or the LCL itself when the parcel is warmer above
// it without a crossing), and the one chosen.
std::vector<PressureTemperature> LfcCandidates(const Column& column, std::span<const double> parcel,
                                               double dewPointStart);
PressureTemperature Lfc(const Column& column, std::span<const double> parcel, double dewPointStart,
                        Choice choice = Choice::Top);
// The equilibrium level likewise; none when the parcel is still warmer at the top.
std::vector<PressureTemperature> ElCandidates(const Column& column, std::span<const double> parcel);
PressureTemperature El(const Column& column, std::span<const double> parcel, Choice choice = Choice::Top);

// CAPE (>= 0) and CIN (<= 0) between the LFC and EL chosen, trapezoid in ln p. With
// virtualCorrection the environment and the parcel are turned into virtual temperatures first
// (MetPy 1.5/1.6: the parcel's vapour from the environment's dew point below the LCL, from its
// temperature at and above it).
struct CapeCin {
    double cape = 0.0;
    double cin = 0.0;
    PressureTemperature lfc;
    PressureTemperature el;
};
CapeCin ComputeCapeCin(const Column& column, std::span<const double> parcel, bool virtualCorrection = true,
                       Choice lfcChoice = Choice::Bottom, Choice elChoice = Choice::Top);

// Pressure-weighted mean of values over the layer from the first pressure up by depth (its top
// interpolated in ln p when not observed); NaN when the column does not reach the top.
double MixedLayerMean(std::span<const double> pressure, std::span<const double> values, double depth);

struct StartPoint {
    double pressure = NoValue;
    double temperature = NoValue;
    double dewPoint = NoValue;
    std::size_t index = 0;  // most-unstable: its level
};
// The mixed parcel: theta and saturation mixing ratio of the dew point mixed over the lowest
// depth, brought to startPressure (the first level when NaN).
StartPoint MixedParcel(const Column& column, double depth, double startPressure = NoValue);
// The level of highest theta-e between the first level and the observed level nearest to
// depth above it (the first on ties).
StartPoint MostUnstableParcel(const Column& column, double depth);

// The whole procedures of the three parcels: the parcel column and its CAPE and CIN.
ParcelColumn SurfaceParcelColumn(const Column& column);
ParcelColumn MostUnstableParcelColumn(const Column& column, double depth);
ParcelColumn MixedLayerParcelColumn(const Column& column, double depth, double startPressure = NoValue);

// Value at pressure, linear in pressure (MetPy's interpolate_1d); NaN outside the column.
double InterpolateInPressure(std::span<const double> pressure, std::span<const double> values, double at);
// The same, linear in ln p.
double InterpolateInLogPressure(std::span<const double> pressure, std::span<const double> values, double at);

// Precipitable water (mm) of the dew points between bottom and top (NaN: the column's ends),
// bounds interpolated in ln p; levels without a dew point are left out.
double PrecipitableWater(std::span<const double> pressure, std::span<const double> dewPoint,
                         double bottom = NoValue, double top = NoValue);

}  // namespace products::parcel

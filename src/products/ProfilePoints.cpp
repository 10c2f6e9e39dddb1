#include "products/ProfilePoints.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "core/TextHelpers.h"
#include "decoder/UAReport.h"

namespace products {
namespace {

constexpr double KelvinToCelsius = 273.15;

ProfilePoint At(double x, double y, double z = 0.0) {
    ProfilePoint point;
    point.x = x;
    point.y = y;
    point.z = z;
    return point;
}

// The vertical value of a level: pressure in hPa or height in thousands of gpm, as the vertical
// axes read; nothing when the level lacks that coordinate.
std::optional<double> VerticalValue(const tUALevelRec& level, bool pressureAxis) {
    const double coordinate = pressureAxis ? level.Pressure : level.Height;
    if (IsMissing(coordinate)) return std::nullopt;
    return pressureAxis ? coordinate / 100.0 : coordinate / 1000.0;
}

// The trajectory does not depend on the pressure, so pressure mode keeps a level without one on
// it; height mode leaves a level without a height out of every series it draws.
bool OnTrajectory(bool hasVertical, bool pressureAxis) {
    return hasVertical || pressureAxis;
}

// A temperature (K), humidity, wind direction or speed counts when above -99: the decoder's
// missing marker lies far below, and no real value of these is negative.
constexpr double ProfileFloor = -99.0;
bool HasProfileValue(double value) { return value > ProfileFloor; }

// The height-time curve and the ascent rate need a time; a negative one (before the launch)
// belongs to neither.
bool HasTime(const tUALevelRec& level) { return level.Time >= 0.0; }

// Bits of flag table 0 08 042. Missing flags (all bits set) make no level significant, as in the
// flag column of the report.
constexpr std::int32_t SigTemperature = 0x2000;
constexpr std::int32_t SigHumidity = 0x1000;
constexpr std::int32_t SigWind = 0x800;

std::int32_t SignificanceFlags(const tUALevelRec& level) {
    return level.Flags >= MissingFlags ? 0 : level.Flags;
}

bool TemperatureSignificant(std::int32_t flags) { return (flags & SigTemperature) != 0; }

// With combineTU a temperature-significant level also marks the humidity curve, since the
// humidity is computed from that level's temperature and dew point.
bool HumiditySignificant(std::int32_t flags, bool combineTU) {
    return (flags & SigHumidity) != 0 || (combineTU && TemperatureSignificant(flags));
}

bool WindSignificant(std::int32_t flags) { return (flags & SigWind) != 0; }

// A temperature falling with height by more than 0.013 K/m (well past the dry adiabat's
// 0.0098 K/m), or jumping at a height that does not rise, points at a bad sensor value; such
// points are flagged for the eye, not removed. Only in height mode, where the curve is drawn
// against the heights compared; the first point of a fill is never flagged, and every point,
// flagged or not, becomes the one the next is compared with.
class PlausibilityRule {
public:
    bool Implausible(double temp, double height) {
        bool implausible = false;
        if (havePrevious) {
            if (height > previousHeight)
                implausible = -(temp - previousTemp) / (height - previousHeight) > LapseLimit;
            else
                implausible = std::abs(temp - previousTemp) > TemperatureJump;
        }
        havePrevious = true;
        previousTemp = temp;
        previousHeight = height;
        return implausible;
    }

private:
    static constexpr double LapseLimit = 0.013;      // K per metre
    static constexpr double TemperatureJump = 0.2;   // K
    bool havePrevious = false;
    double previousTemp = 0.0;
    double previousHeight = 0.0;
};

// The mean rate of climb over steps of at least a minute, so that the scatter of single levels
// of a high-resolution sounding averages out. It reads the height in both axis modes; a level
// needs a time and a height above -500 m (the missing marker and wild values stay out). A level
// less than a minute after the last step is passed over.
class AscentRateRule {
public:
    std::optional<ProfilePoint> Take(const tUALevelRec& level) {
        if (!HasTime(level) || level.Height <= MinimumHeight) return std::nullopt;
        if (!haveStart) {
            haveStart = true;
            Restart(level);
            return std::nullopt;
        }
        if (level.Time - startTime < Step) return std::nullopt;
        const ProfilePoint rate = At(level.Time, (level.Height - startHeight) / (level.Time - startTime));
        Restart(level);
        return rate;
    }

private:
    void Restart(const tUALevelRec& level) {
        startTime = level.Time;
        startHeight = level.Height;
    }
    static constexpr double Step = 60.0;              // s
    static constexpr double MinimumHeight = -500.0;   // m
    bool haveStart = false;
    double startTime = 0.0;
    double startHeight = 0.0;
};

ProfilePoint TrajectoryPoint(const tUALevelRec& level) {
    ProfilePoint point = At(level.DLon, level.DLat);
    point.label = FloatStr(4, 0, level.Time);   // whole seconds
    return point;
}

ProfilePoint FlightPoint(const tUALevelRec& level, double vertical) {
    return At(level.DLon, vertical, level.DLat);
}

// Adds (value, vertical) to the profile, and to its significant-level curve when asked.
void AddProfilePoint(PointList& profile, PointList& significant, bool toSignificant, double value, double vertical) {
    profile.push_back(At(value, vertical));
    if (toSignificant) significant.push_back(At(value, vertical));
}

// A direction that steps by more than half a turn went the short way round, through north.
constexpr double HalfTurn = 180.0;

void BreakAtNorth(PointList& directions) {
    for (std::size_t i = 1; i < directions.size(); ++i)
        directions[i].breakBefore = std::abs(directions[i].x - directions[i - 1].x) > HalfTurn;
}

}  // namespace

ProfilePoints PrimaryProfilePoints(const tUAInBound& sounding, const ProfileOptions& options) {
    ProfilePoints points;
    PlausibilityRule plausibility;
    AscentRateRule ascent;
    const bool sig = options.showSig;

    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        const std::int32_t flags = SignificanceFlags(level);
        const std::optional<double> vertical = VerticalValue(level, options.pressureAxis);
        if (vertical) {
            const double v = *vertical;
            if (HasProfileValue(level.Temp)) {
                const double celsius = level.Temp - KelvinToCelsius;
                AddProfilePoint(points.temperature, points.temperatureSig, sig && TemperatureSignificant(flags),
                                celsius, v);
                if (!options.pressureAxis)
                    points.temperature.back().implausible = plausibility.Implausible(level.Temp, level.Height);
            }
            if (HasProfileValue(level.Humidity))
                AddProfilePoint(points.humidity, points.humiditySig, sig && HumiditySignificant(flags, options.combineTU),
                                level.Humidity, v);
            if (HasProfileValue(level.WindDir))
                AddProfilePoint(points.windDirection, points.windDirectionSig, sig && WindSignificant(flags),
                                level.WindDir, v);
            if (HasProfileValue(level.WindSpeed))
                AddProfilePoint(points.windSpeed, points.windSpeedSig, sig && WindSignificant(flags), level.WindSpeed, v);
            if (HasTime(level)) points.heightTime.push_back(At(level.Time, v));
        }
        if (OnTrajectory(vertical.has_value(), options.pressureAxis) && !IsMissing(level.DLat)) {
            points.trajectory.push_back(TrajectoryPoint(level));
            if (vertical) points.flight.push_back(FlightPoint(level, *vertical));
        }
        if (const auto rate = ascent.Take(level)) points.ascentRate.push_back(*rate);
    }
    BreakAtNorth(points.windDirection);
    BreakAtNorth(points.windDirectionSig);
    return points;
}

// The comparison sounding keeps its own thresholds on purpose: any temperature that is not the
// missing marker, and a latitude offset above -99 (the primary sounding: a temperature above -99,
// any latitude offset that is not missing). For decoded values both select the same levels, as
// neither a temperature in K nor an offset in degrees lies between the marker and -99.
bool LacksPressures(const tUAInBound& sounding) {
    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        if (!IsMissing(level.Pressure)) return false;
    }
    return sounding.LevelCount > 0;
}

ProfilePoints SecondaryProfilePoints(const tUAInBound& sounding, const ProfileOptions& options) {
    ProfilePoints points;
    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        const std::optional<double> vertical = VerticalValue(level, options.pressureAxis);
        if (!OnTrajectory(vertical.has_value(), options.pressureAxis)) continue;
        if (vertical) {
            const double v = *vertical;
            if (!IsMissing(level.Temp)) points.temperature.push_back(At(level.Temp - KelvinToCelsius, v));
            if (HasProfileValue(level.Humidity)) points.humidity.push_back(At(level.Humidity, v));
            if (HasProfileValue(level.WindDir)) points.windDirection.push_back(At(level.WindDir, v));
            if (HasProfileValue(level.WindSpeed)) points.windSpeed.push_back(At(level.WindSpeed, v));
        }
        if (HasProfileValue(level.DLat)) {
            points.trajectory.push_back(TrajectoryPoint(level));
            if (vertical) points.flight.push_back(FlightPoint(level, *vertical));
        }
    }
    BreakAtNorth(points.windDirection);
    return points;
}

}  // namespace products

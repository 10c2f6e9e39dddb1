#pragma once
// The columns of a level of the decoded sounding as the data exports give them (JSON keys, CSV
// headers with their units), each rounded to the decimals of its BUFR element: a decoded value is
// an integer times a power of ten, and rounding gives back that decimal exactly.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "decoder/UAReport.h"

// The value rounded to Decimals (0 to 9) places, or nothing when missing.
inline std::optional<double> Rounded(double v, int decimals) {
    static constexpr double Scales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (IsMissing(v) || !std::isfinite(v)) return std::nullopt;
    const double scale = Scales[decimals < 0 ? 0 : decimals > 9 ? 9 : decimals];
    return std::round(v * scale) / scale;
}

// The launch-site coordinate moved by a displacement; a longitude is brought back into -180..180.
inline double AbsoluteCoordinate(double site, double displacement, bool longitude) {
    if (IsMissing(site) || IsMissing(displacement)) return MissingValue;
    double v = site + displacement;
    if (longitude) {
        if (v > 180) v -= 360;
        else if (v < -180) v += 360;
    }
    return v;
}

struct LevelColumn {
    const char* Key;        // JSON key
    const char* CsvHeader;  // CSV header: name and unit
    int Decimals;
    double (*Value)(const tUAReport& Report, const tUALevelRec& Level);
};

// Pressure and height carry the decimals of the high-resolution templates (1 Pa, 0.1 gpm under
// 2 07 001); the coarser templates' values have no more digits than that.
inline constexpr std::array<LevelColumn, 12> LevelColumns = {{
    {"time", "time_s", 0, [](const tUAReport&, const tUALevelRec& l) { return l.Time; }},
    {"pressure", "pressure_Pa", 0, [](const tUAReport&, const tUALevelRec& l) { return l.Pressure; }},
    {"geopotentialHeight", "geopotential_height_gpm", 1, [](const tUAReport&, const tUALevelRec& l) { return l.Height; }},
    {"latitude", "latitude_deg", 5,
     [](const tUAReport& r, const tUALevelRec& l) { return AbsoluteCoordinate(r.Latitude, l.DLat, false); }},
    {"longitude", "longitude_deg", 5,
     [](const tUAReport& r, const tUALevelRec& l) { return AbsoluteCoordinate(r.Longitude, l.DLon, true); }},
    {"latitudeDisplacement", "latitude_displacement_deg", 5, [](const tUAReport&, const tUALevelRec& l) { return l.DLat; }},
    {"longitudeDisplacement", "longitude_displacement_deg", 5,
     [](const tUAReport&, const tUALevelRec& l) { return l.DLon; }},
    {"temperature", "temperature_K", 2, [](const tUAReport&, const tUALevelRec& l) { return l.Temp; }},
    {"dewPoint", "dew_point_K", 2, [](const tUAReport&, const tUALevelRec& l) { return l.DewPoint; }},
    {"relativeHumidity", "relative_humidity_percent", 3, [](const tUAReport&, const tUALevelRec& l) { return l.Humidity; }},
    {"windDirection", "wind_direction_deg", 0, [](const tUAReport&, const tUALevelRec& l) { return l.WindDir; }},
    {"windSpeed", "wind_speed_m_s", 1, [](const tUAReport&, const tUALevelRec& l) { return l.WindSpeed; }},
}};

// The bits of 0 08 042 (extended vertical sounding significance) by name, from bit 1 (the
// highest, value 0x20000) on; bit 18 (value 1) is not kept by the decoder.
struct FlagName {
    std::int32_t Bit;
    const char* Name;
};

inline constexpr std::array<FlagName, 17> FlagNames = {{
    {0x20000, "surface"},
    {0x10000, "standardLevel"},
    {0x8000, "tropopause"},
    {0x4000, "maximumWind"},
    {0x2000, "significantTemperature"},
    {0x1000, "significantHumidity"},
    {0x800, "significantWind"},
    {0x400, "missingTemperatureBegins"},
    {0x200, "missingTemperatureEnds"},
    {0x100, "missingHumidityBegins"},
    {0x80, "missingHumidityEnds"},
    {0x40, "missingWindBegins"},
    {0x20, "missingWindEnds"},
    {0x10, "topOfWindSounding"},
    {0x8, "regionalDecision"},
    {0x4, "freezingLevel"},
    {0x2, "pressureFromHeight"},
}};

// True when the flag word holds a value (not all 18 bits set).
constexpr bool FlagsPresent(std::int32_t flags) { return flags != MissingFlags; }

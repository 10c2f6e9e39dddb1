#pragma once
// Soundings made by hand for the tests of the profile points and of the charts they fill.
#include <cstdint>
#include <vector>

#include "decoder/UAReport.h"

namespace products::test {

// A level with every value present: time in s, pressure in hPa, height in m, temperature in °C;
// the humidity 80 %, the wind 200° at 12 m/s, and offsets that grow with the time.
inline tUALevelRec Level(double time, double pressure, double height, double celsius, std::int32_t flags = 0) {
    tUALevelRec l;
    l.Time = time;
    l.Flags = flags;
    l.Pressure = pressure * 100.0;
    l.Height = height;
    l.Temp = celsius + 273.15;
    l.DewPoint = l.Temp - 2.0;
    l.Humidity = 80.0;
    l.WindDir = 200.0;
    l.WindSpeed = 12.0;
    l.DLat = time * 1e-4;
    l.DLon = time * 2e-4;
    return l;
}

inline tUAInBound Sounding(const std::vector<tUALevelRec>& levels) {
    tUAInBound s;
    s.Levels = levels;
    s.LevelCount = static_cast<std::uint16_t>(levels.size());
    return s;
}

}  // namespace products::test

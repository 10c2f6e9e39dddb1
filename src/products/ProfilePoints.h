#pragma once
// The points the profile charts show for a decoded sounding, series by series: temperature and
// humidity, wind speed and direction, their curves through the significant levels, the
// trajectory, the ascent rate, height against time and the flight in 3D. Plain values in level
// order; what the points look like and how they are sorted is the window's business.
#include <string>
#include <vector>

class tUAInBound;

namespace products {

// What decides which points a fill gives.
struct ProfileOptions {
    bool pressureAxis = true;  // pressure in hPa (on) or height in km (off) as the vertical value
    bool showSig = false;      // points of the significant levels in their own series
    bool combineTU = false;    // temperature-significant levels also count for humidity
};

struct ProfilePoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;             // the depth of a 3D point
    std::string label;          // trajectory points: the level's time in whole seconds
    bool implausible = false;   // a temperature point the plausibility rule flags
    bool breakBefore = false;   // no line from the point before (a wind direction passing north)
};

using PointList = std::vector<ProfilePoint>;

// One list per series. In the wind direction lists a step of more than 180° between neighbours
// is the direction passing north (359° to 1°): the point after it has breakBefore, so that the
// line is broken there instead of crossing the whole chart. A secondary fill leaves the significant-level, ascent-rate and
// height-time lists empty.
struct ProfilePoints {
    PointList temperature;       // (°C, vertical value)
    PointList humidity;          // (%, vertical value)
    PointList temperatureSig;
    PointList humiditySig;
    PointList windSpeed;         // (m/s, vertical value)
    PointList windDirection;     // (degrees, vertical value)
    PointList windSpeedSig;
    PointList windDirectionSig;
    PointList trajectory;        // (DLon, DLat), labelled with the time
    PointList ascentRate;        // (s, m/s)
    PointList heightTime;        // (s, vertical value)
    PointList flight;            // (DLon, vertical value, DLat)
};

// The points of the sounding that is shown and exported. A level without the vertical value of
// the mode gives no point to a series drawn against it; in height mode it gives no trajectory
// point either, in pressure mode it keeps its trajectory point. The ascent rate reads the height
// in both modes. Missing flags make no level significant.
ProfilePoints PrimaryProfilePoints(const tUAInBound& sounding, const ProfileOptions& options);

// The points of the sounding shown beside it for comparison: the profiles, the trajectory and the
// flight, with the same rule for levels without the vertical value; showSig and combineTU do not
// apply.
ProfilePoints SecondaryProfilePoints(const tUAInBound& sounding, const ProfileOptions& options);

// Whether the sounding has levels but none of them a pressure (e.g. 3-09-051 profiles): in pressure
// mode its profile charts stay empty.
bool LacksPressures(const tUAInBound& sounding);

}  // namespace products

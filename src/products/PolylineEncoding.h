#pragma once
// The Encoded Polyline Algorithm Format of the map services, precision 1e-5 degrees.
#include <string>

// One value in degrees as the characters '?' .. '~' of the format. Raises TavikError when the
// value (times 1e5) does not fit the format's 32-bit arithmetic.
std::string EncodePolylineValue(double x);

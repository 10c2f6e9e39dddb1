#pragma once
// Saturation vapour pressure over a plane surface of pure water (the WMO formula) and the
// relative humidity computed from temperature and dew point. One formula at every temperature.
#include <optional>

// T in kelvin; result in hPa. Throws std::domain_error when the arithmetic fails (T <= 0 K).
double SatVapourPressure(double T);
// t and td in degrees Celsius; result in percent. Throws std::domain_error on failure.
double RelHumidity(double t, double td);
// The same from the two saturation pressures (hPa): 100 x dewPressure / airPressure, computed as
// RelHumidity computes it. Throws std::domain_error on failure.
double HumidityOfPressures(double dewPressure, double airPressure);
// base raised to a real exponent. Throws std::domain_error for a negative base.
double RealPower(double base, double exponent);

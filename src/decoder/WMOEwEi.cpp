#include "decoder/WMOEwEi.h"

#include <cmath>
#include <stdexcept>

namespace {

constexpr long double TripleK = 273.16L;            // triple point of water, K
constexpr long double Log10Factor = 2.1836326550095501895L;  // 5.028 / ln 10
constexpr long double Ln10 = 2.302585092994045684L;

long double Checked(long double v, const char* what) {
    if (!std::isfinite(v)) throw std::domain_error(what);
    return v;
}

// ln(base); that of 10, the base of every power in the formula, is taken once.
long double LogOfBase(long double base) {
    static const long double ln10 = std::log(10.0L);
    return base == 10.0L ? ln10 : std::log(base);
}

long double RealPowerL(long double base, long double exponent) {
    if (exponent < 0) return Checked(1.0L / RealPowerL(base, -exponent), "RealPower: result out of range");
    if (base == 1.0L || exponent == 0) return 1.0L;
    if (base == 0) return 0.0L;
    if (base < 0) throw std::domain_error("RealPower: negative base");
    return Checked(std::exp(exponent * LogOfBase(base)), "RealPower: result out of range");
}

}  // namespace

double RealPower(double base, double exponent) {
    return static_cast<double>(RealPowerL(base, exponent));
}

double SatVapourPressure(double T) {
    if (!(T > 0) || !std::isfinite(T)) throw std::domain_error("SatVapourPressure: temperature out of range");
    const long double t = T;
    const long double x = t / TripleK;
    const long double c = 1.0L - TripleK / t;
    const long double a = 1.50475E-4L * (1.0L - RealPowerL(10.0L, -8.2969L * (x - 1.0L)));
    const long double b = 10.79574L * c - Log10Factor * std::log(x);
    const long double d = 4.2873E-4L * (RealPowerL(10.0L, 4.76955L * c) - 1.0L);
    const long double s = a + b + d + 0.78614L;
    const long double e = Checked(std::exp(Ln10 * s), "SatVapourPressure: result out of range");
    const double result = static_cast<double>(e);
    if (!std::isfinite(result)) throw std::domain_error("SatVapourPressure: result out of range");
    return result;
}

double RelHumidity(double t, double td) {
    const double dew = SatVapourPressure(td + 273.15);
    return HumidityOfPressures(dew, SatVapourPressure(t + 273.15));
}

double HumidityOfPressures(double dewPressure, double airPressure) {
    const long double dew = dewPressure;
    const long double air = airPressure;
    if (air == 0) throw std::domain_error("RelHumidity: zero saturation pressure");
    // The ratio first, so that equal temperatures give exactly 100.
    const long double rh = 100.0L * (dew / air);
    const double result = static_cast<double>(rh);
    if (!std::isfinite(result)) throw std::domain_error("RelHumidity: result out of range");
    return result;
}

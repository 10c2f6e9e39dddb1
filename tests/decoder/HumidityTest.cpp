// Saturation vapour pressure, relative humidity and the real power they rest on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "decoder/WMOEwEi.h"

namespace {

// Half a unit of the last digit given: the value rounds to the expected digits.
struct DigitsCase {
    double Argument1, Argument2;
    double Expected;
    double HalfUlp;
};

TEST(SatVapourPressure, MatchesReferenceValues) {
    const DigitsCase cases[] = {
        {273.15, 0, 6.10695, 0.000005},
        {263.15, 0, 2.86222, 0.000005},
        {303.15, 0, 42.4273, 0.00005},
        {233.15, 0, 0.189093, 0.0000005},
        {273.16, 0, 6.1114, 0.00005},
    };
    for (const DigitsCase& c : cases) EXPECT_NEAR(SatVapourPressure(c.Argument1), c.Expected, c.HalfUlp) << c.Argument1;
}

TEST(SatVapourPressure, AtTheTriplePointOnlyTheConstantTermRemains) {
    EXPECT_NEAR(SatVapourPressure(273.16), std::pow(10.0, 0.78614), 1e-13);
}

TEST(SatVapourPressure, RisesWithTemperatureAlsoBelowFreezing) {
    double previous = 0;
    for (double t = 180; t <= 330; t += 5) {
        const double e = SatVapourPressure(t);
        EXPECT_GT(e, previous) << t;
        previous = e;
    }
}

TEST(SatVapourPressure, FailsForTemperaturesAtOrBelowZeroKelvin) {
    const double bad[] = {0.0, -0.0, -10.0, -273.15, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e-300};
    for (double t : bad) EXPECT_THROW(SatVapourPressure(t), std::domain_error) << t;
}

TEST(RelHumidity, MatchesReferenceValues) {
    const DigitsCase cases[] = {
        {15, 10, 72.0036, 0.00005},
        {0, -10, 46.8682, 0.00005},
        {10, 15, 138.88, 0.005},  // dew point above temperature: kept above 100
    };
    for (const DigitsCase& c : cases)
        EXPECT_NEAR(RelHumidity(c.Argument1, c.Argument2), c.Expected, c.HalfUlp) << c.Argument1 << " " << c.Argument2;
}

TEST(RelHumidity, EqualTemperatureAndDewPointGiveExactlyHundred) {
    for (double t : {-80.0, -40.0, -0.01, 0.0, 4.77, 25.0, 40.0}) EXPECT_EQ(RelHumidity(t, t), 100.0) << t;
}

TEST(RelHumidity, FailsWhenEitherTemperatureIsAtAbsoluteZero) {
    EXPECT_THROW(RelHumidity(-273.15, -280), std::domain_error);
    EXPECT_THROW(RelHumidity(10, -273.15), std::domain_error);
    EXPECT_THROW(RelHumidity(std::numeric_limits<double>::quiet_NaN(), 0), std::domain_error);
}

TEST(RealPower, FollowsItsRules) {
    struct {
        double Base, Exponent, Expected;
    } const cases[] = {
        {10, 0, 1},      {-3, 0, 1},       {1, 7.5, 1},      {1, -7.5, 1},    {0, 2.5, 0},
        {2, 10, 1024},   {2, -3, 0.125},   {10, 0.5, std::sqrt(10.0)},     {4, -0.5, 0.5},
        {10, 2.0, 100},  {0.5, 2, 0.25},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(RealPower(c.Base, c.Exponent), c.Expected, 1e-12 * c.Expected) << c.Base << "^" << c.Exponent;
}

TEST(RealPower, FailsForANegativeBaseAndResultsOutOfRange) {
    EXPECT_THROW(RealPower(-2, 2), std::domain_error);
    EXPECT_THROW(RealPower(-2, -0.5), std::domain_error);
    EXPECT_THROW(RealPower(0, -1), std::domain_error);  // 1 / 0
    EXPECT_THROW(RealPower(10, 1e6), std::domain_error);
    EXPECT_THROW(RealPower(2, std::numeric_limits<double>::quiet_NaN()), std::domain_error);
}

}  // namespace

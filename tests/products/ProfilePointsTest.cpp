// The points of the profile charts derived from hand-made soundings: which level values reach
// which series, the significant-level curves, the plausibility flag, the ascent rate, the
// trajectory labels, levels without the vertical coordinate and the secondary sounding.
#include "products/ProfilePoints.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "decoder/UAReport.h"
#include "products/HandMadeSoundings.h"

namespace {

using products::PointList;
using products::ProfileOptions;
using products::ProfilePoint;
using products::ProfilePoints;
using products::test::Level;
using products::test::Sounding;
using List = PointList ProfilePoints::*;

ProfileOptions Options(bool pressure, bool showSig = false, bool combineTU = false) {
    return {.pressureAxis = pressure, .showSig = showSig, .combineTU = combineTU};
}

ProfilePoints Primary(const std::vector<tUALevelRec>& levels, const ProfileOptions& options) {
    return products::PrimaryProfilePoints(Sounding(levels), options);
}

ProfilePoints Secondary(const std::vector<tUALevelRec>& levels, const ProfileOptions& options) {
    return products::SecondaryProfilePoints(Sounding(levels), options);
}

bool Plain(const ProfilePoint& p) { return p.label.empty() && !p.implausible; }

struct Named {
    const char* name;
    List list;
};

constexpr Named ProfileLists[] = {
    {"temperature", &ProfilePoints::temperature},       {"humidity", &ProfilePoints::humidity},
    {"windDirection", &ProfilePoints::windDirection},   {"windSpeed", &ProfilePoints::windSpeed},
    {"temperatureSig", &ProfilePoints::temperatureSig}, {"humiditySig", &ProfilePoints::humiditySig},
    {"windDirectionSig", &ProfilePoints::windDirectionSig}, {"windSpeedSig", &ProfilePoints::windSpeedSig},
    {"heightTime", &ProfilePoints::heightTime},         {"trajectory", &ProfilePoints::trajectory},
    {"flight", &ProfilePoints::flight},
};

TEST(ProfilePointsTest, SignificantLevelPointsFollowFlagsShowSigAndCombineTU) {
    struct Case {
        const char* name;
        std::int32_t flags;
        bool showSig, combineTU;
        std::size_t tSig, uSig, dSig, vSig;
    };
    const Case cases[] = {
        {"ShowSig off", 0x3800, false, true, 0, 0, 0, 0},
        {"temperature level", 0x2000, true, false, 1, 0, 0, 0},
        {"temperature level combined", 0x2000, true, true, 1, 1, 0, 0},
        {"humidity level", 0x1000, true, false, 0, 1, 0, 0},
        {"wind level", 0x800, true, false, 0, 0, 1, 1},
        {"all three", 0x3800, true, false, 1, 1, 1, 1},
        {"other bits only", 0x20000 | 0x10000 | 0x4000 | 0x10, true, true, 0, 0, 0, 0},
        {"flags missing", MissingFlags, true, true, 0, 0, 0, 0},
    };
    for (const bool pressure : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (pressure ? ", pressure" : ", height"));
            const ProfilePoints p = Primary({Level(0, 1000, 100, 15, 0), Level(30, 950, 500, 12, c.flags)},
                                            Options(pressure, c.showSig, c.combineTU));
            EXPECT_EQ(p.temperatureSig.size(), c.tSig);
            EXPECT_EQ(p.humiditySig.size(), c.uSig);
            EXPECT_EQ(p.windDirectionSig.size(), c.dSig);
            EXPECT_EQ(p.windSpeedSig.size(), c.vSig);
            const double v = pressure ? 950.0 : 0.5;
            const std::pair<const PointList&, const PointList&> pairs[] = {{p.temperatureSig, p.temperature},
                                                                           {p.humiditySig, p.humidity},
                                                                           {p.windDirectionSig, p.windDirection},
                                                                           {p.windSpeedSig, p.windSpeed}};
            for (const auto& [sig, full] : pairs) {
                ASSERT_EQ(full.size(), 2u);
                if (sig.empty()) continue;
                EXPECT_DOUBLE_EQ(sig[0].x, full[1].x);
                EXPECT_DOUBLE_EQ(sig[0].y, v);
                EXPECT_TRUE(Plain(sig[0]));
            }
        }
    }
}

TEST(ProfilePointsTest, WindLevelWithoutSpeedAddsOnlyADirectionPoint) {
    tUALevelRec l = Level(10, 900, 1000, 5, 0x800);
    l.WindSpeed = MissingValue;
    const ProfilePoints p = Primary({l}, Options(true, true));
    EXPECT_EQ(p.windDirection.size(), 1u);
    EXPECT_EQ(p.windDirectionSig.size(), 1u);
    EXPECT_EQ(p.windSpeed.size(), 0u);
    EXPECT_EQ(p.windSpeedSig.size(), 0u);
}

// A direction passing north (a step of more than 180° either way) breaks the direction lines,
// primary, significant and secondary; a step of 180° or less, and every other list, does not.
TEST(ProfilePointsTest, WindDirectionBreaksWhereItPassesNorth) {
    const double directions[] = {350, 359, 1, 20, 200, 20, 181, 359, 0.5};
    const bool breaks[] = {false, false, true, false, false, false, false, false, true};
    std::vector<tUALevelRec> levels;
    for (int i = 0; i < 9; ++i) {
        tUALevelRec l = Level(10.0 * i, 1000 - 50 * i, 100 + 400 * i, 10, 0x3800);
        l.WindDir = directions[i];
        levels.push_back(l);
    }
    for (const bool pressure : {true, false}) {
        const ProfilePoints primary = Primary(levels, Options(pressure, true));
        const ProfilePoints secondary = Secondary(levels, Options(pressure));
        for (const PointList* list : {&primary.windDirection, &primary.windDirectionSig, &secondary.windDirection}) {
            ASSERT_EQ(list->size(), 9u);
            for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ((*list)[i].breakBefore, breaks[i]) << "point " << i;
        }
        for (const Named& n : ProfileLists) {
            if (n.list == &ProfilePoints::windDirection || n.list == &ProfilePoints::windDirectionSig) continue;
            for (const ProfilePoint& p : primary.*n.list) EXPECT_FALSE(p.breakBefore) << n.name;
        }
    }
    // A level without a direction between 355° and 5° does not hide the crossing.
    tUALevelRec calm = Level(5, 990, 150, 10);
    calm.WindDir = MissingValue;
    levels = {Level(0, 1000, 100, 10), calm, Level(10, 980, 200, 10)};
    levels[0].WindDir = 355;
    levels[2].WindDir = 5;
    const ProfilePoints p = Primary(levels, Options(true));
    ASSERT_EQ(p.windDirection.size(), 2u);
    EXPECT_TRUE(p.windDirection[1].breakBefore);
}

TEST(ProfilePointsTest, LacksPressuresOnlyWhenNoLevelHasOne) {
    tUALevelRec noPressure = Level(0, 1000, 100, 10);
    noPressure.Pressure = MissingValue;
    EXPECT_TRUE(products::LacksPressures(Sounding({noPressure, noPressure})));
    EXPECT_FALSE(products::LacksPressures(Sounding({noPressure, Level(10, 900, 1000, 5)})));
    EXPECT_FALSE(products::LacksPressures(Sounding({})));
}

// Which lists lose their point when one value of a level is missing; the others keep theirs.
TEST(ProfilePointsTest, AMissingValueTakesOnlyItsOwnPoints) {
    struct Case {
        const char* name;
        std::function<void(tUALevelRec&)> spoil;
        std::vector<List> lost;
    };
    using P = ProfilePoints;
    const Case cases[] = {
        {"temperature", [](tUALevelRec& l) { l.Temp = MissingValue; }, {&P::temperature, &P::temperatureSig}},
        {"humidity", [](tUALevelRec& l) { l.Humidity = MissingValue; }, {&P::humidity, &P::humiditySig}},
        {"direction", [](tUALevelRec& l) { l.WindDir = MissingValue; }, {&P::windDirection, &P::windDirectionSig}},
        {"speed", [](tUALevelRec& l) { l.WindSpeed = MissingValue; }, {&P::windSpeed, &P::windSpeedSig}},
        {"time", [](tUALevelRec& l) { l.Time = MissingValue; }, {&P::heightTime}},
        {"latitude offset", [](tUALevelRec& l) { l.DLat = MissingValue; }, {&P::trajectory, &P::flight}},
    };
    for (const bool pressure : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (pressure ? ", pressure" : ", height"));
            // The spoilt level comes second; its time is kept off the ascent rate by the first.
            tUALevelRec spoilt = Level(20, 900, 1000, 5, 0x3800);
            c.spoil(spoilt);
            const ProfilePoints p = Primary({Level(0, 1000, 100, 15, 0x3800), spoilt}, Options(pressure, true));
            for (const Named& n : ProfileLists) {
                bool lost = false;
                for (List member : c.lost) lost = lost || member == n.list;
                EXPECT_EQ((p.*n.list).size(), lost ? 1u : 2u) << n.name;
            }
        }
    }
}

TEST(ProfilePointsTest, PointsCarryConvertedValuesOnTheirVerticalCoordinate) {
    tUALevelRec l = Level(42, 850, 1500, -7.5);
    l.Humidity = 63.0;
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        const ProfilePoints p = Primary({l}, Options(pressure));
        const double v = pressure ? 850.0 : 1.5;
        struct Expect {
            const char* name;
            const PointList& list;
            double x, y, z;
        };
        const Expect expects[] = {
            {"temperature", p.temperature, -7.5, v, 0}, {"humidity", p.humidity, 63.0, v, 0},
            {"direction", p.windDirection, 200.0, v, 0}, {"speed", p.windSpeed, 12.0, v, 0},
            {"height-time", p.heightTime, 42.0, v, 0},  {"trajectory", p.trajectory, l.DLon, l.DLat, 0},
            {"flight", p.flight, l.DLon, v, l.DLat},
        };
        for (const Expect& e : expects) {
            SCOPED_TRACE(e.name);
            ASSERT_EQ(e.list.size(), 1u);
            EXPECT_NEAR(e.list[0].x, e.x, 1e-9);
            EXPECT_NEAR(e.list[0].y, e.y, 1e-9);
            EXPECT_NEAR(e.list[0].z, e.z, 1e-12);
        }
        EXPECT_TRUE(p.ascentRate.empty());
    }
}

TEST(ProfilePointsTest, TrajectoryPointsAreLabelledWithTheRoundedTime) {
    struct Case {
        double time;
        const char* label;
    };
    const Case cases[] = {{0, "0"}, {59.6, "60"}, {1234.4, "1234"}, {15998, "15998"}, {-192, "-192"}};
    std::vector<tUALevelRec> levels;
    for (const Case& c : cases) levels.push_back(Level(c.time, 900, 1000, 0));
    for (const bool pressure : {true, false}) {
        const ProfilePoints primary = Primary(levels, Options(pressure));
        const ProfilePoints secondary = Secondary(levels, Options(pressure));
        for (const PointList* list : {&primary.trajectory, &secondary.trajectory}) {
            ASSERT_EQ(list->size(), std::size(cases));
            for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ((*list)[i].label, cases[i].label);
        }
        // Only the trajectory is labelled.
        EXPECT_TRUE(Plain(secondary.flight[0]));
        EXPECT_TRUE(Plain(primary.flight[0]));
        EXPECT_TRUE(Plain(primary.temperature[0]));
    }
}

TEST(ProfilePointsTest, PlausibilityFlagInHeightModeOnly) {
    struct Case {
        const char* name;
        double dT, dH;
        bool flagged;
    };
    const Case cases[] = {
        {"1.5 K colder 100 m up", -1.5, 100, true},
        {"1.2 K colder 100 m up", -1.2, 100, false},
        {"5 K warmer 100 m up", 5.0, 100, false},
        {"0.25 K warmer at the same height", 0.25, 0, true},
        {"0.25 K colder 50 m lower", -0.25, -50, true},
        {"0.125 K warmer at the same height", 0.125, 0, false},
        {"0.125 K colder 50 m lower", -0.125, -50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<tUALevelRec> levels = {Level(0, 900, 1000, -10, 0x2000),
                                                 Level(20, 890, 1000 + c.dH, -10 + c.dT, 0x2000)};
        const ProfilePoints height = Primary(levels, Options(false, true));
        ASSERT_EQ(height.temperature.size(), 2u);
        EXPECT_TRUE(Plain(height.temperature[0]));
        EXPECT_EQ(height.temperature[1].implausible, c.flagged);
        EXPECT_TRUE(height.temperature[1].label.empty());
        EXPECT_NEAR(height.temperature[1].x, -10 + c.dT, 1e-9);
        for (const ProfilePoint& p : height.temperatureSig) EXPECT_TRUE(Plain(p));

        const ProfilePoints pressure = Primary(levels, Options(true, true));
        for (const ProfilePoint& p : pressure.temperature) EXPECT_TRUE(Plain(p));
        // The comparison sounding is never flagged.
        for (const ProfilePoint& p : Secondary(levels, Options(false)).temperature) EXPECT_TRUE(Plain(p));
    }
}

TEST(ProfilePointsTest, PreviousTemperaturePointIsTheLastOneAddedInThisFill) {
    tUALevelRec noTemp = Level(10, 895, 1050, 0);
    noTemp.Temp = MissingValue;
    tUALevelRec noHeight = Level(15, 893, 0, -20);
    noHeight.Height = MissingValue;
    const ProfilePoints p = Primary(
        {
            Level(0, 900, 1000, -10),     // first point: never flagged
            noTemp,                       // no temperature point: not the previous one
            noHeight,                     // no height: no point, not the previous one
            Level(20, 890, 1100, -11.5),  // 0.015 K/m against the first: flagged
            Level(30, 880, 1200, -12.7),  // 0.012 K/m against the flagged one (0.0135 against the first)
            Level(40, 870, 1300, -14.2),  // 0.015 K/m against the fifth: flagged
        },
        Options(false));
    ASSERT_EQ(p.temperature.size(), 4u);
    const bool flagged[] = {false, true, false, true};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(p.temperature[i].implausible, flagged[i]) << i;
    // A new fill starts again: its first point is never flagged.
    EXPECT_FALSE(Primary({Level(0, 900, 5000, 30)}, Options(false)).temperature[0].implausible);
}

// Heights rising as t * t / 10 m: the rates between the ascent points follow from that.
TEST(ProfilePointsTest, AscentRateAtSixtySecondSteps) {
    const auto height = [](double t) { return t * t / 10.0; };
    std::vector<tUALevelRec> levels;
    tUALevelRec noTime = Level(0, 1000, 50, 10);
    noTime.Time = MissingValue;
    levels.push_back(noTime);                        // no time: not the start
    levels.push_back(Level(3, 1000, -600, 10));      // height not above -500: not the start
    levels.push_back(Level(-5, 1000, 40, 10));       // negative time: not the start
    for (double t = 10; t <= 330; t += 10) levels.push_back(Level(t, 1000 - t, height(t), 10));
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        const ProfilePoints p = Primary(levels, Options(pressure));
        ASSERT_EQ(p.ascentRate.size(), 5u);
        double previous = 10;
        for (std::size_t i = 0; i < p.ascentRate.size(); ++i) {
            const double t = 10 + 60.0 * double(i + 1);
            EXPECT_DOUBLE_EQ(p.ascentRate[i].x, t);
            EXPECT_NEAR(p.ascentRate[i].y, (height(t) - height(previous)) / (t - previous), 1e-9);
            previous = t;
        }
        // The negative time gives no height-time point but keeps its profile and trajectory points.
        EXPECT_EQ(p.heightTime.size(), 33u + 1);
        EXPECT_EQ(p.temperature.size(), levels.size());
        EXPECT_EQ(p.trajectory.size(), levels.size());
        // The comparison sounding has no ascent rate and no height-time curve.
        const ProfilePoints s = Secondary(levels, Options(pressure));
        EXPECT_TRUE(s.ascentRate.empty());
        EXPECT_TRUE(s.heightTime.empty());
    }
}

TEST(ProfilePointsTest, AscentStepLongerThanSixtySeconds) {
    const ProfilePoints p = Primary({Level(0, 1000, 100, 10), Level(10, 990, 150, 10), Level(100, 950, 700, 10),
                                     Level(150, 930, 900, 10), Level(170, 920, 1100, 10)},
                                    Options(true));
    ASSERT_EQ(p.ascentRate.size(), 2u);
    EXPECT_DOUBLE_EQ(p.ascentRate[0].x, 100);
    EXPECT_DOUBLE_EQ(p.ascentRate[0].y, 6.0);
    EXPECT_DOUBLE_EQ(p.ascentRate[1].x, 170);
    EXPECT_DOUBLE_EQ(p.ascentRate[1].y, 400.0 / 70.0);
}

// Height mode leaves a level without a height out of everything but the ascent test; pressure
// mode leaves a level without a pressure out of every list plotted against the pressure and
// keeps its trajectory point.
TEST(ProfilePointsTest, LevelWithoutTheVerticalCoordinate) {
    tUALevelRec noPressure = Level(20, 0, 1200, 5);
    noPressure.Pressure = MissingValue;
    tUALevelRec noHeight = Level(40, 850, 0, 3);
    noHeight.Height = MissingValue;
    const std::vector<tUALevelRec> levels = {Level(0, 1000, 100, 10, 0x3800), noPressure, noHeight,
                                             Level(80, 800, 2000, 0, 0x3800)};
    for (const bool pressure : {true, false}) {
        SCOPED_TRACE(pressure ? "pressure" : "height");
        const ProfilePoints p = Primary(levels, Options(pressure, true));
        const ProfilePoints s = Secondary(levels, Options(pressure, true));
        // Pressure mode: the level without a pressure is left out; height mode: the one without a
        // height. Each mode keeps the level the other leaves out.
        const double kept = pressure ? 0.85 * 1000 : 1.2;
        const std::pair<const char*, const PointList&> profiles[] = {
            {"temperature", p.temperature},   {"humidity", p.humidity},     {"direction", p.windDirection},
            {"speed", p.windSpeed},           {"height-time", p.heightTime}, {"flight", p.flight},
            {"sec temperature", s.temperature}, {"sec humidity", s.humidity}, {"sec direction", s.windDirection},
            {"sec speed", s.windSpeed},       {"sec flight", s.flight}};
        for (const auto& [name, list] : profiles) {
            SCOPED_TRACE(name);
            ASSERT_EQ(list.size(), 3u);
            EXPECT_NEAR(list[1].y, kept, 1e-9);
        }
        for (const PointList* sig : {&p.temperatureSig, &p.humiditySig, &p.windDirectionSig, &p.windSpeedSig})
            EXPECT_EQ(sig->size(), 2u);
        EXPECT_EQ(p.trajectory.size(), pressure ? 4u : 3u);
        EXPECT_EQ(s.trajectory.size(), pressure ? 4u : 3u);
        // The ascent rate reads the height whatever the mode: 0 s and 80 s, the 20 s level too
        // close to the first.
        ASSERT_EQ(p.ascentRate.size(), 1u);
        EXPECT_DOUBLE_EQ(p.ascentRate[0].y, 1900.0 / 80.0);
    }
}

// The comparison sounding's own thresholds: any temperature but the missing marker, a latitude
// offset above -99. Values between the marker and -99 tell the two rules apart.
TEST(ProfilePointsTest, SecondaryThresholdsDifferFromThePrimaryOnes) {
    tUALevelRec odd = Level(10, 900, 1000, 0);
    odd.Temp = -150.0;   // K: not missing, not above -99
    odd.DLat = -150.0;   // degrees: not missing, not above -99
    const ProfilePoints p = Primary({odd}, Options(true));
    const ProfilePoints s = Secondary({odd}, Options(true));
    EXPECT_TRUE(p.temperature.empty());
    ASSERT_EQ(s.temperature.size(), 1u);
    EXPECT_DOUBLE_EQ(s.temperature[0].x, -150.0 - 273.15);
    EXPECT_EQ(p.trajectory.size(), 1u);
    EXPECT_EQ(p.flight.size(), 1u);
    EXPECT_TRUE(s.trajectory.empty());
    EXPECT_TRUE(s.flight.empty());
}

TEST(ProfilePointsTest, SecondaryIgnoresTheSignificanceOptions) {
    const std::vector<tUALevelRec> levels = {Level(0, 1000, 100, 15, 0x3800), Level(30, 950, 500, 12, 0x3800)};
    const ProfilePoints s = Secondary(levels, Options(true, true, true));
    EXPECT_EQ(s.temperature.size(), 2u);
    for (const PointList* sig : {&s.temperatureSig, &s.humiditySig, &s.windDirectionSig, &s.windSpeedSig})
        EXPECT_TRUE(sig->empty());
}

}  // namespace

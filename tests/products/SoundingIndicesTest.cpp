// The indices of whole soundings: made-up layered atmospheres whose tropopauses, freezing level and
// level indices are known by construction (at low and at high resolution with sensor noise), the
// hostile soundings (no pressure, duplicates, reversals, no humidity, a single level), and every
// real file of ../shared/realdata decoded and checked for values that cannot be.
#include "products/SoundingIndices.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HandMadeSoundings.h"
#include "core/Errors.h"
#include "products/Thermodynamics.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using products::SoundingIndices;
using products::SoundingLevel;
using products::SoundingProfile;
namespace thermo = products::thermo;

constexpr double K0 = thermo::ZeroCelsius;

// Lapse rate (K/km) of the made-up atmosphere by height: the troposphere to 11 km, an isothermal
// layer to 20 km, a 2 km layer cooling at 4 K/km, isothermal again above 22 km.
double Lapse(double z) {
    if (z < 11000) return 6.5;
    if (z < 20000) return 0.0;
    if (z < 22000) return 4.0;
    return 0.0;
}

// Levels every step metres from the ground (15 °C, 1013.25 hPa) to top, pressure from the
// hypsometric equation, the dew point 5 K below the temperature; noise (K) added to the
// temperature from a fixed sequence, pressure rounded to roundTo hPa when given.
std::vector<SoundingLevel> Layered(double step, double top, double noise = 0.0, double roundTo = 0.0) {
    std::vector<SoundingLevel> levels;
    double t = 15.0 + K0, p = 1013.25;
    unsigned seed = 12345;
    for (double z = 0; z <= top + 1e-6; z += step) {
        SoundingLevel l;
        seed = seed * 1103515245u + 12345u;
        const double jitter = noise * ((seed >> 16) % 2001 / 1000.0 - 1.0);
        l.height = z;
        l.temperature = t + jitter;
        l.dewPoint = t - 5.0;
        l.pressure = roundTo > 0 ? std::round(p / roundTo) * roundTo : p;
        l.windSpeed = 10.0 + 30.0 * std::exp(-std::pow((z - 11000.0) / 2000.0, 2));
        l.windDirection = 270.0;
        levels.push_back(l);
        const double next = t - Lapse(z) * step / 1000.0;
        p *= std::exp(-thermo::Gravity * step / (thermo::Rd * 0.5 * (t + next)));
        t = next;
    }
    return levels;
}

TEST(SoundingIndices, LayeredAtmosphereGivesItsTropopausesFreezingLevelAndMaximumWind) {
    const SoundingIndices x = products::ComputeIndices(products::CleanProfile(Layered(500.0, 30000.0)));
    ASSERT_TRUE(x.tropopause1.found);
    EXPECT_DOUBLE_EQ(x.tropopause1.height, 11000.0);
    EXPECT_NEAR(x.tropopause1.temperature - K0, 15.0 - 6.5 * 11, 1e-9);
    ASSERT_TRUE(x.tropopause2.found);
    EXPECT_DOUBLE_EQ(x.tropopause2.height, 22000.0);
    ASSERT_EQ(x.freezingLevels.size(), 1u);
    EXPECT_NEAR(x.freezingLevels[0].height, 15.0 / 6.5 * 1000.0, 1e-6);
    ASSERT_TRUE(x.maxWind.found);
    EXPECT_DOUBLE_EQ(x.maxWind.height, 11000.0);
    EXPECT_NEAR(x.maxWind.speed, 40.0, 1e-9);
    // Saturated to within 5 K with 6.5 K/km: precipitable water of a moist mid-latitude summer.
    EXPECT_GT(x.precipitableWater, 10.0);
    EXPECT_LT(x.precipitableWater, 40.0);
}

TEST(SoundingIndices, HighResolutionNoiseDoesNotMoveTheTropopauses) {
    // 5 m steps, +-0.05 K of noise and pressure in 0.1 hPa, as a high-resolution ascent reports
    // it: the upper levels repeat their pressure and are left out with a note.
    const SoundingProfile profile = products::CleanProfile(Layered(5.0, 30000.0, 0.05, 0.1));
    ASSERT_GT(profile.levels.size(), 4000u);
    EXPECT_NE(std::find_if(profile.notes.begin(), profile.notes.end(),
                           [](const std::string& n) { return n.find("повторяющимся давлением") != std::string::npos; }),
              profile.notes.end());
    const SoundingIndices x = products::ComputeIndices(profile);
    ASSERT_TRUE(x.tropopause1.found);
    EXPECT_NEAR(x.tropopause1.height, 11000.0, 150.0);
    ASSERT_TRUE(x.tropopause2.found);
    EXPECT_NEAR(x.tropopause2.height, 22000.0, 150.0);
}

// Levels at given pressures (hPa) with temperature and dew point in °C (NaN: missing).
std::vector<SoundingLevel> At(std::initializer_list<std::array<double, 3>> rows) {
    std::vector<SoundingLevel> levels;
    for (const auto& r : rows) {
        SoundingLevel l;
        l.pressure = r[0];
        l.temperature = r[1] + K0;
        l.dewPoint = r[2] + K0;
        levels.push_back(l);
    }
    return levels;
}

TEST(SoundingIndices, LevelIndicesFromTheStandardLevels) {
    const SoundingIndices x = products::ComputeIndices(products::CleanProfile(
        At({{1000, 20, 15}, {850, 15, 10}, {700, 5, 0}, {500, -10, -30}, {300, -40, -60}})));
    EXPECT_NEAR(x.kIndex, (15 + 10) + 10 - (5 - 0), 1e-9);
    EXPECT_NEAR(x.verticalTotals, 25.0, 1e-9);
    EXPECT_NEAR(x.crossTotals, 20.0, 1e-9);
    EXPECT_NEAR(x.totalTotals, 45.0, 1e-9);
    // Showalter: the 850 hPa parcel (15 °C, 10 °C) at 500 hPa, beside -10 °C.
    const products::ParcelResult from850 = products::LiftParcel(products::CleanProfile(At({{850, 15, 10}, {500, -10, -30}})), 850, 15 + K0, 10 + K0);
    ASSERT_TRUE(from850.valid);
    EXPECT_NEAR(x.showalterIndex, -10.0 - (from850.path.back().temperature - K0), 1e-6);
    EXPECT_TRUE(std::isnan(x.tropopause1.pressure)) << "no tropopause in five levels ending at 300 hPa";
}

TEST(SoundingIndices, UnstableParcelHasItsAreasBetweenCrossings) {
    // A warm moist surface under a steep lapse rate, a cap at 850 hPa.
    const SoundingIndices x = products::ComputeIndices(products::CleanProfile(At({{1000, 30, 23},
                                                                                   {950, 25, 20},
                                                                                   {900, 21, 17},
                                                                                   {850, 20, 10},
                                                                                   {700, 8, -5},
                                                                                   {500, -12, -30},
                                                                                   {400, -24, -40},
                                                                                   {300, -40, -55},
                                                                                   {200, -56, -70},
                                                                                   {100, -60, -80}})));
    const products::ParcelResult& s = x.surface;
    ASSERT_TRUE(s.valid);
    EXPECT_GT(s.plain.cape, 500.0);
    EXPECT_LE(s.plain.cin, 0.0);
    EXPECT_GT(s.virtualCorrected.cape, s.plain.cape) << "the moist parcel gains with the virtual correction";
    EXPECT_LT(s.lcl.pressure, 1000.0);
    EXPECT_LE(s.plain.lfc.pressure, s.lcl.pressure);
    EXPECT_LT(s.plain.el.pressure, s.plain.lfc.pressure);
    EXPECT_LT(x.liftedIndex, 0.0);
    ASSERT_FALSE(s.areas.empty());
    for (std::size_t i = 0; i < s.areas.size(); ++i) {
        const products::BuoyantArea& a = s.areas[i];
        ASSERT_LT(a.first, a.last);
        ASSERT_LT(a.last, s.path.size());
        for (std::size_t k = a.first; k <= a.last; ++k) {
            const double d = s.path[k].temperature - s.path[k].environment;
            EXPECT_TRUE(a.positive ? d >= -1e-9 : d <= 1e-9) << "area " << i << " point " << k;
        }
        if (i > 0) {
            EXPECT_NE(a.positive, s.areas[i - 1].positive);
        }
    }
    EXPECT_NEAR(s.path[s.areas.back().last].pressure, s.plain.el.pressure, 1e-6) << "the shading ends at the EL";
}

struct HostileCase {
    const char* name;
    std::vector<tUALevelRec> levels;
    std::size_t keptLevels;
    std::vector<const char*> notes;  // parts of the notes expected
    bool parcels;                    // the surface parcel can be computed
};

tUALevelRec NoHumidity(tUALevelRec l) {
    l.DewPoint = MissingValue;
    l.Humidity = MissingValue;
    return l;
}
tUALevelRec NoPressure(tUALevelRec l) {
    l.Pressure = MissingValue;
    return l;
}

std::vector<tUALevelRec> Column(std::initializer_list<std::array<double, 3>> rows) {
    std::vector<tUALevelRec> levels;
    double t = 0;
    for (const auto& r : rows) levels.push_back(products::test::Level(t += 10, r[0], r[1], r[2]));
    return levels;
}

std::vector<HostileCase> HostileCases() {
    using products::test::Level;
    const auto base = Column({{1000, 100, 20}, {925, 800, 15}, {850, 1500, 10}, {700, 3000, 0}, {500, 5600, -15},
                              {300, 9200, -40}, {200, 11800, -55}, {100, 16200, -60}});
    std::vector<HostileCase> cases;
    cases.push_back({"clean", base, 8, {}, true});
    auto reversed = base;
    reversed.insert(reversed.begin() + 3, Level(35, 880, 1300, 11));
    cases.push_back({"non-monotonic pressure", reversed, 8, {"нарушающих убывание давления: 1"}, true});
    auto glitch = base;
    glitch.insert(glitch.begin() + 1, Level(15, 50, 900, 14));
    cases.push_back({"one far too low pressure early", glitch, 8, {"нарушающих убывание давления: 1"}, true});
    auto duplicates = base;
    duplicates.insert(duplicates.begin() + 2, duplicates[1]);
    duplicates.insert(duplicates.begin() + 5, duplicates[4]);
    cases.push_back({"duplicate levels", duplicates, 8, {"повторяющимся давлением: 2"}, true});
    std::vector<tUALevelRec> dry;
    for (const auto& l : base) dry.push_back(NoHumidity(l));
    cases.push_back({"no humidity at all", dry, 8, {"без точки росы: 8", "нет точки росы у первого уровня"}, false});
    auto gaps = base;
    gaps[2] = NoHumidity(gaps[2]);
    gaps[4] = NoHumidity(gaps[4]);
    cases.push_back({"humidity gaps", gaps, 8, {"без точки росы: 2"}, true});
    std::vector<tUALevelRec> noPressure;
    for (const auto& l : base) noPressure.push_back(NoPressure(l));
    cases.push_back({"no pressure at all", noPressure, 0, {"без давления: 8", "недостаточно уровней"}, false});
    cases.push_back({"a single level", {base[0]}, 1, {"недостаточно уровней"}, false});
    cases.push_back({"all missing", std::vector<tUALevelRec>(5), 0, {"без давления: 5", "недостаточно уровней"}, false});
    cases.push_back({"no levels", {}, 0, {"недостаточно уровней"}, false});
    auto descent = base;
    std::reverse(descent.begin(), descent.end());
    cases.push_back({"a descent", descent, 8, {"спуска взяты снизу вверх"}, true});
    auto windOnly = base;
    tUALevelRec wind = Level(45, 400, 7000, -30);
    wind.Temp = MissingValue;
    wind.DewPoint = MissingValue;
    wind.WindSpeed = 55.0;
    windOnly.insert(windOnly.begin() + 5, wind);
    cases.push_back({"a wind-only level", windOnly, 8, {"только с ветром (без температуры): 1"}, true});
    auto wild = base;
    wild[6].Temp = 1.0e6;
    wild[5].DewPoint = wild[5].Temp + 10.0;
    cases.push_back({"values out of any range", wild, 7, {"только с ветром (без температуры): 1", "более чем на 1 K"}, true});
    return cases;
}

TEST(SoundingIndices, HostileSoundingsKeepTheValidPartAndSayWhatWasLeftOut) {
    for (const HostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.name);
        const SoundingProfile profile = products::BuildSoundingProfile(products::test::Sounding(c.levels));
        EXPECT_EQ(profile.levels.size(), c.keptLevels);
        for (std::size_t i = 1; i < profile.levels.size(); ++i)
            EXPECT_LT(profile.levels[i].pressure, profile.levels[i - 1].pressure);
        const SoundingIndices x = products::ComputeIndices(profile);
        const std::vector<std::string> lines = products::IndexPanelLines(x);
        std::string panel;
        for (const std::string& l : lines) panel += l + "\n";
        for (const char* note : c.notes) EXPECT_NE(panel.find(note), std::string::npos) << note << "\n" << panel;
        EXPECT_EQ(x.surface.valid, c.parcels) << panel;
        if (c.notes.empty()) {
            EXPECT_EQ(panel.find("Примечание"), std::string::npos) << panel;
        }
        if (c.parcels) {
            EXPECT_GE(x.surface.plain.cape, 0.0);
            EXPECT_LE(x.surface.plain.cin, 0.0);
            if (!std::isnan(x.kIndex)) {
                EXPECT_NEAR(x.kIndex, (10 + 15) + 8 - (0 - -2), 1e-9) << "the standard levels survive";
            }
        }
    }
}

TEST(SoundingIndices, PanelLinesAreRussianWithUnits) {
    const std::vector<std::string> lines =
        products::IndexPanelLines(products::ComputeIndices(products::CleanProfile(Layered(500.0, 30000.0))));
    std::string panel;
    for (const std::string& l : lines) panel += l + "\n";
    for (const char* part : {"Приземная частица: 1013 гПа, T 15.0 °C, Td 10.0 °C", "CAPE: ", "Дж/кг", "Индекс K: ",
                             "Осаждаемая вода: ", " мм (до ", "Уровень 0 °C: 2308 м", "Тропопауза: ",
                             "Вторая тропопауза: ", "Максимальный ветер: 40 м/с, 270°"})
        EXPECT_NE(panel.find(part), std::string::npos) << part << "\n" << panel;
}

TEST(SoundingIndices, RandomGarbageNeverBreaksTheInvariants) {
    // Values anywhere, missing (NaN) or the decoder's missing value, in any order: the profile
    // keeps a falling pressure and the indices stay within their signs.
    std::mt19937 random(20);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](double lo, double hi) {
        const double x = unit(random);
        return x < 0.1 ? products::NoValue : x < 0.15 ? MissingValue : lo + (hi - lo) * unit(random);
    };
    for (int k = 0; k < 500; ++k) {
        std::vector<SoundingLevel> levels(random() % 60);
        for (SoundingLevel& l : levels) {
            l.pressure = pick(-10, 1200);
            l.temperature = pick(100, 400);
            l.dewPoint = pick(100, 400);
            l.height = pick(-500, 40000);
            l.windSpeed = pick(-5, 300);
            l.windDirection = pick(-10, 400);
        }
        const SoundingProfile profile = products::CleanProfile(levels);
        for (std::size_t i = 1; i < profile.levels.size(); ++i)
            ASSERT_LT(profile.levels[i].pressure, profile.levels[i - 1].pressure);
        const SoundingIndices x = products::ComputeIndices(profile);
        for (const products::ParcelResult* r : {&x.surface, &x.mixedLayer, &x.mostUnstable}) {
            EXPECT_GE(r->plain.cape, 0.0);
            EXPECT_LE(r->plain.cin, 0.0);
            EXPECT_GE(r->virtualCorrected.cape, 0.0);
            EXPECT_LE(r->virtualCorrected.cin, 0.0);
            for (const products::BuoyantArea& a : r->areas) EXPECT_LT(a.last, r->path.size());
        }
        EXPECT_FALSE(products::IndexPanelLines(x).empty());
    }
}

// Every subset of the first message of every real file: the indices exist where the data allow
// and hold no value that cannot be. The table goes to the output.
TEST(SoundingIndices, RealFilesGivePlausibleIndices) {
    TAVIK_REQUIRE_PATH(RealDataDir());
    std::printf("%-44s %-10s %-17s %6s %6s %6s %6s %6s %6s %14s %16s\n", "file", "station", "launch", "levels", "SBCAPE",
                "LI", "K", "TT", "PW mm", "0 °C m", "tropopause hPa/m");
    int soundings = 0;
    for (const fs::path& file : ListBufrFiles(RealDataDir())) {
        try {
            DecoderHarness h(file);
            if (!h.Parsed() || !h.Scan()) continue;
            for (unsigned k = 0; (k == 0 || k < h.Decoder.SubsetCount()) && h.DecodeNext(); ++k) {
                const SoundingProfile profile = products::BuildSoundingProfile(h.Decoder);
                const SoundingIndices x = products::ComputeIndices(profile);
                const std::vector<std::string> lines = products::IndexPanelLines(x);
                EXPECT_FALSE(lines.empty());
                ++soundings;
                for (const products::ParcelResult* r : {&x.surface, &x.mixedLayer, &x.mostUnstable}) {
                    if (!r->valid) continue;
                    EXPECT_GE(r->plain.cape, 0.0) << file;
                    EXPECT_LT(r->plain.cape, 8000.0) << file;
                    EXPECT_LE(r->plain.cin, 0.0) << file;
                }
                if (!std::isnan(x.precipitableWater)) {
                    EXPECT_GE(x.precipitableWater, 0.0) << file;
                    EXPECT_LT(x.precipitableWater, 90.0) << file;
                }
                if (x.tropopause1.found) {
                    EXPECT_LE(x.tropopause1.pressure, 500.0) << file;
                    EXPECT_GT(x.tropopause1.pressure, 50.0) << file;
                }
                if (x.tropopause2.found) {
                    EXPECT_LT(x.tropopause2.pressure, x.tropopause1.pressure) << file;
                }
                std::string freezing;
                for (const auto& f : x.freezingLevels) freezing += (freezing.empty() ? "" : ",") + std::to_string(std::lround(f.height));
                char trop[48] = "-";
                if (x.tropopause1.found) std::snprintf(trop, sizeof trop, "%.0f/%.0f", x.tropopause1.pressure, x.tropopause1.height);
                std::printf("%-44s %-10s %-17s %6zu %6.0f %6.1f %6.1f %6.1f %6.1f %14s %16s\n",
                            file.filename().string().substr(0, 44).c_str(), h.Decoder.StationText().c_str(),
                            h.Decoder.LaunchTimeText().c_str(), profile.levels.size(),
                            x.surface.valid ? x.surface.plain.cape : NAN, x.liftedIndex, x.kIndex, x.totalTotals,
                            x.precipitableWater, freezing.empty() ? "-" : freezing.c_str(), trop);
            }
        } catch (const TavikError& e) {
            std::printf("%s: %s\n", file.filename().c_str(), e.what());
        }
    }
    EXPECT_GT(soundings, 20);
}

}  // namespace

TEST(SoundingIndices, PanelShowsAValueThatRoundsToZeroAsZero) {
    SoundingIndices x;
    x.surface.valid = true;
    x.surface.plain.cin = -0.3;
    x.surface.virtualCorrected.cin = -0.49;
    x.surface.plain.cape = 0.2;
    x.liftedIndex = -0.04;
    x.showalterIndex = -0.06;
    std::string panel;
    for (const std::string& l : products::IndexPanelLines(x)) panel += l + "\n";
    EXPECT_NE(panel.find("CIN: 0 Дж/кг (с поправкой на виртуальную температуру 0 Дж/кг)"), std::string::npos) << panel;
    EXPECT_NE(panel.find("Индекс подъёма LI: 0.0 K"), std::string::npos) << panel;
    EXPECT_NE(panel.find("Индекс Шоуолтера: -0.1 K"), std::string::npos) << panel;
    EXPECT_EQ(panel.find("-0 "), std::string::npos) << panel;
}

// A dew point whose vapour pressure reaches the level's pressure has no virtual temperature; the
// heights filled above it still come from the plain temperature.
TEST(SoundingIndices, OneLevelWithoutVirtualTemperatureLeavesTheHeightsAboveIt) {
    const SoundingProfile profile = products::CleanProfile(
        At({{1000, 15, 10}, {500, -20, -30}, {10, -50, -60}, {5, 2, 1.9}, {4, -40, NAN}, {3, -35, NAN}}));
    ASSERT_EQ(profile.levels.size(), 6u);
    ASSERT_TRUE(std::isnan(thermo::VirtualTemperatureFromDewPoint(5, 2 + K0, 1.9 + K0)));
    for (std::size_t i = 1; i < profile.levels.size(); ++i) {
        ASSERT_TRUE(std::isfinite(profile.levels[i].height)) << i;
        EXPECT_GT(profile.levels[i].height, profile.levels[i - 1].height) << i;
    }
}

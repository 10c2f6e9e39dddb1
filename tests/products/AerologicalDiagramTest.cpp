#include "products/AerologicalDiagram.h"

#include "products/SoundingIndices.h"
#include "products/Thermodynamics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace products {
namespace {

constexpr double K0 = thermo::ZeroCelsius;

// Where a diagram point lands on a plot of the frame's proportions, height 1: x right, y up.
std::pair<double, double> OnPlot(const DiagramFrame& f, const DiagramPoint& p) {
    const double v = std::log(f.bottomPressure / p.pressure) / std::log(f.bottomPressure / f.topPressure);
    return {(p.x - f.leftX) / (f.rightX - f.leftX) * f.aspect, v};
}

// The point of a line nearest a pressure.
const DiagramPoint& Nearest(const DiagramLine& line, double pressure) {
    const DiagramPoint* best = &line.points.front();
    for (const DiagramPoint& p : line.points)
        if (std::abs(p.pressure - pressure) < std::abs(best->pressure - pressure)) best = &p;
    return *best;
}

TEST(AerologicalDiagramTest, SkewTIsothermsLeanAt45DegreesAndTheEmagramsStandUpright) {
    for (DiagramKind kind : {DiagramKind::SkewT, DiagramKind::Emagram}) {
        const DiagramFrame f = MakeDiagramFrame(kind);
        SCOPED_TRACE(static_cast<int>(kind));
        const auto isotherms = MakeDiagramBackground(f).Of(DiagramFamily::Isotherm);
        ASSERT_GE(isotherms.size(), 8u);
        for (const DiagramLine& line : isotherms) {
            const auto [x0, y0] = OnPlot(f, line.points.front());
            const auto [x1, y1] = OnPlot(f, line.points.back());
            if (kind == DiagramKind::SkewT) EXPECT_NEAR(x1 - x0, y1 - y0, 1e-9) << line.label;
            else EXPECT_NEAR(x1, x0, 1e-12) << line.label;
            // Skewed ones carry the temperature of every point of the line; upright ones the axis names.
            EXPECT_EQ(line.label.empty(), kind == DiagramKind::Emagram);
            if (line.label.empty()) continue;
            for (const DiagramPoint& p : line.points) EXPECT_NEAR(f.TemperatureAt(p.x, p.pressure), std::stod(line.label), 1e-9);
        }
        // At the bottom of the frame x is the temperature.
        EXPECT_DOUBLE_EQ(f.X(-12.5, f.bottomPressure), -12.5);
        EXPECT_NEAR(f.TemperatureAt(f.X(-56.0, 230.0), 230.0), -56.0, 1e-12);
    }
}

TEST(AerologicalDiagramTest, BackgroundFamiliesCrossTheFrameAndCarryTheirValues) {
    for (DiagramKind kind : {DiagramKind::SkewT, DiagramKind::Emagram}) {
        const DiagramFrame f = MakeDiagramFrame(kind);
        SCOPED_TRACE(static_cast<int>(kind));
        const DiagramBackground b = MakeDiagramBackground(f);
        for (int family = 0; family < DiagramFamilyCount; ++family) {
            ASSERT_FALSE(b.families[family].empty()) << family;
            for (const DiagramLine& line : b.families[family]) {
                bool inside = false;
                for (const DiagramPoint& p : line.points) inside = inside || f.Contains(p.x, p.pressure);
                EXPECT_TRUE(inside) << family << " " << line.label;
                if (family != static_cast<int>(DiagramFamily::Isotherm)) {
                    EXPECT_EQ(line.label.empty(), family == static_cast<int>(DiagramFamily::Isobar));
                }
            }
        }
        const auto& isobars = b.Of(DiagramFamily::Isobar);
        ASSERT_EQ(isobars.size(), StandardIsobars.size());
        EXPECT_EQ(isobars.front().points.front().pressure, 1000.0);
        EXPECT_EQ(isobars.back().points.front().pressure, 100.0);
        // Dry adiabats and pseudo-adiabats are named by their temperature at 1000 hPa.
        for (DiagramFamily family : {DiagramFamily::DryAdiabat, DiagramFamily::PseudoAdiabat})
            for (const DiagramLine& line : b.Of(family)) {
                const DiagramPoint& p = Nearest(line, 1000.0);
                if (std::abs(p.pressure - 1000.0) > 1.0) continue;
                const double t = f.TemperatureAt(p.x, p.pressure);
                const double expected = family == DiagramFamily::DryAdiabat
                                            ? thermo::DryAdiabatTemperature(std::stod(line.label) + K0, p.pressure) - K0
                                            : thermo::PseudoAdiabatTemperature(1000.0, std::stod(line.label) + K0, p.pressure) - K0;
                EXPECT_NEAR(t, expected, 1e-6) << line.label;
            }
        // The saturation mixing ratio along a mixing-ratio line is its label; the lines stop at 600 hPa.
        for (const DiagramLine& line : b.Of(DiagramFamily::MixingRatio)) {
            std::string label = line.label;
            for (char& c : label) if (c == ',') c = '.';
            for (const DiagramPoint& p : line.points) {
                EXPECT_GE(p.pressure, 600.0 - 1e-9);
                const double t = f.TemperatureAt(p.x, p.pressure) + K0;
                EXPECT_NEAR(thermo::SaturationMixingRatio(p.pressure, t) * 1000.0, std::stod(label), 1e-3 * std::stod(label));
            }
        }
    }
}

TEST(AerologicalDiagramTest, PseudoAdiabatsStayWarmerThanDryAdiabatsAboveTheirStart) {
    const DiagramFrame f = MakeDiagramFrame(DiagramKind::SkewT);
    const DiagramBackground b = MakeDiagramBackground(f);
    const DiagramLine* dry = nullptr;
    const DiagramLine* moist = nullptr;
    for (const DiagramLine& l : b.Of(DiagramFamily::DryAdiabat)) if (l.label == "20") dry = &l;
    for (const DiagramLine& l : b.Of(DiagramFamily::PseudoAdiabat)) if (l.label == "20") moist = &l;
    ASSERT_TRUE(dry && moist);
    const DiagramPoint& d = Nearest(*dry, 500.0);
    const DiagramPoint& m = Nearest(*moist, 500.0);
    ASSERT_EQ(d.pressure, m.pressure);
    EXPECT_GT(m.x, d.x + 20.0);   // some 25 K of latent heat by 500 hPa
}

SoundingProfile HandProfile() {
    std::vector<SoundingLevel> observed;
    // p, T (°C), Td (°C, NaN: missing), wind direction, speed; 600 hPa is a wind-only level
    const double rows[][5] = {{1000, 25, 20, 180, 3},  {950, 21, 17, 200, 8},   {900, 17, NAN, NAN, 12},
                              {850, 14, NAN, 230, 15}, {700, 3, -8, 250, 22},   {600, NAN, NAN, 255, 27},
                              {500, -15, -30, 260, 31}, {300, -42, -55, 270, 52}, {200, -55, NAN, 270, NAN}};
    for (const auto& r : rows)
        observed.push_back({r[0], NoValue, r[1] + K0, r[2] + K0, r[3], r[4]});
    return products::CleanProfile(observed);
}

TEST(AerologicalDiagramTest, SoundingCurvesBreakAtDewPointGapsAndKeepTheWinds) {
    const DiagramFrame f = MakeDiagramFrame(DiagramKind::SkewT);
    const DiagramSounding d = MakeDiagramSounding(f, HandProfile(), nullptr);
    ASSERT_EQ(d.temperature.points.size(), 8u);
    EXPECT_NEAR(f.TemperatureAt(d.temperature.points[5].x, 500.0), -15.0, 1e-9);
    ASSERT_EQ(d.dewPoint.points.size(), 5u);
    ASSERT_EQ(d.dewPoint.breakBefore.size(), 5u);
    const std::vector<bool> breaks = {false, false, true, false, false};
    EXPECT_EQ(d.dewPoint.breakBefore, breaks);
    EXPECT_EQ(d.dewPoint.points[2].pressure, 700.0);
    ASSERT_EQ(d.barbs.size(), 7u);
    EXPECT_EQ(d.barbs[2].pressure, 850.0);
    EXPECT_EQ(d.barbs[4].pressure, 600.0) << "a wind level without temperature has its barb";
    EXPECT_EQ(d.barbs[6].speed, 52.0);
    EXPECT_TRUE(d.parcel.points.empty() && d.marks.empty() && d.positiveAreas.empty());
    // No levels (a sounding without pressures): nothing to draw, nothing broken.
    const DiagramSounding none = MakeDiagramSounding(f, SoundingProfile{}, nullptr);
    EXPECT_TRUE(none.temperature.points.empty() && none.dewPoint.points.empty() && none.barbs.empty());
}

TEST(AerologicalDiagramTest, ParcelAreasAreClosedPolygonsOnTheRightSide) {
    const DiagramFrame f = MakeDiagramFrame(DiagramKind::SkewT);
    ParcelResult parcel;
    parcel.valid = true;
    // Colder than the air from 1000 to 850 hPa, warmer up to 400, crossing at 850 and 400.
    parcel.path = {{1000, 20 + K0, 25 + K0}, {900, 13 + K0, 17 + K0}, {850, 14 + K0, 14 + K0},
                   {700, 8 + K0, 3 + K0},    {500, -9 + K0, -15 + K0}, {400, -25 + K0, -25 + K0}};
    parcel.areas = {{0, 2, false}, {2, 5, true}, {5, 9, true}};   // the last one points past the path
    parcel.lcl = {930, 15 + K0};
    parcel.plain.lfc = {850, 14 + K0};
    parcel.plain.el = {400, -25 + K0};
    const DiagramSounding d = MakeDiagramSounding(f, HandProfile(), &parcel);
    ASSERT_EQ(d.parcel.points.size(), 6u);
    ASSERT_EQ(d.negativeAreas.size(), 1u);
    ASSERT_EQ(d.positiveAreas.size(), 1u) << "an area past the path's end is left out";
    const DiagramLine& pos = d.positiveAreas[0];
    ASSERT_EQ(pos.points.size(), 8u);   // 4 parcel points up, 4 environment points down
    EXPECT_EQ(pos.points.front().pressure, 850.0);
    EXPECT_EQ(pos.points[3].pressure, 400.0);
    EXPECT_EQ(pos.points[4].pressure, 400.0);
    EXPECT_EQ(pos.points.back().pressure, 850.0);
    // Up the parcel, down the environment: at 700 hPa the parcel (first half) is warmer.
    EXPECT_NEAR(f.TemperatureAt(pos.points[1].x, 700), 8.0, 1e-9);
    EXPECT_NEAR(f.TemperatureAt(pos.points[6].x, 700), 3.0, 1e-9);
    const DiagramLine& neg = d.negativeAreas[0];
    EXPECT_LT(neg.points[1].x, neg.points[4].x);   // at 900 hPa the parcel is colder
    ASSERT_EQ(d.marks.size(), 3u);
    EXPECT_EQ(d.marks[0].label, "УК");
    EXPECT_EQ(d.marks[0].at.pressure, 930.0);
    EXPECT_EQ(d.marks[2].label, "УНП");
    // An LFC that was not found gives no mark; one within 15 hPa of the LCL shares its mark.
    parcel.plain.lfc = {};
    EXPECT_EQ(MakeDiagramSounding(f, HandProfile(), &parcel).marks.size(), 2u);
    parcel.plain.lfc = {920, 14.5 + K0};
    const auto shared = MakeDiagramSounding(f, HandProfile(), &parcel).marks;
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[0].label, "УК, УСК");
    EXPECT_EQ(shared[0].at.pressure, 930.0);
}

}  // namespace
}  // namespace products

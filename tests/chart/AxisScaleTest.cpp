#include "chart/AxisScale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace chart {
namespace {

// Every label takes the same room, so the tests choose the density by the length alone.
std::vector<QString> Labels(const AxisScale& s, double length, double extent) {
    std::vector<QString> out;
    for (const Tick& t : MakeTicks(s, length, [extent](const QString&) { return extent; }, 2.0))
        out.push_back(t.label);
    return out;
}

std::vector<QString> L(std::initializer_list<const char*> items) {
    std::vector<QString> out;
    for (const char* s : items) out.push_back(QString::fromLatin1(s));
    return out;
}

TEST(AxisScale, LogarithmicTicksFollowTheDecades) {
    const AxisScale pressure{10, 1000, true, true};
    struct Case {
        double length;
        std::vector<QString> labels;
    };
    const Case cases[] = {
        {2000, L({"10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "200", "300", "400", "500",
                  "600", "700", "800", "900", "1000"})},
        {600, L({"10", "20", "30", "50", "70", "100", "200", "300", "500", "700", "1000"})},
        {150, L({"10", "20", "50", "100", "200", "500", "1000"})},
        {70, L({"10", "30", "100", "300", "1000"})},
        {40, L({"10", "100", "1000"})},
    };
    for (const Case& c : cases) {
        auto labels = Labels(pressure, c.length, 12);
        std::sort(labels.begin(), labels.end(), [](const QString& a, const QString& b) { return a.toDouble() < b.toDouble(); });
        EXPECT_EQ(labels, c.labels) << "length " << c.length;
    }
    EXPECT_EQ(Labels({0.01, 100000, true, false}, 50, 12), L({"0.01", "1", "100", "10000"}));
}

TEST(AxisScale, ChosenValuesAreLabelledAsManyAsFitEarlierOnesFirst) {
    const AxisScale pressure{10, 1000, true, true};
    const std::vector<double> levels = {1000, 850, 700, 500, 300, 200, 100, 50, 10, 925, 400, 250, 150, 70, 30, 20, 7, 5};
    auto labels = [&](const AxisScale& s, double length) {
        std::vector<QString> out;
        for (const Tick& t : MakeTicksAt(s, levels, length, [](const QString&) { return 12.0; }, 2.0))
            out.push_back(t.label);
        return out;
    };
    // Room for all: every chosen value in the range, none of the decade steps that is not chosen.
    EXPECT_EQ(labels(pressure, 2000), L({"10", "20", "30", "50", "70", "100", "150", "200", "250", "300", "400", "500",
                                         "700", "850", "925", "1000"}));
    // 150 px a decade: 850 and 925 lie too close to 1000, 250 to 300; the rest fit beside the
    // ones before them in the list.
    EXPECT_EQ(labels(pressure, 300), L({"10", "20", "30", "50", "70", "100", "150", "200", "300", "400", "500", "700", "1000"}));
    // Fewer than two chosen values in the range: the usual steps.
    const AxisScale narrow{420, 480, true, true};
    EXPECT_EQ(labels(narrow, 300), Labels(narrow, 300, 12));
    EXPECT_FALSE(labels(narrow, 300).empty());
}

TEST(AxisScale, LinearTicksStepByOneTwoFive) {
    struct Case {
        double lo, hi, length;
        std::vector<QString> labels;
    };
    const Case cases[] = {
        {0, 15, 300, L({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15"})},
        {0, 15, 120, L({"0", "2", "4", "6", "8", "10", "12", "14"})},
        {0, 15, 60, L({"0", "5", "10", "15"})},
        {-0.3, 0.25, 80, L({"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2"})},
        {-60.5, 31, 100, L({"-60", "-40", "-20", "0", "20"})},
    };
    for (const Case& c : cases) EXPECT_EQ(Labels({c.lo, c.hi, false, false}, c.length, 12), c.labels) << c.lo << " " << c.hi;
}

TEST(AxisScale, FractionMapsLinearLogarithmicAndInverted) {
    struct Case {
        AxisScale scale;
        double value;
        std::optional<double> fraction;
    };
    const Case cases[] = {
        {{0, 10, false, false}, 2.5, 0.25},
        {{0, 10, false, true}, 2.5, 0.75},
        {{0, 10, false, false}, 12, 1.2},
        {{10, 1000, true, false}, 100, 0.5},
        {{10, 1000, true, true}, 700, 1.0 - std::log10(70.0) / 2.0},
        {{10, 1000, true, false}, 0, std::nullopt},
        {{10, 1000, true, false}, -5, std::nullopt},
        {{0, 10, false, false}, std::nan(""), std::nullopt},
    };
    for (const Case& c : cases) {
        const auto f = c.scale.Fraction(c.value);
        ASSERT_EQ(f.has_value(), c.fraction.has_value()) << c.value;
        if (f) {
            EXPECT_NEAR(*f, *c.fraction, 1e-12) << c.value;
            EXPECT_NEAR(c.scale.ValueAt(*f), c.value, 1e-9) << c.value;
        }
    }
}

TEST(AxisScale, TickValuesAreFormattedWithoutNoise) {
    const std::pair<double, const char*> cases[] = {
        {0.30000000000000004, "0.3"}, {1000, "1000"}, {-0.0, "0"}, {2.5e-8, "2.5e-08"}, {1e16, "1e+16"}, {-12.5, "-12.5"}};
    for (auto [v, text] : cases) EXPECT_EQ(FormatTickValue(v, 3), QString::fromLatin1(text)) << v;
}

}  // namespace
}  // namespace chart

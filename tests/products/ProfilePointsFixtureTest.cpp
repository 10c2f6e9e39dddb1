// The points of every series for a small decoded 3-09-052 sounding (30 levels), in pressure and in
// height mode with the significant levels shown and combined, and for the same file as the
// comparison sounding, against the reference beside the file (checked by hand against the
// report's level table). With TAVIK_WRITE_REFERENCE set the test writes the reference anew
// instead, and fails, so that a rewritten file is never taken for a passed check.
#include "products/ProfilePoints.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using products::PointList;
using products::ProfilePoints;

const fs::path DataDir = fs::path(TAVIK_SOURCE_DIR) / "tests" / "products" / "data";

struct NamedList {
    const char* name;
    PointList ProfilePoints::* list;
};

constexpr NamedList Lists[] = {
    {"temperature", &ProfilePoints::temperature},
    {"humidity", &ProfilePoints::humidity},
    {"temperatureSig", &ProfilePoints::temperatureSig},
    {"humiditySig", &ProfilePoints::humiditySig},
    {"windSpeed", &ProfilePoints::windSpeed},
    {"windDirection", &ProfilePoints::windDirection},
    {"windSpeedSig", &ProfilePoints::windSpeedSig},
    {"windDirectionSig", &ProfilePoints::windDirectionSig},
    {"trajectory", &ProfilePoints::trajectory},
    {"ascentRate", &ProfilePoints::ascentRate},
    {"heightTime", &ProfilePoints::heightTime},
    {"flight", &ProfilePoints::flight},
};

// "[title]", then per list its name and count, and one line per point: x y z, the label in
// quotes when there is one, "?!" when flagged.
void Describe(const char* title, const ProfilePoints& points, std::ostringstream& out) {
    out << '[' << title << "]\n";
    for (const NamedList& n : Lists) {
        const PointList& list = points.*n.list;
        out << n.name << ' ' << list.size() << '\n';
        for (const products::ProfilePoint& p : list) {
            char line[96];
            std::snprintf(line, sizeof line, "  %.5f %.5f %.5f", p.x, p.y, p.z);
            out << line;
            if (!p.label.empty()) out << " \"" << p.label << '"';
            if (p.implausible) out << " ?!";
            out << '\n';
        }
    }
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ProfilePointsFixtureTest, SmallSoundingMatchesItsReference) {
    const fs::path file = DataDir / "temp52_ed4_small.bufr";
    DecoderHarness harness(file);
    ASSERT_TRUE(harness.Parsed());
    ASSERT_TRUE(harness.Scan());
    ASSERT_TRUE(harness.DecodeNext());
    const tUAInBound& sounding = harness.Decoder;
    ASSERT_EQ(sounding.LevelCount, 30);

    std::ostringstream actual;
    for (const bool pressure : {true, false}) {
        const products::ProfileOptions options{.pressureAxis = pressure, .showSig = true, .combineTU = true};
        Describe(pressure ? "primary, pressure" : "primary, height", products::PrimaryProfilePoints(sounding, options),
                 actual);
    }
    Describe("secondary, height",
             products::SecondaryProfilePoints(sounding, {.pressureAxis = false, .showSig = true, .combineTU = true}),
             actual);

    const fs::path reference = DataDir / "temp52_ed4_small.points.txt";
    if (std::getenv("TAVIK_WRITE_REFERENCE") != nullptr) {
        std::ofstream(reference, std::ios::binary) << actual.str();
        FAIL() << "wrote " << reference << "; check it by hand";
    }
    std::istringstream got(actual.str()), want(ReadText(reference));
    std::string a, e;
    for (int line = 1; std::getline(want, e); ++line) {
        ASSERT_TRUE(std::getline(got, a)) << "the points end before line " << line << ": " << e;
        ASSERT_EQ(a, e) << "line " << line;
    }
    EXPECT_FALSE(std::getline(got, a)) << "more points than the reference: " << a;
}

}  // namespace

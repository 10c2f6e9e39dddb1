// One value of an encoded polyline: the published examples, the rounding and the range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Errors.h"
#include "products/PolylineEncoding.h"
#include "products/TestSoundings.h"

namespace {

TEST(EncodePolylineValueTest, Characters) {
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {38.5, "_p~iF"}, {-120.2, "~ps|U"}, {0, "?"}, {0.00001, "A"}, {-0.00001, "@"},
        // the published three-point example, its second and third points as changes
        {2.2, "_ulL"}, {-0.75, "nnqC"}, {2.552, "_mqN"}, {-5.503, "vxq`@"},
        {55.75, "otgsI"}, {37.6, "_wndF"}, {0.01, "o}@"}, {0.02, "_|B"},
        {-0.0, "?"}, {0.000004, "?"}, {-0.000004, "?"},
        // a half rounds to the even neighbour: 1562.5 to 1562, 4687.5 to 4688
        {0.015625, "s`B"}, {0.046875, "_dH"}, {-0.015625, "r`B"},
        {180, "_gsia@"}, {-180, "~fsia@"}, {10737.41823, "}~~~~~@"}, {-10737.41824, "~~~~~~@"},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodePolylineValue(c.x), c.text) << c.x;
}

TEST(EncodePolylineValueTest, ReadsBackWithinRounding) {
    for (double x = -181; x <= 181; x += 0.7654321) {
        const std::vector<double> values = DecodePolyline(EncodePolylineValue(x));
        ASSERT_EQ(values.size(), 1u) << x;
        EXPECT_NEAR(values[0], x, 0.5e-5 + 1e-12) << x;
    }
}

TEST(EncodePolylineValueTest, ValuesBeyond32BitsAreErrors) {
    for (const double x : {10737.41824, -10737.41825, 1e31, -1e31, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()})
        EXPECT_THROW(EncodePolylineValue(x), TavikError) << x;
}

}  // namespace

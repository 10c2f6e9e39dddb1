#pragma once
// Soundings built by hand for the trajectory documents, and a decoder of encoded polylines
// written from the published algorithm (not from ours).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decoder/UAReport.h"

struct LevelSpec {
    double time = MissingValue, height = MissingValue, dLat = MissingValue, dLon = MissingValue;
};

// A launch site with these levels in stored order.
inline void SetSounding(tUAInBound& sounding, double latitude, double longitude, double groundHeight,
                        const std::vector<LevelSpec>& levels) {
    sounding.Latitude = latitude;
    sounding.Longitude = longitude;
    sounding.GroundHeight = groundHeight;
    sounding.Levels.clear();
    for (const LevelSpec& given : levels) {
        tUALevelRec level;
        level.Time = given.time;
        level.Height = given.height;
        level.DLat = given.dLat;
        level.DLon = given.dLon;
        sounding.Levels.push_back(level);
    }
    sounding.LevelCount = static_cast<std::uint16_t>(levels.size());
}

// The values of an encoded polyline in degrees, in order. Each character carries 5 bits, the
// least significant first, with 0x20 set while more follow; the lowest bit of the whole is the
// sign (set: the rest is complemented).
inline std::vector<double> DecodePolyline(std::string_view text) {
    std::vector<double> values;
    std::uint64_t chunks = 0;
    int shift = 0;
    for (const char ch : text) {
        const int bits = ch - 63;
        EXPECT_TRUE(bits >= 0 && bits < 64) << "character " << int(ch);
        chunks |= std::uint64_t(bits & 0x1F) << shift;
        shift += 5;
        if ((bits & 0x20) == 0) {
            const auto half = static_cast<std::int64_t>(chunks >> 1);
            values.push_back(double((chunks & 1) != 0 ? ~half : half) / 1e5);
            chunks = 0;
            shift = 0;
        }
    }
    EXPECT_EQ(shift, 0) << "the last value is not ended";
    return values;
}

// The text between Start and the next End after it; empty when either is absent.
inline std::string Between(const std::string& text, std::string_view start, std::string_view end) {
    const std::size_t from = text.find(start);
    if (from == std::string::npos) return {};
    const std::size_t to = text.find(end, from + start.size());
    if (to == std::string::npos) return {};
    return text.substr(from + start.size(), to - from - start.size());
}

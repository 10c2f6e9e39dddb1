#include "products/PolylineEncoding.h"

#include <cmath>
#include <cstdint>

#include "core/Errors.h"
#include "core/TextHelpers.h"

namespace {

constexpr double Scale = 100000.0;
// The doubled value must fit 32 signed bits.
constexpr double Lowest = -1073741824.0;  // -2^30
constexpr double Highest = 1073741823.0;  // 2^30 - 1
constexpr std::uint32_t ChunkBits = 5;
constexpr std::uint32_t ChunkMask = 31;
constexpr std::uint32_t MoreFollows = 32;
constexpr char CharOffset = 63;

}  // namespace

std::string EncodePolylineValue(double x) {
    // The default rounding mode rounds a half to the even neighbour.
    const double rounded = std::nearbyint(x * Scale);
    if (!(rounded >= Lowest && rounded <= Highest))
        throw TavikError("Значение " + FloatStr(0, 5, x) + " не кодируется ломаной");
    const auto v = static_cast<std::int32_t>(rounded);
    std::uint32_t w = static_cast<std::uint32_t>(v) << 1;
    if (v < 0) w = ~w;
    std::string text;
    while (w >= MoreFollows) {
        text += static_cast<char>(((w & ChunkMask) | MoreFollows) + CharOffset);
        w >>= ChunkBits;
    }
    text += static_cast<char>(w + CharOffset);
    return text;
}

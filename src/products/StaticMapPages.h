#pragma once
// The flight of the balloon as a small HTML page whose one image comes from a static-map service
// with the track drawn over the map: Google (an encoded polyline) and Yandex (a list of at most
// 100 points). Both pages are Windows-1251, three lines each ended by CR LF.
#include <string>
#include <string_view>

#include "decoder/UAReport.h"

// The most level points a Yandex page takes (the launch site comes on top).
inline constexpr int YandexMaxLevelPoints = 99;

struct YandexPage {
    std::string bytes;
    bool incomplete = false;  // the walk stopped at the 99th level point
};

// The Google page. The launch site, then a point for every level at least 200 m above the last
// level taken (the first from the ground height), each as its change of position since the last
// point written. baseName and fileName name the loaded sounding (PrimaryBaseName,
// PrimaryFileName). Raises TavikError when a value cannot be encoded.
std::string GoogleStaticMapPage(const tUAReport& sounding, std::string_view baseName, std::string_view fileName);

// The Yandex page: the launch site, then a point for every level at least YandexHeightStep above
// the last level taken, up to YandexMaxLevelPoints points.
YandexPage YandexStaticMapPage(const tUAReport& sounding, std::string_view fileName);

// The height between two Yandex points: the sounding's height range above the ground over 99, at
// least 100 m; 200 m when the ground height or the top is missing or the top is not above ground.
double YandexHeightStep(const tUAReport& sounding);

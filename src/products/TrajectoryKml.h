#pragma once
// The flight of the balloon as a KML 2.2 document: one placemark with a camera over the launch
// site and one extruded line through the balloon's positions, about every ten seconds of flight.
#include <string>
#include <string_view>

#include "decoder/UAReport.h"

// The document's bytes (UTF-8, LF inside, no final line break). baseName and fileName are the
// names of the loaded sounding (PrimaryBaseName, PrimaryFileName); the placemark is named after
// them. A level becomes a point when its time is above 0 and more than 10 s after the last level
// taken; a taken level without height or position writes no point.
std::string TrajectoryKml(const tUAReport& sounding, std::string_view baseName, std::string_view fileName);

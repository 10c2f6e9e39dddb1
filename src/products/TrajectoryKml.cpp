#include "products/TrajectoryKml.h"

#include "core/TextHelpers.h"
#include "products/MarkupText.h"

namespace {

constexpr std::string_view Head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\""
    " xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\n";
constexpr std::string_view NameStart = "<Placemark><name>Полет радиозонда АЭ";
constexpr std::string_view LookAtEnd =
    "</latitude><altitude>15000</altitude><range>15000</range><tilt>30</tilt><heading>0</heading></LookAt>\n";
constexpr std::string_view StyleAndLineStart =
    "<Style><LineStyle><color>ff7f00ff</color></LineStyle><PolyStyle><color>45ff55ff</color></PolyStyle></Style>\n"
    "<LineString><extrude>1</extrude><tesselate>2</tesselate><altitudeMode>absolute</altitudeMode><coordinates>";
constexpr std::string_view Tail = "</coordinates></LineString></Placemark></kml>";

// Seconds of flight that must pass after the last level taken before the next one is taken.
constexpr double PointInterval = 10.0;
// The last time before any level is taken: the first level after launch is always far enough.
constexpr double NoTimeYet = -10000.0;

bool HasPoint(const tUALevelRec& level) {
    return !IsMissing(level.Height) && !IsMissing(level.DLat) && !IsMissing(level.DLon);
}

// The points, each "longitude,latitude,height " on one line.
std::string Coordinates(const tUAReport& sounding) {
    std::string text;
    double lastTime = NoTimeYet;
    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        if (!(level.Time > 0 && level.Time - lastTime > PointInterval)) continue;
        lastTime = level.Time;
        if (!HasPoint(level)) continue;
        text += FloatStr(10, 6, sounding.Longitude + level.DLon) + "," + FloatStr(9, 6, sounding.Latitude + level.DLat) +
                "," + FloatStr(6, 1, level.Height) + " ";
    }
    return text;
}

}  // namespace

std::string TrajectoryKml(const tUAReport& sounding, std::string_view baseName, std::string_view fileName) {
    std::string kml(Head);
    kml += NameStart;
    kml += MarkupEscaped(NameAsUtf8(baseName)) + ":" + MarkupEscaped(NameAsUtf8(FileNameNoExt(fileName)));
    kml += "</name>\n<LookAt><longitude>" + FloatStr(10, 6, sounding.Longitude) + "</longitude><latitude>" +
           FloatStr(9, 6, sounding.Latitude);
    kml += LookAtEnd;
    kml += StyleAndLineStart;
    kml += Coordinates(sounding);
    kml += Tail;
    return kml;
}

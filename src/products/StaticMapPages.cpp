#include "products/StaticMapPages.h"

#include "core/Cp1251.h"
#include "core/TextHelpers.h"
#include "products/MapServices.h"
#include "products/MarkupText.h"
#include "products/PolylineEncoding.h"

namespace {

constexpr std::string_view PageStart = "<html lang=\"ru\"><head><title>";
constexpr std::string_view TitleEnd = "</title></head><body>\r\n";
constexpr std::string_view PageEnd = ">\r\n</body></html>\r\n";
constexpr std::string_view GoogleTitle = "Полет радиозонда ";
constexpr std::string_view YandexTitle = "Полет радиозонда АЭ ";
constexpr std::string_view GoogleQuery = "?size=750x750&sensor=false&markers=label:0|";
constexpr std::string_view GooglePath = "&path=color:0x0000FF80|weight:5|enc:";
constexpr std::string_view YandexQuery = "?l=map&pl=";

constexpr double GooglePointRise = 200.0;
constexpr double YandexDefaultStep = 200.0;
constexpr double YandexLeastStep = 100.0;

// A name for a page title: Windows-1251, safe as content.
std::string TitleName(std::string_view name) {
    return MarkupEscaped(NameAsCp1251(name));
}

std::string Page(std::string_view title, const std::string& image) {
    std::string page(PageStart);
    page += title;
    page += TitleEnd;
    page += "<img src=" + image;
    page += PageEnd;
    return page;
}

bool HasPosition(const tUALevelRec& level) {
    return !IsMissing(level.DLat) && !IsMissing(level.DLon);
}

// The launch site, then the changes of position between the points written.
std::string GoogleEncodedPath(const tUAReport& sounding) {
    std::string path = EncodePolylineValue(sounding.Latitude) + EncodePolylineValue(sounding.Longitude);
    double lastHeight = sounding.GroundHeight;
    double lastDLat = 0, lastDLon = 0;
    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        if (!(level.Height - lastHeight >= GooglePointRise)) continue;
        lastHeight = level.Height;
        if (!HasPosition(level)) continue;
        path += EncodePolylineValue(level.DLat - lastDLat) + EncodePolylineValue(level.DLon - lastDLon);
        lastDLat = level.DLat;
        lastDLon = level.DLon;
    }
    return path;
}

struct YandexPoints {
    std::string text;  // ",longitude,latitude" for every level point
    bool incomplete = false;
};

YandexPoints YandexLevelPoints(const tUAReport& sounding) {
    const double step = YandexHeightStep(sounding);
    YandexPoints points;
    double lastHeight = sounding.GroundHeight;
    int count = 0;
    tUALevelRec level;
    for (int i = 0; i < sounding.LevelCount; ++i) {
        sounding.GetLevel(i, level);
        if (IsMissing(level.Height)) continue;
        if (IsMissing(lastHeight)) lastHeight = level.Height;  // the first height is the reference
        if (!(level.Height - lastHeight >= step)) continue;
        lastHeight = level.Height;
        if (!HasPosition(level)) continue;
        points.text += "," + FloatStr(10, 5, sounding.Longitude + level.DLon) + "," +
                       FloatStr(9, 5, sounding.Latitude + level.DLat);
        if (++count == YandexMaxLevelPoints) {
            points.incomplete = true;
            break;
        }
    }
    return points;
}

}  // namespace

double YandexHeightStep(const tUAReport& sounding) {
    double step = YandexDefaultStep;
    if (!IsMissing(sounding.GroundHeight) && sounding.LevelCount > 0) {
        tUALevelRec top;
        sounding.GetLevel(sounding.LevelCount - 1, top);
        if (top.Height > sounding.GroundHeight)
            step = (top.Height - sounding.GroundHeight) / YandexMaxLevelPoints;
    }
    return step < YandexLeastStep ? YandexLeastStep : step;
}

std::string GoogleStaticMapPage(const tUAReport& sounding, std::string_view baseName, std::string_view fileName) {
    const std::string title = Utf8ToCp1251(GoogleTitle) + TitleName(baseName) + ":" + TitleName(FileNameNoExt(fileName));
    const std::string image = std::string(GoogleStaticMapsAddress) + std::string(GoogleQuery) +
                              FloatStr(9, 5, sounding.Latitude) + "," + FloatStr(10, 5, sounding.Longitude) +
                              std::string(GooglePath) + GoogleEncodedPath(sounding);
    return Page(title, image);
}

YandexPage YandexStaticMapPage(const tUAReport& sounding, std::string_view fileName) {
    const std::string title = Utf8ToCp1251(YandexTitle) + std::to_string(sounding.StationIndex) + ":" +
                              TitleName(FileNameNoExt(fileName));
    const YandexPoints points = YandexLevelPoints(sounding);
    const std::string image = std::string(YandexStaticMapsAddress) + std::string(YandexQuery) +
                              FloatStr(10, 5, sounding.Longitude) + "," + FloatStr(9, 5, sounding.Latitude) +
                              points.text;
    return {Page(title, image), points.incomplete};
}

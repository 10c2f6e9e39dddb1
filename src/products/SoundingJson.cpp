#include "products/SoundingJson.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "core/Cp1251.h"
#include "products/LevelColumns.h"
#include "products/SoundingIndices.h"

namespace {

using Json = nlohmann::ordered_json;

Json Number(double v, int decimals) {
    const std::optional<double> r = Rounded(v, decimals);
    if (!r) return nullptr;
    if (decimals <= 0) return static_cast<std::int64_t>(*r);
    return *r + 0.0;  // -0.0 (a small negative rounded) written as 0.0
}

// A code or integer of Width bits: all bits set is missing. The decoder keeps 255 (65535 for the
// wider ones) for an element the message does not carry, which is at least all bits set too.
Json Code(std::uint32_t v, unsigned width) {
    if (v >= (std::uint32_t{1} << width) - 1) return nullptr;
    return v;
}

// A character field up to its first zero byte without the blanks that pad it, as UTF-8; null when
// nothing is left.
template <std::size_t N>
Json Text(const char (&field)[N]) {
    if (!TextPresent(field)) return nullptr;
    std::string text(field, strnlen(field, N));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) return nullptr;
    return Cp1251ToUtf8(text);
}

bool IsLeapYear(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// ISO 8601 UTC, or null when the parts make no date and time.
Json IsoTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
    static constexpr unsigned MonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || year == 4095 || month < 1 || month > 12 || day < 1) return nullptr;
    if (day > MonthDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0)) return nullptr;
    if (hour > 23 || minute > 59 || second > 59) return nullptr;
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", year, month, day, hour, minute, second);
    return text;
}

Json FlagNameList(std::int32_t flags) {
    Json names = Json::array();
    if (!FlagsPresent(flags)) return names;
    for (const FlagName& f : FlagNames)
        if (flags & f.Bit) names.push_back(f.Name);
    return names;
}

Json MessageObject(const SoundingSource& s) {
    const MessageHeader& h = s.Header;
    return {{"edition", h.Edition},
            {"masterTable", h.MasterTable},
            {"centre", h.Centre},
            {"subCentre", h.SubCentre},
            {"updateSequence", h.UpdateSequence},
            {"dataCategory", h.DataCategory},
            // Edition 3 has no international sub-category.
            {"internationalDataSubCategory", h.Edition >= 4 ? Json(h.IntSubCategory) : Json(nullptr)},
            {"localDataSubCategory", h.LocalSubCategory},
            {"masterTableVersion", h.MasterTableVersion},
            {"localTableVersion", h.LocalTableVersion},
            {"typicalTime", IsoTime(h.TypicalYear, h.TypicalMonth, h.TypicalDay, h.TypicalHour, h.TypicalMinute,
                                    h.TypicalSecond)},
            {"subsets", h.NumSubsets},
            {"observed", h.Observed},
            {"compressed", h.Compressed}};
}

Json TemplateName(const tUAInBound& r) {
    if (!r.HasTemplate) return nullptr;
    char text[8];
    std::snprintf(text, sizeof text, "3%02u%03u", 9u, unsigned(r.TemplateKind));
    return text;
}

Json StationObject(const tUAInBound& r) {
    Json wigos = nullptr;
    if (r.TemplateKind == 56 || r.TemplateKind == 57)
        wigos = {{"series", Code(r.WigosSeries, 4)},
                 {"issuer", Code(r.WigosIssuer, 16)},
                 {"issueNumber", Code(r.WigosIssueNumber, 16)},
                 {"localIdentifier", Text(r.WigosLocalId)}};
    return {{"blockNumber", Code(r.BlockNumber, 7)},
            {"stationNumber", Code(r.StationNumber, 10)},
            {"shipIdentifier", Text(r.ShipId)},
            {"wigosIdentifier", wigos}};
}

Json LaunchObject(const tUAInBound& r) {
    return {{"time", IsoTime(r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second)},
            {"timeSignificance", Code(r.TimeSignificance, 5)},
            {"latitude", Number(r.Latitude, 5)},
            {"longitude", Number(r.Longitude, 5)},
            {"groundHeight", Number(r.GroundHeight, 1)},
            {"barometerHeight", Number(r.BarometerHeight, 1)},
            {"releaseHeight", Number(r.ReleaseHeight, 0)},
            {"heightQuality", Code(r.ElevationQuality, 4)}};
}

// Where a descent starts: 3-09-056 only.
Json DescentObject(const tUAInBound& r) {
    if (r.TemplateKind != 56) return nullptr;
    return {{"significance", Code(r.DescentSignificance, 8)},
            {"latitude", Number(r.DescentLatitude, 5)},
            {"longitude", Number(r.DescentLongitude, 5)},
            {"height", Number(r.DescentHeight, 0)}};
}

Json EquipmentObject(const tUAInBound& r) {
    return {{"sondeType", Code(r.SondeType, 8)},
            {"solarInfraredCorrection", Code(r.RadiationCorrection, 4)},
            {"trackingTechnique", Code(r.TrackingTechnique, 7)},
            {"measuringEquipment", Code(r.EquipmentType, 4)}};
}

// The metadata elements outside the template: a table walked by one loop, kind by kind.
struct MetaCode {
    const char* Key;
    unsigned Width;
    std::uint32_t (*Value)(const tUAReport&);
};
struct MetaReal {
    const char* Key;
    int Decimals;
    double (*Value)(const tUAReport&);
};

constexpr MetaCode MetaCodes[] = {
    {"observationNumber", 14, [](const tUAReport& r) -> std::uint32_t { return r.ObservationNumber; }},
    {"releaseNumber", 3, [](const tUAReport& r) -> std::uint32_t { return r.SoundingNumber; }},
    {"sondeCompleteness", 4, [](const tUAReport& r) -> std::uint32_t { return r.SondeConfig; }},
    {"sondeConfiguration", 5, [](const tUAReport& r) -> std::uint32_t { return r.SuspensionConfig; }},
    {"humidityCorrection", 5, [](const tUAReport& r) -> std::uint32_t { return r.HumidityCorrection; }},
    {"groundReceivingSystem", 6, [](const tUAReport& r) -> std::uint32_t { return r.GroundSystem; }},
    {"balloonManufacturer", 6, [](const tUAReport& r) -> std::uint32_t { return r.BalloonMaker; }},
    {"balloonType", 5, [](const tUAReport& r) -> std::uint32_t { return r.BalloonType; }},
    {"balloonShelter", 4, [](const tUAReport& r) -> std::uint32_t { return r.BalloonShelter; }},
    {"balloonGas", 4, [](const tUAReport& r) -> std::uint32_t { return r.GasType; }},
    {"pressureSensor", 5, [](const tUAReport& r) -> std::uint32_t { return r.PressureSensor; }},
    {"temperatureSensor", 5, [](const tUAReport& r) -> std::uint32_t { return r.TempSensor; }},
    {"humiditySensor", 5, [](const tUAReport& r) -> std::uint32_t { return r.HumiditySensor; }},
    {"radome", 2, [](const tUAReport& r) -> std::uint32_t { return r.Radome; }},
    {"geopotentialHeightMethod", 4, [](const tUAReport& r) -> std::uint32_t { return r.HeightMethod; }},
    {"terminationReason", 5, [](const tUAReport& r) -> std::uint32_t { return r.TerminationReason; }},
};

constexpr MetaReal MetaReals[] = {
    {"operatingFrequency", 0, [](const tUAReport& r) { return r.CarrierFrequency; }},
    {"balloonWeight", 3, [](const tUAReport& r) { return r.BalloonMass; }},
    {"gasAmount", 3, [](const tUAReport& r) { return r.GasAmount; }},
    {"flightTrainLength", 1, [](const tUAReport& r) { return r.SuspensionLength; }},
    {"antennaHeight", 0, [](const tUAReport& r) { return r.AntennaHeight; }},
    {"height", 0, [](const tUAReport& r) { return r.MetaHeight; }},
    {"azimuthCorrection", 2, [](const tUAReport& r) { return r.AzimuthCorrection; }},
    {"elevationCorrection", 2, [](const tUAReport& r) { return r.ElevationCorrection; }},
};

Json MetadataObject(const tUAInBound& r) {
    Json meta = {{"serialNumber", Text(r.SerialNumber)},
                 {"observerIdentification", Text(r.ObserverId)},
                 {"softwareIdentification", Text(r.SoftwareVersion)}};
    for (const MetaCode& c : MetaCodes) meta[c.Key] = Code(c.Value(r), c.Width);
    for (const MetaReal& m : MetaReals) meta[m.Key] = Number(m.Value(r), m.Decimals);
    meta["characters205060"] = Text(r.Text60);
    meta["characters205011"] = Text(r.Text11);
    return meta;
}

// The cloud group of 3-09-052 and 3-09-057.
Json CloudsObject(const tUAInBound& r) {
    if (r.TemplateKind != 52 && r.TemplateKind != 57) return nullptr;
    return {{"significance", Code(r.CloudSignificance, 6)},
            {"amount", Code(r.CloudAmount, 4)},
            {"baseHeight", Number(r.CloudBase, 0)},
            {"typeLow", Code(r.CloudTypeLow, 6)},
            {"typeMiddle", Code(r.CloudTypeMiddle, 6)},
            {"typeHigh", Code(r.CloudTypeHigh, 6)}};
}

Json Flags(std::int32_t flags) { return FlagsPresent(flags) ? Json(flags) : Json(nullptr); }

// The indices. They are computed in hPa; the document gives pressure in Pa like the levels.
Json Pascal(double hectopascal) { return Number(hectopascal * 100.0, 0); }

Json PointObject(const products::PressureTemperature& p) {
    if (std::isnan(p.pressure)) return nullptr;
    return {{"pressure", Pascal(p.pressure)}, {"temperature", Number(p.temperature, 2)}};
}

Json BuoyancyObject(const products::Buoyancy& b) {
    return {{"lfc", PointObject(b.lfc)}, {"el", PointObject(b.el)}, {"cape", Number(b.cape, 1)}, {"cin", Number(b.cin, 1)}};
}

// The parcel's path stays out: thousands of points on a high-resolution ascent, and a reader has
// the levels to lift a parcel through.
Json ParcelObject(const products::ParcelResult& p) {
    if (!p.valid) return nullptr;
    return {{"start",
             {{"pressure", Pascal(p.start.pressure)},
              {"temperature", Number(p.start.temperature, 2)},
              {"dewPoint", Number(p.startDewPoint, 2)}}},
            {"lcl", PointObject(p.lcl)},
            {"plain", BuoyancyObject(p.plain)},
            {"virtualCorrected", BuoyancyObject(p.virtualCorrected)}};
}

Json TropopauseObject(const products::TropopauseLevel& t) {
    if (!t.found) return nullptr;
    return {{"pressure", Pascal(t.pressure)}, {"height", Number(t.height, 1)}, {"temperature", Number(t.temperature, 2)}};
}

Json IndicesObject(const tUAInBound& r) {
    const products::SoundingIndices x = products::ComputeIndices(products::BuildSoundingProfile(r));
    Json freezing = Json::array();
    for (const products::FreezingLevel& f : x.freezingLevels)
        freezing.push_back({{"pressure", Pascal(f.pressure)}, {"height", Number(f.height, 1)}});
    Json maxWind = nullptr;
    if (x.maxWind.found)
        maxWind = {{"pressure", Pascal(x.maxWind.pressure)},
                   {"height", Number(x.maxWind.height, 1)},
                   {"speed", Number(x.maxWind.speed, 1)},
                   {"direction", Number(x.maxWind.direction, 0)}};
    return {{"surfaceParcel", ParcelObject(x.surface)},
            {"mixedLayerParcel", ParcelObject(x.mixedLayer)},
            {"mostUnstableParcel", ParcelObject(x.mostUnstable)},
            {"liftedIndex", Number(x.liftedIndex, 2)},
            {"showalterIndex", Number(x.showalterIndex, 2)},
            {"kIndex", Number(x.kIndex, 2)},
            {"totalTotals", Number(x.totalTotals, 2)},
            {"verticalTotals", Number(x.verticalTotals, 2)},
            {"crossTotals", Number(x.crossTotals, 2)},
            {"precipitableWater", Number(x.precipitableWater, 2)},
            {"precipitableWaterTopPressure", Pascal(x.precipitableWaterTop)},
            {"freezingLevels", std::move(freezing)},
            {"tropopauses", {{"first", TropopauseObject(x.tropopause1)}, {"second", TropopauseObject(x.tropopause2)}}},
            {"maxWind", std::move(maxWind)},
            {"notes", x.notes}};
}

// A JSON text appended with the library's own serializer, invalid UTF-8 (a file name) replaced.
void AppendDump(std::string& out, const Json& value, int indent) {
    out += value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The levels, one object to a line: one object is refilled for every level and serialized on its
// own, so that 8000 levels cost no document tree of 8000 objects. Its members are reached by
// position (no key looked up per value), and the flag names are rebuilt only when the flags change.
void AppendLevels(std::string& out, const tUAInBound& r) {
    Json level = Json::object();
    for (const LevelColumn& c : LevelColumns) level[c.Key] = nullptr;
    level["flags"] = nullptr;
    level["flagNames"] = Json::array();
    std::int32_t namedFlags = 0;
    for (const tUALevelRec& l : r.Levels) {
        auto member = level.begin();
        for (const LevelColumn& c : LevelColumns) (member++).value() = Number(c.Value(r, l), c.Decimals);
        (member++).value() = Flags(l.Flags);
        if (l.Flags != namedFlags) {
            member.value() = FlagNameList(l.Flags);
            namedFlags = l.Flags;
        }
        out += &l == r.Levels.data() ? "\n  " : ",\n  ";
        AppendDump(out, level, -1);
    }
}

void AppendShearLevels(std::string& out, const tUAInBound& r) {
    for (const tUAShearRec& s : r.ShearLevels) {
        const Json shear = {{"time", Number(s.Time, 0)},
                            {"pressure", Number(s.Pressure, 0)},
                            {"geopotentialHeight", Number(s.Height, 1)},
                            {"latitude", Number(AbsoluteCoordinate(r.Latitude, s.DLat, false), 5)},
                            {"longitude", Number(AbsoluteCoordinate(r.Longitude, s.DLon, true), 5)},
                            {"latitudeDisplacement", Number(s.DLat, 5)},
                            {"longitudeDisplacement", Number(s.DLon, 5)},
                            {"shearBelow", Number(s.ShearBelow, 1)},
                            {"shearAbove", Number(s.ShearAbove, 1)},
                            {"flags", Flags(s.Flags)},
                            {"flagNames", FlagNameList(s.Flags)}};
        out += &s == r.ShearLevels.data() ? "\n  " : ",\n  ";
        AppendDump(out, shear, -1);
    }
}

// Appends `,\n "key": [` the items `\n ]`; an empty array stays on its line.
template <class AppendItems>
void AppendArrayMember(std::string& out, const char* key, bool empty, AppendItems appendItems) {
    out += ",\n \"";
    out += key;
    out += "\": [";
    if (empty) {
        out += ']';
        return;
    }
    appendItems();
    out += "\n ]";
}

}  // namespace

std::string SoundingJsonText(const tUAInBound& Report, const SoundingSource& Source) {
    const tUAInBound& r = Report;
    Json doc = Json::object();
    doc["schema"] = {{"name", SoundingSchemaName}, {"version", SoundingSchemaVersion}};
    doc["source"] = {{"file", Source.FileName},
                     {"message", Source.Message},
                     {"messages", Source.MessageCount},
                     {"subset", Source.Subset}};
    doc["message"] = MessageObject(Source);
    doc["template"] = TemplateName(r);
    doc["decoding"] = {{"complete", !r.Incomplete && r.AllKnown}, {"unknownDescriptors", r.UnknownCount}};
    doc["station"] = StationObject(r);
    doc["launch"] = LaunchObject(r);
    doc["descentStart"] = DescentObject(r);
    doc["equipment"] = EquipmentObject(r);
    doc["metadata"] = MetadataObject(r);
    doc["clouds"] = CloudsObject(r);
    doc["seaTemperature"] = Number(r.WaterTemp, 2);
    // Quantities derived from the levels (version 2 on): before the levels, so that a reader
    // streaming the document meets them early.
    doc["indices"] = IndicesObject(r);

    // The members above through the library's serializer, the object left open for the two arrays.
    std::string out;
    out.reserve(320 * (r.Levels.size() + r.ShearLevels.size()) + 4096);  // a level takes up to about 300 bytes
    AppendDump(out, doc, 1);
    out.resize(out.size() - 2);  // the closing "\n}"
    AppendArrayMember(out, "levels", r.Levels.empty(), [&] { AppendLevels(out, r); });
    AppendArrayMember(out, "shearLevels", r.ShearLevels.empty(), [&] { AppendShearLevels(out, r); });
    out += "\n}\n";
    return out;
}

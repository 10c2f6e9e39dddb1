// Our JSON of the first message of every shared file with an ecCodes JSON beside it, compared value
// for value with what ecCodes decoded: the message header, the station, the launch, the equipment,
// the metadata, the clouds, every level and shear level. The tolerance is that of the element's
// scale, as in the decoder's comparison; the ecCodes flags go through the decoder's two rules (level
// flags without bit value 1, shear flags with the shear bits only).
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "decoder/WMOEwEi.h"
#include "products/SoundingJson.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;

constexpr std::int64_t ShearFlagBits = 0x3F812;

// The differences of one file, the first forty of them shown.
class Differences {
public:
    explicit Differences(std::string where) : prefix(std::move(where)) {}
    void Add(const std::string& what) {
        if (count++ < 40) list << "\n  " << prefix << what;
    }
    // Ours and ecCodes' real: null on both sides, or within the element's scale.
    void Real(const std::string& name, const json& ours, const json& expected, int scale) {
        Within(name, ours, expected, 1e-6 * std::pow(10.0, -scale));
    }
    void Within(const std::string& name, const json& ours, const json& expected, double tolerance) {
        if (expected.is_null() || ours.is_null()) {
            if (expected.is_null() != ours.is_null()) Add(name + ": " + ours.dump() + ", ecCodes " + expected.dump());
            return;
        }
        if (!ours.is_number() || std::fabs(ours.get<double>() - expected.get<double>()) > tolerance)
            Add(name + ": " + ours.dump() + ", ecCodes " + expected.dump());
    }
    // A code: ecCodes null is our null.
    void Code(const std::string& name, const json& ours, const json& expected) {
        if (ours != expected) Add(name + ": " + ours.dump() + ", ecCodes " + expected.dump());
    }
    // A text: ecCodes keeps no trailing blanks either; an empty text is missing.
    void Text(const std::string& name, const json& ours, const json& expected) {
        json e = expected;
        if (e.is_string()) {
            std::string t = e.get<std::string>();
            while (!t.empty() && t.back() == ' ') t.pop_back();
            e = t.empty() ? json() : json(t);
        }
        if (ours != e) Add(name + ": " + ours.dump() + ", ecCodes " + e.dump());
    }
    void Fact(bool ok, const std::string& what) {
        if (!ok) Add(what);
    }
    bool Empty() const { return count == 0; }
    std::string Report() const { return std::to_string(count) + " difference(s):" + list.str(); }

private:
    std::string prefix;
    std::ostringstream list;
    std::size_t count = 0;
};

json Get(const json& object, const char* key) { return object.is_object() && object.contains(key) ? object[key] : json(); }

std::string Iso(int year, int month, int day, int hour, int minute, int second) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour, minute, second);
    return text;
}

// The ISO launch time of ecCodes' parts (year to second, in this order), or null when one is missing.
json TimeOfParts(const std::vector<json>& parts) {
    int v[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        if (parts[i].is_null()) return nullptr;
        v[i] = parts[i].get<int>();
    }
    return Iso(v[0], v[1], v[2], v[3], v[4], v[5]);
}

json ExpectedTime(const json& h) {
    return TimeOfParts({Get(h, "year"), Get(h, "month"), Get(h, "day"), Get(h, "hour"), Get(h, "minute"), Get(h, "second")});
}

void CompareMessage(Differences& d, const json& ours, const json& file) {
    const json& s1 = file["section1"];
    d.Code("edition", ours["edition"], file["edition"]);
    d.Code("centre", ours["centre"], s1["centre"]);
    d.Code("subCentre", ours["subCentre"], s1["sub_centre"]);
    d.Code("dataCategory", ours["dataCategory"], s1["data_category"]);
    d.Code("internationalDataSubCategory", ours["internationalDataSubCategory"], Get(s1, "int_sub_category"));
    d.Code("localDataSubCategory", ours["localDataSubCategory"], s1["local_sub_category"]);
    d.Code("masterTableVersion", ours["masterTableVersion"], s1["master_table_version"]);
    d.Code("localTableVersion", ours["localTableVersion"], s1["local_table_version"]);
    d.Code("subsets", ours["subsets"], file["section3"]["number_of_subsets"]);
    // Edition 3 has no seconds.
    const auto part = [&](const char* key) { return s1.value(key, 0); };
    // Edition 3 gives the year of the century: ours must end in it, in a century of its own choice.
    int year = part("typical_year");
    if (!s1.contains("typical_year")) {
        const int ourYear = ours["typicalTime"].is_string() ? std::stoi(ours["typicalTime"].get<std::string>()) : 0;
        d.Fact(ourYear % 100 == part("typical_year_of_century"), "typicalTime: not of the year of the century");
        year = ourYear;
    }
    d.Code("typicalTime", ours["typicalTime"],
           Iso(year, part("typical_month"), part("typical_day"), part("typical_hour"), part("typical_minute"),
               part("typical_second")));
}

// ---- the structured files (3-09-050, 051, 052): header, cloud, level and shear arrays ----

struct MetaKey {
    const char* Descriptor;
    const char* Key;
    enum { Text, Real, Code } Kind;
    int Scale;
};

constexpr MetaKey MetaKeys[] = {
    {"001081", "serialNumber", MetaKey::Text, 0},        {"001082", "observationNumber", MetaKey::Code, 0},
    {"001083", "releaseNumber", MetaKey::Code, 0},       {"001095", "observerIdentification", MetaKey::Text, 0},
    {"002015", "sondeCompleteness", MetaKey::Code, 0},   {"002016", "sondeConfiguration", MetaKey::Code, 0},
    {"002017", "humidityCorrection", MetaKey::Code, 0},  {"002066", "groundReceivingSystem", MetaKey::Code, 0},
    {"002067", "operatingFrequency", MetaKey::Real, -5}, {"002080", "balloonManufacturer", MetaKey::Code, 0},
    {"002081", "balloonType", MetaKey::Code, 0},         {"002082", "balloonWeight", MetaKey::Real, 3},
    {"002083", "balloonShelter", MetaKey::Code, 0},      {"002084", "balloonGas", MetaKey::Code, 0},
    {"002085", "gasAmount", MetaKey::Real, 3},           {"002086", "flightTrainLength", MetaKey::Real, 1},
    {"002095", "pressureSensor", MetaKey::Code, 0},      {"002096", "temperatureSensor", MetaKey::Code, 0},
    {"002097", "humiditySensor", MetaKey::Code, 0},      {"002102", "antennaHeight", MetaKey::Real, 0},
    {"002103", "radome", MetaKey::Code, 0},              {"002191", "geopotentialHeightMethod", MetaKey::Code, 0},
    {"007007", "height", MetaKey::Real, 0},              {"025061", "softwareIdentification", MetaKey::Text, 0},
    {"025065", "azimuthCorrection", MetaKey::Real, 2},   {"025066", "elevationCorrection", MetaKey::Real, 2},
    {"035035", "terminationReason", MetaKey::Code, 0},   {"205011", "characters205011", MetaKey::Text, 0},
    {"205060", "characters205060", MetaKey::Text, 0},
};

const MetaKey* MetaKeyOf(const std::string& descriptor) {
    for (const MetaKey& m : MetaKeys)
        if (descriptor == m.Descriptor) return &m;
    return nullptr;
}

// The last ecCodes value of each metadata descriptor, up to the first one the decoder does not
// read (its scan stops there).
std::map<std::string, json> ExpectedMetadata(const json& subset) {
    std::map<std::string, json> expected;
    for (const char* part : {"before_template", "after_template"}) {
        for (const json& entry : Get(subset, part)) {
            if (entry.contains("operator") || entry.value("new_reference_definition", false)) continue;
            const std::string descriptor = entry.at("descriptor").get<std::string>();
            if (!MetaKeyOf(descriptor)) return expected;
            expected[descriptor] = entry.at("value");
        }
    }
    return expected;
}

void CompareMetadata(Differences& d, const json& ours, const std::map<std::string, json>& expected) {
    for (const MetaKey& m : MetaKeys) {
        const std::string name = std::string("metadata.") + m.Key;
        const auto it = expected.find(m.Descriptor);
        const json e = it == expected.end() ? json() : it->second;
        switch (m.Kind) {
            case MetaKey::Text: d.Text(name, ours[m.Key], e); break;
            case MetaKey::Real: d.Real(name, ours[m.Key], e, m.Scale); break;
            case MetaKey::Code: d.Code(name, ours[m.Key], e); break;
        }
    }
}

double WrappedLongitude(double v) { return v > 180 ? v - 360 : v < -180 ? v + 360 : v; }

// The absolute coordinate of ecCodes' site and displacement, or null.
json Absolute(const json& site, const json& displacement, bool longitude) {
    if (site.is_null() || displacement.is_null()) return nullptr;
    const double v = site.get<double>() + displacement.get<double>();
    return longitude ? WrappedLongitude(v) : v;
}

json Humidity(const json& t, const json& td) {
    if (t.is_null() || td.is_null()) return nullptr;
    return RelHumidity(t.get<double>() - 273.15, td.get<double>() - 273.15);
}

json FlagsAs(const json& v, std::int64_t mask) { return v.is_null() ? v : json(v.get<std::int64_t>() & mask); }

// The ecCodes values of one level or shear level.
struct LevelValues {
    json time, flags, pressure, height, dlat, dlon, temp, dewpoint, windDir, windSpeed, below, above;
};

void CompareLevel(Differences& d, const std::string& n, const json& ours, const LevelValues& e, const json& launch) {
    d.Real(n + "time", ours["time"], e.time, 0);
    d.Code(n + "flags", ours["flags"], e.flags);
    d.Real(n + "pressure", ours["pressure"], e.pressure, 0);
    d.Real(n + "geopotentialHeight", ours["geopotentialHeight"], e.height, 1);
    d.Real(n + "latitudeDisplacement", ours["latitudeDisplacement"], e.dlat, 5);
    d.Real(n + "longitudeDisplacement", ours["longitudeDisplacement"], e.dlon, 5);
    d.Real(n + "latitude", ours["latitude"], Absolute(launch["latitude"], e.dlat, false), 5);
    d.Real(n + "longitude", ours["longitude"], Absolute(launch["longitude"], e.dlon, true), 5);
    d.Fact(ours["flagNames"].is_array() && (ours["flags"].is_null() || ours["flagNames"].size() ==
                                             std::size_t(__builtin_popcount(ours["flags"].get<unsigned>()))),
           n + "flagNames do not name the bits of flags");
    if (ours.contains("shearBelow")) {
        d.Real(n + "shearBelow", ours["shearBelow"], e.below, 1);
        d.Real(n + "shearAbove", ours["shearAbove"], e.above, 1);
        return;
    }
    d.Real(n + "temperature", ours["temperature"], e.temp, 2);
    d.Real(n + "dewPoint", ours["dewPoint"], e.dewpoint, 2);
    d.Real(n + "windDirection", ours["windDirection"], e.windDir, 0);
    d.Real(n + "windSpeed", ours["windSpeed"], e.windSpeed, 1);
    // Ours is rounded to three decimals; ecCodes' comes from the same formula at full precision.
    d.Within(n + "relativeHumidity", ours["relativeHumidity"], Humidity(e.temp, e.dewpoint), 5e-4 + 1e-9);
}

void CompareStructured(Differences& d, const json& ours, const json& subset, int kind) {
    const json& h = subset["header"];
    d.Code("station.blockNumber", ours["station"]["blockNumber"], h["block_number"]);
    d.Code("station.stationNumber", ours["station"]["stationNumber"], h["station_number"]);
    d.Text("station.shipIdentifier", ours["station"]["shipIdentifier"], h["ship_id"]);
    const json& e = ours["equipment"];
    d.Code("equipment.sondeType", e["sondeType"], h["sonde_type"]);
    d.Code("equipment.solarInfraredCorrection", e["solarInfraredCorrection"], Get(h, "radiation_correction"));
    d.Code("equipment.trackingTechnique", e["trackingTechnique"], h["tracking"]);
    d.Code("equipment.measuringEquipment", e["measuringEquipment"], h["equipment"]);
    const json& l = ours["launch"];
    d.Code("launch.time", l["time"], ExpectedTime(h));
    d.Code("launch.timeSignificance", l["timeSignificance"], h["time_significance"]);
    d.Real("launch.latitude", l["latitude"], h["latitude"], 5);
    d.Real("launch.longitude", l["longitude"], h["longitude"], 5);
    d.Real("launch.groundHeight", l["groundHeight"], h["ground_height"], 1);
    d.Real("launch.barometerHeight", l["barometerHeight"], h["barometer_height"], 1);
    d.Real("launch.releaseHeight", l["releaseHeight"], h["release_height"], 0);
    d.Code("launch.heightQuality", l["heightQuality"], h["elevation_quality"]);
    d.Real("seaTemperature", ours["seaTemperature"], Get(h, "water_temp"), 2);
    if (kind == 52) {
        const json& c = subset["cloud"];
        const json& o = ours["clouds"];
        d.Code("clouds.significance", o["significance"], c["significance"]);
        d.Code("clouds.amount", o["amount"], c["amount"]);
        d.Real("clouds.baseHeight", o["baseHeight"], c["base"], -1);
        d.Code("clouds.typeLow", o["typeLow"], c["type_low"]);
        d.Code("clouds.typeMiddle", o["typeMiddle"], c["type_middle"]);
        d.Code("clouds.typeHigh", o["typeHigh"], c["type_high"]);
    } else {
        d.Fact(ours["clouds"].is_null(), "clouds of a PILOT are not null");
    }
    CompareMetadata(d, ours["metadata"], ExpectedMetadata(subset));

    const json& lv = subset["levels"];
    const std::size_t count = subset["level_count"].get<std::size_t>();
    d.Fact(ours["levels"].size() == count, "levels: " + std::to_string(ours["levels"].size()) + ", ecCodes " +
                                               std::to_string(count));
    for (std::size_t i = 0; i < count && i < ours["levels"].size(); ++i) {
        const auto at = [&](const char* key) { return lv.contains(key) ? lv[key][i] : json(); };
        const LevelValues v{at("time"), FlagsAs(at("flags"), ~std::int64_t(1)), at("pressure"), at("height"), at("dlat"),
                            at("dlon"), at("temp"), at("dewpoint"), at("wind_dir"), at("wind_speed"), {}, {}};
        CompareLevel(d, "levels[" + std::to_string(i) + "].", ours["levels"][i], v, l);
    }
    const json& sh = subset["shear"];
    const std::size_t shears = subset["shear_count"].get<std::size_t>();
    d.Fact(ours["shearLevels"].size() == shears, "shearLevels: " + std::to_string(ours["shearLevels"].size()));
    for (std::size_t i = 0; i < shears && i < ours["shearLevels"].size(); ++i) {
        const auto at = [&](const char* key) { return sh.contains(key) ? sh[key][i] : json(); };
        const LevelValues v{at("time"), FlagsAs(at("flags"), ShearFlagBits), at("pressure"), at("height"), at("dlat"),
                            at("dlon"), {}, {}, {}, {}, at("shear_below"), at("shear_above")};
        CompareLevel(d, "shearLevels[" + std::to_string(i) + "].", ours["shearLevels"][i], v, l);
    }
}

// ---- the flat files (3-09-056, 057): ecCodes' element list ----

std::string DescriptorOf(const json& e) {
    if (e.contains("descriptor")) return e["descriptor"].get<std::string>();
    const std::string key = e.value("key", "");
    if (key == "extendedDelayedDescriptorReplicationFactor") return "031002";
    if (key == "delayedDescriptorReplicationFactor") return "031001";
    return key;
}

void CompareFlat(Differences& d, const json& ours, const json& elements, int kind) {
    std::map<std::string, json> last;  // the template's values before the levels, the last of each
    std::size_t i = 0;
    for (; i < elements.size() && DescriptorOf(elements[i]) != "031002"; ++i)
        last[DescriptorOf(elements[i])] = elements[i]["value"];
    const json& st = ours["station"];
    d.Code("station.blockNumber", st["blockNumber"], last["001001"]);
    d.Code("station.stationNumber", st["stationNumber"], last["001002"]);
    d.Text("station.shipIdentifier", st["shipIdentifier"], last["001011"]);
    const json& w = st["wigosIdentifier"];
    d.Code("wigos.series", w["series"], last["001125"]);
    d.Code("wigos.issuer", w["issuer"], last["001126"]);
    d.Code("wigos.issueNumber", w["issueNumber"], last["001127"]);
    d.Text("wigos.localIdentifier", w["localIdentifier"], last["001128"]);
    const json parts = TimeOfParts({last["004001"], last["004002"], last["004003"], last["004004"], last["004005"],
                                     last["004006"]});
    const json& l = ours["launch"];
    d.Code("launch.time", l["time"], parts);
    d.Real("launch.latitude", l["latitude"], last["005001"], 5);
    d.Real("launch.longitude", l["longitude"], last["006001"], 5);
    if (kind == 56) {
        d.Real("descentStart.height", ours["descentStart"]["height"], last["007007"], 0);
    } else {
        d.Real("launch.groundHeight", l["groundHeight"], last["007030"], 1);
        d.Real("launch.releaseHeight", l["releaseHeight"], last["007007"], 0);
        d.Real("seaTemperature", ours["seaTemperature"], last["022043"], 2);
    }
    if (i >= elements.size()) return d.Add("no level count");
    const std::size_t count = elements[i++]["value"].get<std::size_t>();
    d.Fact(ours["levels"].size() == count, "levels: " + std::to_string(ours["levels"].size()));
    for (std::size_t k = 0; k < count && i + 10 <= elements.size() && k < ours["levels"].size(); ++k, i += 10) {
        const auto v = [&](std::size_t j) { return elements[i + j]["value"]; };
        const LevelValues e{v(0), FlagsAs(v(1), ~std::int64_t(1)), v(2), v(3), v(4), v(5), v(6), v(7), v(8), v(9), {}, {}};
        CompareLevel(d, "levels[" + std::to_string(k) + "].", ours["levels"][k], e, l);
    }
    if (i >= elements.size()) return d.Add("no shear count");
    const std::size_t shears = elements[i++]["value"].get<std::size_t>();
    d.Fact(ours["shearLevels"].size() == shears, "shearLevels: " + std::to_string(ours["shearLevels"].size()));
    for (std::size_t k = 0; k < shears && i + 7 <= elements.size() && k < ours["shearLevels"].size(); ++k, i += 7) {
        const auto v = [&](std::size_t j) { return elements[i + j]["value"]; };
        const LevelValues e{v(0), FlagsAs(v(1), ShearFlagBits), v(2), {}, v(3), v(4), {}, {}, {}, {}, v(5), v(6)};
        CompareLevel(d, "shearLevels[" + std::to_string(k) + "].", ours["shearLevels"][k], e, l);
    }
}

// The template of a file's JSON: the structured ones name it, the flat ones list it in Section 3.
int TemplateKind(const json& j) {
    if (j["template"].is_string()) return std::stoi(j["template"].get<std::string>()) - 309000;
    for (const json& d : j["section3"]["descriptors"]) {
        const std::string code = d.get<std::string>();
        if (code == "309056" || code == "309057") return std::stoi(code) - 309000;
    }
    return 0;
}

// Shared files with an ecCodes JSON that are not a sounding of the templates the decoder takes:
// only their message header is compared, and their document has no template and no levels.
constexpr const char* HeaderOnlyFiles[] = {
    "synop_no_template.bufr",                          // a SYNOP (3 07 080)
    "25_dwd_temp_explicit_201_202_ops_hires.bufr",     // a TEMP in explicit descriptors, no template
    "N1_czech_synop_compressed_22subsets.bufr",        // a compressed SYNOP (3 07 086)
    "N3_jma_IUPC41RJTD_windprofiler_206008.bufr",      // a wind profiler
};

bool IsHeaderOnly(const fs::path& file) {
    return std::find(std::begin(HeaderOnlyFiles), std::end(HeaderOnlyFiles), file.filename().string()) !=
           std::end(HeaderOnlyFiles);
}

std::vector<fs::path> FilesWithJson() {
    std::vector<fs::path> files;
    for (const fs::path& dir : {FixturesDir(), RealDataDir()})
        for (const fs::path& file : ListBufrFiles(dir))
            if (fs::exists(JsonBeside(file))) files.push_back(file);
    return files;
}

std::vector<fs::path> ComparedFiles() {
    std::vector<fs::path> files;
    for (const fs::path& file : FilesWithJson())
        if (!IsHeaderOnly(file)) files.push_back(file);
    return files;
}

// A file drops out of the full comparison only by standing in the table above, and every file of
// the table is one without a template the decoder takes.
TEST(SoundingJsonFixtureTest, FilesOfOtherKindsAgreeInTheirMessageHeader) {
    TAVIK_REQUIRE_PATH(SharedDir());
    std::size_t headerOnly = 0;
    for (const fs::path& file : FilesWithJson()) {
        SCOPED_TRACE(file.filename().string());
        const json j = LoadJson(JsonBeside(file));
        EXPECT_EQ(TemplateKind(j) == 0, IsHeaderOnly(file)) << "a file of the header-only table, or one missing from it";
        if (!IsHeaderOnly(file)) continue;
        ++headerOnly;
        DecoderHarness h(file);
        ASSERT_TRUE(h.Loaded() && h.Parsed());
        const SoundingSource source{file.filename().string(), 1, 1, 1, HeaderOf(h.Message)};
        const json ours = json::parse(SoundingJsonText(h.Decoder, source));
        Differences d("header: ");
        CompareMessage(d, ours["message"], j);
        EXPECT_TRUE(d.Empty()) << d.Report();
        EXPECT_TRUE(ours["template"].is_null());
        EXPECT_TRUE(ours["levels"].empty());
    }
    EXPECT_EQ(headerOnly, std::size(HeaderOnlyFiles)) << "a file of the table is not among the shared files";
}

TEST(SoundingJsonFixtureTest, FirstMessageOfEveryFileAgreesWithEcCodes) {
    TAVIK_REQUIRE_PATH(SharedDir());
    const std::vector<fs::path> files = ComparedFiles();
    EXPECT_GE(files.size(), 30u) << "the shared files with an ecCodes JSON went missing";
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const json j = LoadJson(JsonBeside(file));
        const int kind = TemplateKind(j);
        DecoderHarness h(file);
        ASSERT_TRUE(h.Loaded() && h.Parsed() && h.Scan());
        const json& subsets = j["subsets"];
        for (std::size_t k = 0; k < subsets.size(); ++k) {
            ASSERT_TRUE(h.DecodeNext()) << "subset " << k + 1;
            const SoundingSource source{file.filename().string(), 1, 1, static_cast<std::uint32_t>(k + 1),
                                        HeaderOf(h.Message)};
            const json ours = json::parse(SoundingJsonText(h.Decoder, source));
            Differences d("subset " + std::to_string(k + 1) + ": ");
            d.Code("template", ours["template"], std::to_string(309000 + kind));
            d.Code("schema.version", ours["schema"]["version"], SoundingSchemaVersion);
            d.Code("source.subset", ours["source"]["subset"], k + 1);
            CompareMessage(d, ours["message"], j);
            if (j["template"].is_string()) CompareStructured(d, ours, subsets[k], kind);
            else CompareFlat(d, ours, subsets[k]["elements"], kind);
            EXPECT_TRUE(d.Empty()) << d.Report();
        }
    }
}

}  // namespace

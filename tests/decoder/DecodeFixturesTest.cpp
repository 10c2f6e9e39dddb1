// Every shared file decoded as the decode driver decodes it, compared subset by subset and level
// by level with what ecCodes decoded from the same file (the JSON beside it). The JSON keeps the
// raw 0 08 042 value; the decoder clears bit value 1 of level flags and keeps only the shear bits,
// so the JSON flags go through the same two rules before the comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "decoder/UAReport.h"
#include "decoder/WMOEwEi.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;

constexpr std::int64_t ShearFlagBits = 0x3F812;

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Collects the differences of one file and reports the first of them with their total.
class Differences {
public:
    void Add(const std::string& what) {
        if (list.size() < 40) list.push_back(what);
        ++count;
    }
    bool Empty() const { return count == 0; }
    std::string Report() const {
        std::ostringstream out;
        out << count << " difference(s) from ecCodes:";
        for (const std::string& line : list) out << "\n  " << line;
        if (count > list.size()) out << "\n  ...";
        return out.str();
    }

private:
    std::vector<std::string> list;
    std::size_t count = 0;
};

std::string Show(double v) {
    if (IsMissing(v)) return "missing";
    std::ostringstream out;
    out.precision(12);
    out << v;
    return out.str();
}

// Compares the decoded values of one subset with its JSON object, naming each value by path.
class SubsetComparer {
public:
    SubsetComparer(Differences& differences, std::string where) : diff(differences), prefix(std::move(where)) {}

    // A real of the element's scale: JSON null means missing.
    void Real(const std::string& name, double actual, const json& expected, int scale) {
        if (expected.is_null()) {
            if (!IsMissing(actual)) diff.Add(prefix + name + ": " + Show(actual) + ", ecCodes: missing");
            return;
        }
        const double e = expected.get<double>();
        if (IsMissing(actual) || std::fabs(actual - e) > 1e-6 * std::pow(10.0, -scale))
            diff.Add(prefix + name + ": " + Show(actual) + ", ecCodes: " + Show(e));
    }
    // A single-precision field: the tolerance is that of its storage when it is the wider one.
    void Single(const std::string& name, float actual, const json& expected, int scale) {
        if (expected.is_null()) {
            if (!IsMissing(actual)) diff.Add(prefix + name + ": " + Show(actual) + ", ecCodes: missing");
            return;
        }
        const double e = expected.get<double>();
        const double tolerance = std::max(1e-6 * std::pow(10.0, -scale), std::fabs(e) * FLT_EPSILON);
        if (IsMissing(actual) || std::fabs(actual - e) > tolerance)
            diff.Add(prefix + name + ": " + Show(actual) + ", ecCodes: " + Show(e));
    }
    // A code, flag or integer field of Width bits: JSON null means all bits set.
    void Code(const std::string& name, std::int64_t actual, const json& expected, unsigned width) {
        const std::int64_t e = expected.is_null() ? (std::int64_t(1) << width) - 1 : expected.get<std::int64_t>();
        if (actual != e)
            diff.Add(prefix + name + ": " + std::to_string(actual) + ", ecCodes: " + std::to_string(e));
    }
    // A text field; JSON drops trailing blanks, the decoder keeps the padded bytes.
    void Text(const std::string& name, const char* actual, const json& expected) {
        if (expected.is_null()) {
            if (TextPresent(actual)) diff.Add(prefix + name + ": \"" + actual + "\", ecCodes: missing");
            return;
        }
        const std::string e = TrimRight(expected.get<std::string>());
        if (TrimRight(actual) != e) diff.Add(prefix + name + ": \"" + actual + "\", ecCodes: \"" + e + "\"");
    }
    void Fact(bool ok, const std::string& what) {
        if (!ok) diff.Add(prefix + what);
    }

private:
    Differences& diff;
    std::string prefix;
};

// ---- The metadata outside the template: JSON descriptor -> decoder field ----

struct MetaField {
    const char* Descriptor;
    enum { Text, Real, Code } Kind;
    int Scale;            // reals
    unsigned Width;       // codes: the catalogue width (the JSON gives the applied one)
    std::function<double(const tUAInBound&)> RealOf;
    std::function<std::int64_t(const tUAInBound&)> CodeOf;
    std::function<const char*(const tUAInBound&)> TextOf;
};

template <class F>
MetaField RealField(const char* d, int scale, F f) {
    return {d, MetaField::Real, scale, 0, f, nullptr, nullptr};
}
template <class F>
MetaField CodeField(const char* d, unsigned width, F f) {
    return {d, MetaField::Code, 0, width, nullptr, [f](const tUAInBound& r) { return std::int64_t(f(r)); }, nullptr};
}
template <class F>
MetaField TextField(const char* d, F f) {
    return {d, MetaField::Text, 0, 0, nullptr, nullptr, f};
}

const std::vector<MetaField>& MetaFields() {
    static const std::vector<MetaField> fields = {
        TextField("001081", [](const tUAInBound& r) { return r.SerialNumber; }),
        CodeField("001082", 14, [](const tUAInBound& r) { return r.ObservationNumber; }),
        CodeField("001083", 3, [](const tUAInBound& r) { return r.SoundingNumber; }),
        TextField("001095", [](const tUAInBound& r) { return r.ObserverId; }),
        CodeField("002015", 4, [](const tUAInBound& r) { return r.SondeConfig; }),
        CodeField("002016", 5, [](const tUAInBound& r) { return r.SuspensionConfig; }),
        CodeField("002017", 5, [](const tUAInBound& r) { return r.HumidityCorrection; }),
        CodeField("002066", 6, [](const tUAInBound& r) { return r.GroundSystem; }),
        RealField("002067", -5, [](const tUAInBound& r) { return r.CarrierFrequency; }),
        CodeField("002080", 6, [](const tUAInBound& r) { return r.BalloonMaker; }),
        CodeField("002081", 5, [](const tUAInBound& r) { return r.BalloonType; }),
        RealField("002082", 3, [](const tUAInBound& r) { return r.BalloonMass; }),
        CodeField("002083", 4, [](const tUAInBound& r) { return r.BalloonShelter; }),
        CodeField("002084", 4, [](const tUAInBound& r) { return r.GasType; }),
        RealField("002085", 3, [](const tUAInBound& r) { return r.GasAmount; }),
        RealField("002086", 1, [](const tUAInBound& r) { return r.SuspensionLength; }),
        CodeField("002095", 5, [](const tUAInBound& r) { return r.PressureSensor; }),
        CodeField("002096", 5, [](const tUAInBound& r) { return r.TempSensor; }),
        CodeField("002097", 5, [](const tUAInBound& r) { return r.HumiditySensor; }),
        RealField("002102", 0, [](const tUAInBound& r) { return r.AntennaHeight; }),
        CodeField("002103", 2, [](const tUAInBound& r) { return r.Radome; }),
        CodeField("002191", 4, [](const tUAInBound& r) { return r.HeightMethod; }),
        RealField("007007", 0, [](const tUAInBound& r) { return r.MetaHeight; }),
        TextField("025061", [](const tUAInBound& r) { return r.SoftwareVersion; }),
        RealField("025065", 2, [](const tUAInBound& r) { return r.AzimuthCorrection; }),
        RealField("025066", 2, [](const tUAInBound& r) { return r.ElevationCorrection; }),
        CodeField("035035", 5, [](const tUAInBound& r) { return r.TerminationReason; }),
        TextField("205011", [](const tUAInBound& r) { return r.Text11; }),
        TextField("205060", [](const tUAInBound& r) { return r.Text60; }),
    };
    return fields;
}

// The value each metadata field must hold: the last JSON value of its descriptor, in the order
// the entries stand, up to the first descriptor the decoder does not know (the scan stops there,
// so nothing after it is read). A reference-value definition changes no field.
std::map<std::string, json> ExpectedMetadata(const json& subset) {
    std::set<std::string> known;
    for (const MetaField& f : MetaFields()) known.insert(f.Descriptor);
    std::map<std::string, json> expected;
    for (const char* part : {"before_template", "after_template"}) {
        if (!subset.contains(part)) continue;
        for (const json& entry : subset[part]) {
            if (entry.contains("operator") || entry.value("new_reference_definition", false)) continue;
            const std::string d = entry.at("descriptor").get<std::string>();
            if (!known.count(d)) return expected;
            expected[d] = entry.at("value");
        }
    }
    return expected;
}

void CompareMetadata(SubsetComparer& c, const tUAInBound& r, const json& subset) {
    const std::map<std::string, json> expected = ExpectedMetadata(subset);
    for (const MetaField& f : MetaFields()) {
        const std::string name = std::string("meta ") + f.Descriptor;
        const auto it = expected.find(f.Descriptor);
        if (it == expected.end()) {
            // Not in the message (or after the point where the scan stopped): still cleared.
            switch (f.Kind) {
                case MetaField::Text: c.Fact(f.TextOf(r)[0] == 0, name + " was not in the message but is set"); break;
                case MetaField::Real: c.Fact(IsMissing(f.RealOf(r)), name + " was not in the message but is set"); break;
                case MetaField::Code:
                    c.Fact(f.CodeOf(r) == (std::strcmp(f.Descriptor, "001082") == 0 ? 65535 : 255),
                           name + " was not in the message but is set");
                    break;
            }
            continue;
        }
        switch (f.Kind) {
            case MetaField::Text: c.Text(name, f.TextOf(r), it->second); break;
            case MetaField::Real: c.Real(name, f.RealOf(r), it->second, f.Scale); break;
            case MetaField::Code: c.Code(name, f.CodeOf(r), it->second, f.Width); break;
        }
    }
}

// ---- The template part ----

void CompareHeader(SubsetComparer& c, const tUAInBound& r, const json& h, int kind) {
    c.Code("block_number", r.BlockNumber, h["block_number"], 7);
    c.Code("station_number", r.StationNumber, h["station_number"], 10);
    c.Fact(r.StationIndex == r.BlockNumber * 1000 + r.StationNumber, "StationIndex is not block x 1000 + station");
    c.Text("ship_id", r.ShipId, h["ship_id"]);
    c.Code("sonde_type", r.SondeType, h["sonde_type"], 8);
    if (kind == 52) c.Code("radiation_correction", r.RadiationCorrection, h["radiation_correction"], 4);
    else c.Fact(r.RadiationCorrection == 255, "RadiationCorrection of a PILOT is not 255");
    c.Code("tracking", r.TrackingTechnique, h["tracking"], 7);
    c.Code("equipment", r.EquipmentType, h["equipment"], 4);
    c.Code("time_significance", r.TimeSignificance, h["time_significance"], 5);
    c.Code("year", r.Year, h["year"], 12);
    c.Code("month", r.Month, h["month"], 4);
    c.Code("day", r.Day, h["day"], 6);
    c.Code("hour", r.Hour, h["hour"], 5);
    c.Code("minute", r.Minute, h["minute"], 6);
    c.Code("second", r.Second, h["second"], 6);
    c.Real("latitude", r.Latitude, h["latitude"], 5);
    c.Real("longitude", r.Longitude, h["longitude"], 5);
    c.Real("ground_height", r.GroundHeight, h["ground_height"], 1);
    c.Real("barometer_height", r.BarometerHeight, h["barometer_height"], 1);
    c.Real("release_height", r.ReleaseHeight, h["release_height"], 0);
    c.Code("elevation_quality", r.ElevationQuality, h["elevation_quality"], 4);
    if (kind == 52) c.Single("water_temp", r.WaterTemp, h["water_temp"], 2);
    else c.Fact(IsMissing(r.WaterTemp), "WaterTemp of a PILOT is not missing");
}

void CompareCloud(SubsetComparer& c, const tUAInBound& r, const json& subset, int kind) {
    if (kind != 52) {
        c.Fact(r.CloudSignificance == 0 && r.CloudAmount == 0 && r.CloudTypeLow == 0 && r.CloudTypeMiddle == 0 &&
                   r.CloudTypeHigh == 0 && r.CloudBase == 0,
               "the cloud group of a PILOT is not zero");
        return;
    }
    const json& cl = subset["cloud"];
    c.Code("cloud.significance", r.CloudSignificance, cl["significance"], 6);
    c.Code("cloud.amount", r.CloudAmount, cl["amount"], 4);
    c.Real("cloud.base", r.CloudBase, cl["base"], -1);
    c.Code("cloud.type_low", r.CloudTypeLow, cl["type_low"], 6);
    c.Code("cloud.type_middle", r.CloudTypeMiddle, cl["type_middle"], 6);
    c.Code("cloud.type_high", r.CloudTypeHigh, cl["type_high"], 6);
}

// JSON value i of a level key, or null when the template does not carry the key.
json At(const json& arrays, const char* key, std::size_t i) { return arrays.contains(key) ? arrays[key][i] : json(); }

void CompareLevels(SubsetComparer& c, const tUAInBound& r, const json& subset) {
    const std::size_t count = subset["level_count"].get<std::size_t>();
    c.Fact(r.LevelCount == count, "LevelCount " + std::to_string(r.LevelCount) + ", ecCodes " + std::to_string(count));
    c.Fact(r.Levels.size() == r.LevelCount, "Levels does not hold LevelCount records");
    if (r.LevelCount != count || r.Levels.size() != count) return;
    const json& lv = subset["levels"];
    for (std::size_t i = 0; i < count; ++i) {
        const tUALevelRec& l = r.Levels[i];
        const std::string n = "level " + std::to_string(i) + " ";
        c.Real(n + "time", l.Time, lv["time"][i], 0);
        const json flags = lv["flags"][i];
        c.Code(n + "flags", l.Flags, flags.is_null() ? flags : json(flags.get<std::int64_t>() & ~std::int64_t(1)), 18);
        c.Real(n + "pressure", l.Pressure, At(lv, "pressure", i), -1);
        c.Real(n + "height", l.Height, At(lv, "height", i), 0);
        c.Real(n + "dlat", l.DLat, lv["dlat"][i], 5);
        c.Real(n + "dlon", l.DLon, lv["dlon"][i], 5);
        c.Real(n + "temp", l.Temp, At(lv, "temp", i), 2);
        c.Real(n + "dewpoint", l.DewPoint, At(lv, "dewpoint", i), 2);
        c.Real(n + "wind_dir", l.WindDir, lv["wind_dir"][i], 0);
        c.Real(n + "wind_speed", l.WindSpeed, lv["wind_speed"][i], 1);
        // Humidity from the ecCodes temperatures: missing unless both are there.
        const json t = At(lv, "temp", i), td = At(lv, "dewpoint", i);
        if (t.is_null() || td.is_null()) {
            c.Fact(IsMissing(l.Humidity), n + "humidity " + Show(l.Humidity) + " without temperature and dew point");
        } else {
            const double rh = RelHumidity(t.get<double>() - 273.15, td.get<double>() - 273.15);
            c.Fact(!IsMissing(l.Humidity) && std::fabs(l.Humidity - rh) <= 1e-9 * std::max(1.0, rh),
                   n + "humidity " + Show(l.Humidity) + ", from the ecCodes values " + Show(rh));
        }
    }
}

void CompareShear(SubsetComparer& c, const tUAInBound& r, const json& subset) {
    const std::size_t count = subset["shear_count"].get<std::size_t>();
    c.Fact(r.ShearCount == count, "ShearCount " + std::to_string(r.ShearCount) + ", ecCodes " + std::to_string(count));
    c.Fact(r.ShearLevels.size() == r.ShearCount, "ShearLevels does not hold ShearCount records");
    if (r.ShearCount != count || r.ShearLevels.size() != count) return;
    const json& sh = subset["shear"];
    for (std::size_t i = 0; i < count; ++i) {
        const tUAShearRec& s = r.ShearLevels[i];
        const std::string n = "shear " + std::to_string(i) + " ";
        c.Real(n + "time", s.Time, sh["time"][i], 0);
        const json flags = sh["flags"][i];
        c.Code(n + "flags", s.Flags, flags.is_null() ? flags : json(flags.get<std::int64_t>() & ShearFlagBits), 18);
        c.Real(n + "pressure", s.Pressure, At(sh, "pressure", i), -1);
        c.Real(n + "height", s.Height, At(sh, "height", i), 0);
        c.Real(n + "dlat", s.DLat, sh["dlat"][i], 5);
        c.Real(n + "dlon", s.DLon, sh["dlon"][i], 5);
        c.Single(n + "shear_below", s.ShearBelow, sh["shear_below"][i], 1);
        c.Single(n + "shear_above", s.ShearAbove, sh["shear_above"][i], 1);
    }
}

// ---- The files ----

// The files whose scan stops before the end, by name: entries taken and descriptors not taken.
struct PartialScan {
    const char* Stem;
    std::uint16_t Entries, Unknown;
};
constexpr PartialScan PartialScans[] = {
    {"temp52_unsupported", 1, 2},                       // 0 01 001 is no catalogue element
    {"20_usa_IUSN02KABQ_meta_309052_extras_hires", 10, 5},  // 0 13 047 after the template
};

std::vector<std::string> TemplateFiles(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::path& file : ListBufrFiles(dir)) {
        const fs::path jsonPath = JsonBeside(file);
        if (!fs::exists(jsonPath)) continue;
        try {
            if (!LoadJson(jsonPath)["template"].is_null()) names.push_back(file.filename().string());
        } catch (const std::exception&) {
            names.push_back(file.filename().string());  // an unreadable JSON fails in the test
        }
    }
    return names;
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
    std::string name = fs::path(info.param).stem().string();
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

void DecodeAndCompare(const fs::path& file) {
    TAVIK_REQUIRE_PATH(file);
    const json j = LoadJson(JsonBeside(file));
    const std::string stem = file.stem().string();

    DecoderHarness h(file);
    ASSERT_TRUE(h.Loaded() && h.Parsed()) << "the message does not load";
    ASSERT_TRUE(h.Scan());
    const int kind = std::stoi(j["template"].get<std::string>()) - 309000;
    ASSERT_TRUE(h.Decoder.HasTemplate);
    ASSERT_EQ(h.Decoder.TemplateKind, kind);
    EXPECT_EQ(h.Decoder.TemplateFX[0], 3);
    EXPECT_EQ(h.Decoder.TemplateFX[1], 9);

    std::uint16_t entries = 0;
    for (const json& d : j["section3"]["descriptors"]) entries += d.get<std::string>() == "301128" ? 23 : 1;
    std::uint16_t unknown = 0;
    for (const PartialScan& p : PartialScans)
        if (stem == p.Stem) entries = p.Entries, unknown = p.Unknown;
    EXPECT_EQ(h.Decoder.EntryCount, entries);
    EXPECT_EQ(h.Decoder.UnknownCount, unknown);
    EXPECT_EQ(h.Decoder.AllKnown, unknown == 0);

    Differences diff;
    const json& subsets = j["subsets"];
    ASSERT_EQ(subsets.size(), h.Message.Section3->NumSubsets);
    for (const json& subset : subsets) {
        const std::string where = "subset " + std::to_string(subset["subset"].get<int>()) + ": ";
        ASSERT_NO_THROW(h.DecodeNext()) << where;
        const tUAInBound& r = h.Decoder;
        SubsetComparer c(diff, where);
        c.Fact(r.Message == &h.Message, "Message is not set");
        c.Fact(!r.Incomplete, "Incomplete is set");
        c.Fact(h.CursorBits() <= h.Section4DataBits(), "the cursor went past Section 4");
        CompareHeader(c, r, subset["header"], kind);
        CompareCloud(c, r, subset, kind);
        CompareLevels(c, r, subset);
        CompareShear(c, r, subset);
        CompareMetadata(c, r, subset);
    }
    EXPECT_TRUE(diff.Empty()) << diff.Report();
}

class FixtureFileTest : public testing::TestWithParam<std::string> {};
class RealDataFileTest : public testing::TestWithParam<std::string> {};

TEST_P(FixtureFileTest, DecodesAsEcCodesDoes) { DecodeAndCompare(FixturesDir() / GetParam()); }
TEST_P(RealDataFileTest, DecodesAsEcCodesDoes) { DecodeAndCompare(RealDataDir() / GetParam()); }

INSTANTIATE_TEST_SUITE_P(Shared, FixtureFileTest, testing::ValuesIn(TemplateFiles(FixturesDir())), TestName);

// ---- The high-resolution templates: ecCodes' flat element list, value for value ----

// One value the decoder holds, in the order ecCodes lists the elements of 3-09-056 or 3-09-057.
struct FlatValue {
    std::string Descriptor;
    enum { Real, Single, Code, Text, Skip } Kind;
    int Scale = 0;       // reals
    unsigned Width = 0;  // codes
    double RealValue = 0;
    std::int64_t CodeValue = 0;
    const char* TextValue = nullptr;
};

class FlatList {
public:
    void Real(const char* d, double v, int scale) { list.push_back({d, FlatValue::Real, scale, 0, v, 0, nullptr}); }
    void Single(const char* d, float v, int scale) { list.push_back({d, FlatValue::Single, scale, 0, v, 0, nullptr}); }
    void Code(const char* d, std::int64_t v, unsigned width) {
        list.push_back({d, FlatValue::Code, 0, width, 0, v, nullptr});
    }
    void Text(const char* d, const char* v) { list.push_back({d, FlatValue::Text, 0, 0, 0, 0, v}); }
    void Skip(const char* d) { list.push_back({d, FlatValue::Skip}); }
    const std::vector<FlatValue>& Values() const { return list; }

private:
    std::vector<FlatValue> list;
};

const char* const Sequence301128[] = {"001081", "001082", "001083", "001095", "002015", "002016",
                                      "002017", "002066", "002067", "002080", "002081", "002082",
                                      "002083", "002084", "002085", "002086", "002095", "002096",
                                      "002097", "002103", "002191", "025061", "035035"};

void FlatMetadata(FlatList& out, const tUAInBound& r) {
    for (const char* d : Sequence301128) {
        for (const MetaField& f : MetaFields()) {
            if (std::strcmp(f.Descriptor, d) != 0) continue;
            switch (f.Kind) {
                case MetaField::Text: out.Text(d, f.TextOf(r)); break;
                case MetaField::Real: out.Real(d, f.RealOf(r), f.Scale); break;
                case MetaField::Code: out.Code(d, f.CodeOf(r), f.Width); break;
            }
        }
    }
}

// The decoded subset as ecCodes lists it. The level flags lose bit value 1 and the shear flags keep
// the shear bits, as the decoder stores them; FlatFlags applies the same to the JSON value.
FlatList FlatSubset(const tUAInBound& r, int kind) {
    FlatList out;
    out.Code("001125", r.WigosSeries, 4);
    out.Code("001126", r.WigosIssuer, 16);
    out.Code("001127", r.WigosIssueNumber, 16);
    out.Text("001128", r.WigosLocalId);
    out.Code("001001", r.BlockNumber, 7);
    out.Code("001002", r.StationNumber, 10);
    out.Text("001011", r.ShipId);
    out.Code("002011", r.SondeType, 8);
    out.Code("002013", r.RadiationCorrection, 4);
    out.Code("002014", r.TrackingTechnique, 7);
    out.Code("002003", r.EquipmentType, 4);
    FlatMetadata(out, r);
    out.Code("008021", r.TimeSignificance, 5);
    out.Code("004001", r.Year, 12);
    out.Code("004002", r.Month, 4);
    out.Code("004003", r.Day, 6);
    out.Code("004004", r.Hour, 5);
    out.Code("004005", r.Minute, 6);
    out.Code("004006", r.Second, 6);
    if (kind == 56) {
        out.Code("008091", r.DescentSignificance, 8);
        out.Real("005001", r.DescentLatitude, 5);
        out.Real("006001", r.DescentLongitude, 5);
        out.Real("007007", r.DescentHeight, 0);
        out.Skip("008091");
    } else {
        out.Real("005001", r.Latitude, 5);
        out.Real("006001", r.Longitude, 5);
        out.Real("007030", r.GroundHeight, 1);
        out.Real("007031", r.BarometerHeight, 1);
        out.Real("007007", r.ReleaseHeight, 0);
        out.Code("033024", r.ElevationQuality, 4);
        out.Code("008002", r.CloudSignificance, 6);
        out.Code("020011", r.CloudAmount, 4);
        out.Real("020013", r.CloudBase, -1);
        out.Code("020012", r.CloudTypeLow, 6);
        out.Code("020012", r.CloudTypeMiddle, 6);
        out.Code("020012", r.CloudTypeHigh, 6);
        out.Skip("008002");
        out.Single("022043", r.WaterTemp, 2);
    }
    out.Code("031002", r.LevelCount, 16);
    for (const tUALevelRec& l : r.Levels) {
        out.Real("004086", l.Time, 0);
        out.Code("008042", l.Flags, 18);
        out.Real("007004", l.Pressure, 0);
        out.Real("010009", l.Height, 1);
        out.Real("005015", l.DLat, 5);
        out.Real("006015", l.DLon, 5);
        out.Real("012101", l.Temp, 2);
        out.Real("012103", l.DewPoint, 2);
        out.Real("011001", l.WindDir, 0);
        out.Real("011002", l.WindSpeed, 1);
    }
    out.Code("031001", r.ShearCount, 8);
    for (const tUAShearRec& s : r.ShearLevels) {
        out.Real("004086", s.Time, 0);
        out.Code("008042", s.Flags, 18);
        out.Real("007004", s.Pressure, -1);
        out.Real("005015", s.DLat, 5);
        out.Real("006015", s.DLon, 5);
        out.Single("011061", s.ShearBelow, 1);
        out.Single("011062", s.ShearAbove, 1);
    }
    return out;
}

// The descriptor of a flat JSON element: an object (the shared files) or a [descriptor, value]
// pair (our own); in the objects the replication factors have only their key.
std::string FlatDescriptor(const json& e) {
    if (e.is_array()) return e[0].get<std::string>();
    if (e.contains("descriptor")) return e["descriptor"].get<std::string>();
    const std::string key = e.value("key", "");
    if (key == "extendedDelayedDescriptorReplicationFactor") return "031002";
    if (key == "delayedDescriptorReplicationFactor") return "031001";
    return key;
}

// The JSON flag value as the decoder keeps it: level flags without bit value 1, shear flags with
// only the shear bits (the shear block follows the 0 31 001 factor).
json FlatFlags(const json& v, bool shear) {
    if (v.is_null()) return v;
    const std::int64_t raw = v.get<std::int64_t>();
    return json(shear ? raw & ShearFlagBits : raw & ~std::int64_t(1));
}

// The elements before the template: a 3 01 128 of its own gives way to the template's copy; every
// other element (the orientation corrections under 2 01 / 2 03, the 2 05 YYY characters) has a
// field of its own, which holds the last value ecCodes lists for its descriptor.
void CompareBeforeTemplate(SubsetComparer& c, const tUAInBound& r, const json& elements, std::size_t first) {
    std::map<std::string, json> last;
    for (std::size_t i = 0; i < first; ++i) {
        const json& e = elements[i];
        last[FlatDescriptor(e)] = e.is_array() ? e[1] : e["value"];
    }
    for (const auto& [descriptor, expected] : last) {
        if (std::find_if(std::begin(Sequence301128), std::end(Sequence301128), [&](const char* d) {
                return descriptor == d;
            }) != std::end(Sequence301128))
            continue;
        const auto field = std::find_if(MetaFields().begin(), MetaFields().end(),
                                        [&](const MetaField& f) { return descriptor == f.Descriptor; });
        if (field == MetaFields().end()) {
            c.Fact(false, "ecCodes lists " + descriptor + " before the template, the decoder has no field for it");
            continue;
        }
        const std::string name = "before the template " + descriptor;
        switch (field->Kind) {
            case MetaField::Text: c.Text(name, field->TextOf(r), expected); break;
            case MetaField::Real: c.Real(name, field->RealOf(r), expected, field->Scale); break;
            case MetaField::Code: c.Code(name, field->CodeOf(r), expected, field->Width); break;
        }
    }
}

void CompareFlat(SubsetComparer& c, const tUAInBound& r, const json& elements, int kind) {
    const std::vector<FlatValue> values = FlatSubset(r, kind).Values();
    // Elements before the template (a 3 01 128 of its own) are overwritten by the template's copy.
    const std::size_t first = elements.size() >= values.size() ? elements.size() - values.size() : 0;
    c.Fact(elements.size() - first == values.size(),
           "ecCodes lists " + std::to_string(elements.size()) + " elements, the decoder holds " +
               std::to_string(values.size()));
    CompareBeforeTemplate(c, r, elements, first);
    bool inShear = false;
    for (std::size_t i = 0; i < values.size() && first + i < elements.size(); ++i) {
        const FlatValue& v = values[i];
        const json& e = elements[first + i];
        const std::string name = "element " + std::to_string(first + i) + " " + v.Descriptor;
        if (FlatDescriptor(e) != v.Descriptor) {
            c.Fact(false, name + ": ecCodes has " + FlatDescriptor(e) + " here");
            return;
        }
        if (v.Descriptor == "031001") inShear = true;
        const json& expected = e.is_array() ? e[1] : e["value"];
        switch (v.Kind) {
            case FlatValue::Real: c.Real(name, v.RealValue, expected, v.Scale); break;
            case FlatValue::Single: c.Single(name, static_cast<float>(v.RealValue), expected, v.Scale); break;
            case FlatValue::Code:
                c.Code(name, v.CodeValue, v.Descriptor == "008042" ? FlatFlags(expected, inShear) : expected, v.Width);
                break;
            case FlatValue::Text: c.Text(name, v.TextValue, expected); break;
            case FlatValue::Skip: break;
        }
    }
    if (kind == 56) {
        // The start of a descent is the origin of its displacements.
        const auto same = [](double a, double b) { return IsMissing(a) ? IsMissing(b) : a == b; };
        c.Fact(same(r.Latitude, r.DescentLatitude) && same(r.Longitude, r.DescentLongitude) &&
                   same(r.ReleaseHeight, r.DescentHeight),
               "the launch site of a descent is not where it starts");
    }
    for (std::size_t i = 0; i < r.Levels.size(); ++i) {
        const tUALevelRec& l = r.Levels[i];
        const bool both = !IsMissing(l.Temp) && !IsMissing(l.DewPoint);
        const double rh = both ? RelHumidity(l.Temp - 273.15, l.DewPoint - 273.15) : MissingValue;
        c.Fact(both ? std::fabs(l.Humidity - rh) <= 1e-9 * std::max(1.0, rh) : IsMissing(l.Humidity),
               "level " + std::to_string(i) + " humidity " + Show(l.Humidity) + ", from its temperatures " + Show(rh));
    }
}

// The template of a flat JSON: 56 or 57 when Section 3 names 3 09 056 or 3 09 057, else 0.
int HighResolutionKind(const json& j) {
    if (!j["template"].is_null() || !j.contains("section3")) return 0;
    for (const json& d : j["section3"]["descriptors"]) {
        const std::string code = d.get<std::string>();
        if (code == "309056" || code == "309057") return std::stoi(code) - 309000;
    }
    return 0;
}

std::vector<std::string> HighResolutionFiles(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::path& file : ListBufrFiles(dir)) {
        const fs::path jsonPath = JsonBeside(file);
        if (fs::exists(jsonPath) && HighResolutionKind(LoadJson(jsonPath)) != 0) names.push_back(file.filename().string());
    }
    return names;
}

const fs::path OwnDataDir = fs::path(TAVIK_SOURCE_DIR) / "tests" / "decoder" / "data";

void DecodeAndCompareFlat(const fs::path& file) {
    TAVIK_REQUIRE_PATH(file);
    const json j = LoadJson(JsonBeside(file));
    const int kind = HighResolutionKind(j);
    DecoderHarness h(file);
    ASSERT_TRUE(h.Loaded() && h.Parsed()) << "the message does not load";
    ASSERT_TRUE(h.Scan());
    ASSERT_TRUE(h.Decoder.HasTemplate);
    ASSERT_EQ(h.Decoder.TemplateKind, kind);
    EXPECT_TRUE(h.Decoder.AllKnown);
    Differences diff;
    const json& subsets = j["subsets"];
    ASSERT_EQ(subsets.size(), h.Message.Section3->NumSubsets);
    for (const json& subset : subsets) {
        const std::string where = "subset " + std::to_string(subset["subset"].get<int>()) + ": ";
        ASSERT_TRUE(h.DecodeNext()) << where;
        SubsetComparer c(diff, where);
        c.Fact(!h.Decoder.Incomplete, "Incomplete is set");
        c.Fact(h.CursorBits() <= h.Section4DataBits(), "the cursor went past Section 4");
        CompareFlat(c, h.Decoder, subset["elements"], kind);
    }
    EXPECT_TRUE(diff.Empty()) << diff.Report();
}

class HighResolutionRealDataTest : public testing::TestWithParam<std::string> {};
class HighResolutionFixtureTest : public testing::TestWithParam<std::string> {};

TEST_P(HighResolutionRealDataTest, DecodesAsEcCodesDoes) { DecodeAndCompareFlat(RealDataDir() / GetParam()); }
TEST_P(HighResolutionFixtureTest, DecodesAsEcCodesDoes) { DecodeAndCompareFlat(OwnDataDir / GetParam()); }

INSTANTIATE_TEST_SUITE_P(Shared, HighResolutionRealDataTest, testing::ValuesIn(HighResolutionFiles(RealDataDir())),
                         TestName);
INSTANTIATE_TEST_SUITE_P(Own, HighResolutionFixtureTest, testing::ValuesIn(HighResolutionFiles(OwnDataDir)), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HighResolutionRealDataTest);

// Both real files of 3-09-057 are among them (the list is built from the JSON, so a lost file
// would otherwise go unnoticed).
TEST(HighResolutionFilesTest, BothRealFilesAreCompared) {
    TAVIK_REQUIRE_PATH(RealDataDir());
    const std::vector<std::string> names = HighResolutionFiles(RealDataDir());
    const std::set<std::string> found(names.begin(), names.end());
    EXPECT_TRUE(found.count("22_norway_ENMI_309057_hires_2msgs.bufr"));
    EXPECT_TRUE(found.count("23_dwd_IUSN40EDZW_tempship_309057.bufr"));
}
INSTANTIATE_TEST_SUITE_P(Shared, RealDataFileTest, testing::ValuesIn(TemplateFiles(RealDataDir())), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FixtureFileTest);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RealDataFileTest);

// ---- Files without a supported template ----

// Descriptors of Section 3 that the scan does not take: it stops at the first one it does not
// know, and everything from there on counts.
struct Rejected {
    const char* Folder;
    const char* Name;
    std::uint16_t Unknown;
    const char* Why;
};
const Rejected RejectedFiles[] = {
    {"fixtures", "synop_no_template.bufr", 1, "3 07 080"},
    {"realdata", "08_dwd_uegabe_204004_309052_205008.bufr", 7, "2 04 004 before the template"},
    {"realdata", "09_dwd_pilot_204004_309050_205008.bufr", 7, "2 04 004 before the template"},
    {"realdata", "24_ecmwf_temp102_ship_local309196.bufr", 10, "the local 3 09 196"},
    {"realdata", "25_dwd_temp_explicit_201_202_ops_hires.bufr", 25, "3 01 011 opens an explicit list"},
    {"realdata", "N1_czech_synop_compressed_22subsets.bufr", 1, "3 07 086"},
    {"realdata", "N2_ecmwf_windprofiler_cat2.bufr", 9, "3 01 032"},
    {"realdata", "N3_jma_IUPC41RJTD_windprofiler_206008.bufr", 24, "0 01 001 is no catalogue element"},
};

TEST(RejectedFileTest, NoTemplateIsFoundAndNothingIsRead) {
    TAVIK_REQUIRE_PATH(SharedDir());
    for (const Rejected& f : RejectedFiles) {
        SCOPED_TRACE(std::string(f.Name) + " (" + f.Why + ")");
        const fs::path file = SharedDir() / f.Folder / f.Name;
        if (!fs::exists(file)) {
            ADD_FAILURE() << file << " is missing from the shared folder";
            continue;
        }
        DecoderHarness h(file);
        ASSERT_TRUE(h.Loaded() && h.Parsed());
        ASSERT_TRUE(h.Scan());
        EXPECT_FALSE(h.Decoder.HasTemplate);
        EXPECT_EQ(h.Decoder.TemplateKind, 0);
        EXPECT_EQ(h.Decoder.UnknownCount, f.Unknown);
        EXPECT_FALSE(h.Decoder.AllKnown);
        ASSERT_TRUE(h.DecodeNext());  // N1 is compressed: without a template that is no error
        EXPECT_EQ(h.BytePos, 0u);
        EXPECT_EQ(h.BitPos, 0u);
        EXPECT_EQ(h.Decoder.Message, &h.Message);
        EXPECT_EQ(h.Decoder.LevelCount, 0);
        EXPECT_EQ(h.Decoder.ShearCount, 0);
        EXPECT_EQ(h.Decoder.StationIndex, 0);
        EXPECT_FALSE(h.Decoder.Incomplete);
    }
}

// Every shared data file is covered by one of the two tests above: a JSON that names a template,
// or the list of rejected files.
TEST(SharedFilesTest, EveryFileIsCovered) {
    TAVIK_REQUIRE_PATH(SharedDir());
    std::set<std::string> rejected;
    for (const Rejected& f : RejectedFiles) rejected.insert(f.Name);
    for (const fs::path& dir : {FixturesDir(), RealDataDir()}) {
        std::vector<std::string> withTemplate = TemplateFiles(dir);
        for (const std::string& name : HighResolutionFiles(dir)) withTemplate.push_back(name);
        const std::set<std::string> covered(withTemplate.begin(), withTemplate.end());
        for (const fs::path& file : ListBufrFiles(dir)) {
            const std::string name = file.filename().string();
            EXPECT_TRUE(covered.count(name) != rejected.count(name)) << name << " is covered by neither test";
        }
    }
}

}  // namespace

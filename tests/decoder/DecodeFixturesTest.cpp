// Every shared file decoded as the decode driver decodes it, compared subset by subset and level
// by level with what ecCodes decoded from the same file (the JSON beside it). The JSON keeps the
// raw 0 08 042 value; the decoder clears bit value 1 of level flags and keeps only the shear bits,
// so the JSON flags go through the same two rules before the comparison.
#include <gtest/gtest.h>

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
    {"realdata", "22_norway_ENMI_309057_hires_2msgs.bufr", 1, "3 09 057"},
    {"realdata", "23_dwd_IUSN40EDZW_tempship_309057.bufr", 1, "3 09 057"},
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
        const std::vector<std::string> withTemplate = TemplateFiles(dir);
        const std::set<std::string> covered(withTemplate.begin(), withTemplate.end());
        for (const fs::path& file : ListBufrFiles(dir)) {
            const std::string name = file.filename().string();
            EXPECT_TRUE(covered.count(name) != rejected.count(name)) << name << " is covered by neither test";
        }
    }
}

}  // namespace

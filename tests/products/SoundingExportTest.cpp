// The JSON and CSV of soundings made by hand: missing values, character fields, the longitude
// across the date line, the flag names, the indices object (known values of a layered atmosphere
// and of the standard levels, nulls without humidity or pressure), the CSV's header, line ends and
// empty fields; and the CSV of a shared file against the JSON of the same subset.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "HandMadeSoundings.h"
#include "products/SoundingCsv.h"
#include "products/SoundingIndices.h"
#include "products/SoundingJson.h"
#include "products/Thermodynamics.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;
using products::test::Level;
using products::test::Sounding;

// A 3-09-052 sounding near the date line with one full level and one with nothing but its time.
tUAInBound DateLineSounding() {
    tUALevelRec empty;
    empty.Time = 60;
    tUAInBound s = Sounding({Level(0, 1000, 100, 15, 0x20000 | 0x2000), empty});
    s.HasTemplate = true;
    s.TemplateKind = 52;
    s.AllKnown = true;
    s.Latitude = -41.3;
    s.Longitude = 179.99;
    s.Levels[0].DLon = 0.02;  // 180.01: past the date line
    s.Levels[0].DLat = -0.01;
    s.Year = 2024, s.Month = 2, s.Day = 29, s.Hour = 23, s.Minute = 59, s.Second = 59;
    s.BlockNumber = 127;  // all seven bits: missing
    std::strcpy(s.ShipId, "\xD1\xD3\xC4\xCD\xCE  ");  // "СУДНО" in Windows-1251, padded
    std::memset(s.SerialNumber, '\xFF', 8);               // all 0xFF: missing
    return s;
}

TEST(SoundingJsonTest, MissingValuesTextsCoordinatesAndFlags) {
    const tUAInBound s = DateLineSounding();
    const json j = json::parse(SoundingJsonText(s, {"ship.bufr", 2, 3, 1, {}}));
    EXPECT_EQ(j["schema"], json({{"name", "tavik-sounding"}, {"version", 2}}));
    EXPECT_EQ(j["source"], json({{"file", "ship.bufr"}, {"message", 2}, {"messages", 3}, {"subset", 1}}));
    EXPECT_EQ(j["template"], "309052");
    EXPECT_TRUE(j["station"]["blockNumber"].is_null());
    EXPECT_EQ(j["station"]["shipIdentifier"], "СУДНО");
    EXPECT_TRUE(j["metadata"]["serialNumber"].is_null());
    EXPECT_EQ(j["launch"]["time"], "2024-02-29T23:59:59Z");
    EXPECT_TRUE(j["message"]["typicalTime"].is_null()) << "an all-zero Section 1 makes no date";

    const json& full = j["levels"][0];
    EXPECT_EQ(full["pressure"], 100000);
    EXPECT_DOUBLE_EQ(full["temperature"].get<double>(), 288.15);
    EXPECT_DOUBLE_EQ(full["longitude"].get<double>(), -179.99);
    EXPECT_DOUBLE_EQ(full["latitude"].get<double>(), -41.31);
    EXPECT_EQ(full["flags"], 0x22000);
    EXPECT_EQ(full["flagNames"], json({"surface", "significantTemperature"}));

    const json& empty = j["levels"][1];
    EXPECT_EQ(empty["time"], 60);
    for (const char* key : {"pressure", "geopotentialHeight", "latitude", "longitude", "temperature", "dewPoint",
                            "relativeHumidity", "windDirection", "windSpeed", "flags"})
        EXPECT_TRUE(empty[key].is_null()) << key;
    EXPECT_EQ(empty["flagNames"], json::array());
}

TEST(SoundingJsonTest, AnInvalidDateIsNullAndAFileNameNeedNotBeUtf8) {
    tUAInBound s = DateLineSounding();
    s.Year = 2023;  // no 29 February
    const json j = json::parse(SoundingJsonText(s, {"bad\xFFname.bufr", 1, 1, 1, {}}));
    EXPECT_TRUE(j["launch"]["time"].is_null());
    EXPECT_EQ(j["source"]["file"], "bad\xEF\xBF\xBDname.bufr");
}

// Levels every 500 m from 1013.25 hPa and 15 °C to 30 km: 6.5 K/km to 11 km, isothermal to 20 km,
// 4 K/km to 22 km, isothermal above; the wind 270° peaking at 40 m/s at 11 km. Its tropopauses are
// at 11 and 22 km, its 0 °C level at 15/6.5 km (the same atmosphere as SoundingIndicesTest's).
tUAInBound LayeredSounding() {
    constexpr double Step = 500.0;
    std::vector<tUALevelRec> levels;
    double t = 15.0, p = 1013.25;
    for (double z = 0; z <= 30000.0; z += Step) {
        tUALevelRec l = Level(z / 5.0, p, z, t);
        l.WindDir = 270.0;
        l.WindSpeed = 10.0 + 30.0 * std::exp(-std::pow((z - 11000.0) / 2000.0, 2));
        levels.push_back(l);
        const double lapse = z < 11000 ? 6.5 : z < 20000 ? 0.0 : z < 22000 ? 4.0 : 0.0;
        const double next = t - lapse * Step / 1000.0;
        p *= std::exp(-products::thermo::Gravity * Step /
                      (products::thermo::Rd * (0.5 * (t + next) + products::thermo::ZeroCelsius)));
        t = next;
    }
    return Sounding(levels);
}

// Expects a JSON number within half a unit of its last decimal of the value (NaN: null).
void ExpectValue(const json& v, double expected, int decimals, const char* what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(v.is_null()) << what << ": " << v;
        return;
    }
    ASSERT_TRUE(v.is_number()) << what << ": " << v;
    EXPECT_NEAR(v.get<double>(), expected, 0.5 * std::pow(10.0, -decimals) + 1e-9) << what;
}

TEST(SoundingJsonTest, IndicesOfALayeredAtmosphereInSiUnits) {
    const tUAInBound s = LayeredSounding();
    const json x = json::parse(SoundingJsonText(s, {"layered.bufr", 1, 1, 1, {}}))["indices"];
    const products::SoundingIndices c = products::ComputeIndices(products::BuildSoundingProfile(s));

    // Known by construction; pressures back in Pa as the levels give them.
    const json& first = x["tropopauses"]["first"];
    EXPECT_EQ(first["height"], 11000.0);
    EXPECT_EQ(first["pressure"], std::lround(s.Levels[22].Pressure)) << "the level at 11 km";
    EXPECT_NEAR(first["temperature"].get<double>(), 15.0 - 6.5 * 11 + 273.15, 0.005);
    EXPECT_EQ(x["tropopauses"]["second"]["height"], 22000.0);
    ASSERT_EQ(x["freezingLevels"].size(), 1u);
    EXPECT_NEAR(x["freezingLevels"][0]["height"].get<double>(), 15.0 / 6.5 * 1000.0, 0.05);
    EXPECT_GT(x["freezingLevels"][0]["pressure"].get<double>(), 70000.0) << "Pa, not hPa";
    EXPECT_EQ(x["maxWind"], json({{"pressure", std::lround(s.Levels[22].Pressure)},
                                  {"height", 11000.0},
                                  {"speed", 40.0},
                                  {"direction", 270}}));
    const json& start = x["surfaceParcel"]["start"];
    EXPECT_EQ(start, json({{"pressure", 101325}, {"temperature", 288.15}, {"dewPoint", 286.15}}));

    // Every other value is the computed one, in Pa and rounded.
    ASSERT_TRUE(c.surface.valid && c.mixedLayer.valid && c.mostUnstable.valid);
    struct Parcel {
        const char* key;
        const products::ParcelResult& result;
    };
    for (const Parcel& p : {Parcel{"surfaceParcel", c.surface}, Parcel{"mixedLayerParcel", c.mixedLayer},
                            Parcel{"mostUnstableParcel", c.mostUnstable}}) {
        SCOPED_TRACE(p.key);
        const json& j = x[p.key];
        ExpectValue(j["start"]["pressure"], p.result.start.pressure * 100, 0, "start pressure");
        ExpectValue(j["start"]["dewPoint"], p.result.startDewPoint, 2, "start dew point");
        ExpectValue(j["lcl"]["pressure"], p.result.lcl.pressure * 100, 0, "LCL pressure");
        ExpectValue(j["lcl"]["temperature"], p.result.lcl.temperature, 2, "LCL temperature");
        EXPECT_LT(j["lcl"]["pressure"].get<double>(), j["start"]["pressure"].get<double>());
        for (const auto& [key, b] : {std::pair<const char*, const products::Buoyancy&>{"plain", p.result.plain},
                                     {"virtualCorrected", p.result.virtualCorrected}}) {
            SCOPED_TRACE(key);
            ExpectValue(j[key]["cape"], b.cape, 1, "CAPE");
            ExpectValue(j[key]["cin"], b.cin, 1, "CIN");
            for (const auto& [name, point] : {std::pair<const char*, const products::PressureTemperature&>{"lfc", b.lfc},
                                              {"el", b.el}}) {
                if (std::isnan(point.pressure)) {
                    EXPECT_TRUE(j[key][name].is_null()) << name;
                    continue;
                }
                ExpectValue(j[key][name]["pressure"], point.pressure * 100, 0, name);
                ExpectValue(j[key][name]["temperature"], point.temperature, 2, name);
            }
        }
        EXPECT_FALSE(j.contains("path")) << "the path stays out";
    }
    ExpectValue(x["liftedIndex"], c.liftedIndex, 2, "LI");
    ExpectValue(x["showalterIndex"], c.showalterIndex, 2, "Showalter");
    ExpectValue(x["precipitableWater"], c.precipitableWater, 2, "PW");
    ExpectValue(x["precipitableWaterTopPressure"], c.precipitableWaterTop * 100, 0, "PW top");
    EXPECT_EQ(x["precipitableWaterTopPressure"], std::lround(s.Levels.back().Pressure)) << "humidity to the top";
    EXPECT_FALSE(std::isnan(c.liftedIndex));
    EXPECT_EQ(x["notes"], json::array());
}

TEST(SoundingJsonTest, LevelIndicesOfTheStandardLevels) {
    // Dew points 2 K below the temperatures: K = (15 + 10) + 13 - 2, VT = 25, CT = 23.
    const tUAInBound s = Sounding({Level(0, 1000, 100, 20), Level(60, 850, 1500, 15), Level(120, 700, 3000, 5),
                                   Level(240, 500, 5600, -10), Level(400, 300, 9200, -40)});
    const json x = json::parse(SoundingJsonText(s, {"x", 1, 1, 1, {}}))["indices"];
    EXPECT_EQ(x["kIndex"], 36.0);
    EXPECT_EQ(x["verticalTotals"], 25.0);
    EXPECT_EQ(x["crossTotals"], 23.0);
    EXPECT_EQ(x["totalTotals"], 48.0);
    EXPECT_TRUE(x["tropopauses"]["first"].is_null());
    EXPECT_TRUE(x["tropopauses"]["second"].is_null());
}

// A sounding without humidity keeps what needs only temperatures; without pressure nothing is
// left. Both say why in Russian.
TEST(SoundingJsonTest, IndicesAreNullWithoutHumidityOrPressure) {
    const tUAInBound layered = LayeredSounding();
    tUAInBound dry = layered, noPressure = layered;
    for (tUALevelRec& l : dry.Levels) l.DewPoint = l.Humidity = MissingValue;
    for (tUALevelRec& l : noPressure.Levels) l.Pressure = MissingValue;

    const json d = json::parse(SoundingJsonText(dry, {"x", 1, 1, 1, {}}))["indices"];
    for (const char* key : {"surfaceParcel", "mixedLayerParcel", "mostUnstableParcel", "liftedIndex", "showalterIndex",
                            "kIndex", "totalTotals", "crossTotals", "precipitableWater", "precipitableWaterTopPressure"})
        EXPECT_TRUE(d[key].is_null()) << key << ": " << d[key];
    EXPECT_TRUE(d["verticalTotals"].is_number());
    EXPECT_EQ(d["tropopauses"]["first"]["height"], 11000.0);
    EXPECT_EQ(d["freezingLevels"].size(), 1u);
    EXPECT_TRUE(d["maxWind"].is_object());
    ASSERT_FALSE(d["notes"].empty());
    EXPECT_NE(d["notes"].dump(-1, ' ', false).find("без точки росы: 61"), std::string::npos) << d["notes"];

    const json n = json::parse(SoundingJsonText(noPressure, {"x", 1, 1, 1, {}}))["indices"];
    for (const auto& [key, value] : n.items()) {
        if (key == "freezingLevels" || key == "notes") continue;
        if (key == "tropopauses") {
            EXPECT_EQ(value, json({{"first", nullptr}, {"second", nullptr}}));
            continue;
        }
        EXPECT_TRUE(value.is_null()) << key << ": " << value;
    }
    EXPECT_EQ(n["freezingLevels"], json::array());
    EXPECT_NE(n["notes"].dump(-1, ' ', false).find("без давления: 61"), std::string::npos) << n["notes"];
}

TEST(SoundingJsonTest, ANegativeValueRoundingToZeroIsWrittenAsZero) {
    tUAInBound s = DateLineSounding();
    s.Levels[0].DLon = -1e-7;
    const std::string text = SoundingJsonText(s, {"x", 1, 1, 1, {}});
    EXPECT_NE(text.find("\"longitudeDisplacement\":0.0,"), std::string::npos);
    EXPECT_EQ(text.find("-0.0,"), std::string::npos);
}

TEST(SoundingCsvTest, HeaderRowsAndEmptyFields) {
    const std::string csv = SoundingCsvText(DateLineSounding());
    const std::string header =
        "time_s,pressure_Pa,geopotential_height_gpm,latitude_deg,longitude_deg,latitude_displacement_deg,"
        "longitude_displacement_deg,temperature_K,dew_point_K,relative_humidity_percent,wind_direction_deg,"
        "wind_speed_m_s,flags,flag_names\r\n";
    const std::string rows = "0,100000,100.0,-41.31000,-179.99000,-0.01000,0.02000,288.15,286.15,80.000,200,12.0,"
                             "139264,surface significantTemperature\r\n"
                             "60,,,,,,,,,,,,,\r\n";
    EXPECT_EQ(csv, header + rows);
}

// The CSV rows of a shared sounding carry the JSON's values of the same levels.
TEST(SoundingCsvTest, RowsAgreeWithTheJsonOfTheSameSubset) {
    const fs::path file = FixturesDir() / "temp52_ed4_small.bufr";
    TAVIK_REQUIRE_PATH(file);
    DecoderHarness h(file);
    ASSERT_TRUE(h.Scan() && h.DecodeNext());
    const json j = json::parse(SoundingJsonText(h.Decoder, {"x", 1, 1, 1, HeaderOf(h.Message)}));
    std::istringstream csv(SoundingCsvText(h.Decoder));
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    std::size_t row = 0;
    const char* keys[] = {"time", "pressure", "geopotentialHeight", "latitude", "longitude", "latitudeDisplacement",
                          "longitudeDisplacement", "temperature", "dewPoint", "relativeHumidity", "windDirection",
                          "windSpeed", "flags"};
    for (; std::getline(csv, line); ++row) {
        ASSERT_LT(row, j["levels"].size());
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        std::istringstream fields(line.substr(0, line.size() - 1));
        std::string field;
        for (const char* key : keys) {
            ASSERT_TRUE(std::getline(fields, field, ',')) << key;
            const json& v = j["levels"][row][key];
            if (v.is_null()) EXPECT_EQ(field, "") << "row " << row << " " << key;
            else EXPECT_DOUBLE_EQ(std::stod(field), v.get<double>()) << "row " << row << " " << key;
        }
    }
    EXPECT_EQ(row, j["levels"].size());
    EXPECT_EQ(row, 30u);
}

}  // namespace

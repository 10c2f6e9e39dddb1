// The JSON and CSV of soundings made by hand: missing values, character fields, the longitude
// across the date line, the flag names, the CSV's header, line ends and empty fields; and the CSV
// of a shared file against the JSON of the same subset.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "HandMadeSoundings.h"
#include "products/SoundingCsv.h"
#include "products/SoundingJson.h"
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
    EXPECT_EQ(j["schema"], json({{"name", "tavik-sounding"}, {"version", 1}}));
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

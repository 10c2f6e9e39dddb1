// The values of a template subset written field by field: the conversions of the level and shear
// records, the launch-site part, the three templates, consecutive subsets, a message without a
// template and the reset between subsets.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "decoder/UAReport.h"
#include "decoder/WMOEwEi.h"
#include "support/DecoderHarness.h"
#include "support/TemplateWriter.h"

namespace {

// Scans and decodes the first subset, with Section 4 in a block of its own size.
void ScanAndDecode(DecoderHarness& h) {
    ASSERT_TRUE(h.Parsed());
    h.IsolateSection4();
    ASSERT_TRUE(h.Scan());
    ASSERT_TRUE(h.DecodeNext());
}

struct LevelCase {
    const char* What;
    std::function<void(UALevelRaw&)> Write;
    std::function<void(const tUALevelRec&)> Check;
};

TEST(DecodeValuesTest, LevelFieldsAreConverted) {
    const LevelCase cases[] = {
        {"raw time 8192 is 0 s", [](UALevelRaw& l) { l.Time = 8192; }, [](const tUALevelRec& l) { EXPECT_EQ(l.Time, 0.0); }},
        {"raw time 8000 is -192 s", [](UALevelRaw& l) { l.Time = 8000; }, [](const tUALevelRec& l) { EXPECT_EQ(l.Time, -192.0); }},
        {"time all ones is missing", [](UALevelRaw& l) { l.Time = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_TRUE(IsMissing(l.Time)); }},
        {"flags all ones stay 0x3FFFF", [](UALevelRaw& l) { l.Flags = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Flags, 0x3FFFF); }},
        {"flags 0x20001 lose bit value 1", [](UALevelRaw& l) { l.Flags = 0x20001; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Flags, 0x20000); }},
        {"flags 0x3FFFE are not the missing value", [](UALevelRaw& l) { l.Flags = 0x3FFFE; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Flags, 0x3FFFE); }},
        {"flags of the shear mask's complement stay in a level", [](UALevelRaw& l) { l.Flags = 0x007EC; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Flags, 0x007EC); }},
        {"displacement raw 9000000 / 18000000 is 0.0", [](UALevelRaw& l) { l.DLat = 9000000, l.DLon = 18000000; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.DLat, 0.0); EXPECT_EQ(l.DLon, 0.0); }},
        {"negative displacements", [](UALevelRaw& l) { l.DLat = 8996742, l.DLon = 17946500; },
         [](const tUALevelRec& l) { EXPECT_NEAR(l.DLat, -0.03258, 1e-12); EXPECT_NEAR(l.DLon, -0.535, 1e-12); }},
        {"displacement all ones is missing", [](UALevelRaw& l) { l.DLat = RawMissing, l.DLon = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_TRUE(IsMissing(l.DLat)); EXPECT_TRUE(IsMissing(l.DLon)); }},
        {"pressure x 10, height - 1000", [](UALevelRaw& l) { l.Pressure = 9958, l.Height = 0; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Pressure, 99580.0); EXPECT_EQ(l.Height, -1000.0); }},
        {"pressure and height all ones are missing", [](UALevelRaw& l) { l.Pressure = RawMissing, l.Height = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_TRUE(IsMissing(l.Pressure)); EXPECT_TRUE(IsMissing(l.Height)); }},
        {"temperature 27315 and dew point 26315", [](UALevelRaw& l) { l.Temp = 27315, l.DewPoint = 26315; },
         [](const tUALevelRec& l) {
             EXPECT_NEAR(l.Temp, 273.15, 1e-9);
             EXPECT_NEAR(l.DewPoint, 263.15, 1e-9);
             EXPECT_NEAR(l.Humidity, 46.8682, 5e-5);
         }},
        {"dew point above the temperature is kept", [](UALevelRaw& l) { l.Temp = 28315, l.DewPoint = 28815; },
         [](const tUALevelRec& l) { EXPECT_NEAR(l.Humidity, 138.88, 5e-3); }},
        {"dew point all ones: no dew point, no humidity", [](UALevelRaw& l) { l.DewPoint = RawMissing; },
         [](const tUALevelRec& l) {
             EXPECT_NEAR(l.Temp, 278.54, 1e-9);
             EXPECT_TRUE(IsMissing(l.DewPoint));
             EXPECT_TRUE(IsMissing(l.Humidity));
         }},
        {"temperature all ones: no humidity", [](UALevelRaw& l) { l.Temp = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_TRUE(IsMissing(l.Temp)); EXPECT_TRUE(IsMissing(l.Humidity)); }},
        {"temperature 0 K: the humidity cannot be computed", [](UALevelRaw& l) { l.Temp = 0; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.Temp, 0.0); EXPECT_TRUE(IsMissing(l.Humidity)); }},
        {"wind", [](UALevelRaw& l) { l.WindDir = 359, l.WindSpeed = 1234; },
         [](const tUALevelRec& l) { EXPECT_EQ(l.WindDir, 359.0); EXPECT_NEAR(l.WindSpeed, 123.4, 1e-9); }},
        {"wind all ones is missing", [](UALevelRaw& l) { l.WindDir = RawMissing, l.WindSpeed = RawMissing; },
         [](const tUALevelRec& l) { EXPECT_TRUE(IsMissing(l.WindDir)); EXPECT_TRUE(IsMissing(l.WindSpeed)); }},
    };
    // One level per case, all in one subset; a neighbour written wrongly would show in the others.
    UASubsetRaw subset;
    for (const LevelCase& c : cases) {
        UALevelRaw level;
        c.Write(level);
        subset.Levels.push_back(level);
    }
    BitWriter data;
    WriteUASubset(data, subset);
    DecoderHarness h(BuildMessage({309052}, data));
    ScanAndDecode(h);
    ASSERT_EQ(h.Decoder.LevelCount, std::size(cases));
    ASSERT_EQ(h.Decoder.Levels.size(), std::size(cases));
    EXPECT_EQ(h.CursorBits(), data.BitCount());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].What);
        cases[i].Check(h.Decoder.Levels[i]);
    }
}

struct ShearCase {
    const char* What;
    std::function<void(UAShearRaw&)> Write;
    std::function<void(const tUAShearRec&)> Check;
};

TEST(DecodeValuesTest, ShearFieldsAreConvertedAndOnlyTheShearFlagsKept) {
    const ShearCase cases[] = {
        {"flags 0x00400 become 0", [](UAShearRaw& s) { s.Flags = 0x00400; }, [](const tUAShearRec& s) { EXPECT_EQ(s.Flags, 0); }},
        {"flags all ones stay 0x3FFFF", [](UAShearRaw& s) { s.Flags = RawMissing; },
         [](const tUAShearRec& s) { EXPECT_EQ(s.Flags, 0x3FFFF); }},
        {"flags 0x3FFFE keep nine bits", [](UAShearRaw& s) { s.Flags = 0x3FFFE; },
         [](const tUAShearRec& s) { EXPECT_EQ(s.Flags, 0x3F812); }},
        {"flags 0x4400 keep the maximum wind", [](UAShearRaw& s) { s.Flags = 0x4400; },
         [](const tUAShearRec& s) { EXPECT_EQ(s.Flags, 0x4000); }},
        {"time, pressure, displacement", [](UAShearRaw& s) { s.Time = 8000, s.Pressure = 124, s.DLat = 9000000; },
         [](const tUAShearRec& s) {
             EXPECT_EQ(s.Time, -192.0);
             EXPECT_EQ(s.Pressure, 1240.0);
             EXPECT_TRUE(IsMissing(s.Height));
             EXPECT_EQ(s.DLat, 0.0);
             EXPECT_NEAR(s.DLon, 0.30793, 1e-12);
         }},
        {"shear below and above", [](UAShearRaw& s) { s.ShearBelow = 44, s.ShearAbove = 4094; },
         [](const tUAShearRec& s) { EXPECT_FLOAT_EQ(s.ShearBelow, 4.4f); EXPECT_FLOAT_EQ(s.ShearAbove, 409.4f); }},
        {"all ones are missing", [](UAShearRaw& s) { s = {RawMissing, 0, RawMissing, RawMissing, RawMissing, RawMissing, RawMissing, RawMissing}; },
         [](const tUAShearRec& s) {
             EXPECT_TRUE(IsMissing(s.Time));
             EXPECT_TRUE(IsMissing(s.Pressure));
             EXPECT_TRUE(IsMissing(s.DLat));
             EXPECT_TRUE(IsMissing(s.DLon));
             EXPECT_TRUE(IsMissing(s.ShearBelow));
             EXPECT_TRUE(IsMissing(s.ShearAbove));
         }},
    };
    UASubsetRaw subset;
    subset.Levels.resize(1);
    for (const ShearCase& c : cases) {
        UAShearRaw shear;
        c.Write(shear);
        subset.Shear.push_back(shear);
    }
    BitWriter data;
    WriteUASubset(data, subset);
    DecoderHarness h(BuildMessage({309052}, data));
    ScanAndDecode(h);
    ASSERT_EQ(h.Decoder.ShearCount, std::size(cases));
    ASSERT_EQ(h.Decoder.ShearLevels.size(), std::size(cases));
    EXPECT_EQ(h.CursorBits(), data.BitCount());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].What);
        cases[i].Check(h.Decoder.ShearLevels[i]);
    }
}

TEST(DecodeValuesTest, LaunchSiteCloudsAndWaterTemperature) {
    UASubsetRaw s;
    s.BlockNumber = 127;  // missing
    s.StationNumber = 1023;
    s.ShipId = "UBRS5";
    s.RadiationCorrection = 15;
    s.Latitude = 14575000;
    s.Longitude = 17465000;  // -5.35
    s.GroundHeight = 0;      // -400.0 m
    s.BarometerHeight = RawMissing;
    s.ReleaseHeight = 0;  // -1000 m
    s.CloudBase = 2047;   // missing
    s.CloudSignificance2 = 9;
    s.WaterTemp = 27535;
    BitWriter data;
    WriteUASubset(data, s);
    DecoderHarness h(BuildMessage({309052}, data));
    ScanAndDecode(h);
    const tUAInBound& r = h.Decoder;
    EXPECT_EQ(r.BlockNumber, 127);
    EXPECT_EQ(r.StationNumber, 1023);
    EXPECT_EQ(r.StationIndex, 128023);
    EXPECT_STREQ(r.ShipId, "UBRS5    ");
    EXPECT_EQ(r.SondeType, 88);
    EXPECT_EQ(r.RadiationCorrection, 15);
    EXPECT_EQ(r.TrackingTechnique, 2);
    EXPECT_EQ(r.EquipmentType, 3);
    EXPECT_EQ(r.TimeSignificance, 18);
    EXPECT_EQ(r.Year, 2023);
    EXPECT_EQ(r.Month, 10);
    EXPECT_EQ(r.Day, 10);
    EXPECT_EQ(r.Hour, 11);
    EXPECT_EQ(r.Minute, 6);
    EXPECT_EQ(r.Second, 37);
    EXPECT_DOUBLE_EQ(r.Latitude, 55.75);
    EXPECT_DOUBLE_EQ(r.Longitude, -5.35);
    EXPECT_DOUBLE_EQ(r.GroundHeight, -400.0);
    EXPECT_TRUE(IsMissing(r.BarometerHeight));
    EXPECT_EQ(r.ReleaseHeight, -1000.0);
    EXPECT_EQ(r.ElevationQuality, 1);
    EXPECT_EQ(r.CloudSignificance, 7);
    EXPECT_EQ(r.CloudAmount, 6);
    EXPECT_TRUE(IsMissing(r.CloudBase));
    EXPECT_EQ(r.CloudTypeLow, 35);
    EXPECT_EQ(r.CloudTypeMiddle, 20);
    EXPECT_EQ(r.CloudTypeHigh, 10);
    EXPECT_FLOAT_EQ(r.WaterTemp, 275.35f);
    EXPECT_EQ(r.LevelCount, 0);
    EXPECT_EQ(r.ShearCount, 0);
    EXPECT_FALSE(r.Incomplete);
    EXPECT_EQ(r.Message, &h.Message);
    EXPECT_EQ(h.CursorBits(), data.BitCount());
}

TEST(DecodeValuesTest, PilotTemplatesReadTheirOwnLayoutAndLeaveTheRestEmpty) {
    for (std::uint8_t kind : {50, 51}) {
        SCOPED_TRACE("3-09-0" + std::to_string(kind));
        UASubsetRaw s;
        s.Kind = kind;
        s.Levels.resize(2);
        s.Levels[1].WindSpeed = 200;
        s.Shear.resize(1);
        BitWriter data;
        WriteUASubset(data, s);
        DecoderHarness h(BuildMessage({309000u + kind}, data));
        ScanAndDecode(h);
        const tUAInBound& r = h.Decoder;
        EXPECT_EQ(h.CursorBits(), data.BitCount()) << "fixed part, level and shear widths";
        EXPECT_EQ(r.StationNumber, 612);
        EXPECT_EQ(r.SondeType, 88);
        EXPECT_EQ(r.TrackingTechnique, 2) << "0 02 013 is not in a PILOT";
        EXPECT_EQ(r.RadiationCorrection, 255);
        EXPECT_TRUE(IsMissing(r.WaterTemp));
        EXPECT_EQ(r.CloudSignificance, 0);
        EXPECT_EQ(r.CloudAmount, 0);
        EXPECT_EQ(r.CloudTypeLow + r.CloudTypeMiddle + r.CloudTypeHigh, 0);
        EXPECT_EQ(r.CloudBase, 0.0);
        ASSERT_EQ(r.Levels.size(), 2u);
        for (const tUALevelRec& l : r.Levels) {
            EXPECT_TRUE(IsMissing(l.Temp));
            EXPECT_TRUE(IsMissing(l.DewPoint));
            EXPECT_TRUE(IsMissing(l.Humidity));
            EXPECT_EQ(IsMissing(l.Pressure), kind == 51);
            EXPECT_EQ(IsMissing(l.Height), kind == 50);
        }
        EXPECT_EQ(r.Levels[0].Time, 0.0);
        EXPECT_EQ(r.Levels[0].Flags, 0x20000);
        EXPECT_EQ(r.Levels[0].WindDir, 248.0);
        EXPECT_NEAR(r.Levels[1].WindSpeed, 20.0, 1e-9);
        if (kind == 50) EXPECT_EQ(r.Levels[0].Pressure, 99580.0);
        else EXPECT_EQ(r.Levels[0].Height, 147.0);
        ASSERT_EQ(r.ShearLevels.size(), 1u);
        const tUAShearRec& sh = r.ShearLevels[0];
        EXPECT_EQ(IsMissing(sh.Pressure), kind == 51);
        EXPECT_EQ(IsMissing(sh.Height), kind != 51);
        if (kind == 51) EXPECT_EQ(sh.Height, 8300.0);
        else EXPECT_EQ(sh.Pressure, 33710.0);
        EXPECT_FLOAT_EQ(sh.ShearAbove, 1.3f);
    }
}

TEST(DecodeValuesTest, ConsecutiveSubsetsContinueAtTheCursor) {
    UASubsetRaw first;
    first.Levels.resize(1);  // 338 + 168 + 8 + 122 bits: the second subset begins inside an octet
    first.Shear.resize(1);
    UASubsetRaw second;
    second.BlockNumber = 26;
    second.StationNumber = 63;
    second.Minute = 1;
    second.Levels.resize(2);
    second.Levels[1].Pressure = 9250;
    BitWriter data;
    WriteUASubset(data, first);
    const std::size_t firstBits = data.BitCount();
    ASSERT_NE(firstBits % 8, 0u);
    WriteUASubset(data, second);
    DecoderHarness h(BuildMessage({309052}, data, std::nullopt, BufrBuilder().Subsets(2)));
    ScanAndDecode(h);
    EXPECT_EQ(h.CursorBits(), firstBits);
    EXPECT_EQ(h.Decoder.StationIndex, 27612);
    EXPECT_EQ(h.Decoder.ShearCount, 1);

    ASSERT_TRUE(h.DecodeNext());
    const tUAInBound& r = h.Decoder;
    EXPECT_EQ(h.CursorBits(), data.BitCount());
    EXPECT_EQ(r.StationIndex, 26063);
    EXPECT_EQ(r.Minute, 1);
    ASSERT_EQ(r.LevelCount, 2);
    EXPECT_EQ(r.Levels[1].Pressure, 92500.0);
    EXPECT_EQ(r.ShearCount, 0);
    EXPECT_TRUE(r.ShearLevels.empty());
    EXPECT_EQ(r.SubsetCount(), 2);
}

TEST(DecodeValuesTest, WithoutATemplateNothingIsReadAndTheCursorStays) {
    BitWriter data;
    data.Bits(27, 7).Bits(612, 10).PadToOctet();
    DecoderHarness h(BuildMessage({1001, 1002}, data));
    ASSERT_TRUE(h.Parsed());
    h.IsolateSection4();
    ASSERT_TRUE(h.Scan());
    ASSERT_FALSE(h.Decoder.HasTemplate);
    h.BytePos = 3;
    h.BitPos = 5;
    EXPECT_TRUE(h.DecodeNext());
    EXPECT_EQ(h.BytePos, 3u);
    EXPECT_EQ(h.BitPos, 5u);
    EXPECT_EQ(h.Decoder.Message, &h.Message);
    EXPECT_EQ(h.Decoder.LevelCount, 0);
    EXPECT_EQ(h.Decoder.BlockNumber, 0);
    EXPECT_FALSE(h.Decoder.Incomplete);
}

TEST(DecodeValuesTest, ResetBetweenSubsetsKeepsTheScanAndEmptiesTheValues) {
    // Metadata, the template, then 2 02 YYY: the walk stops with an entry left, so Incomplete is set.
    UASubsetRaw s;
    s.Levels.resize(3);
    s.Shear.resize(2);
    BitWriter data;
    data.Chars("MRZ3MK-23101234", 20).Bits(403000000 / 100000, 15);
    WriteUASubset(data, s);
    DecoderHarness h(BuildMessage({1081, 2067, 309052, 202129, 205011}, data));
    ScanAndDecode(h);
    tUAInBound& r = h.Decoder;
    ASSERT_TRUE(r.Incomplete);
    ASSERT_EQ(r.LevelCount, 3);
    ASSERT_STREQ(r.SerialNumber, "MRZ3MK-23101234     ");
    const std::vector<tDescriptorEntry> list = r.DescList;

    r.Reset(true, false);
    EXPECT_EQ(r.Message, &h.Message);
    ASSERT_EQ(r.DescList.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(r.DescList[i].Kind, list[i].Kind);
        EXPECT_EQ(r.DescList[i].Code, list[i].Code);
        EXPECT_EQ(r.DescList[i].Arg, list[i].Arg);
    }
    EXPECT_EQ(r.EntryCount, 5);
    EXPECT_EQ(r.UnknownCount, 0);
    EXPECT_TRUE(r.AllKnown);
    EXPECT_TRUE(r.Incomplete);
    EXPECT_TRUE(r.HasTemplate);
    EXPECT_EQ(r.TemplateKind, 52);

    EXPECT_EQ(r.LevelCount, 0);
    EXPECT_TRUE(r.Levels.empty());
    EXPECT_EQ(r.ShearCount, 0);
    EXPECT_TRUE(r.ShearLevels.empty());
    EXPECT_EQ(r.SerialNumber[0], 0);
    EXPECT_TRUE(IsMissing(r.CarrierFrequency));
    EXPECT_EQ(r.StationIndex, 0);
    EXPECT_EQ(r.BlockNumber, 0);
    EXPECT_EQ(r.StationNumber, 0);
    EXPECT_EQ(r.ShipId[0], 0);
    EXPECT_TRUE(IsMissing(r.Latitude));
    EXPECT_TRUE(IsMissing(r.Longitude));
    EXPECT_EQ(r.Year, 0);
    EXPECT_EQ(r.Second, 0);
    EXPECT_EQ(r.TimeSignificance, 31);
    EXPECT_EQ(r.SondeType, 0);
    EXPECT_EQ(r.RadiationCorrection, 255);
    EXPECT_TRUE(IsMissing(r.WaterTemp));
    EXPECT_EQ(r.ReleaseHeight, 0.0);
    EXPECT_EQ(r.CloudAmount, 0);
    EXPECT_EQ(r.CloudBase, 0.0);
    for (double v : {r.MetaHeight, r.AntennaHeight, r.AzimuthCorrection, r.ElevationCorrection, r.BalloonMass,
                     r.GasAmount, r.SuspensionLength, r.GroundHeight, r.BarometerHeight})
        EXPECT_TRUE(IsMissing(v));
    EXPECT_EQ(r.ObservationNumber, 65535);
    EXPECT_EQ(r.SoundingNumber, 255);
}

}  // namespace

// The catalogue elements and operators around the template: the width change and the new
// reference values on 0 25 065 / 0 25 066, the character operators, and the entries that end the
// walk. Each case is a message written value by value; a template read at the wrong bit shows in
// its station number and launch second.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "decoder/UAReport.h"
#include "support/DecoderHarness.h"
#include "support/TemplateWriter.h"

namespace {

// What comes before the template, what comes after it, and whether the template is written at all.
struct OperatorCase {
    const char* What;
    std::vector<std::uint32_t> Descriptors;
    std::function<void(BitWriter&)> Before;
    std::function<void(BitWriter&)> After;
    bool TemplateRead;
    bool Incomplete;
    std::function<void(const tUAInBound&)> Check;
};

void Nothing(BitWriter&) {}
void NoCheck(const tUAInBound&) {}

void RunCase(const OperatorCase& c) {
    SCOPED_TRACE(c.What);
    UASubsetRaw subset;
    subset.Levels.resize(1);
    BitWriter data;
    c.Before(data);
    const std::size_t beforeBits = data.BitCount();
    WriteUASubset(data, subset);
    c.After(data);
    DecoderHarness h(BuildMessage(c.Descriptors, data));
    ASSERT_TRUE(h.Parsed());
    h.IsolateSection4();
    ASSERT_TRUE(h.Scan());
    ASSERT_TRUE(h.Decoder.AllKnown);
    ASSERT_TRUE(h.DecodeNext());
    const tUAInBound& r = h.Decoder;
    EXPECT_EQ(r.Message, &h.Message);
    EXPECT_EQ(r.Incomplete, c.Incomplete);
    if (c.TemplateRead) {
        EXPECT_EQ(r.StationIndex, 27612);
        EXPECT_EQ(r.Second, 37);
        EXPECT_EQ(r.LevelCount, 1);
    } else {
        EXPECT_EQ(r.StationIndex, 0);
        EXPECT_EQ(r.Year, 0);
        EXPECT_EQ(r.LevelCount, 0);
        EXPECT_EQ(h.CursorBits(), beforeBits) << "the walk reads nothing after the entry that ends it";
    }
    c.Check(r);
}

TEST(DecodeOperatorsTest, WidthChange) {
    const OperatorCase cases[] = {
        {"2 01 131 reads 0 25 065 with 11 + 3 bits",
         {201131, 25065, 201000, 309052},
         [](BitWriter& w) { w.Bits(1234 + 1000, 14); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, 12.34, 1e-9); }},
        {"and 0 25 066 too; after 2 01 000 the catalogue width again",
         {201131, 25066, 201000, 25065, 309052},
         [](BitWriter& w) { w.Bits(16000, 14).Bits(1000 + 35, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_NEAR(r.ElevationCorrection, 150.0, 1e-9);
             EXPECT_NEAR(r.AzimuthCorrection, 0.35, 1e-9);
         }},
        {"a narrower width",
         {201126, 25066, 201000, 309052},
         [](BitWriter& w) { w.Bits(500, 9); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.ElevationCorrection, -5.0, 1e-9); }},
        {"all ones of the changed width is missing",
         {201131, 25065, 201000, 309052},
         [](BitWriter& w) { w.Missing(14); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_TRUE(IsMissing(r.AzimuthCorrection)); }},
        {"other elements keep their width while it is on",
         {201131, 2102, 7007, 25065, 201000, 309052},
         [](BitWriter& w) { w.Bits(12, 8).Bits(1165, 17).Bits(1000, 14); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_EQ(r.AntennaHeight, 12.0);
             EXPECT_EQ(r.MetaHeight, 165.0);
             EXPECT_EQ(r.AzimuthCorrection, 0.0);
         }},
        {"the template keeps its widths while it is on",
         {201140, 309052, 25065, 201000},
         Nothing,
         [](BitWriter& w) { w.Bits(1000 + 250, 23); },
         true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, 2.5, 1e-9); }},
        {"a width of 0 reads nothing and gives a missing value",
         {201117, 25065, 201000, 309052},
         Nothing, Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_TRUE(IsMissing(r.AzimuthCorrection)); }},
        {"a negative width reads nothing and gives a missing value",
         {201100, 25066, 201000, 309052},
         Nothing, Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_TRUE(IsMissing(r.ElevationCorrection)); }},
        {"a width above 32 reads nothing and gives a missing value",
         {201150, 25065, 201000, 309052},
         Nothing, Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_TRUE(IsMissing(r.AzimuthCorrection)); }},
        {"2 01 000 without a width change ends the walk", {201000, 309052}, Nothing, Nothing, false, true, NoCheck},
        {"a second 2 01 YYY while one is on ends the walk",
         {201131, 201130, 25065, 309052},
         Nothing, Nothing, false, true, NoCheck},
    };
    for (const OperatorCase& c : cases) RunCase(c);
}

TEST(DecodeOperatorsTest, NewReferenceValues) {
    const OperatorCase cases[] = {
        {"2 03 012: a 12-bit reference -2000 (sign bit and magnitude), then 0 25 065 with it",
         {203012, 25065, 203255, 25065, 203000, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12).Bits(475, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, -15.25, 1e-9); }},
        {"raw 0x801 is the reference -1",
         {203012, 25066, 203255, 25066, 203000, 309052},
         [](BitWriter& w) { w.Bits(0x801, 12).Bits(1001, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.ElevationCorrection, 10.0, 1e-9); }},
        {"a positive reference",
         {203012, 25065, 203255, 25065, 203000, 309052},
         [](BitWriter& w) { w.Bits(100, 12).Bits(50, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, 1.5, 1e-9); }},
        {"the definition does not change the field",
         {203012, 25065, 203255, 203000, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_TRUE(IsMissing(r.AzimuthCorrection)); }},
        {"a reference belongs to the element it was defined for",
         {203012, 25065, 203255, 25065, 25066, 203000, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12).Bits(475, 11).Bits(1012, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_NEAR(r.AzimuthCorrection, -15.25, 1e-9);
             EXPECT_NEAR(r.ElevationCorrection, 0.12, 1e-9);
         }},
        {"both elements defined in one definition: -500 and 3",
         {203010, 25065, 25066, 203255, 25066, 25065, 203000, 309052},
         [](BitWriter& w) { w.Bits(0x200 | 500, 10).Bits(3, 10).Bits(7, 11).Bits(1, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_NEAR(r.AzimuthCorrection, -4.99, 1e-9);
             EXPECT_NEAR(r.ElevationCorrection, 0.10, 1e-9);
         }},
        {"after 2 03 000 the catalogue reference again, for both elements",
         {203012, 25065, 25066, 203255, 203000, 25065, 25066, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12).Bits(0xFD0, 12).Bits(1035, 11).Bits(1012, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_NEAR(r.AzimuthCorrection, 0.35, 1e-9);
             EXPECT_NEAR(r.ElevationCorrection, 0.12, 1e-9);
         }},
        {"with a width change: the reference in Y bits, the value in the changed width",
         {201130, 203012, 25065, 203255, 25065, 203000, 201000, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12).Bits(2475, 13); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, 4.75, 1e-9); }},
        {"a definition wider than 32 bits reads nothing and defines the reference 0",
         {203033, 25065, 203255, 25065, 203000, 309052},
         [](BitWriter& w) { w.Bits(1234, 11); },
         Nothing, true, false,
         [](const tUAInBound& r) { EXPECT_NEAR(r.AzimuthCorrection, 12.34, 1e-9); }},
        {"2 03 255 without a definition ends the walk", {203255, 309052}, Nothing, Nothing, false, true, NoCheck},
        {"2 03 000 with nothing to cancel ends the walk", {203000, 309052}, Nothing, Nothing, false, true, NoCheck},
        {"2 03 255 without a definition after the first ends the walk",
         {203012, 25065, 203255, 203255, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12); },
         Nothing, false, true, NoCheck},
        {"a second definition while references are in force: its 2 03 255 ends the walk",
         {203012, 25065, 203255, 203012, 25066, 203255, 309052},
         [](BitWriter& w) { w.Bits(0xFD0, 12).Bits(5, 12); },
         Nothing, false, true, NoCheck},
    };
    for (const OperatorCase& c : cases) RunCase(c);
}

TEST(DecodeOperatorsTest, CharactersElementsAndTheEntriesThatEndTheWalk) {
    const std::string text60 = "VYPUSK 284: OBOLOCHKA 800 G, VODOROD, ZONDIROVANIE DO 10 GPA";
    const OperatorCase cases[] = {
        {"2 05 011 before the template, 2 05 060 after it",
         {205011, 309052, 205060},
         [](BitWriter& w) { w.Chars("MOSKVA VDNH", 11); },
         [&](BitWriter& w) { w.Chars(text60, 60); },
         true, false,
         [&](const tUAInBound& r) {
             EXPECT_STREQ(r.Text11, "MOSKVA VDNH");
             std::string padded = text60;
             padded.resize(60, ' ');
             EXPECT_EQ(std::string(r.Text60), padded);
         }},
        {"2 05 YYY of another count ends the walk", {205008, 309052}, Nothing, Nothing, false, true, NoCheck},
        {"2 02 YYY before the template ends the walk", {202129, 309052}, Nothing, Nothing, false, true, NoCheck},
        {"2 02 YYY after the template ends the walk",
         {309052, 202129, 205011},
         Nothing,
         [](BitWriter& w) { w.Chars("UNSUPPORTED", 11); },
         true, true,
         [](const tUAInBound& r) { EXPECT_EQ(r.Text11[0], 0); }},
        {"an entry that ends the walk as the last one leaves it complete",
         {309052, 202129},
         Nothing, Nothing, true, false, NoCheck},
        {"catalogue elements before and after the template",
         {1081, 1082, 1083, 1095, 2067, 2082, 2085, 2086, 309052, 2191, 35035, 25061, 2083},
         [](BitWriter& w) {
             w.Chars("MRZ3MK-23101234", 20).Bits(284, 14).Bits(1, 3).Chars("KVA7", 4).Bits(4030, 15);
             w.Bits(800, 12).Bits(215, 13).Bits(300, 10);
         },
         [](BitWriter& w) { w.Bits(2, 4).Bits(1, 5).Chars("MARL 5.16", 12).Bits(1, 4); },
         true, false,
         [](const tUAInBound& r) {
             EXPECT_STREQ(r.SerialNumber, "MRZ3MK-23101234     ");
             EXPECT_EQ(r.ObservationNumber, 284);
             EXPECT_EQ(r.SoundingNumber, 1);
             EXPECT_STREQ(r.ObserverId, "KVA7");
             EXPECT_EQ(r.CarrierFrequency, 403000000.0);
             EXPECT_NEAR(r.BalloonMass, 0.8, 1e-12);
             EXPECT_NEAR(r.GasAmount, 0.215, 1e-12);
             EXPECT_NEAR(r.SuspensionLength, 30.0, 1e-12);
             EXPECT_EQ(r.HeightMethod, 2);
             EXPECT_EQ(r.TerminationReason, 1);
             EXPECT_STREQ(r.SoftwareVersion, "MARL 5.16   ");
             EXPECT_EQ(r.BalloonShelter, 1);
         }},
        {"all ones of a numeric element is missing, of a code element its raw value",
         {2067, 2082, 2102, 7007, 25066, 1082, 2015, 309052},
         [](BitWriter& w) { w.Missing(15).Missing(12).Missing(8).Missing(17).Missing(11).Missing(14).Missing(4); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_TRUE(IsMissing(r.CarrierFrequency));
             EXPECT_TRUE(IsMissing(r.BalloonMass));
             EXPECT_TRUE(IsMissing(r.AntennaHeight));
             EXPECT_TRUE(IsMissing(r.MetaHeight));
             EXPECT_TRUE(IsMissing(r.ElevationCorrection));
             EXPECT_EQ(r.ObservationNumber, 16383);
             EXPECT_EQ(r.SondeConfig, 15);
         }},
        {"0 07 007 outside the template is the metadata height, not the release height",
         {7007, 309052},
         [](BitWriter& w) { w.Bits(0, 17); },
         Nothing, true, false,
         [](const tUAInBound& r) {
             EXPECT_EQ(r.MetaHeight, -1000.0);
             EXPECT_EQ(r.ReleaseHeight, 147.0);
         }},
    };
    for (const OperatorCase& c : cases) RunCase(c);
}

}  // namespace

// The size checks of Section 4 and what happens where the data run out: no read passes the end of
// Section 4 (its data sit in a block of their own size here, so the address sanitizer sees a read
// past it), a level or shear level that does not lie wholly inside is left missing, an element
// that does not fit ends the walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "decoder/UAReport.h"
#include "support/DecoderHarness.h"
#include "support/TemplateWriter.h"

namespace {

const char* const TooSmall = "Слишком малый размер данных";
const char* const TooManyLevels = "Слишком много уровней";
const char* const LevelsTooLarge =
    "Ошибка размера данных: число уровней больше, чем допускает размер раздела данных";

// Builds, scans and isolates Section 4; the caller decodes.
void Prepare(DecoderHarness& h) {
    ASSERT_TRUE(h.Parsed());
    h.IsolateSection4();
    ASSERT_TRUE(h.Scan());
}

// DecodeData's error text, or empty when it returned.
std::string DecodeError(DecoderHarness& h) {
    try {
        h.DecodeNext();
    } catch (const TavikError& e) {
        return e.what();
    }
    return {};
}

void ExpectMissingLevel(const tUALevelRec& l) {
    EXPECT_EQ(l.Flags, 0x3FFFF);
    for (double v : {l.Time, l.Pressure, l.Height, l.DLat, l.DLon, l.Temp, l.Humidity, l.DewPoint, l.WindDir, l.WindSpeed})
        EXPECT_TRUE(IsMissing(v));
}

void ExpectMissingShear(const tUAShearRec& s) {
    EXPECT_EQ(s.Flags, 0x3FFFF);
    for (double v : {s.Time, s.Pressure, s.Height, s.DLat, s.DLon, double(s.ShearBelow), double(s.ShearAbove)})
        EXPECT_TRUE(IsMissing(v));
}

TEST(DecodeLimitsTest, SectionFourMustHoldTheFixedPartAndBothCounts) {
    // ceil((fixed part + 32 + 16 + 8) / 8): 378 bits -> 48 octets for 3-09-052, 314 -> 40 for the others.
    struct Case {
        std::uint8_t Kind;
        std::size_t SectionLength;
        bool Raises;
    };
    const Case cases[] = {{52, 47, true}, {52, 48, false}, {50, 39, true}, {50, 40, false}, {51, 39, true}, {51, 40, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("3-09-0" + std::to_string(c.Kind) + ", Section 4 of " + std::to_string(c.SectionLength) + " octets");
        UASubsetRaw s;
        s.Kind = c.Kind;
        BitWriter data;
        WriteUASubset(data, s);
        DecoderHarness h(BuildMessage({309000u + c.Kind}, data, c.SectionLength - 4));
        Prepare(h);
        ASSERT_EQ(h.Message.Section4->Length, c.SectionLength);
        const std::string error = DecodeError(h);
        if (c.Raises) {
            EXPECT_EQ(error, TooSmall);
            EXPECT_EQ(h.Decoder.Message, nullptr);
            EXPECT_EQ(h.CursorBits(), 0u);
            EXPECT_EQ(h.Decoder.StationIndex, 0);
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(h.Decoder.StationIndex, 27612);
            EXPECT_FALSE(h.Decoder.Incomplete);
            EXPECT_EQ(h.CursorBits(), data.BitCount());
        }
    }
}

TEST(DecodeLimitsTest, AtMost8191Levels) {
    for (std::uint64_t count : {8192u, 65535u}) {
        SCOPED_TRACE(count);
        UASubsetRaw s;
        s.LevelCount = count;
        BitWriter data;
        WriteUASubset(data, s);
        DecoderHarness h(BuildMessage({309052}, data));
        Prepare(h);
        EXPECT_EQ(DecodeError(h), TooManyLevels);
        EXPECT_EQ(h.Decoder.Message, nullptr);
        EXPECT_EQ(h.Decoder.StationIndex, 27612) << "what was read before stays";
        EXPECT_TRUE(h.Decoder.Levels.empty());
    }
}

TEST(DecodeLimitsTest, Levels8191AreAllRead) {
    UASubsetRaw s;
    s.Kind = 52;
    s.Levels.resize(8191);
    for (std::size_t i = 0; i < s.Levels.size(); ++i) s.Levels[i].Time = 8192 + 2 * i;
    s.Levels.back().Temp = 22222;
    s.Shear.resize(1);
    BitWriter data;
    WriteUASubset(data, s);
    DecoderHarness h(BuildMessage({309052}, data));
    Prepare(h);
    EXPECT_EQ(DecodeError(h), "");
    const tUAInBound& r = h.Decoder;
    ASSERT_EQ(r.LevelCount, 8191);
    ASSERT_EQ(r.Levels.size(), 8191u);
    EXPECT_EQ(r.Levels[4000].Time, 8000.0);
    EXPECT_EQ(r.Levels[8190].Time, 16380.0);
    EXPECT_NEAR(r.Levels[8190].Temp, 222.22, 1e-9);
    EXPECT_EQ(r.ShearCount, 1);
    EXPECT_EQ(r.ShearLevels[0].Pressure, 33710.0);
    EXPECT_EQ(h.CursorBits(), data.BitCount());
    EXPECT_FALSE(r.Incomplete);
}

TEST(DecodeLimitsTest, TheLevelsMustFitTheSectionLength) {
    // Two levels after the count at octet 42 (3-09-052) or 34 (3-09-050): the section must hold
    // ceil((2 x W + 8 x octet + 8) / 8) octets, 85 or 65. With exactly that many the second level
    // reaches into the last four octets, past the data: it is not read and stays missing.
    struct Case {
        std::uint8_t Kind;
        std::size_t SectionLength;
        bool Raises;
    };
    const Case cases[] = {{52, 84, true}, {52, 85, false}, {50, 64, true}, {50, 65, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("3-09-0" + std::to_string(c.Kind) + ", Section 4 of " + std::to_string(c.SectionLength) + " octets");
        UASubsetRaw s;
        s.Kind = c.Kind;
        s.Levels.resize(2);
        s.Levels[0].WindDir = 90;
        BitWriter data;
        WriteUASubset(data, s);
        DecoderHarness h(BuildMessage({309000u + c.Kind}, data, c.SectionLength - 4));
        Prepare(h);
        const std::string error = DecodeError(h);
        const tUAInBound& r = h.Decoder;
        if (c.Raises) {
            EXPECT_EQ(error, LevelsTooLarge);
            EXPECT_EQ(r.Message, nullptr);
            EXPECT_EQ(r.StationIndex, 27612);
            continue;
        }
        EXPECT_EQ(error, "");
        EXPECT_EQ(r.Message, &h.Message);
        ASSERT_EQ(r.LevelCount, 2) << "the count is not lowered";
        ASSERT_EQ(r.Levels.size(), 2u);
        EXPECT_EQ(r.Levels[0].WindDir, 90.0);
        EXPECT_EQ(r.Levels[0].Flags, 0x20000);
        ExpectMissingLevel(r.Levels[1]);
        EXPECT_LE(h.CursorBits(), h.Section4DataBits());
    }
}

TEST(DecodeLimitsTest, AShearLevelOutsideTheSectionIsLeftMissing) {
    // 338 + 168 bits, the shear count, then shear levels of 122 bits at 514 and 636; 90 data
    // octets (720 bits) hold the first one only. An element after the template no longer fits.
    for (bool textAfter : {false, true}) {
        SCOPED_TRACE(textAfter ? "2 05 011 after the template" : "the template alone");
        UASubsetRaw s;
        s.Levels.resize(1);
        s.Shear.resize(2);
        s.Shear[0].ShearBelow = 100;
        BitWriter data;
        WriteUASubset(data, s);
        std::vector<std::uint32_t> descriptors{309052};
        if (textAfter) descriptors.push_back(205011);
        DecoderHarness h(BuildMessage(descriptors, data, 90));
        Prepare(h);
        EXPECT_EQ(DecodeError(h), "");
        const tUAInBound& r = h.Decoder;
        EXPECT_EQ(r.Levels.size(), 1u);
        EXPECT_EQ(r.Levels[0].Pressure, 99580.0);
        ASSERT_EQ(r.ShearCount, 2) << "the count is not lowered";
        ASSERT_EQ(r.ShearLevels.size(), 2u);
        EXPECT_FLOAT_EQ(r.ShearLevels[0].ShearBelow, 10.0f);
        ExpectMissingShear(r.ShearLevels[1]);
        EXPECT_EQ(h.CursorBits(), 636u);
        if (textAfter) {
            EXPECT_TRUE(r.Incomplete);
            EXPECT_EQ(r.Text11[0], 0);
        }
    }
}

TEST(DecodeLimitsTest, AnElementThatDoesNotFitEndsTheWalk) {
    {
        SCOPED_TRACE("60 characters after the template, 10 written");
        UASubsetRaw s;
        BitWriter data;
        WriteUASubset(data, s);
        const std::size_t subsetBits = data.BitCount();
        data.Chars("VYPUSK 284", 10);
        DecoderHarness h(BuildMessage({309052, 205060}, data));
        Prepare(h);
        EXPECT_EQ(DecodeError(h), "");
        EXPECT_EQ(h.Decoder.StationIndex, 27612);
        EXPECT_TRUE(h.Decoder.Incomplete);
        EXPECT_EQ(h.Decoder.Text60[0], 0);
        EXPECT_EQ(h.CursorBits(), subsetBits);
        EXPECT_EQ(h.Decoder.Message, &h.Message);
    }
    {
        SCOPED_TRACE("3 01 128 (420 bits) before the template in a 48-octet section (352 data bits)");
        BitWriter data;
        data.Chars("FIRST", 20);
        DecoderHarness h(BuildMessage({301128, 309052}, data, 44));
        Prepare(h);
        EXPECT_EQ(DecodeError(h), "");
        const tUAInBound& r = h.Decoder;
        EXPECT_TRUE(r.Incomplete);
        EXPECT_STREQ(r.SerialNumber, "FIRST               ");
        EXPECT_EQ(r.HeightMethod, 0) << "0 02 191 ends at bit 319 and is read";
        EXPECT_EQ(r.SoftwareVersion[0], 0) << "0 25 061 (96 bits) does not fit";
        EXPECT_EQ(r.TerminationReason, 255);
        EXPECT_EQ(r.StationIndex, 0) << "the template is not reached";
        EXPECT_EQ(r.LevelCount, 0);
        EXPECT_EQ(h.CursorBits(), 319u);
    }
}

TEST(DecodeLimitsTest, ASubsetBeyondTheDataReadsNothing) {
    // Section 3 announces two subsets; Section 4 holds one.
    UASubsetRaw s;
    s.Levels.resize(1);
    BitWriter data;
    WriteUASubset(data, s);
    DecoderHarness h(BuildMessage({309052}, data, std::nullopt, BufrBuilder().Subsets(2)));
    Prepare(h);
    ASSERT_EQ(DecodeError(h), "");
    const std::uint64_t end = h.CursorBits();
    EXPECT_EQ(end, data.BitCount());
    EXPECT_EQ(DecodeError(h), "");
    EXPECT_TRUE(h.Decoder.Incomplete);
    EXPECT_EQ(h.Decoder.StationIndex, 0);
    EXPECT_EQ(h.Decoder.LevelCount, 0);
    EXPECT_EQ(h.CursorBits(), end);
}

TEST(DecodeLimitsTest, CompressedDataWithATemplateIsRefused) {
    UASubsetRaw s;
    BitWriter data;
    WriteUASubset(data, s);
    {
        DecoderHarness h(BuildMessage({309052}, data, std::nullopt, BufrBuilder().Compressed(true)));
        Prepare(h);
        const std::string error = DecodeError(h);
        EXPECT_EQ(error, "Сжатые данные не поддерживаются");
        EXPECT_EQ(h.Decoder.Message, nullptr);
        EXPECT_EQ(h.Decoder.StationIndex, 0);
        EXPECT_EQ(h.CursorBits(), 0u);
    }
    {
        DecoderHarness h(BuildMessage({1001}, data, std::nullopt, BufrBuilder().Compressed(true)));
        Prepare(h);
        EXPECT_EQ(DecodeError(h), "") << "without a template nothing is read, compressed or not";
        EXPECT_EQ(h.Decoder.Message, &h.Message);
    }
}

}  // namespace

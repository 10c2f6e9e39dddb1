#include "app/AppTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/Cp1251.h"
#include "support/DecoderHarness.h"
#include "support/Fixtures.h"

UASubsetRaw UASubset(std::uint64_t Block, std::uint64_t Station, std::uint64_t Hour, std::uint64_t Minute,
                      std::uint64_t Second) {
    UASubsetRaw subset;
    subset.BlockNumber = Block;
    subset.StationNumber = Station;
    subset.Hour = Hour;
    subset.Minute = Minute;
    subset.Second = Second;
    subset.Levels.resize(2);
    subset.Levels[1].Time = 8192 + 60;
    subset.Levels[1].Flags = 0x10000;
    subset.Levels[1].Pressure = 9250;
    subset.Levels[1].Height = 1744;
    subset.Shear.resize(1);
    return subset;
}

ByteVector UAMessage(const std::vector<UASubsetRaw>& Subsets, const std::vector<std::uint32_t>& Descriptors,
                 std::optional<std::uint16_t> Declared) {
    BitWriter data;
    for (const UASubsetRaw& subset : Subsets) WriteUASubset(data, subset);
    data.PadToOctet();
    return BufrBuilder()
        .Descriptors(Descriptors)
        .Subsets(Declared.value_or(static_cast<std::uint16_t>(Subsets.size())))
        .Data(data)
        .Build();
}

LineList DumpOf(const ByteVector& Message) {
    DecoderHarness harness(Message);
    EXPECT_TRUE(harness.Parsed());
    LineList lines;
    EXPECT_TRUE(harness.Message.DumpSections(&lines));
    return lines;
}

LineList ReportOf(const ByteVector& Message, std::uint32_t Index) {
    DecoderHarness harness(Message);
    EXPECT_TRUE(harness.Parsed());
    EXPECT_TRUE(harness.Scan());
    for (std::uint32_t j = 0; j <= Index; ++j) EXPECT_TRUE(harness.DecodeNext());
    LineList lines;
    EXPECT_TRUE(harness.Decoder.WriteReport(&lines));
    return lines;
}

std::string W(const std::string& Utf8) { return Utf8ToCp1251(Utf8); }

long IndexOf(const LineList& Lines, const std::string& Text) {
    const auto it = std::find(Lines.begin(), Lines.end(), Text);
    return it == Lines.end() ? -1 : static_cast<long>(it - Lines.begin());
}

std::size_t CountEqual(const LineList& Lines, const std::string& Text) {
    return static_cast<std::size_t>(std::count(Lines.begin(), Lines.end(), Text));
}

std::size_t CountPrefixed(const LineList& Lines, const std::string& Prefix) {
    return static_cast<std::size_t>(
        std::count_if(Lines.begin(), Lines.end(), [&](const std::string& l) { return l.rfind(Prefix, 0) == 0; }));
}

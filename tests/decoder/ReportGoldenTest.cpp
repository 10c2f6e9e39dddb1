// The report of a small 3-09-052 message against its listing checked by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileLoader.h"
#include "core/Lines.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"
#include "support/Fixtures.h"
#include "support/LocaleGuard.h"

namespace {

const fs::path DataDir = fs::path(TAVIK_SOURCE_DIR) / "tests" / "decoder" / "data";

LineList DecodedReport(const fs::path& bufr) {
    std::vector<std::uint8_t> buffer(MessageBufferSize);
    std::uint32_t length = 0;
    EXPECT_TRUE(LoadBUFRFile(bufr, buffer.data(), length));
    TBUFRMessage message;
    EXPECT_TRUE(message.Parse(buffer.data(), length));
    tUAInBound ua;
    EXPECT_TRUE(ua.ScanDescriptors(message));
    std::uint32_t bytePos = 0, bitPos = 0;
    EXPECT_TRUE(ua.DecodeData(message, bytePos, bitPos));
    LineList lines;
    EXPECT_TRUE(ua.WriteReport(&lines));
    EXPECT_EQ(ua.StationText(), "27612");
    EXPECT_EQ(ua.LaunchTimeText(), "20231010110637");
    return lines;
}

void ExpectSameLines(const LineList& actual, const LineList& expected) {
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
}

TEST(ReportGolden, SmallTemp052MatchesItsListing) {
    ExpectSameLines(DecodedReport(DataDir / "temp52_ed4_small.bufr"), ReadCrLfLines(DataDir / "temp52_ed4_small.report.txt"));
}

TEST(ReportGolden, SameListingUnderADecimalCommaLocale) {
    TAVIK_DECIMAL_COMMA_LOCALE(guard);
    ExpectSameLines(DecodedReport(DataDir / "temp52_ed4_small.bufr"), ReadCrLfLines(DataDir / "temp52_ed4_small.report.txt"));
}

}  // namespace

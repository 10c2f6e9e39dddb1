// The descriptor scan: which descriptors of Section 3 become entries, where the scan stops, and
// how what was not taken is counted (from the first descriptor not taken to the end, with an
// expanded 3 01 128 counting as its 23 elements).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "decoder/DescriptorCatalogue.h"
#include "support/DecoderHarness.h"

namespace {

struct ScannedEntry {
    std::uint8_t Kind;
    std::uint16_t Code;
    std::uint8_t Arg;
    bool operator==(const ScannedEntry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ScannedEntry& e) {
    return out << "(" << int(e.Kind) << ", " << e.Code << ", " << int(e.Arg) << ")";
}

std::vector<ScannedEntry> EntriesOf(const tUAInBound& r) {
    std::vector<ScannedEntry> list;
    for (const tDescriptorEntry& e : r.DescList) list.push_back({e.Kind, e.Code, e.Arg});
    return list;
}

// The catalogue row of element 0 XX YYY, looked up by its descriptor (not by its number).
std::uint16_t Row(std::uint32_t fxxyyy) {
    for (std::size_t i = 0; i < DescriptorCatalogue.size(); ++i) {
        const auto& d = DescriptorCatalogue[i].Descriptor;
        if (d[0] == 0 && d[1] == fxxyyy / 1000 && d[2] == fxxyyy % 1000) return static_cast<std::uint16_t>(i);
    }
    ADD_FAILURE() << fxxyyy << " is not in the catalogue";
    return 0xFFFF;
}

ScannedEntry Element(std::uint32_t fxxyyy, std::uint8_t chars = 0) { return {1, Row(fxxyyy), chars}; }
ScannedEntry Operator(std::uint32_t fxxyyy) {
    return {2, static_cast<std::uint16_t>(fxxyyy / 1000 % 100), static_cast<std::uint8_t>(fxxyyy % 1000)};
}
ScannedEntry Template(std::uint8_t y) { return {3, y, 9}; }

// The elements of 3 01 128 in WMO Table D order, with the character counts of the text ones.
std::vector<ScannedEntry> SondeIdentEntries() {
    return {Element(1081, 20), Element(1082), Element(1083), Element(1095, 4), Element(2015), Element(2016),
            Element(2017),     Element(2066), Element(2067), Element(2080),    Element(2081), Element(2082),
            Element(2083),     Element(2084), Element(2085), Element(2086),    Element(2095), Element(2096),
            Element(2097),     Element(2103), Element(2191), Element(25061, 12), Element(35035)};
}

std::vector<ScannedEntry> Concat(std::vector<ScannedEntry> a, const std::vector<ScannedEntry>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct ScanCase {
    const char* What;
    std::vector<std::uint32_t> Descriptors;
    std::vector<ScannedEntry> Entries;
    std::uint16_t Unknown;
    std::uint8_t TemplateKind;  // 0: no template
};

TEST(ScanDescriptorsTest, TakesEntriesUntilTheFirstUnknownDescriptorAndCountsTheRest) {
    const ScanCase cases[] = {
        {"the template alone", {309052}, {Template(52)}, 0, 52},
        {"3 01 128, 3 09 050, 2 05 060: 25 entries",
         {301128, 309050, 205060},
         Concat(SondeIdentEntries(), {Template(50), Operator(205060)}),
         0,
         50},
        {"0 01 001 is no catalogue element: it and what follows are not taken",
         {309052, 1001, 205011},
         {Template(52)},
         2,
         52},
        {"3 09 053 is not one of the five", {309053}, {}, 1, 0},
        {"3 09 055 is not one of the five", {309055}, {}, 1, 0},
        {"the high-resolution ascent", {309057}, {Template(57)}, 0, 57},
        {"the descent, after 3 01 128", {301128, 309056}, Concat(SondeIdentEntries(), {Template(56)}), 0, 56},
        {"an element listed twice gives two entries", {25065, 25065, 309051}, {Element(25065), Element(25065), Template(51)}, 0, 51},
        {"the four operators, any Y of 2 05",
         {201131, 25065, 201000, 203012, 25066, 203255, 203000, 205008, 202129, 309052},
         {Operator(201131), Element(25065), Operator(201000), Operator(203012), Element(25066), Operator(203255),
          Operator(203000), Operator(205008), Operator(202129), Template(52)},
         0,
         52},
        {"the elements listed by themselves",
         {2102, 7007, 25065, 25066, 1081, 25061, 309052},
         {Element(2102), Element(7007), Element(25065), Element(25066), Element(1081, 20), Element(25061, 12), Template(52)},
         0,
         52},
        {"2 04 004 ends the scan at once", {204004, 31021, 309052, 204000}, {}, 4, 0},
        {"2 06 YYY is not one of the four operators", {206008, 25192, 309052}, {}, 3, 0},
        {"a replication ends the scan", {309052, 101000, 31001, 205008}, {Template(52)}, 3, 52},
        {"another sequence ends the scan", {301011, 309052}, {}, 2, 0},
        {"3 01 128 expanded counts as its 23 elements",
         {301128, 1001, 309052},
         SondeIdentEntries(),
         2,
         0},
        {"3 01 128 not reached counts as one",
         {309052, 1001, 301128},
         {Template(52)},
         2,
         52},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.What);
        DecoderHarness h(BufrBuilder().Descriptors(c.Descriptors).Build());
        ASSERT_TRUE(h.Parsed());
        ASSERT_TRUE(h.Scan());
        const tUAInBound& r = h.Decoder;
        EXPECT_EQ(EntriesOf(r), c.Entries);
        EXPECT_EQ(r.EntryCount, c.Entries.size());
        EXPECT_EQ(r.UnknownCount, c.Unknown);
        EXPECT_EQ(r.AllKnown, c.Unknown == 0);
        EXPECT_EQ(r.HasTemplate, c.TemplateKind != 0);
        EXPECT_EQ(r.TemplateKind, c.TemplateKind);
        EXPECT_EQ(r.TemplateFX[0], c.TemplateKind ? 3 : 0);
        EXPECT_EQ(r.TemplateFX[1], c.TemplateKind ? 9 : 0);
        EXPECT_EQ(r.Message, nullptr) << "the scan does not set the message";
    }
}

TEST(ScanDescriptorsTest, ASecondTemplateIsAnErrorAndTheScanKeepsWhatItHadSet) {
    const std::vector<std::uint32_t> lists[] = {{309050, 309051}, {309052, 2102, 309057}, {309051, 309051}};
    for (const auto& list : lists) {
        SCOPED_TRACE(std::to_string(list.back()));
        DecoderHarness h(BufrBuilder().Descriptors(list).Build());
        ASSERT_TRUE(h.Parsed());
        try {
            h.Scan();
            ADD_FAILURE() << "no error";
        } catch (const TavikError& e) {
            EXPECT_STREQ(e.what(), "Поддерживается использование только одного из шаблонов:3-09-050,3-09-051 или 3-09-052!");
        }
        EXPECT_TRUE(h.Decoder.HasTemplate);
        EXPECT_EQ(h.Decoder.TemplateKind, list.front() % 1000);
        EXPECT_EQ(h.Decoder.DescList.size(), list.size() - 1);
    }
}

TEST(ScanDescriptorsTest, FewerThanTwoDescriptorOctetsGiveFalseAndAResetObject) {
    struct Case {
        const char* What;
        BufrBuilder Builder;
    };
    Case cases[] = {
        {"no descriptor octet", BufrBuilder().Descriptors(std::vector<std::uint32_t>{})},
        {"one pad octet only", BufrBuilder().Descriptors(std::vector<std::uint32_t>{}).Section3OddPad(true)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.What);
        DecoderHarness h(c.Builder.Build());
        ASSERT_TRUE(h.Parsed());
        // State left by an earlier file must go.
        DecoderHarness earlier(BufrBuilder().Descriptors({309052, 1001}).Build());
        ASSERT_TRUE(earlier.Scan());
        earlier.Decoder.Message = &earlier.Message;
        tUAInBound& r = earlier.Decoder;
        EXPECT_FALSE(r.ScanDescriptors(h.Message));
        EXPECT_FALSE(r.HasTemplate);
        EXPECT_EQ(r.TemplateKind, 0);
        EXPECT_EQ(r.EntryCount, 0);
        EXPECT_EQ(r.UnknownCount, 0);
        EXPECT_TRUE(r.DescList.empty());
        EXPECT_FALSE(r.AllKnown);
        EXPECT_EQ(r.Message, nullptr);
    }
}

TEST(ScanDescriptorsTest, ADescriptorThatCannotBeReadIsAnErrorNamingItsIndex) {
    // Section 3 that announces descriptor octets but has none to give (not read from a message).
    TBUFRMessage message;
    message.Section3->DescriptorBytes = 10;
    message.Section3->Descriptors = nullptr;
    tUAInBound r;
    try {
        r.ScanDescriptors(message);
        ADD_FAILURE() << "no error";
    } catch (const TavikError& e) {
        EXPECT_STREQ(e.what(), "Ошибка чтения дескриптора0!");
    }
}

}  // namespace

// The section readers and the message: layouts of the editions, the length checks and their
// messages, Section 2 coming and going, descriptors, the Section 4 limit.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/Errors.h"
#include "core/uBUFRDefs.h"
#include "support/BufrBuilder.h"
#include "support/Fixtures.h"

namespace {

// Holds the message bytes for as long as the sections refer into them. The buffer is exactly as
// long as the located message, so a read past it is a heap overflow that the sanitizers catch.
class ParsedMessage {
public:
    bool Run(const ByteVector& bytes) { return Run(bytes, static_cast<std::uint32_t>(bytes.size())); }
    bool Run(const ByteVector& bytes, std::uint32_t foundLength) {
        buffer = bytes;
        buffer.shrink_to_fit();
        return message.Parse(buffer.data(), foundLength);
    }
    TBUFRMessage message;
    ByteVector buffer;
};

// The error Parse raises for Bytes, or "" when it raises none.
std::string ParseError(const ByteVector& bytes) {
    ParsedMessage p;
    try {
        p.Run(bytes);
    } catch (const TavikError& e) {
        return e.what();
    }
    return {};
}

TEST(SectionOneTest, EditionLayouts) {
    for (int edition : {0, 1, 2, 3, 4, 5, 255}) {
        SCOPED_TRACE("edition " + std::to_string(edition));
        const bool ed4 = edition >= 4;
        ParsedMessage p;
        ASSERT_TRUE(p.Run(BufrBuilder()
                              .Edition(static_cast<std::uint8_t>(edition))
                              .Centre(ed4 ? 0x1234 : 98)
                              .SubCentre(ed4 ? 0x0506 : 7)
                              .UpdateSequence(3)
                              .DataCategory(2)
                              .IntSubCategory(9)
                              .LocalSubCategory(11)
                              .MasterTableVersion(13)
                              .LocalTableVersion(1)
                              .TypicalDate(2023, 5, 7, 12, 34, 56)
                              .Build()));
        const tBUFR_Section1_Identification& s1 = *p.message.Section1;
        EXPECT_TRUE(s1.Parsed);
        EXPECT_EQ(p.message.Edition(), edition);
        EXPECT_EQ(s1.Length, ed4 ? 22u : 18u);
        EXPECT_EQ(s1.MasterTable, 0);
        EXPECT_EQ(s1.Centre, ed4 ? 0x1234 : 98);
        EXPECT_EQ(s1.SubCentre, ed4 ? 0x0506 : 7);
        EXPECT_EQ(s1.UpdateSequence, 3);
        EXPECT_EQ(s1.SectionFlags, 0);
        EXPECT_EQ(s1.DataCategory, 2);
        EXPECT_EQ(s1.IntSubCategory, ed4 ? 9 : 0);
        EXPECT_EQ(s1.LocalSubCategory, 11);
        EXPECT_EQ(s1.MasterTableVersion, 13);
        EXPECT_EQ(s1.LocalTableVersion, 1);
        EXPECT_EQ(s1.TypicalYear, 2023);
        EXPECT_EQ(s1.TypicalMonth, 5);
        EXPECT_EQ(s1.TypicalDay, 7);
        EXPECT_EQ(s1.TypicalHour, 12);
        EXPECT_EQ(s1.TypicalMinute, 34);
        EXPECT_EQ(s1.TypicalSecond, ed4 ? 56 : 0);
        EXPECT_EQ(s1.LocalDataLength, ed4 ? 0u : 1u) << "an 18-octet edition 3 section has one local octet";
        EXPECT_EQ(s1.DateTimeText(), ed4 ? "20230507123456" : "20230507123400");
        EXPECT_EQ(p.message.Section3->NumSubsets, 1);
        EXPECT_EQ(p.message.Section3->DescriptorCount(), 1u);
    }
}

TEST(SectionOneTest, YearOfCenturyCountsFromTwoThousand) {
    ParsedMessage p;
    ASSERT_TRUE(p.Run(BufrBuilder().Edition(3).YearOfCentury(7).Build()));
    EXPECT_EQ(p.message.Section1->TypicalYear, 2007);
    ASSERT_TRUE(p.Run(BufrBuilder().Edition(3).YearOfCentury(255).Build()));
    EXPECT_EQ(p.message.Section1->TypicalYear, 2255);
}

TEST(SectionOneTest, LengthAssertionAndMasterTable) {
    struct Case {
        int edition;
        std::uint32_t length;
        std::uint8_t masterTable;
        const char* error;  // "" when accepted
    };
    const Case cases[] = {
        {3, 17, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 496)"},
        {0, 17, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 496)"},
        {2, 3, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 496)"},
        {3, 18, 0, ""},
        {4, 21, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 497)"},
        {5, 21, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 497)"},
        {4, 0, 0, "Ошибка длины Section1 (core/uBUFRDefs, line 497)"},
        {4, 22, 0, ""},
        {4, 22, 10, "Ошибка Master_Table_Number"},
        {3, 18, 1, "Ошибка Master_Table_Number"},
        {3, 17, 10, "Ошибка длины Section1 (core/uBUFRDefs, line 496)"},  // the length is checked first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("edition " + std::to_string(c.edition) + ", length " + std::to_string(c.length));
        const ByteVector bytes = BufrBuilder()
                                 .Edition(static_cast<std::uint8_t>(c.edition))
                                 .MasterTable(c.masterTable)
                                 .SetSection1Length(c.length)
                                 .Build();
        EXPECT_EQ(ParseError(bytes), c.error);
    }
}

TEST(SectionOneTest, LongSectionWithLocalDataIsSkipped) {
    for (int edition : {3, 4}) {
        SCOPED_TRACE("edition " + std::to_string(edition));
        const std::size_t standard = edition >= 4 ? 22 : 17;
        ByteVector local(300 - standard, 0xFF);
        std::fill(local.begin(), local.begin() + 8, '7');
        ParsedMessage p;
        ASSERT_TRUE(p.Run(BufrBuilder()
                              .Edition(static_cast<std::uint8_t>(edition))
                              .Section1Local(local)
                              .Subsets(3)
                              .Descriptors({309052, 1001})
                              .Data(ByteVector{1, 2})
                              .Build()));
        EXPECT_EQ(p.message.Section1->Length, 300u);
        EXPECT_EQ(p.message.Section1->LocalDataLength, edition >= 4 ? 278u : 283u);
        EXPECT_EQ(p.message.Section3->NumSubsets, 3);
        EXPECT_EQ(p.message.Section3->DescriptorCount(), 2u);
        EXPECT_EQ(p.message.Section4->SectionLength(), 6u);
        EXPECT_EQ(p.message.Section4->Data[0], 1);
    }
}

TEST(SectionTwoTest, ComesAndGoesWithTheFlag) {
    ParsedMessage p;
    ASSERT_TRUE(p.Run(BufrBuilder().Section2({1, 2, 3, 4, 5, 6}).Descriptors({1001}).Build()));
    ASSERT_NE(p.message.Section2, nullptr);
    EXPECT_TRUE(p.message.Section2->Parsed);
    EXPECT_EQ(p.message.Section2->SectionLength(), 10u);
    EXPECT_EQ(p.message.Section3->DescriptorCount(), 1u) << "Section 3 read after Section 2";

    ASSERT_TRUE(p.Run(BufrBuilder().Descriptors({309052, 1001}).Build()));
    EXPECT_EQ(p.message.Section2, nullptr);
    EXPECT_EQ(p.message.Section3->DescriptorCount(), 2u);

    // Only bit 7 of the flags counts.
    ASSERT_TRUE(p.Run(BufrBuilder().SectionFlags(0x7F).Build()));
    EXPECT_EQ(p.message.Section2, nullptr);
    ASSERT_TRUE(p.Run(BufrBuilder().Section2({}).SectionFlags(0xFF).Build()));
    ASSERT_NE(p.message.Section2, nullptr);
    EXPECT_EQ(p.message.Section2->SectionLength(), 4u);
}

class MarkedSection2 : public tBUFR_Section2_Optional {
public:
    using tBUFR_Section2_Optional::tBUFR_Section2_Optional;
};

TEST(SectionTwoTest, TheSuppliedClassIsCreated) {
    TBUFRMessage message(SectionClass<tBUFR_Section0_Indicator>(), SectionClass<tBUFR_Section1_Identification>(),
                         SectionClass<MarkedSection2>(), SectionClass<tBUFR_Section3_Data_Description>(),
                         SectionClass<tBUFR_Section4_Data>(), true);
    ASSERT_NE(message.Section2, nullptr);
    EXPECT_FALSE(message.Section2->Parsed);
    const ByteVector bytes = BufrBuilder().Section2({9, 9}).Build();
    ASSERT_TRUE(message.Parse(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    ASSERT_NE(message.Section2, nullptr);
    EXPECT_NE(dynamic_cast<MarkedSection2*>(message.Section2.get()), nullptr);
    EXPECT_EQ(&message.Section2->Owner, &message);
    EXPECT_EQ(message.Section2->SectionLength(), 6u);
}

TEST(SectionThreeTest, DescriptorsAndTheOddOctet) {
    ParsedMessage p;
    ASSERT_TRUE(p.Run(BufrBuilder().Descriptors({309052, 1001}).Section3OddPad(true).Subsets(513).DataFlags(0xC0).Build()));
    const tBUFR_Section3_Data_Description& s3 = *p.message.Section3;
    EXPECT_EQ(s3.Length, 12u);
    EXPECT_EQ(s3.DescriptorBytes, 5u) << "the odd octet counts in DescriptorBytes";
    EXPECT_EQ(s3.DescriptorCount(), 2u);
    EXPECT_EQ(s3.NumSubsets, 513);
    EXPECT_TRUE(s3.Observed());
    EXPECT_TRUE(s3.Compressed());
    std::uint8_t f = 0xEE, x = 0xEE, y = 0xEE;
    ASSERT_TRUE(s3.GetDescriptor(0, f, x, y));
    EXPECT_EQ(f, 3);
    EXPECT_EQ(x, 9);
    EXPECT_EQ(y, 52);
    ASSERT_TRUE(s3.GetDescriptor(1, f, x, y));
    EXPECT_EQ(f, 0);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
    EXPECT_FALSE(s3.GetDescriptor(2, f, x, y)) << "the odd octet is no descriptor";
    EXPECT_FALSE(s3.GetDescriptor(0xFFFFFFFF, f, x, y));

    ASSERT_TRUE(p.Run(BufrBuilder().Descriptors({}).DataFlags(0x40).Build()));
    EXPECT_EQ(p.message.Section3->DescriptorBytes, 0u);
    EXPECT_FALSE(p.message.Section3->Observed());
    EXPECT_TRUE(p.message.Section3->Compressed());
    EXPECT_FALSE(p.message.Section3->GetDescriptor(0, f, x, y));

    ASSERT_TRUE(p.Run(BufrBuilder().Descriptors({}).Section3OddPad(true).Build()));
    EXPECT_EQ(p.message.Section3->DescriptorBytes, 1u);
    EXPECT_FALSE(p.message.Section3->GetDescriptor(0, f, x, y));
}

TEST(SectionThreeTest, WriteToAndClear) {
    const BuiltMessage built =
        BufrBuilder().Subsets(2).Descriptors({309052, 1001, 205011}).Data(ByteVector{1, 2, 3, 4, 5}).Assemble();
    ParsedMessage p;
    ASSERT_TRUE(p.Run(built.Bytes));
    ByteVector out(64, 0xEE);
    std::uint32_t pos = 1;
    ASSERT_TRUE(p.message.Section3->WriteTo(out.data(), pos));
    EXPECT_EQ(pos, 1u + 13u);
    ASSERT_TRUE(p.message.Section4->WriteTo(out.data(), pos));
    EXPECT_EQ(pos, 1u + 13u + 9u);
    EXPECT_TRUE(std::equal(out.begin() + 1, out.begin() + 23, built.Bytes.begin() + built.Section3));
    EXPECT_EQ(out[23], 0xEE);

    p.message.Section3->Clear();
    p.message.Section4->Clear();
    EXPECT_FALSE(p.message.Section3->Parsed);
    EXPECT_EQ(p.message.Section3->Descriptors, nullptr);
    EXPECT_EQ(p.message.Section3->NumSubsets, 0);
    EXPECT_EQ(p.message.Section4->Data, nullptr);
    std::uint8_t f, x, y;
    EXPECT_FALSE(p.message.Section3->GetDescriptor(0, f, x, y));
    pos = 0;
    EXPECT_FALSE(p.message.Section3->WriteTo(out.data(), pos));
    EXPECT_FALSE(p.message.Section4->WriteTo(out.data(), pos));
    EXPECT_EQ(pos, 0u);
    p.message.Section1->Clear();
    EXPECT_FALSE(p.message.Section1->Parsed);
    EXPECT_EQ(p.message.Section1->DateTimeText(), "");
}

TEST(SectionFourTest, MustEndBeforeSectionFive) {
    const ByteVector data{1, 2, 3, 4, 5, 6};
    struct Case {
        const char* what;
        BufrBuilder builder;
        bool parses;
    };
    const Case cases[] = {
        {"exact", BufrBuilder().Data(data), true},
        {"gap before Section 5", BufrBuilder().Data(data).SetSection4Length(4 + 4), true},
        {"one octet into Section 5", BufrBuilder().Data(data).SetSection4Length(4 + 6 + 1), false},
        {"over all of Section 5", BufrBuilder().Data(data).SetSection4Length(4 + 6 + 4), false},
        {"declared total four short", BufrBuilder().Data(data).SetTotalLength(22 + 8 + 10 + 10 + 4 - 4), false},
        {"no room for the header", BufrBuilder().Data(ByteVector{}).SetSection3Length(10 + 4), false},
        {"header ends at Section 5", BufrBuilder().Data(ByteVector{}).SetSection3Length(10 + 1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedMessage p;
        EXPECT_EQ(p.Run(c.builder.Build()), c.parses);
        EXPECT_EQ(p.message.Section4->Parsed, c.parses);
        LineList lines;
        EXPECT_EQ(p.message.DumpSections(&lines), c.parses);
    }
}

TEST(SectionZeroTest, LocatedAgainstDeclaredLength) {
    const ByteVector bytes = BufrBuilder().Data(ByteVector{1, 2, 3}).Build();
    ByteVector longer = bytes;
    longer.insert(longer.end(), {'7', '7', '7', '7', '7', '7', '7', '7', '7', '7'});
    ParsedMessage p;
    EXPECT_TRUE(p.Run(longer)) << "a located length above the declared one is accepted";
    EXPECT_EQ(p.message.MessageLength(), bytes.size());
    EXPECT_EQ(p.message.Section4->SectionLength(), 7u);

    ParsedMessage q;
    try {
        q.Run(bytes, static_cast<std::uint32_t>(bytes.size() - 1));
        ADD_FAILURE() << "no error for a located length below the declared one";
    } catch (const TavikError& e) {
        EXPECT_STREQ(e.what(), "Раздел 0:Ошибка размера:перебор!");
    }
    EXPECT_FALSE(q.message.Section1->Parsed) << "nothing further is read";
}

TEST(MessageTest, WithoutSections) {
    TBUFRMessage empty(nullptr, nullptr, nullptr, nullptr, nullptr, false);
    EXPECT_EQ(empty.MessageLength(), 0u);
    EXPECT_EQ(empty.Edition(), 0);
    EXPECT_EQ(empty.MasterTable(), 0);
    LineList lines;
    EXPECT_FALSE(empty.DumpSections(&lines));
    EXPECT_TRUE(lines.empty());
}

// A length too small for its own header, or one that places a section or a reference beyond the
// located message, raises an error naming the section before anything is read there.
TEST(SectionLengthsTest, TooSmallOrTooFarRaise) {
    const BufrBuilder base = BufrBuilder().Descriptors({309052, 1001}).Data(ByteVector{1, 2, 3, 4});
    const std::uint32_t total = base.Assemble().TotalLength;  // 8 + 22 + 11 + 8 + 4 = 53
    std::vector<std::uint32_t> many(32768, 1001);
    const ByteVector full = base.Build();

    struct Case {
        const char* what;
        ByteVector bytes;
        std::set<int> sections;  // the section the message may name
    };
    const Case cases[] = {
        {"Section 1 beyond the message", BufrBuilder(base).SetSection1Length(5000).Build(), {1}},
        {"Section 1 leaves no room for Section 3", BufrBuilder(base).SetSection1Length(total - 8 - 3).Build(), {1, 3}},
        {"Section 1 ends the message", BufrBuilder(base).SetSection1Length(total - 8).Build(), {1, 3}},
        {"Section 2 of 2 octets", BufrBuilder(base).Section2({}).SetSection2Length(2).Build(), {2}},
        {"Section 2 of 0 octets", BufrBuilder(base).Section2({}).SetSection2Length(0).Build(), {2}},
        {"Section 2 beyond the message", BufrBuilder(base).Section2({1, 2}).SetSection2Length(0xFFFFFF).Build(), {2, 3}},
        {"Section 2 leaves no room for Section 3",
         BufrBuilder(base).Section2({1, 2}).SetSection2Length(total + 6 - 8 - 22 - 5).Build(), {2, 3}},
        {"Section 3 of 6 octets", BufrBuilder(base).SetSection3Length(6).Build(), {3}},
        {"Section 3 of 0 octets", BufrBuilder(base).SetSection3Length(0).Build(), {3}},
        {"Section 3 beyond the message", BufrBuilder(base).SetSection3Length(5000).Build(), {3}},
        {"Section 3 of 65543 octets", BufrBuilder(base).Descriptors(many).Build(), {3}},
        {"Section 4 of 3 octets", BufrBuilder(base).SetSection4Length(3).Build(), {4}},
        {"Section 4 of 0 octets", BufrBuilder(base).SetSection4Length(0).Build(), {4}},
        {"message cut in Section 1", ByteVector(full.begin(), full.begin() + 20), {0, 1}},
        {"message cut before Section 1's length", ByteVector(full.begin(), full.begin() + 9), {0, 1}},
        {"message cut in Section 0", ByteVector(full.begin(), full.begin() + 6), {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteVector bytes = c.bytes;
        // A cut message declares what is left, so that the Section 0 check alone does not stop it.
        if (bytes.size() < total) {
            bytes[4] = 0;
            bytes[5] = 0;
            if (bytes.size() > 6) bytes[6] = static_cast<std::uint8_t>(bytes.size());
        }
        const std::string error = ParseError(bytes);
        ASSERT_FALSE(error.empty()) << "no error raised";
        bool named = false;
        for (int s : c.sections) named = named || error.rfind("Раздел " + std::to_string(s) + ":", 0) == 0;
        EXPECT_TRUE(named) << error;
    }
}

TEST(SectionOneTest, DateTimeText) {
    ParsedMessage p;
    ASSERT_TRUE(p.Run(BufrBuilder().TypicalDate(2023, 5, 7, 12, 0, 0).Build()));
    EXPECT_EQ(p.message.Section1->DateTimeText(), "20230507120000");
    ASSERT_TRUE(p.Run(BufrBuilder().TypicalDate(12345, 5, 7, 12, 0, 0).Build()));
    EXPECT_EQ(p.message.Section1->DateTimeText(), "////0507120000") << "a too-wide year shows as slashes";
    ASSERT_TRUE(p.Run(BufrBuilder().TypicalDate(999, 12, 31, 23, 59, 100).Build()));
    EXPECT_EQ(p.message.Section1->DateTimeText(), "099912312359//");
    TBUFRMessage fresh;
    EXPECT_EQ(fresh.Section1->DateTimeText(), "");
}

}  // namespace

// The message builder must write what ecCodes writes: rebuilt from their JSON header values (with
// Section 2, local data and Section 4 copied), the shared files come out byte for byte.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/BufrBuilder.h"
#include "support/Fixtures.h"

namespace {

TEST(BitWriterTest, WritesFieldsMostSignificantBitFirstAcrossOctets) {
    struct Case {
        const char* what;
        BitWriter writer;
        ByteVector expected;
        std::size_t bits;
    };
    const Case cases[] = {
        {"one octet", BitWriter().Bits(0xA5, 8), {0xA5}, 8},
        {"3+5 bits", BitWriter().Bits(0b101, 3).Bits(0b00111, 5), {0xA7}, 8},
        {"12 bits from bit 6", BitWriter().Bits(0, 6).Bits(0xABC, 12), {0x02, 0xAF, 0x00}, 18},
        {"32 bits", BitWriter().Bits(0xDEADBEEF, 32), {0xDE, 0xAD, 0xBE, 0xEF}, 32},
        {"missing 7 after 1 bit", BitWriter().Bits(0, 1).Missing(7), {0x7F}, 8},
        {"chars padded to width", BitWriter().Chars("AB", 3), {'A', 'B', ' '}, 24},
        {"chars cut to width", BitWriter().Chars("ABCD", 2), {'A', 'B'}, 16},
        {"octets off the boundary", BitWriter().Bits(1, 1).Octets({0xFF, 0x00}), {0xFF, 0x80, 0x00}, 17},
        {"pad with ones", BitWriter().Bits(0, 3).PadToOctet(1), {0x1F}, 8},
        {"pad to even", BitWriter().Bits(1, 2).PadToEven(), {0x40, 0x00}, 16},
        {"even stays", BitWriter().Bits(1, 16).PadToEven(), {0x00, 0x01}, 16},
        {"scaled with reference: 17465", BitWriter().Scaled(-5.35, 2, -18000, 15), {0x88, 0x72}, 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.writer.Bytes(), c.expected) << c.what;
        EXPECT_EQ(c.writer.BitCount(), c.bits) << c.what;
    }
}

TEST(BitWriterTest, RefusesWhatCannotBeWritten) {
    BitWriter writer;
    EXPECT_THROW(writer.Bits(4, 2), std::invalid_argument);
    EXPECT_THROW(writer.Bits(0, 0), std::invalid_argument);
    EXPECT_THROW(writer.Bits(0, 33), std::invalid_argument);
    EXPECT_THROW(writer.Scaled(-1.0, 0, 0, 8), std::invalid_argument);
    EXPECT_EQ(writer.BitCount(), 0u);
}

TEST(BufrBuilderTest, DescriptorOctetsSplitFxxyyy) {
    EXPECT_EQ(BufrBuilder::DescriptorOctets(309052), (ByteVector{0xC9, 0x34}));
    EXPECT_EQ(BufrBuilder::DescriptorOctets(1001), (ByteVector{0x01, 0x01}));
    EXPECT_EQ(BufrBuilder::DescriptorOctets(205060), (ByteVector{0x85, 0x3C}));
    EXPECT_THROW(BufrBuilder::DescriptorOctets(400000), std::invalid_argument);
    EXPECT_THROW(BufrBuilder::DescriptorOctets(64000), std::invalid_argument);
}

TEST(BufrBuilderTest, LayoutOffsetsAndComputedLengths) {
    const BuiltMessage m = BufrBuilder()
                                .Section2({1, 2, 3, 4, 5, 6})
                                .Descriptors({309052, 1001})
                                .Data(BitWriter().Bits(5, 3).PadToOctet())
                                .Before("HEAD")
                                .After("TAIL")
                                .Assemble();
    EXPECT_EQ(m.MessageStart, 4u);
    EXPECT_EQ(m.Section1, 12u);
    ASSERT_TRUE(m.Section2.has_value());
    EXPECT_EQ(*m.Section2, 12u + 22u);
    EXPECT_EQ(m.Section3, 34u + 10u);
    EXPECT_EQ(m.Section4, 44u + 11u);
    EXPECT_EQ(m.Section5, 55u + 5u);
    EXPECT_EQ(m.MessageEnd, 64u);
    EXPECT_EQ(m.TotalLength, 60u);
    EXPECT_EQ(m.Bytes.size(), 68u);
    EXPECT_EQ(m.Bytes[m.Section1 + 9], 0x80) << "Section 2 announced in the flag octet";
    EXPECT_EQ(ByteVector(m.Bytes.begin() + 60, m.Bytes.begin() + 64), BytesOf("7777"));
    EXPECT_EQ(ByteVector(m.Bytes.begin() + 4, m.Bytes.begin() + 8), BytesOf("BUFR"));
    EXPECT_EQ(m.Bytes[m.MessageStart + 6], 60);
}

TEST(BufrBuilderTest, OverridesChangeOnlyTheLengthFields) {
    const BuiltMessage plain = BufrBuilder().Assemble();
    const BuiltMessage lying = BufrBuilder()
                                    .SetTotalLength(0x010203)
                                    .SetSection1Length(5)
                                    .SetSection3Length(0xFFFFFF)
                                    .SetSection4Length(2)
                                    .Section5("")
                                    .Assemble();
    ASSERT_EQ(lying.Bytes.size(), plain.Bytes.size() - 4);
    EXPECT_EQ(lying.TotalLength, 0x010203u);
    EXPECT_EQ(lying.Bytes[4], 1);
    EXPECT_EQ(lying.Bytes[6], 3);
    EXPECT_EQ(lying.Bytes[lying.Section1 + 2], 5);
    EXPECT_EQ(lying.Bytes[lying.Section3], 0xFF);
    EXPECT_EQ(lying.Bytes[lying.Section4 + 2], 2);
    EXPECT_EQ(lying.Section3, plain.Section3);
}

// Rebuilds a shared file from its JSON; what the JSON does not say (Section 2 content, Section 1
// local data, Section 4 data, the bytes around the message) is copied from the file.
TEST(BufrBuilderTest, RebuildsSharedFilesByteForByte) {
    TAVIK_REQUIRE_PATH(FixturesDir());
    std::vector<fs::path> files = ListBufrFiles(FixturesDir());
    for (const fs::path& f : ListBufrFiles(RealDataDir())) files.push_back(f);
    int rebuilt = 0;
    for (const fs::path& file : files) {
        if (!fs::exists(JsonBeside(file))) continue;
        SCOPED_TRACE(file.filename().string());
        const nlohmann::json j = LoadJson(JsonBeside(file));
        const ByteVector bytes = ReadFileBytes(file);
        const auto& s1 = j.at("section1");
        const std::size_t start = j.at("message_offset");
        const std::size_t end = j.at("message_end");
        const int edition = j.at("edition");
        const std::size_t standard = edition >= 4 ? 22 : 17;
        const std::size_t s1At = start + 8, s1Len = s1.at("length");
        const std::size_t s2At = s1At + s1Len;
        const std::size_t s2Len = j.at("section2").at("length");
        const std::size_t s4At = s2At + s2Len + std::size_t(j.at("section3").at("length"));
        const std::size_t s4Len = j.at("section4").at("length");
        auto slice = [&](std::size_t from, std::size_t to) {
            return ByteVector(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
        };

        BufrBuilder b;
        b.Edition(static_cast<std::uint8_t>(edition))
            .MasterTable(s1.at("master_table"))
            .Centre(s1.at("centre"))
            .SubCentre(s1.at("sub_centre"))
            .UpdateSequence(s1.at("update_sequence"))
            .DataCategory(s1.at("data_category"))
            .LocalSubCategory(s1.at("local_sub_category"))
            .MasterTableVersion(s1.at("master_table_version"))
            .LocalTableVersion(s1.at("local_table_version"))
            .TypicalDate(edition >= 4 ? std::uint16_t(s1.at("typical_year")) : 2000, s1.at("typical_month"),
                         s1.at("typical_day"), s1.at("typical_hour"), s1.at("typical_minute"),
                         s1.value("typical_second", 0))
            .Section1Local(slice(s1At + standard, s1At + s1Len))
            .Section1EvenPad(false);
        if (edition >= 4) b.IntSubCategory(s1.at("int_sub_category"));
        else b.YearOfCentury(s1.at("typical_year_of_century"));
        if (j.at("section2").at("present")) b.Section2(slice(s2At + 4, s2At + s2Len));
        const auto& s3 = j.at("section3");
        std::vector<std::uint32_t> descriptors;
        for (const auto& d : s3.at("descriptors")) descriptors.push_back(std::stoul(d.get<std::string>()));
        b.Subsets(s3.at("number_of_subsets"))
            .Observed(s3.at("observed"))
            .Compressed(s3.at("compressed"))
            .Descriptors(descriptors)
            .Section3OddPad(int(s3.at("descriptor_octets")) % 2 == 1)
            .Data(slice(s4At + 4, s4At + s4Len))
            .Section4EvenPad(false)
            .Before(slice(0, start))
            .After(slice(end, bytes.size()));
        const ByteVector built = b.Build();
        EXPECT_EQ(built.size(), bytes.size());
        EXPECT_TRUE(built == bytes) << "the rebuilt file differs from the original";
        ++rebuilt;
    }
    EXPECT_GT(rebuilt, 0) << "no shared file has a JSON to rebuild it from";
}

}  // namespace

// The bit-field reader: fields most significant bit first across octet boundaries, right-aligned
// in the destination; the byte-order helpers and the descriptor split.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "core/BitReader.h"
#include "support/BufrBuilder.h"

namespace {

TEST(ExtractBitsTest, TwelveBitsFromBitSixOfByteTen) {
    std::uint8_t src[16] = {};
    src[10] = 0b1111'1110;  // the field begins with the last two bits: 1 0
    src[11] = 0b0110'1001;
    src[12] = 0b1100'0000;  // and ends with the first two: 1 1
    std::uint32_t bytePos = 10, bitPos = 6;
    std::uint8_t dst[3] = {0xEE, 0xEE, 0xEE};
    ExtractBits(src, bytePos, bitPos, 12, 2, dst);
    // Field 10 01101001 11 = 0b1001'1010'0111: the first four bits in the low half of dst[0].
    EXPECT_EQ(dst[0], 0x09);
    EXPECT_EQ(dst[1], 0xA7);
    EXPECT_EQ(dst[2], 0xEE) << "only NBytes bytes of Dst are written";
    EXPECT_EQ(bytePos, 12u);
    EXPECT_EQ(bitPos, 2u);
}

TEST(ExtractBitsTest, AlignedWholeOctetsAreAPlainCopy) {
    const std::uint8_t src[] = {0x00, 0x12, 0x34, 0x56, 0x78};
    std::uint32_t bytePos = 1, bitPos = 0;
    std::uint8_t dst[3] = {};
    ExtractBits(src, bytePos, bitPos, 24, 3, dst);
    EXPECT_EQ(dst[0], 0x12);
    EXPECT_EQ(dst[1], 0x34);
    EXPECT_EQ(dst[2], 0x56);
    EXPECT_EQ(bytePos, 4u);
    EXPECT_EQ(bitPos, 0u);
}

TEST(ExtractBitsTest, SevenBitsFromBitThreeLeaveTheTopBitZero) {
    const std::uint8_t src[] = {0b1111'1111, 0b1111'1111};
    std::uint32_t bytePos = 0, bitPos = 3;
    std::uint8_t dst[1] = {};
    ExtractBits(src, bytePos, bitPos, 7, 1, dst);
    EXPECT_EQ(dst[0], 0x7F);
    EXPECT_EQ(bytePos, 1u);
    EXPECT_EQ(bitPos, 2u);
}

// Random fields written with BitWriter come back unchanged, through both readers, and the cursor
// walks exactly the widths; the buffer is exactly as long as the fields so that any read of a
// byte that holds no bit of the field falls outside it (caught by the sanitizers).
TEST(ExtractBitsTest, ReadsBackWhatTheBitWriterWrote) {
    std::mt19937 random(20231010);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::pair<std::uint32_t, unsigned>> fields;
        BitWriter writer;
        for (int i = 0; i < 40; ++i) {
            const unsigned width = 1 + random() % 32;
            const std::uint32_t value = static_cast<std::uint32_t>(random() & ((std::uint64_t(1) << width) - 1));
            fields.emplace_back(value, width);
            writer.Bits(value, width);
        }
        const ByteVector& bytes = writer.Bytes();
        auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());

        std::uint32_t bytePos = 0, bitPos = 0, valuePos = 0, valueBit = 0;
        std::size_t bits = 0;
        for (const auto& [value, width] : fields) {
            const std::uint32_t nBytes = (width + 7) / 8;
            std::uint8_t dst[4] = {};
            ExtractBits(exact.get(), bytePos, bitPos, width, nBytes, dst);
            std::uint32_t got = 0;
            for (std::uint32_t k = 0; k < nBytes; ++k) got = got << 8 | dst[k];
            ASSERT_EQ(got, value) << "width " << width << " at bit " << bits;
            ASSERT_EQ(ExtractValue(exact.get(), valuePos, valueBit, width), value) << "width " << width;
            bits += width;
            ASSERT_EQ(bytePos, bits / 8);
            ASSERT_EQ(bitPos, bits % 8);
            ASSERT_EQ(valuePos, bytePos);
            ASSERT_EQ(valueBit, bitPos);
        }
    }
}

// A character field of the data section is wider than 32 bits and need not start on an octet.
TEST(ExtractBitsTest, CharacterFieldOffTheOctetBoundary) {
    const ByteVector bytes = BitWriter().Bits(0b101, 3).Chars("UBRS5", 9).Bits(1, 5).Bytes();
    std::uint32_t bytePos = 0, bitPos = 3;
    std::uint8_t dst[10] = {};
    dst[9] = 0xEE;
    ExtractBits(bytes.data(), bytePos, bitPos, 72, 9, dst);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dst), 9), "UBRS5    ");
    EXPECT_EQ(dst[9], 0xEE);
    EXPECT_EQ(bytePos, 9u);
    EXPECT_EQ(bitPos, 3u);
}

TEST(ByteOrderTest, SwapsAndSplit) {
    EXPECT_EQ(Swap16(0x1234), 0x3412);
    EXPECT_EQ(Swap16(0x00FF), 0xFF00);
    EXPECT_EQ(Swap24(0x00123456u), 0x00563412u);
    EXPECT_EQ(Swap24(0xAB123456u), 0x00563412u) << "the highest byte of the input is dropped";
    EXPECT_EQ(Swap24(0x000000FFu), 0x00FF0000u);

    struct Case {
        std::uint8_t first, second, f, x, y;
    };
    for (const Case& c : {Case{0xC9, 0x34, 3, 9, 52}, Case{0x01, 0x01, 0, 1, 1}, Case{0x7F, 0xFF, 1, 63, 255},
                          Case{0x80, 0x00, 2, 0, 0}, Case{0x85, 0x3C, 2, 5, 60}}) {
        const DescriptorParts d = SplitDescriptor(c.first, c.second);
        EXPECT_EQ(d.F, c.f) << int(c.first);
        EXPECT_EQ(d.X, c.x) << int(c.first);
        EXPECT_EQ(d.Y, c.y) << int(c.first);
    }
}

}  // namespace

#pragma once
// Bit-field reader and byte helpers. BUFR fields are most significant bit first and not
// aligned to octets in Section 4. The read cursor is (BytePos, BitPos): the byte in which the
// next field begins and the bits of it already consumed (0..7, from the top).
#include <cstdint>

struct DescriptorParts {
    std::uint8_t F = 0;  // top two bits of the first octet
    std::uint8_t X = 0;  // its low six bits
    std::uint8_t Y = 0;  // the second octet
};

// Copies the NBits-bit field at the cursor right-aligned into Dst[0..NBytes-1], most significant
// byte first, and advances the cursor. NBytes must be (NBits + 7) / 8. Reads only the bytes that
// hold bits of the field; checks nothing, so callers keep the field inside the buffer.
void ExtractBits(const std::uint8_t* Src, std::uint32_t& BytePos, std::uint32_t& BitPos,
                 std::uint32_t NBits, std::uint32_t NBytes, std::uint8_t* Dst);

// The same field as a number (NBits 1..32): what ExtractBits' Dst means read big-endian.
inline std::uint32_t ExtractValue(const std::uint8_t* Src, std::uint32_t& BytePos, std::uint32_t& BitPos,
                                  std::uint32_t NBits) {
    const std::uint32_t total = BitPos + NBits;
    const std::uint8_t* p = Src + BytePos;
    const std::uint32_t nbytes = (total + 7) / 8;
    std::uint64_t acc = 0;
    for (std::uint32_t i = 0; i < nbytes; ++i) acc = (acc << 8) | p[i];
    acc >>= nbytes * 8 - total;
    BytePos += total / 8;
    BitPos = total % 8;
    return static_cast<std::uint32_t>(acc & ((std::uint64_t(1) << NBits) - 1));
}

std::uint16_t Swap16(std::uint16_t v);
std::uint32_t Swap24(std::uint32_t v);
DescriptorParts SplitDescriptor(std::uint8_t first, std::uint8_t second);

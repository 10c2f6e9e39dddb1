#include "core/BitReader.h"

void ExtractBits(const std::uint8_t* Src, std::uint32_t& BytePos, std::uint32_t& BitPos, std::uint32_t NBits,
                 std::uint32_t NBytes, std::uint8_t* Dst) {
    if (NBits == 0) return;
    if (NBits <= 32) {
        std::uint32_t v = ExtractValue(Src, BytePos, BitPos, NBits);
        for (std::uint32_t i = NBytes; i > 0; --i) {
            Dst[i - 1] = static_cast<std::uint8_t>(v & 0xFF);
            v >>= 8;
        }
        return;
    }
    // Wider fields (character data): the leading partial byte, then whole bytes of the field.
    const std::uint32_t lead = NBits % 8;
    std::uint32_t out = 0;
    if (lead != 0) Dst[out++] = static_cast<std::uint8_t>(ExtractValue(Src, BytePos, BitPos, lead));
    while (out < NBytes) Dst[out++] = static_cast<std::uint8_t>(ExtractValue(Src, BytePos, BitPos, 8));
}

std::uint16_t Swap16(std::uint16_t v) { return static_cast<std::uint16_t>((v >> 8) | (v << 8)); }

std::uint32_t Swap24(std::uint32_t v) { return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF); }

DescriptorParts SplitDescriptor(std::uint8_t first, std::uint8_t second) {
    return DescriptorParts{static_cast<std::uint8_t>(first >> 6), static_cast<std::uint8_t>(first & 0x3F), second};
}

#include "support/DecoderHarness.h"

#include <algorithm>
#include <stdexcept>

#include "core/FileLoader.h"

DecoderHarness::DecoderHarness(const std::filesystem::path& File) : Buffer(MessageBufferSize, 0) {
    std::uint32_t length = 0;
    loaded = LoadBUFRFile(File, Buffer.data(), length);
    if (loaded) ParseBuffer(length);
}

DecoderHarness::DecoderHarness(const ByteVector& Bytes) : Buffer(MessageBufferSize, 0) {
    if (Bytes.size() > Buffer.size()) throw std::invalid_argument("message larger than the message buffer");
    std::copy(Bytes.begin(), Bytes.end(), Buffer.begin());
    loaded = true;
    ParseBuffer(static_cast<std::uint32_t>(Bytes.size()));
}

void DecoderHarness::ParseBuffer(std::uint32_t Length) { parsed = Message.Parse(Buffer.data(), Length); }

void DecoderHarness::IsolateSection4() {
    tBUFR_Section4_Data& s4 = *Message.Section4;
    const std::size_t size = s4.Length > 4 ? s4.Length - 4 : 0;
    isolated = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
    std::copy(s4.Data, s4.Data + size, isolated.get());
    s4.Data = isolated.get();
}

std::uint64_t DecoderHarness::Section4DataBits() const {
    const std::uint32_t length = Message.Section4->Length;
    return length > 4 ? std::uint64_t(length - 4) * 8 : 0;
}

ByteVector BuildMessage(const std::vector<std::uint32_t>& Descriptors, const BitWriter& Data,
                    std::optional<std::size_t> DataOctets, BufrBuilder Builder) {
    ByteVector octets = Data.Bytes();
    if (DataOctets) octets.resize(*DataOctets, 0);
    return Builder.Descriptors(Descriptors).Data(octets).Build();
}

#pragma once
// A message in a message buffer of its own, parsed, with a decoder over it stepped through its
// subsets the way the decode driver steps (SubsetSteps): scan, then one subset at a time.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/DecodeMessage.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"
#include "support/BufrBuilder.h"

class DecoderHarness {
public:
    // The first message of a file, loaded as the driver loads it. Loaded() is false when the file
    // holds no complete message.
    explicit DecoderHarness(const std::filesystem::path& File);
    // A built message (no bytes before "BUFR").
    explicit DecoderHarness(const ByteVector& Message);
    DecoderHarness(const DecoderHarness&) = delete;
    DecoderHarness& operator=(const DecoderHarness&) = delete;

    bool Loaded() const { return loaded; }
    bool Parsed() const { return parsed; }

    // ScanDescriptors.
    bool Scan() { return Decoder.ScanDescriptors(Message); }
    // The next subset at the cursor (SubsetSteps::Next): from the second on, Reset (true, false)
    // first, and false without decoding when not all descriptors were known.
    bool DecodeNext() { return steps.Next() == SubsetSteps::SubsetStep::Decoded; }

    // Moves the data of Section 4 into a heap block of exactly its size, so that a read past the
    // end of the section reaches outside any allocation (and the address sanitizer reports it).
    void IsolateSection4();
    // The end of Section 4's data, in bits from its first data octet.
    std::uint64_t Section4DataBits() const;
    std::uint64_t CursorBits() const { return steps.CursorBits(); }

    std::vector<std::uint8_t> Buffer;
    TBUFRMessage Message;
    tUAInBound Decoder;

private:
    SubsetSteps steps{Decoder, Message};

public:
    // The cursor, relative to the first data octet of Section 4.
    std::uint32_t& BytePos = steps.BytePos;
    std::uint32_t& BitPos = steps.BitPos;

private:
    void ParseBuffer(std::uint32_t Length);

    bool loaded = false;
    bool parsed = false;
    std::unique_ptr<std::uint8_t[]> isolated;
};

// A message built on Builder with these descriptors, whose Section 4 holds the octets of Data, cut
// or completed with zero octets to DataOctets when that is given.
ByteVector BuildMessage(const std::vector<std::uint32_t>& Descriptors, const BitWriter& Data,
                    std::optional<std::size_t> DataOctets = std::nullopt, BufrBuilder Builder = BufrBuilder());

#pragma once
// One BUFR message from its bytes to decoded subsets: the one path that the window's DecodeFile,
// the batch run, the fuzz target and the robustness tests share.
#include <cstdint>

#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

// The subsets of one scanned message, decoded one after another from the first with one Section 4
// read cursor, and the one rule of stepping through them.
class SubsetSteps {
public:
    enum class SubsetStep {
        Decoded,     // the decoder holds the next subset
        NotDecoded,  // DecodeData returned false
        Unknown,     // not decoded: not all descriptors were known, so no subset after the first is
    };

    SubsetSteps(tUAInBound& Decoder, TBUFRMessage& Message) : decoder(Decoder), message(Message) {}

    // Decodes the next subset at the cursor. From the second on, Reset (true, false) first: the
    // values of the subset before are emptied; then, when not all descriptors were known, nothing
    // more (Unknown), and the decoder stays emptied. Raises what DecodeData raises.
    SubsetStep Next();

    // How many subsets were decoded.
    std::uint32_t Decoded() const { return decoded; }
    // Where the cursor stands, in bits from the first data octet of Section 4.
    std::uint64_t CursorBits() const { return std::uint64_t(BytePos) * 8 + BitPos; }

    std::uint32_t BytePos = 0, BitPos = 0;

private:
    tUAInBound& decoder;
    TBUFRMessage& message;
    std::uint32_t decoded = 0;
};

// What the caller of DecodeMessage does with the message: told when it is parsed and scanned, and
// after every subset decoded.
class SubsetSink {
public:
    virtual ~SubsetSink() = default;
    // Message is parsed and its data description scanned: how many subsets to decode, from the
    // first (0: none).
    virtual std::uint32_t Scanned(const TBUFRMessage& Message) = 0;
    // Decoder holds subset Index (from 0), and the cursor stands at CursorBits. False decodes no
    // more subsets.
    virtual bool Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t CursorBits) = 0;
};

enum class DecodedMessageEnd {
    NotParsed,      // Parse returned false: nothing more was done
    NoDescriptors,  // ScanDescriptors returned false
    NotDecoded,     // DecodeData returned false for a subset
    Decoded,        // the subsets asked for are decoded, or those up to where the sink stopped
    Unknown,        // a subset after the first was not decoded: not all descriptors were known
};

struct DecodedMessage {
    DecodedMessageEnd End = DecodedMessageEnd::NotParsed;
    std::uint32_t Subsets = 0;  // how many were decoded
};

// Parses the message Data[0..Length) (from "BUFR" to its closing "7777"; it is decoded in place,
// the sections point into Data) into Message, scans its data description on Decoder, then decodes
// as many subsets as the sink asks for with SubsetSteps. The caller owns the bytes: the batch run
// and the window pass the message buffer, the fuzz target a heap block of exactly Length octets.
// Raises what the parser, the scan, the decoder and the sink raise.
DecodedMessage DecodeMessage(const std::uint8_t* Data, std::uint32_t Length, TBUFRMessage& Message,
                             tUAInBound& Decoder, SubsetSink& Sink);

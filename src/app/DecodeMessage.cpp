#include "app/DecodeMessage.h"

SubsetSteps::SubsetStep SubsetSteps::Next() {
    if (decoded > 0) {
        decoder.Reset(true, false);
        if (!decoder.AllKnown) return SubsetStep::Unknown;
    }
    if (!decoder.DecodeData(message, BytePos, BitPos)) return SubsetStep::NotDecoded;
    ++decoded;
    return SubsetStep::Decoded;
}

DecodedMessage DecodeMessage(const std::uint8_t* Data, std::uint32_t Length, TBUFRMessage& Message,
                             tUAInBound& Decoder, SubsetSink& Sink) {
    if (!Message.Parse(Data, Length)) return {DecodedMessageEnd::NotParsed, 0};
    if (!Decoder.ScanDescriptors(Message)) return {DecodedMessageEnd::NoDescriptors, 0};
    const std::uint32_t count = Sink.Scanned(Message);
    SubsetSteps steps(Decoder, Message);
    while (steps.Decoded() < count) {
        switch (steps.Next()) {
            case SubsetSteps::SubsetStep::NotDecoded: return {DecodedMessageEnd::NotDecoded, steps.Decoded()};
            case SubsetSteps::SubsetStep::Unknown: return {DecodedMessageEnd::Unknown, steps.Decoded()};
            case SubsetSteps::SubsetStep::Decoded: break;
        }
        if (!Sink.Decoded(Decoder, steps.Decoded() - 1, steps.CursorBits())) break;
    }
    return {DecodedMessageEnd::Decoded, steps.Decoded()};
}

#include "app/DecodeMessage.h"

TSubsetSteps::TStep TSubsetSteps::Next() {
    if (decoded > 0) {
        decoder.Reset(true, false);
        if (!decoder.AllKnown) return TStep::Unknown;
    }
    if (!decoder.DecodeData(message, BytePos, BitPos)) return TStep::NotDecoded;
    ++decoded;
    return TStep::Decoded;
}

TMessageResult DecodeMessage(const std::uint8_t* Data, std::uint32_t Length, TBUFRMessage& Message,
                             tUAInBound& Decoder, TSubsetSink& Sink) {
    if (!Message.Parse(Data, Length)) return {TMessageEnd::NotParsed, 0};
    if (!Decoder.ScanDescriptors(Message)) return {TMessageEnd::NoDescriptors, 0};
    const std::uint32_t count = Sink.Scanned(Message);
    TSubsetSteps steps(Decoder, Message);
    while (steps.Decoded() < count) {
        switch (steps.Next()) {
            case TSubsetSteps::TStep::NotDecoded: return {TMessageEnd::NotDecoded, steps.Decoded()};
            case TSubsetSteps::TStep::Unknown: return {TMessageEnd::Unknown, steps.Decoded()};
            case TSubsetSteps::TStep::Decoded: break;
        }
        if (!Sink.Decoded(Decoder, steps.Decoded() - 1, steps.CursorBits())) break;
    }
    return {TMessageEnd::Decoded, steps.Decoded()};
}

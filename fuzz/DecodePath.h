#pragma once
// The batch run of EXPORT over a file held in memory: locate the first message, then the program's
// own BatchRun (DecodeMessage: parse, scan, every subset through SubsetSteps; each subset's dump,
// report and file name). Shared by the fuzz target and the robustness tests, so that both drive the
// code that runs in production; only the file is not read and the texts are not written.
//
// The located message is copied into a heap block of exactly its length (not into the 655360-byte
// message buffer), so that a read past the end of the message reaches outside any allocation and
// the address sanitizer reports it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/DecodeDriver.h"
#include "core/FileLoader.h"
#include "core/Lines.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

enum class DecodeEnd {
    TooLarge,       // over the loader's file size limit: refused before anything is read
    NoMessage,      // no "BUFR" with a closing run of '7's: the loader's false
    NotParsed,      // Parse returned false
    NoDescriptors,  // ScanDescriptors returned false
    NotDecoded,     // DecodeData returned false
    Report,         // at least one subset's text was written
    NoSubsets,      // the message declares no subset: no text
};

struct DecodeResult {
    DecodeEnd End = DecodeEnd::NoMessage;
    std::uint32_t SubsetsDecoded = 0;
};

// The batch run with one economy: a subset that did not move the cursor leaves every later one to
// decode the same way, so the run stops there. Keeps the last text instead of writing it.
class InMemoryBatchRun : public BatchRun {
public:
    explicit InMemoryBatchRun(LineList& Last)
        : BatchRun(true, "fuzz.bufr", [&Last](const LineList& text, const std::string&) { Last = text; }) {}

    bool Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t CursorBits) override {
        const bool goOn = BatchRun::Decoded(Decoder, Index, CursorBits);
        const bool moved = Index == 0 || CursorBits != lastCursor;
        lastCursor = CursorBits;
        return goOn && moved;
    }

private:
    std::uint64_t lastCursor = 0;
};

// Lines receives the text of the last subset decoded (the earlier ones are dropped as they are
// replaced, to keep memory bounded for messages that declare many subsets). Not all descriptors
// known ends the run after the first subset's text, as in the batch run, and counts as a report.
// Raises what the path raises: TavikError for the specified failures; anything else is a fault.
inline DecodeResult DecodeBytes(const std::uint8_t* Data, std::size_t Size, LineList& Lines) {
    DecodeResult result;
    Lines.clear();
    if (Size > MaxBUFRFileSize) {
        result.End = DecodeEnd::TooLarge;
        return result;
    }
    std::size_t start = 0, length = 0;
    if (!LocateBUFRMessage(Data, Size, start, length)) return result;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
    std::memcpy(buffer.get(), Data + start, length);

    TBUFRMessage message;
    tUAInBound decoder;
    InMemoryBatchRun run(Lines);
    const DecodedMessage end = run.Run(buffer.get(), static_cast<std::uint32_t>(length), message, decoder);
    result.SubsetsDecoded = end.Subsets;
    switch (end.End) {
        case DecodedMessageEnd::NotParsed: result.End = DecodeEnd::NotParsed; break;
        case DecodedMessageEnd::NoDescriptors: result.End = DecodeEnd::NoDescriptors; break;
        case DecodedMessageEnd::NotDecoded: result.End = DecodeEnd::NotDecoded; break;
        case DecodedMessageEnd::Unknown:
        case DecodedMessageEnd::Decoded: result.End = end.Subsets == 0 ? DecodeEnd::NoSubsets : DecodeEnd::Report; break;
    }
    return result;
}

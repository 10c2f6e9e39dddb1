#pragma once
// The batch run of EXPORT over a file held in memory: locate the first message, then the program's
// own TBatchRun (DecodeMessage: parse, scan, every subset through TSubsetSteps; each subset's dump,
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

enum class TDecodeEnd {
    TooLarge,       // over the loader's file size limit: refused before anything is read
    NoMessage,      // no "BUFR" with a closing run of '7's: the loader's false
    NotParsed,      // Parse returned false
    NoDescriptors,  // ScanDescriptors returned false
    NotDecoded,     // DecodeData returned false
    Report,         // at least one subset's text was written
    NoSubsets,      // the message declares no subset: no text
};

struct TDecodeResult {
    TDecodeEnd End = TDecodeEnd::NoMessage;
    std::uint32_t SubsetsDecoded = 0;
};

// The batch run with one economy: a subset that did not move the cursor leaves every later one to
// decode the same way, so the run stops there. Keeps the last text instead of writing it.
class TInMemoryBatchRun : public TBatchRun {
public:
    explicit TInMemoryBatchRun(TLines& Last)
        : TBatchRun(true, "fuzz.bufr", [&Last](const TLines& text, const std::string&) { Last = text; }) {}

    bool Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t CursorBits) override {
        const bool goOn = TBatchRun::Decoded(Decoder, Index, CursorBits);
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
inline TDecodeResult DecodeBytes(const std::uint8_t* Data, std::size_t Size, TLines& Lines) {
    TDecodeResult result;
    Lines.clear();
    if (Size > MaxBUFRFileSize) {
        result.End = TDecodeEnd::TooLarge;
        return result;
    }
    std::size_t start = 0, length = 0;
    if (!LocateBUFRMessage(Data, Size, start, length)) return result;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
    std::memcpy(buffer.get(), Data + start, length);

    TBUFRMessage message;
    tUAInBound decoder;
    TInMemoryBatchRun run(Lines);
    const TMessageResult end = run.Run(buffer.get(), static_cast<std::uint32_t>(length), message, decoder);
    result.SubsetsDecoded = end.Subsets;
    switch (end.End) {
        case TMessageEnd::NotParsed: result.End = TDecodeEnd::NotParsed; break;
        case TMessageEnd::NoDescriptors: result.End = TDecodeEnd::NoDescriptors; break;
        case TMessageEnd::NotDecoded: result.End = TDecodeEnd::NotDecoded; break;
        case TMessageEnd::Unknown:
        case TMessageEnd::Decoded: result.End = end.Subsets == 0 ? TDecodeEnd::NoSubsets : TDecodeEnd::Report; break;
    }
    return result;
}

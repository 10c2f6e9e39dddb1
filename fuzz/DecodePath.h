#pragma once
// The decode path of the batch decode run over a file held in memory: locate the first message,
// parse it, scan its data description, dump the sections, decode every subset and write each
// report. Shared by the fuzz target and the robustness tests, so that both drive the same code.
//
// The located message is copied into a heap block of exactly its length (not into the 655360-byte
// message buffer), so that a read past the end of the message reaches outside any allocation and
// the address sanitizer reports it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/FileLoader.h"
#include "core/Lines.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

enum class TDecodeEnd {
    TooLarge,       // over the loader's file size limit: refused before anything is read
    NoMessage,      // no "BUFR" with a closing run of '7's: the loader's false
    NotParsed,      // Parse returned false
    NoDescriptors,  // ScanDescriptors returned false
    Report,         // the dump and at least one subset's report were written
    NoSubsets,      // the message declares no subset: the dump only
};

struct TDecodeResult {
    TDecodeEnd End = TDecodeEnd::NoMessage;
    std::uint32_t SubsetsDecoded = 0;
};

// Lines receives the dump and the report of the last subset decoded (earlier reports are dropped
// as they are replaced, to keep memory bounded for messages that declare many subsets). Raises
// what the path raises: TavikError for the specified failures; anything else is a fault.
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
    if (!message.Parse(buffer.get(), static_cast<std::uint32_t>(length))) {
        result.End = TDecodeEnd::NotParsed;
        return result;
    }
    if (!decoder.ScanDescriptors(message)) {
        result.End = TDecodeEnd::NoDescriptors;
        return result;
    }
    message.DumpSections(&Lines);
    const std::size_t headerLines = Lines.size();

    const std::uint32_t count = message.Section3->NumSubsets;
    std::uint32_t bytePos = 0, bitPos = 0;
    for (std::uint32_t j = 0; j < count; ++j) {
        const std::uint64_t before = std::uint64_t(bytePos) * 8 + bitPos;
        if (!decoder.DecodeData(message, bytePos, bitPos)) break;
        Lines.resize(headerLines);
        decoder.WriteReport(&Lines);
        decoder.StationText();
        decoder.LaunchTimeText();
        ++result.SubsetsDecoded;
        if (!decoder.AllKnown) break;  // the batch run stops after the first subset then
        // A subset that did not move the cursor leaves every later one to decode the same way.
        if (j > 0 && std::uint64_t(bytePos) * 8 + bitPos == before) break;
        if (j + 1 < count) decoder.Reset(true, false);
    }
    result.End = count == 0 ? TDecodeEnd::NoSubsets : TDecodeEnd::Report;
    return result;
}

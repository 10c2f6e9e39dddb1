// libFuzzer entry: one input is one file as it arrives. The decode path may end with a report or
// with the system's own errors; anything else escaping (another exception, a sanitizer report, a
// crash) is a finding.
#include <cstddef>
#include <cstdint>

#include "DecodePath.h"
#include "core/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    LineList lines;
    try {
        DecodeBytes(Data, Size, lines);
    } catch (const TavikError&) {
    } catch (const SilentAbort&) {
    }
    return 0;
}

// All indices of a sounding: the profile cleaned from the decoded levels, then the three parcels
// (LCL, LFC, EL, CAPE and CIN with and without the virtual correction, their paths and areas),
// the level indices, precipitable water, freezing levels, tropopauses and maximum wind. Target:
// under 10 ms for the 8000-level fixture.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/FileLoader.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"
#include "products/SoundingIndices.h"

#ifndef TAVIK_SHARED_DIR
#define TAVIK_SHARED_DIR "../shared"
#endif

namespace {

const std::string HiresPath = TAVIK_SHARED_DIR "/fixtures/temp52_ed4_hires.bufr";
const std::string DeBiltPath = TAVIK_SHARED_DIR "/realdata/11_knmi_debilt_309052_meta_205060_hires.bufr";

// The first subset of the file's first message, decoded once.
const tUAInBound& Decoded(const std::string& path) {
    static std::vector<std::pair<std::string, tUAInBound*>> done;
    for (const auto& [p, d] : done)
        if (p == path) return *d;
    static std::vector<std::uint8_t> buffer(MessageBufferSize);
    std::uint32_t length = 0;
    if (!LoadBUFRFile(path, buffer.data(), length)) throw std::runtime_error("no BUFR message in " + path);
    auto* message = new TBUFRMessage;
    auto* decoder = new tUAInBound;
    if (!message->Parse(buffer.data(), length) || !decoder->ScanDescriptors(*message))
        throw std::runtime_error("cannot decode " + path);
    std::uint32_t bytePos = 0, bitPos = 0;
    decoder->DecodeData(*message, bytePos, bitPos);
    done.emplace_back(path, decoder);
    return *decoder;
}

void BM_Profile(benchmark::State& state, const std::string& path) {
    const tUAInBound& sounding = Decoded(path);
    for (auto _ : state) benchmark::DoNotOptimize(products::BuildSoundingProfile(sounding));
    state.counters["levels"] = static_cast<double>(sounding.Levels.size());
}

void BM_AllIndices(benchmark::State& state, const std::string& path) {
    const tUAInBound& sounding = Decoded(path);
    std::size_t kept = 0;
    for (auto _ : state) {
        const products::SoundingProfile profile = products::BuildSoundingProfile(sounding);
        benchmark::DoNotOptimize(products::ComputeIndices(profile));
        kept = profile.levels.size();
    }
    state.counters["levels"] = static_cast<double>(sounding.Levels.size());
    state.counters["kept"] = static_cast<double>(kept);
}

void BM_PanelLines(benchmark::State& state, const std::string& path) {
    const products::SoundingIndices indices = products::ComputeIndices(products::BuildSoundingProfile(Decoded(path)));
    for (auto _ : state) benchmark::DoNotOptimize(products::IndexPanelLines(indices));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Profile, Hires, HiresPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AllIndices, Hires, HiresPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AllIndices, DeBilt, DeBiltPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PanelLines, Hires, HiresPath)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

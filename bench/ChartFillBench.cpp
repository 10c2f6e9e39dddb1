// The primary load of the 8000-level high-resolution sounding as the window runs it, from the file
// name to the charts filled: DecodeFile (loading, parsing, scan, decode and the listing) followed by
// ClearPrimarySeries and FillPrimarySeries, in pressure and in height mode with the significant
// levels shown. The fill alone is measured beside it. The charts are built once, as the window
// builds them, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>

#include <QApplication>

#include "app/DecodeDriver.h"
#include "app/Prompts.h"
#include "chart/Series.h"
#include "ui/ProfileCharts.h"

#ifndef TAVIK_SHARED_DIR
#define TAVIK_SHARED_DIR "../shared"
#endif

namespace {

const std::string HiresPath = TAVIK_SHARED_DIR "/fixtures/temp52_ed4_hires.bufr";

// A one-subset file asks nothing; any question would be a fault of the set-up.
class NoPrompts : public DecodePrompts {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

struct Charts {
    ProfileChartOptions options;
    ProfileCharts charts{[this] { return options; }, nullptr};
};

// Made in main, after the application object and gone before it.
Charts* theCharts = nullptr;

Charts& TheCharts() { return *theCharts; }

void SetMode(benchmark::State& state) {
    TheCharts().options.LeftAxisP = state.range(0) != 0;
    TheCharts().options.ShowSig = true;
    TheCharts().options.CombineTU = true;
}

void BM_LoadPrimaryToChartsFilled(benchmark::State& state) {
    SetMode(state);
    ProfileCharts& charts = TheCharts().charts;
    NoPrompts prompts;
    LineList lines;
    for (auto _ : state) {
        charts.ClearPrimarySeries();
        if (!DecodeFile(HiresPath, true, lines, prompts)) {
            state.SkipWithError("the high-resolution fixture does not decode");
            return;
        }
        charts.FillPrimarySeries(UAPrimary);
        benchmark::DoNotOptimize(charts.TSeries->Count());
    }
    state.counters["levels"] = UAPrimary.LevelCount;
    state.counters["points"] = charts.TSeries->Count() + charts.USeries->Count() + charts.DSeries->Count() +
                               charts.VSeries->Count() + charts.XYSeries->Count() + charts.p3D->Count() +
                               charts.HSeries->Count() + charts.VAscSeries->Count() + charts.TSigSeries->Count() +
                               charts.USigSeries->Count() + charts.DSigSeries->Count() + charts.VSigSeries->Count();
}

void BM_FillPrimarySeries(benchmark::State& state) {
    SetMode(state);
    ProfileCharts& charts = TheCharts().charts;
    NoPrompts prompts;
    LineList lines;
    if (!DecodeFile(HiresPath, true, lines, prompts)) {
        state.SkipWithError("the high-resolution fixture does not decode");
        return;
    }
    for (auto _ : state) {
        charts.ClearPrimarySeries();
        charts.FillPrimarySeries(UAPrimary);
        benchmark::DoNotOptimize(charts.TSeries->Count());
    }
}

BENCHMARK(BM_LoadPrimaryToChartsFilled)->ArgName("pressure")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillPrimarySeries)->ArgName("pressure")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseDecimalPoint();
    Charts charts;
    theCharts = &charts;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

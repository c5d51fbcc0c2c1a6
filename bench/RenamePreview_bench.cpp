// The preview's computation alone (RenamePreview::Forecast, on the calling thread, no window) over
// a million files of one folder on tmpfs, for the sequential, string and case pages: the CPU time of
// one preview, and the memory its computation adds at its peak over what was resident before it.
// The window's bench (Preview_bench) times the same with the pause and the painting; this one is
// the figure to compare on a busy machine, and the program to profile.
//
//   build-release/RenamePreview_bench
//
// QUORBEL_PREVIEW_FILES names a folder of such files made beforehand (IMG_0000000.jpg ...), kept
// afterwards: a profile then sees the previews alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/names/CaseConvert.h"
#include "core/run/RenamePreview.h"

namespace {

constexpr int kFiles = 1000000;

std::string FileName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%07d.jpg", i);
    return name;
}

// The paths as a loaded list holds them: sorted, their bytes allocated in the order the folder
// was read and the list sorted, not one after another in the order of the rows. The list they
// were copied from stays, so that its freed memory does not lower the peaks measured.
std::vector<std::string> Scattered(std::vector<std::string> sorted) {
    static std::vector<std::string> kept;
    std::vector<std::size_t> order(sorted.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::shuffle(order.begin(), order.end(), std::mt19937(21));
    std::vector<std::string> paths(sorted.size());
    for (const std::size_t row : order)
        paths[row] = sorted[row];
    kept = std::move(sorted);
    return paths;
}

const std::vector<std::string>& Paths() {
    static const char* const given = std::getenv("QUORBEL_PREVIEW_FILES");
    static const std::vector<std::string> paths = [] {
        if (given != nullptr) return Scattered(RunBench::Paths(given, kFiles, FileName));
        static const RunBench::TScratchFolder root("/dev/shm", "qrpreview");
        const std::string folder = root.Path() + "/files";
        if (!RunBench::MakeFiles(folder, kFiles, FileName)) return std::vector<std::string>();
        return Scattered(RunBench::Paths(folder, kFiles, FileName));
    }();
    return paths;
}

// Resets the peak resident size the kernel keeps for this process.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void Measure(benchmark::State& s, const RenamePreview::Inputs& inputs) {
    const std::vector<std::string>& paths = Paths();
    if (paths.empty()) {
        s.SkipWithError("the files could not be made");
        return;
    }
    double peakPerRow = 0;
    for (auto _ : s) {
        const double before = RunBench::StatusMegabytes("VmRSS:");
        ResetPeak();
        RenamePreview::Result result = RenamePreview::Forecast(paths, inputs, nullptr);
        const double peak = RunBench::StatusMegabytes("VmHWM:");
        peakPerRow = std::max(peakPerRow, (peak - before) * 1024 * 1024 / kFiles);
        benchmark::DoNotOptimize(result);
    }
    s.counters["peak_B_per_row"] = peakPerRow;
}

void BM_Sequential(benchmark::State& s) {
    SequentialNames::Options options;
    options.leadingText = std::string("ab");  // gcc 12 warns wrongly of an overlap for a literal
    options.startValue = "1";
    Measure(s, RenamePreview::Sequential{options});
}

void BM_String(benchmark::State& s) {
    Measure(s, RenamePreview::StringPage{.target = "IMG_", .replacement = "x"});
}

void BM_Case(benchmark::State& s) {
    // Upper case: every name changes its extension.
    Measure(s, RenamePreview::CaseConversion{CaseConvert::ConversionMode(0, false, false)});
}

}  // namespace

BENCHMARK(BM_Sequential)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_String)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Case)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

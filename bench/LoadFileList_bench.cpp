// Loading 100 folders x 1,000 files recursively into the main window (offscreen), against
// `find DIR -type f | LC_ALL=C sort` on the same tree in the same run. The tree lives on tmpfs
// (/dev/shm) and is removed afterwards. Reports the ratio to find and the peak memory.
//
//   build-release/LoadFileList_bench
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RunBench.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

double findSeconds = 0;

// Half the folders hold ASCII names, half Japanese ones, so the codec is part of the cost.
bool MakeTree(const std::string& root) {
    for (int f = 0; f < kFolders; ++f) {
        const bool ascii = f % 2 == 0;
        char folder[64];
        std::snprintf(folder, sizeof folder, ascii ? "/folder_%03d" : "/フォルダ_%03d", f);
        const auto name = [ascii](int i) {
            char text[64];
            std::snprintf(text, sizeof text, ascii ? "IMG_%04d.jpg" : "写真_%04d.JPG", (i * 7919) % 10000);
            return std::string(text);
        };
        if (!RunBench::MakeFiles(root + folder, kFilesPerFolder, name)) return false;
    }
    return true;
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_FindSort(benchmark::State& s) {
    const std::string command = "find '" + RunBench::Root() + "' -type f | LC_ALL=C sort > /dev/null";
    double total = 0;
    for (auto _ : s) {
        const auto start = RunBench::Clock::now();
        if (std::system(command.c_str()) != 0) s.SkipWithError("find failed");
        total += RunBench::SecondsSince(start);
    }
    findSeconds = total / static_cast<double>(s.iterations());
}

void BM_LoadFileList(benchmark::State& s) {
    TFmMein& window = RunBench::Window();
    auto* grid = window.findChild<TMyStringGrid*>(QStringLiteral("MySG"));
    window.findChild<TRadioGroup*>(QStringLiteral("RG1"))->SetItemIndex(0);  // with subfolders
    const std::vector<std::string> entries = {Cp932::FromUtf8(RunBench::Root()).value()};
    double total = 0;
    for (auto _ : s) {
        const auto start = RunBench::Clock::now();
        grid->ClearRows();
        window.Pairs.Load({});
        window.LoadFileList(entries);
        total += RunBench::SecondsSince(start);
    }
    if (window.Pairs.Size() != static_cast<std::size_t>(kFolders) * kFilesPerFolder) {
        s.SkipWithError("not every file was listed");
    }
    const double seconds = total / static_cast<double>(s.iterations());
    s.counters["rows"] = static_cast<double>(grid->RowCount() - 1);
    s.counters["ratio_to_find"] = findSeconds > 0 ? seconds / findSeconds : 0;
    s.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}

// Painting the table scrolled to the middle of 100,000 rows against a table of 100 rows.
void PaintTable(benchmark::State& s, int rows, int topRow) {
    auto* grid = RunBench::Window().findChild<TMyStringGrid*>(QStringLiteral("MySG"));
    grid->SetRowCount(rows + 1);
    grid->SetTopRow(topRow);
    for (auto _ : s)
        benchmark::DoNotOptimize(grid->grab());
}
void BM_PaintMiddleOf100000(benchmark::State& s) {
    PaintTable(s, kFolders * kFilesPerFolder, 50000);
}
void BM_Paint100Rows(benchmark::State& s) {
    PaintTable(s, 100, 1);
}

}  // namespace

BENCHMARK(BM_FindSort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_LoadFileList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_PaintMiddleOf100000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Paint100Rows)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
    return RunBench::RunWithWindow(argc, argv, "quorbel-bench", MakeTree);
}

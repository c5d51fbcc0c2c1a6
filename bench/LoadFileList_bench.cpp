// Loading 100 folders x 1,000 files recursively into the main window (offscreen), against
// `find DIR -type f | LC_ALL=C sort` on the same tree in the same run. The tree lives on tmpfs
// (/dev/shm) and is removed afterwards. Reports the ratio to find and the peak memory.
//
//   build-window-rel/LoadFileList_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "SilentDialogs.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/Cp932.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

struct TState {
    std::string root;  // native
    std::unique_ptr<TFmMein> window;
    double findSeconds = 0;
} state;

// Half the folders hold ASCII names, half Japanese ones, so the codec is part of the cost.
void MakeTree() {
    char pattern[] = "/dev/shm/quorbel-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    state.root = pattern;
    for (int f = 0; f < kFolders; ++f) {
        char folder[64];
        std::snprintf(folder, sizeof folder, f % 2 == 0 ? "/folder_%03d" : "/フォルダ_%03d", f);
        const std::string dir = state.root + folder;
        fs::create_directory(dir);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, f % 2 == 0 ? "/IMG_%04d.jpg" : "/写真_%04d.JPG",
                          (i * 7919) % 10000);
            const int fd = ::open((dir + name).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd >= 0) ::close(fd);
        }
    }
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_FindSort(benchmark::State& s) {
    const std::string command = "find '" + state.root + "' -type f | LC_ALL=C sort > /dev/null";
    double total = 0;
    for (auto _ : s) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) s.SkipWithError("find failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.findSeconds = total / static_cast<double>(s.iterations());
}

void BM_LoadFileList(benchmark::State& s) {
    TFmMein& window = *state.window;
    auto* grid = window.findChild<TMyStringGrid*>(QStringLiteral("MySG"));
    window.findChild<TRadioGroup*>(QStringLiteral("RG1"))->SetItemIndex(0);  // with subfolders
    const std::vector<std::string> entries = {Cp932::FromUtf8(state.root).value()};
    double total = 0;
    for (auto _ : s) {
        const auto start = std::chrono::steady_clock::now();
        grid->ClearRows();
        window.OrgPathList.clear();
        window.LoadFileList(entries);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (window.OrgPathList.size() != static_cast<std::size_t>(kFolders * kFilesPerFolder)) {
        s.SkipWithError("not every file was listed");
    }
    const double seconds = total / static_cast<double>(s.iterations());
    s.counters["rows"] = static_cast<double>(grid->RowCount() - 1);
    s.counters["ratio_to_find"] = state.findSeconds > 0 ? seconds / state.findSeconds : 0;
    s.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}

// Painting the table scrolled to the middle of 100,000 rows against a table of 100 rows.
void PaintTable(benchmark::State& s, int rows, int topRow) {
    auto* grid = state.window->findChild<TMyStringGrid*>(QStringLiteral("MySG"));
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
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    MakeTree();
    state.window =
        std::make_unique<TFmMein>(state.root + "/quorbel-bench.ini", std::make_unique<TSilentDialogs>());
    state.window->show();
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    state.window.reset();
    std::error_code ec;
    fs::remove_all(state.root, ec);
    return 0;
}

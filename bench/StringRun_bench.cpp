// A string rename (a star target) over 100,000 files in one folder, through the Go button of the
// main window (offscreen), from the click to the state after the run; against a C loop doing
// lstat(new) and renameat2(RENAME_NOREPLACE) for each file of a second folder of the same size, in
// the same iterations. Both folders live on tmpfs (/dev/shm) and are removed afterwards. The list
// is loaded before each timed click, outside the timing.
//
// Each iteration renames "<p>_000001.jpg" to "A<g>_000001.jpg" with the target "<p>*_" and the
// replacement "A<g>_", where <p> is the previous prefix ("IMG" at first).
//
//   build-release/StringRun_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SilentDialogs.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/Cp932.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.3;

struct TState {
    std::string root;        // native
    std::string loopFolder;  // renamed by the C loop
    std::string runFolder;   // renamed by the window
    std::unique_ptr<TFmMein> window;
    TSilentDialogs* dialogs = nullptr;
    double loopSeconds = 0;
    double runSeconds = 0;
} state;

std::string Prefix(int generation) {
    if (generation == 0) return "IMG";
    std::string prefix = "A";
    prefix += std::to_string(generation);
    return prefix;
}

std::string Name(int generation, int i) {
    char number[16];
    std::snprintf(number, sizeof number, "_%06d.jpg", i);
    return Prefix(generation) + number;
}

void MakeFolder(const std::string& folder) {
    fs::create_directory(folder);
    for (int i = 0; i < kFiles; ++i) {
        const int fd = ::open((folder + "/" + Name(0, i)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd >= 0) ::close(fd);
    }
}

void MakeTree() {
    char pattern[] = "/dev/shm/quorbel-strbench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    state.root = pattern;
    state.loopFolder = state.root + "/loop";
    state.runFolder = state.root + "/run";
    MakeFolder(state.loopFolder);
    MakeFolder(state.runFolder);
}

std::vector<std::string> LoopPaths(int generation) {
    std::vector<std::string> paths;
    paths.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i)
        paths.push_back(state.loopFolder + "/" + Name(generation, i));
    return paths;
}

// What the run must at least do for each file: look at the new name, rename without replacing.
double RunLoop(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    const auto start = std::chrono::steady_clock::now();
    struct stat info {};
    int failures = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (::lstat(to[i].c_str(), &info) == 0 ||
            ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) != 0) {
            ++failures;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failures != 0) std::fprintf(stderr, "C loop: %d renames failed\n", failures);
    return seconds;
}

void BM_StringRun(benchmark::State& s) {
    TFmMein& window = *state.window;
    auto* grid = window.findChild<TMyStringGrid*>(QStringLiteral("MySG"));
    auto* edit6 = window.findChild<QComboBox*>(QStringLiteral("Edit6"));
    auto* edit7 = window.findChild<QComboBox*>(QStringLiteral("Edit7"));
    auto* btGo = window.findChild<QPushButton*>(QStringLiteral("btGo"));
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet2")));
    const std::vector<std::string> entries = {Cp932::FromUtf8(state.runFolder).value()};
    int generation = 0;
    double loopTotal = 0;
    double runTotal = 0;
    for (auto _ : s) {
        ++generation;
        loopTotal += RunLoop(LoopPaths(generation - 1), LoopPaths(generation));

        grid->ClearRows();
        window.OrgPathList.clear();
        window.LoadFileList(entries);
        edit6->setEditText(QString::fromStdString(Prefix(generation - 1) + "*_"));
        edit7->setEditText(QString::fromStdString(Prefix(generation) + "_"));
        state.dialogs->messages.clear();

        const auto start = std::chrono::steady_clock::now();
        window.btGoClick();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        runTotal += seconds;
        s.SetIterationTime(seconds);

        if (btGo->isEnabled() || state.dialogs->messages != std::vector<QString>{"処理は完了しました"} ||
            window.NewPathList.size() != static_cast<std::size_t>(kFiles) ||
            !fs::exists(state.runFolder + "/" + Name(generation, kFiles - 1))) {
            s.SkipWithError("the run did not rename every file");
            break;
        }
    }
    const auto n = static_cast<double>(s.iterations());
    state.loopSeconds = loopTotal / n;
    state.runSeconds = runTotal / n;
    s.counters["c_loop_ms"] = state.loopSeconds * 1000;
    s.counters["ratio_to_c_loop"] = state.loopSeconds > 0 ? state.runSeconds / state.loopSeconds : 0;
}

}  // namespace

BENCHMARK(BM_StringRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    MakeTree();
    auto dialogs = std::make_unique<TSilentDialogs>();
    state.dialogs = dialogs.get();
    state.window = std::make_unique<TFmMein>(state.root + "/quorbel-bench.ini", std::move(dialogs));
    state.window->show();
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    state.window.reset();
    std::error_code ec;
    fs::remove_all(state.root, ec);
    if (state.loopSeconds > 0) {
        const double ratio = state.runSeconds / state.loopSeconds;
        std::printf("String run of %d files: %.1f ms; C loop: %.1f ms; ratio %.2f (allowed %.1f): %s\n",
                    kFiles, state.runSeconds * 1000, state.loopSeconds * 1000, ratio, kAllowedRatio,
                    ratio <= kAllowedRatio ? "within" : "MISSED");
    }
    return 0;
}

// The two runs of the その他の処理 page over 100,000 files in one folder, through the Go button of
// the main window (offscreen), from the click to the state after the run: the case conversion to
// upper case (mode 0) and the digit alignment. Each against a C loop doing lstat(new) and
// renameat2(RENAME_NOREPLACE) for the same renames in a second folder of the same size, in the same
// iterations. Both folders live on tmpfs (/dev/shm) and are removed afterwards. Between iterations
// both folders get their old names back and the list is loaded again, outside the timing.
//
//   build-release/OtherRun_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SilentDialogs.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/Cp932.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.3;

struct TResult {
    const char* what;
    double runSeconds = 0;
    double loopSeconds = 0;
};

struct TState {
    std::string root;
    std::unique_ptr<TFmMein> window;
    TSilentDialogs* dialogs = nullptr;
    std::vector<TResult> results;
} state;

using NameOf = std::function<std::string(int)>;

std::string CaseOld(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "img_%06d.jpg", i);
    return name;
}
std::string CaseNew(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%06d.JPG", i);
    return name;
}
// img1.jpg ... img100000.jpg: all but the last get zeros.
std::string DigitOld(int i) {
    return "img" + std::to_string(i + 1) + ".jpg";
}
std::string DigitNew(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "img%06d.jpg", i + 1);
    return name;
}

void MakeFolder(const std::string& folder, const NameOf& name) {
    fs::create_directory(folder);
    for (int i = 0; i < kFiles; ++i) {
        const int fd = ::open((folder + "/" + name(i)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd >= 0) ::close(fd);
    }
}

std::vector<std::string> Paths(const std::string& folder, const NameOf& name) {
    std::vector<std::string> paths;
    paths.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i)
        paths.push_back(folder + "/" + name(i));
    return paths;
}

// What the run must at least do for each file that changes: look at the new name, rename without
// replacing.
double RunLoop(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    const auto start = std::chrono::steady_clock::now();
    struct stat info {};
    int failures = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] == to[i]) continue;
        if (::lstat(to[i].c_str(), &info) == 0 ||
            ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) != 0) {
            ++failures;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failures != 0) std::fprintf(stderr, "C loop: %d renames failed\n", failures);
    return seconds;
}

void RenameBack(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] != to[i]) ::rename(to[i].c_str(), from[i].c_str());
    }
}

// One benchmark: the window's run over one folder, the C loop over another, the same renames.
void MeasureRun(benchmark::State& s, const char* what, const NameOf& oldName, const NameOf& newName,
                const std::function<void(TFmMein&)>& setOptions, std::size_t expectedRenames) {
    TFmMein& window = *state.window;
    const std::string loopFolder = state.root + "/" + what + "-loop";
    const std::string runFolder = state.root + "/" + what + "-run";
    MakeFolder(loopFolder, oldName);
    MakeFolder(runFolder, oldName);
    const std::vector<std::string> loopFrom = Paths(loopFolder, oldName);
    const std::vector<std::string> loopTo = Paths(loopFolder, newName);
    const std::vector<std::string> runFrom = Paths(runFolder, oldName);
    const std::vector<std::string> runTo = Paths(runFolder, newName);
    auto* grid = window.findChild<TMyStringGrid*>(QStringLiteral("MySG"));
    auto* btGo = window.findChild<QPushButton*>(QStringLiteral("btGo"));
    const std::vector<std::string> entries = {Cp932::FromUtf8(runFolder).value()};

    double loopTotal = 0;
    double runTotal = 0;
    for (auto _ : s) {
        loopTotal += RunLoop(loopFrom, loopTo);

        grid->ClearRows();
        window.OrgPathList.clear();
        window.LoadFileList(entries);
        setOptions(window);
        state.dialogs->messages.clear();

        const auto start = std::chrono::steady_clock::now();
        window.btGoClick();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        runTotal += seconds;
        s.SetIterationTime(seconds);

        if (btGo->isEnabled() || state.dialogs->messages != std::vector<QString>{"処理は完了しました"} ||
            window.NewPathList.size() != expectedRenames || !fs::exists(runTo.front()) ||
            fs::exists(runFrom.front())) {
            s.SkipWithError("the run did not rename every file");
            break;
        }
        RenameBack(loopFrom, loopTo);
        RenameBack(runFrom, runTo);
    }
    const auto n = static_cast<double>(s.iterations());
    state.results.push_back({what, runTotal / n, loopTotal / n});
    s.counters["c_loop_ms"] = loopTotal / n * 1000;
    s.counters["ratio_to_c_loop"] = loopTotal > 0 ? runTotal / loopTotal : 0;
    fs::remove_all(loopFolder);
    fs::remove_all(runFolder);
}

void ShowOtherPage(TFmMein& window) {
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet3")));
}

void BM_CaseRun(benchmark::State& s) {
    MeasureRun(
        s, "case", CaseOld, CaseNew,
        [](TFmMein& window) {
            ShowOtherPage(window);
            window.findChild<QCheckBox*>(QStringLiteral("CB7"))->setChecked(false);
            window.findChild<QCheckBox*>(QStringLiteral("CB11"))->setChecked(true);
            window.findChild<TRadioGroup*>(QStringLiteral("RGTranc"))->SetItemIndex(0);
        },
        kFiles);
}

void BM_DigitAlignment(benchmark::State& s) {
    MeasureRun(
        s, "digits", DigitOld, DigitNew,
        [](TFmMein& window) {
            ShowOtherPage(window);
            window.findChild<QCheckBox*>(QStringLiteral("CB11"))->setChecked(false);
            window.findChild<QCheckBox*>(QStringLiteral("CB7"))->setChecked(true);
        },
        kFiles - 1);
}

}  // namespace

BENCHMARK(BM_CaseRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_DigitAlignment)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    char pattern[] = "/dev/shm/quorbel-otherbench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    state.root = pattern;
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
    for (const TResult& r : state.results) {
        if (r.loopSeconds <= 0) continue;
        const double ratio = r.runSeconds / r.loopSeconds;
        std::printf("%s run of %d files: %.1f ms; C loop: %.1f ms; ratio %.2f (allowed %.1f): %s\n", r.what,
                    kFiles, r.runSeconds * 1000, r.loopSeconds * 1000, ratio, kAllowedRatio,
                    ratio <= kAllowedRatio ? "within" : "MISSED");
    }
    return 0;
}

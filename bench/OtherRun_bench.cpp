// The two runs of the その他の処理 page over 100,000 files in one folder, through the Go button of
// the main window (offscreen), from the click to the state after the run: the case conversion to
// upper case (mode 0) and the digit alignment. Each against a C loop of renameat2(RENAME_NOREPLACE)
// alone for the same renames in a second folder of the same size and a plain python3 loop of
// os.rename over a third (the loops in the order the window lists the files), the three taking
// turns in going first and trading folders, 15 times; the medians and the spread of the turns are
// printed. The folders live on tmpfs (/dev/shm) and are removed afterwards. After each turn its
// folder gets its old names back, and the list is loaded again, outside the timing.
//
// Also, for each, the longest time the window went without painting during a click (allowed 100 ms).
//
//   build-release/OtherRun_bench
#include <benchmark/benchmark.h>

#include <strings.h>
#include <QCheckBox>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "RunBench.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.10;

std::vector<RunBench::TRunTurns> measured;
std::vector<double> longestGapsMs;  // of each benchmark, in the order of measured

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

// The pairs in the order the window lists their files, by name ignoring case (img1, img10,
// img100, ...), which is the order its run renames them in: the loops do the same renames in the
// same order, not in the order the files were made.
void InListOrder(const std::vector<std::string>& from, const std::vector<std::string>& to,
                 std::vector<std::string>& sortedFrom, std::vector<std::string>& sortedTo) {
    std::vector<std::size_t> order(from.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ::strcasecmp(from[a].c_str(), from[b].c_str()) < 0;
    });
    for (const std::size_t i : order) {
        sortedFrom.push_back(from[i]);
        sortedTo.push_back(to[i]);
    }
}

void RenameBack(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] != to[i]) ::rename(to[i].c_str(), from[i].c_str());
    }
}

// One benchmark: the window's run, the C loop and the python loop, the same renames, each over a
// folder of its own in a turn; the three trade folders from turn to turn, so that no folder's own
// speed passes for a side's. Each side takes its folder's renames back after its turn.
void MeasureRun(benchmark::State& s, const char* what, const RunBench::NameOf& oldName,
                const RunBench::NameOf& newName, const std::function<void(TFmMein&)>& setOptions,
                std::size_t expectedRenames) {
    const std::string base = RunBench::Root() + "/" + what;
    struct Folder {
        std::string path;
        std::vector<std::string> from;
        std::vector<std::string> to;
    };
    std::vector<Folder> folders;
    for (int k = 0; k < 3; ++k) {
        Folder folder{base + "-" + std::to_string(k), {}, {}};
        if (!RunBench::MakeFiles(folder.path, kFiles, oldName)) {
            s.SkipWithError("cannot create the files");
            return;
        }
        InListOrder(RunBench::Paths(folder.path, kFiles, oldName),
                    RunBench::Paths(folder.path, kFiles, newName), folder.from, folder.to);
        folders.push_back(std::move(folder));
    }
    // The folder of a side in its next turn: side k takes folder k first, then the next one.
    int turns[3] = {0, 0, 0};
    const auto next = [&](int side) -> const Folder& {
        return folders[static_cast<std::size_t>((side + turns[side]++) % 3)];
    };

    double longestGapMs = 0;
    RunBench::TRunSides sides;
    sides.cLoop = [&]() -> std::optional<double> {
        const Folder& loop = next(0);
        const double seconds = RunBench::TimeCLoop(loop.from, loop.to);
        RenameBack(loop.from, loop.to);
        return seconds;
    };
    sides.python = [&]() {
        const Folder& python = next(1);
        const auto seconds = RunBench::TimePythonLoop(python.from, python.to);
        if (!seconds) s.SkipWithError("the python3 loop could not be run");
        RenameBack(python.from, python.to);
        return seconds;
    };
    sides.ours = [&]() -> std::optional<double> {
        const Folder& run = next(2);
        RunBench::TEventGapWatch gaps;
        const double seconds = RunBench::TimeGoClick(run.path, setOptions);
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        if (!RunBench::EndedWith(QStringLiteral("処理は完了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != expectedRenames ||
            !std::filesystem::exists(run.to.front()) || std::filesystem::exists(run.from.front())) {
            s.SkipWithError("the run did not rename every file");
            return std::nullopt;
        }
        RenameBack(run.from, run.to);
        return seconds;
    };
    if (auto turns = RunBench::TimeAgainstLoops(s, what, sides)) {
        measured.push_back(std::move(*turns));
        longestGapsMs.push_back(longestGapMs);
    }
    s.counters["longest_gap_ms"] = longestGapMs;
    for (const Folder& folder : folders)
        std::filesystem::remove_all(folder.path);
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

BENCHMARK(BM_CaseRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(BM_DigitAlignment)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-otherbench");
    for (std::size_t i = 0; i < measured.size(); ++i) {
        RunBench::PrintAgainstLoops(measured[i], kFiles, kAllowedRatio);
        RunBench::PrintLongestGap(longestGapsMs[i], "a " + measured[i].what + " click");
    }
    return status;
}

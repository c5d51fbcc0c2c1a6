// The two runs of the その他の処理 page over 100,000 files in one folder, through the Go button of
// the main window (offscreen), from the click to the state after the run: the case conversion to
// upper case (mode 0) and the digit alignment. Each against a C loop of renameat2(RENAME_NOREPLACE)
// alone for the same renames in a second folder of the same size and a plain python3 loop of
// os.rename over a third, the three taking turns in going first, 15 times; the medians and the
// spread of the turns are printed. The folders live on tmpfs (/dev/shm) and are removed afterwards.
// After each turn its folder gets its old names back, and the list is loaded again, outside the
// timing.
//
// Also, for each, the longest time the window went without painting during a click (allowed 100 ms).
//
//   build-release/OtherRun_bench
#include <benchmark/benchmark.h>

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

void RenameBack(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] != to[i]) ::rename(to[i].c_str(), from[i].c_str());
    }
}

// One benchmark: the window's run over one folder, the C loop over another and the python loop
// over a third, the same renames; each side takes its folder's renames back after its turn.
void MeasureRun(benchmark::State& s, const char* what, const RunBench::NameOf& oldName,
                const RunBench::NameOf& newName, const std::function<void(TFmMein&)>& setOptions,
                std::size_t expectedRenames) {
    const std::string base = RunBench::Root() + "/" + what;
    struct Side {
        std::string folder;
        std::vector<std::string> from;
        std::vector<std::string> to;
    };
    Side loop{base + "-loop", {}, {}};
    Side python{base + "-python", {}, {}};
    Side run{base + "-run", {}, {}};
    for (Side* side : {&loop, &python, &run}) {
        if (!RunBench::MakeFiles(side->folder, kFiles, oldName)) {
            s.SkipWithError("cannot create the files");
            return;
        }
        side->from = RunBench::Paths(side->folder, kFiles, oldName);
        side->to = RunBench::Paths(side->folder, kFiles, newName);
    }

    double longestGapMs = 0;
    RunBench::TRunSides sides;
    sides.cLoop = [&]() -> std::optional<double> {
        const double seconds = RunBench::TimeCLoop(loop.from, loop.to);
        RenameBack(loop.from, loop.to);
        return seconds;
    };
    sides.python = [&]() {
        const auto seconds = RunBench::TimePythonLoop(python.from, python.to);
        if (!seconds) s.SkipWithError("the python3 loop could not be run");
        RenameBack(python.from, python.to);
        return seconds;
    };
    sides.ours = [&]() -> std::optional<double> {
        RunBench::TEventGapWatch gaps;
        const double seconds = RunBench::TimeGoClick(run.folder, setOptions);
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
    for (const Side* side : {&loop, &python, &run})
        std::filesystem::remove_all(side->folder);
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

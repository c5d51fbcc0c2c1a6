// A sequential run (leading text + number) over 100,000 files in one folder, through the Go button
// of the main window (offscreen), from the click to the state after the run; against a C loop of
// renameat2(RENAME_NOREPLACE) alone for each file of a second folder of the same size, and a plain
// python3 loop of os.rename over a third, and the same run without its run journal over a fourth
// (the journal's cost), in the same iterations, the four taking turns in going first. The folders
// live on tmpfs (/dev/shm), the journal on the disk, and are removed afterwards. The list is loaded
// before each timed click, outside the timing.
//
//   build-release/SequentialRun_bench
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QComboBox>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RunBench.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.15;

RunBench::TRatio measured;
double pythonSeconds = 0;  // the mean of the python loop; 0 when it could not be run
double longestGapMs = 0;   // the longest the window went without painting during a click
double bareSeconds = 0;    // the mean of the run without its journal

// The journal may add at most this much to a run.
constexpr double kAllowedJournalCost = 0.03;

std::string BareFolder() {
    return RunBench::Root() + "/bare";
}

std::string PythonFolder() {
    return RunBench::Root() + "/python";
}

// The names of generation g (0: the names the files are made with).
RunBench::NameOf Generation(int generation) {
    return [generation](int i) {
        char name[48];
        if (generation == 0) {
            std::snprintf(name, sizeof name, "IMG_%06d.jpg", i);
        } else {
            std::snprintf(name, sizeof name, "c%d_%06d.jpg", generation, i + 1);
        }
        return std::string(name);
    };
}

void BM_SequentialRun(benchmark::State& s) {
    int generation = 0;
    double loopTotal = 0;
    double runTotal = 0;
    double pythonTotal = 0;
    double bareTotal = 0;
    // Each turn renames its own folder from the previous generation's names to this one's; false
    // after reporting an error.
    const auto loopTurn = [&] {
        loopTotal +=
            RunBench::TimeCLoop(RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation - 1)),
                                RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation)));
        return true;
    };
    const auto pythonTurn = [&] {
        const auto python =
            RunBench::TimePythonLoop(RunBench::Paths(PythonFolder(), kFiles, Generation(generation - 1)),
                                     RunBench::Paths(PythonFolder(), kFiles, Generation(generation)));
        if (!python) s.SkipWithError("the python3 loop could not be run");
        pythonTotal += python.value_or(0);
        return python.has_value();
    };
    // The window's run, with its journal (the run measured) or without (bare, for the journal's cost).
    const auto windowTurn = [&](const std::string& folder, bool journaled, double& total) {
        RunBench::TEventGapWatch gaps;
        RunBench::Window().SetJournalFolder(journaled ? RunBench::JournalFolder() : std::string());
        const double seconds = RunBench::TimeGoClick(folder, [&](TFmMein& window) {
            window.findChild<QComboBox*>(QStringLiteral("edit2"))
                ->setEditText(QStringLiteral("w%1_").arg(generation));
            window.findChild<QComboBox*>(QStringLiteral("edit3"))->setEditText(QStringLiteral("000001"));
        });
        total += seconds;
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        if (journaled) s.SetIterationTime(seconds);
        if (!RunBench::EndedWith(QStringLiteral("名前の変更が終了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != static_cast<std::size_t>(kFiles) ||
            !std::filesystem::exists(folder +
                                     QStringLiteral("/w%1_100000.jpg").arg(generation).toStdString())) {
            s.SkipWithError("the run did not rename every file");
            return false;
        }
        return true;
    };
    const auto runTurn = [&] { return windowTurn(RunBench::RunFolder(), true, runTotal); };
    const auto bareTurn = [&] { return windowTurn(BareFolder(), false, bareTotal); };
    const std::function<bool()> turns[] = {loopTurn, pythonTurn, runTurn, bareTurn};
    constexpr int kTurns = 4;
    for (auto _ : s) {
        ++generation;
        // The turns take turns in going first, so that none always meets the caches another left.
        bool ok = true;
        for (int k = 0; k < kTurns && ok; ++k)
            ok = turns[(generation + k) % kTurns]();
        if (!ok) break;
    }
    measured = RunBench::Average(s, "Sequential", runTotal, loopTotal);
    pythonSeconds = pythonTotal / static_cast<double>(s.iterations());
    s.counters["python_ms"] = pythonSeconds * 1000;
    bareSeconds = bareTotal / static_cast<double>(s.iterations());
    s.counters["unjournaled_ms"] = bareSeconds * 1000;
    s.counters["longest_gap_ms"] = longestGapMs;
}

}  // namespace

BENCHMARK(BM_SequentialRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-seqbench", [](const std::string& root) {
        return RunBench::MakeLoopAndRunFolders(root, kFiles, Generation(0)) &&
               RunBench::MakeFiles(root + "/python", kFiles, Generation(0)) &&
               RunBench::MakeFiles(root + "/bare", kFiles, Generation(0));
    });
    RunBench::PrintRatio(measured, kFiles, kAllowedRatio);
    RunBench::PrintLongestGap(longestGapMs);
    if (bareSeconds > 0) {
        const double cost = measured.runSeconds / bareSeconds - 1;
        std::printf(
            "the run with its journal (on %s): %.1f ms; without: %.1f ms; cost %+.1f %% (allowed %.0f %%): "
            "%s\n",
            RunBench::DiskFolder().c_str(), measured.runSeconds * 1000, bareSeconds * 1000, cost * 100,
            kAllowedJournalCost * 100, cost <= kAllowedJournalCost ? "within" : "MISSED");
    }
    if (pythonSeconds > 0 && measured.loopSeconds > 0) {
        std::printf(
            "python3 os.rename loop over %d files: %.1f ms; ratio to the C loop %.2f; the run takes %.2f "
            "times as long as python: %s\n",
            kFiles, pythonSeconds * 1000, pythonSeconds / measured.loopSeconds,
            measured.runSeconds / pythonSeconds, measured.runSeconds < pythonSeconds ? "faster" : "SLOWER");
    }
    return status;
}

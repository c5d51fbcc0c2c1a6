// A sequential run (leading text + number) over 100,000 files in one folder, through the Go button
// of the main window (offscreen), from the click to the state after the run; against a C loop of
// renameat2(RENAME_NOREPLACE) alone for each file of a second folder of the same size, and a plain
// python3 loop of os.rename over a third, and the same run without its run journal (the journal's
// cost; the two runs trade their folders every second turn), in the same iterations, the four
// taking turns in going first, 15 times; the medians and the spread of the turns are printed. The
// folders live on tmpfs (/dev/shm), the journal on the disk (QUORBEL_BENCH_DISK, else /var/tmp),
// and are removed afterwards. The list is loaded before each timed click, outside the timing.
//
//   build-release/SequentialRun_bench
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QComboBox>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "RunBench.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.10;
// The journal may add at most this much to a run.
constexpr double kAllowedJournalCost = 0.03;

std::optional<RunBench::TRunTurns> measured;
double longestGapMs = 0;  // the longest the window went without painting during a click

std::string BareFolder() {
    return RunBench::Root() + "/bare";
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
    // Each side renames its own folder from the previous generation's names to the next ones.
    int loopGeneration = 0;
    int pythonGeneration = 0;
    int runGeneration = 0;
    RunBench::TRunSides sides;
    RunBench::SetLoopSides(sides, s, kFiles, Generation, loopGeneration, pythonGeneration);
    // The window's run, with its journal (the run measured) or without (bare, for the journal's cost).
    const auto windowTurn = [&](const std::string& folder, bool journaled,
                                int& generationOfFolder) -> std::optional<double> {
        const int generation = ++generationOfFolder;
        RunBench::TEventGapWatch gaps;
        RunBench::Window().SetJournalFolder(journaled ? RunBench::JournalFolder() : std::string());
        const double seconds = RunBench::TimeGoClick(folder, [&](TFmMein& window) {
            window.findChild<QComboBox*>(QStringLiteral("edit2"))
                ->setEditText(QStringLiteral("w%1_").arg(generation));
            window.findChild<QComboBox*>(QStringLiteral("edit3"))->setEditText(QStringLiteral("000001"));
        });
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        if (!RunBench::EndedWith(QStringLiteral("名前の変更が終了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != static_cast<std::size_t>(kFiles) ||
            !std::filesystem::exists(folder +
                                     QStringLiteral("/w%1_100000.jpg").arg(generation).toStdString())) {
            s.SkipWithError("the run did not rename every file");
            return std::nullopt;
        }
        return seconds;
    };
    int bareGeneration = 0;
    // The journaled run and the bare one trade folders every second turn: a folder's own speed
    // must not pass for the journal's cost.
    int oursTurns = 0;
    int bareTurns = 0;
    const auto inFolder = [&](bool journaled, bool traded) {
        return traded ? windowTurn(BareFolder(), journaled, bareGeneration)
                      : windowTurn(RunBench::RunFolder(), journaled, runGeneration);
    };
    sides.ours = [&] { return inFolder(true, oursTurns++ / 2 % 2 == 1); };
    sides.bare = [&] { return inFolder(false, bareTurns++ / 2 % 2 == 0); };
    measured = RunBench::TimeAgainstLoops(s, "Sequential", sides);
    s.counters["longest_gap_ms"] = longestGapMs;
}

}  // namespace

BENCHMARK(BM_SequentialRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-seqbench", [](const std::string& root) {
        return RunBench::MakeLoopAndRunFolders(root, kFiles, Generation(0)) &&
               RunBench::MakeFiles(root + "/python", kFiles, Generation(0)) &&
               RunBench::MakeFiles(root + "/bare", kFiles, Generation(0));
    });
    if (measured) {
        RunBench::PrintAgainstLoops(*measured, kFiles, kAllowedRatio);
        RunBench::PrintJournalCost(*measured, kAllowedJournalCost);
    }
    RunBench::PrintLongestGap(longestGapMs);
    return status;
}

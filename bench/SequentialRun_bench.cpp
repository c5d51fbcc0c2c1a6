// A sequential run (leading text + number) over 100,000 files in one folder, through the Go button
// of the main window (offscreen), from the click to the state after the run; against a C loop
// doing lstat(old), lstat(new) and renameat2(RENAME_NOREPLACE) for each file of a second folder of the
// same size, in the same iterations. Both folders live on tmpfs (/dev/shm) and are removed
// afterwards. The list is loaded before each timed click, outside the timing.
//
//   build-release/SequentialRun_bench
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RunBench.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.5;

RunBench::TRatio measured;

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
    for (auto _ : s) {
        ++generation;
        // The run looks at both names of each file.
        loopTotal += RunBench::TimeCLoop(
            RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation - 1)),
            RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation)), true);

        const double seconds = RunBench::TimeGoClick(RunBench::RunFolder(), [generation](TFmMein& window) {
            window.findChild<QComboBox*>(QStringLiteral("edit2"))
                ->setEditText(QStringLiteral("w%1_").arg(generation));
            window.findChild<QComboBox*>(QStringLiteral("edit3"))->setEditText(QStringLiteral("000001"));
        });
        runTotal += seconds;
        s.SetIterationTime(seconds);

        if (!RunBench::EndedWith(QStringLiteral("名前の変更が終了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != static_cast<std::size_t>(kFiles) ||
            !std::filesystem::exists(RunBench::RunFolder() +
                                     QStringLiteral("/w%1_100000.jpg").arg(generation).toStdString())) {
            s.SkipWithError("the run did not rename every file");
            break;
        }
    }
    measured = RunBench::Average(s, "Sequential", runTotal, loopTotal);
}

}  // namespace

BENCHMARK(BM_SequentialRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-seqbench", [](const std::string& root) {
        return RunBench::MakeLoopAndRunFolders(root, kFiles, Generation(0));
    });
    RunBench::PrintRatio(measured, kFiles, kAllowedRatio);
    return status;
}

// A string rename over 100,000 files in one folder, through the Go button of the main window
// (offscreen), from the click to the state after the run; against a C loop of
// renameat2(RENAME_NOREPLACE) alone for each file of a second folder of the same size, in the same
// iterations. Both folders live on tmpfs (/dev/shm) and are removed afterwards. The list
// is loaded before each timed click, outside the timing.
//
// Each iteration renames "<p>_000001.jpg" to "A<g>_000001.jpg", where <p> is the previous prefix
// ("IMG" at first): with a star target ("<p>*_" replaced by "A<g>_"), then with a regular
// expression ("^<p>_(\d+)$" replaced by "A<g>_$1"). Also the longest time the window went without
// painting during a click, load included (allowed 100 ms).
//
//   build-release/StringRun_bench
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "RunBench.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.2;
constexpr double kAllowedRegexRatio = 1.25;

RunBench::TRatio measured;
RunBench::TRatio measuredRegex;
double longestGapMs = 0;  // the longest the window went without painting during a click
int generation = 0;       // of the names in both folders, whichever benchmark renamed them last

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

RunBench::NameOf Generation(int generation) {
    return [generation](int i) { return Name(generation, i); };
}

// Each iteration renames the next generation of names; texts(generation) gives the target and the
// replacement, regex whether the target is a regular expression.
using Texts = std::pair<std::string, std::string> (*)(int generation);
RunBench::TRatio RunGenerations(benchmark::State& s, const char* what, bool regex, Texts texts) {
    double loopTotal = 0;
    double runTotal = 0;
    for (auto _ : s) {
        ++generation;
        loopTotal +=
            RunBench::TimeCLoop(RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation - 1)),
                                RunBench::Paths(RunBench::LoopFolder(), kFiles, Generation(generation)));

        RunBench::TEventGapWatch gaps;
        const std::pair<std::string, std::string> given = texts(generation);
        const double seconds = RunBench::TimeGoClick(RunBench::RunFolder(), [&](TFmMein& window) {
            window.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
                ->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet2")));
            window.findChild<QComboBox*>(QStringLiteral("Edit6"))
                ->setEditText(QString::fromStdString(given.first));
            window.findChild<QComboBox*>(QStringLiteral("Edit7"))
                ->setEditText(QString::fromStdString(given.second));
            window.findChild<QCheckBox*>(QStringLiteral("CBRegex"))->setChecked(regex);
        });
        runTotal += seconds;
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        s.SetIterationTime(seconds);

        if (!RunBench::EndedWith(QStringLiteral("処理は完了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != static_cast<std::size_t>(kFiles) ||
            !std::filesystem::exists(RunBench::RunFolder() + "/" + Name(generation, kFiles - 1))) {
            s.SkipWithError("the run did not rename every file");
            break;
        }
    }
    s.counters["longest_gap_ms"] = longestGapMs;
    return RunBench::Average(s, what, runTotal, loopTotal);
}

void BM_StringRun(benchmark::State& s) {
    measured = RunGenerations(s, "String", false, [](int g) {
        return std::pair{Prefix(g - 1) + "*_", Prefix(g) + "_"};
    });
}

void BM_RegexRun(benchmark::State& s) {
    measuredRegex = RunGenerations(s, "Regex string", true, [](int g) {
        std::string target = "^";
        target.append(Prefix(g - 1)).append("_(\\d+)$");
        return std::pair{target, Prefix(g) + "_$1"};
    });
}

}  // namespace

BENCHMARK(BM_StringRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_RegexRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-strbench", [](const std::string& root) {
        return RunBench::MakeLoopAndRunFolders(root, kFiles, Generation(0));
    });
    RunBench::PrintRatio(measured, kFiles, kAllowedRatio);
    RunBench::PrintRatio(measuredRegex, kFiles, kAllowedRegexRatio);
    RunBench::PrintLongestGap(longestGapMs);
    return status;
}

// A string rename over 100,000 files in one folder, through the Go button of the main window
// (offscreen), from the click to the state after the run; against a C loop of
// renameat2(RENAME_NOREPLACE) alone for each file of a second folder of the same size, and a plain
// python3 loop of os.rename over a third, the three taking turns in going first, 15 times; the
// medians and the spread of the turns are printed. The folders live on tmpfs (/dev/shm) and are
// removed afterwards. The list is loaded before each timed click, outside the timing.
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
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "RunBench.h"
#include "app/UnMein.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kAllowedRatio = 1.10;
constexpr double kAllowedRegexRatio = 1.25;

std::optional<RunBench::TRunTurns> measured;
std::optional<RunBench::TRunTurns> measuredRegex;
double longestGapMs = 0;  // the longest the window went without painting during a click
// The generation of the names in each side's folder, whichever benchmark renamed them last.
int loopGeneration = 0;
int pythonGeneration = 0;
int runGeneration = 0;

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

// Each side renames the next generation of names in its folder; texts(generation) gives the
// target and the replacement, regex whether the target is a regular expression.
using Texts = std::pair<std::string, std::string> (*)(int generation);
std::optional<RunBench::TRunTurns> RunGenerations(benchmark::State& s, const char* what, bool regex,
                                                  Texts texts) {
    RunBench::TRunSides sides;
    RunBench::SetLoopSides(sides, s, kFiles, Generation, loopGeneration, pythonGeneration);
    sides.ours = [&]() -> std::optional<double> {
        const int generation = ++runGeneration;
        const std::pair<std::string, std::string> given = texts(generation);
        RunBench::TEventGapWatch gaps;
        const double seconds = RunBench::TimeGoClick(RunBench::RunFolder(), [&](TFmMein& window) {
            window.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
                ->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet2")));
            window.findChild<QComboBox*>(QStringLiteral("Edit6"))
                ->setEditText(QString::fromStdString(given.first));
            window.findChild<QComboBox*>(QStringLiteral("Edit7"))
                ->setEditText(QString::fromStdString(given.second));
            window.findChild<QCheckBox*>(QStringLiteral("CBRegex"))->setChecked(regex);
        });
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        if (!RunBench::EndedWith(QStringLiteral("処理は完了しました")) ||
            RunBench::Window().Pairs.NewPaths().size() != static_cast<std::size_t>(kFiles) ||
            !std::filesystem::exists(RunBench::RunFolder() + "/" + Name(generation, kFiles - 1))) {
            s.SkipWithError("the run did not rename every file");
            return std::nullopt;
        }
        return seconds;
    };
    auto turns = RunBench::TimeAgainstLoops(s, what, sides);
    s.counters["longest_gap_ms"] = longestGapMs;
    return turns;
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

BENCHMARK(BM_StringRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(BM_RegexRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-strbench", [](const std::string& root) {
        return RunBench::MakeLoopAndRunFolders(root, kFiles, Generation(0)) &&
               RunBench::MakeFiles(root + "/python", kFiles, Generation(0));
    });
    if (measured) RunBench::PrintAgainstLoops(*measured, kFiles, kAllowedRatio);
    if (measuredRegex) RunBench::PrintAgainstLoops(*measuredRegex, kFiles, kAllowedRegexRatio);
    RunBench::PrintLongestGap(longestGapMs);
    return status;
}

// Renames that need an order, planned and carried out by the executor on tmpfs (/dev/shm): a shift
// by one of 100,000 files (000001 … 100000 → 000002 … 100001, one long chain), and 50,000 swapped
// pairs (cycles of two, three renames a pair). Each is held against the C loop of
// renameat2(RENAME_NOREPLACE) renaming the same number of files to free names in a folder of its
// own, the two taking turns in going first; the plan (a listing of the folder and the order) is
// timed with the renames.
//
//   build-release/PlannedRun_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/run/RenameExecutor.h"

namespace {

constexpr int kFiles = 100000;

struct Result {
    double ours = 0;
    double loop = 0;
};
std::optional<Result> shift;
std::optional<Result> swapped;
int loopGeneration = 0;  // the names the C loop's folder holds, through both benchmarks

std::string Numbered(const char* format, int number) {
    char name[48];
    std::snprintf(name, sizeof name, format, number);
    return name;
}

std::string SwapFolder() {
    return RunBench::Root() + "/swap";
}

// The C loop's turn: every file of its folder to the names of the next generation.
double LoopTurn() {
    int& generation = loopGeneration;
    const auto name = [](int g) -> RunBench::NameOf {
        return [g](int i) {
            return g == 0 ? Numbered("%06d.jpg", i + 1) : Numbered("g%09d.jpg", g * 1000000 + i);
        };
    };
    ++generation;
    return RunBench::TimeCLoop(RunBench::Paths(RunBench::LoopFolder(), kFiles, name(generation - 1)),
                               RunBench::Paths(RunBench::LoopFolder(), kFiles, name(generation)));
}

// Plans and carries out from → to; nullopt after an error on the state.
std::optional<double> PlannedTurn(benchmark::State& state, const std::vector<std::string>& from,
                                  const std::vector<std::string>& to, RenameExecutor::Look look) {
    const auto start = RunBench::Clock::now();
    const RenamePlanner::Plan plan = RenameExecutor::PlanOnDisk(from, to, "bench");
    const RenameExecutor::PlannedOutcome done = RenameExecutor::ExecutePlan(from, to, plan, look);
    const double seconds = RunBench::SecondsSince(start);
    if (plan.blockedCount != 0 || !done.outcome.failed.empty() || !done.outcome.skipped.empty()) {
        state.SkipWithError("a planned rename did not go through");
        return std::nullopt;
    }
    return seconds;
}

void Record(const std::optional<RunBench::TurnTimes>& times, std::optional<Result>& into) {
    if (times) into = Result{times->ours, times->reference};
}

void BM_ShiftByOne(benchmark::State& state) {
    int offset = 0;  // the run folder holds offset + 1 … offset + kFiles
    Record(RunBench::TimeInTurns(state,
                                 [&](bool isOurs) -> std::optional<double> {
                                     if (!isOurs) return LoopTurn();
                                     const auto name = [](int n) { return Numbered("%06d.jpg", n); };
                                     std::vector<std::string> from;
                                     std::vector<std::string> to;
                                     for (int i = 1; i <= kFiles; ++i) {
                                         from.push_back(RunBench::RunFolder() + "/" + name(offset + i));
                                         to.push_back(RunBench::RunFolder() + "/" + name(offset + i + 1));
                                     }
                                     ++offset;
                                     return PlannedTurn(state, from, to, RenameExecutor::Look::kNone);
                                 }),
           shift);
}

void BM_SwappedPairs(benchmark::State& state) {
    Record(RunBench::TimeInTurns(state,
                                 [&](bool isOurs) -> std::optional<double> {
                                     if (!isOurs) return LoopTurn();
                                     std::vector<std::string> from;
                                     std::vector<std::string> to;
                                     for (int i = 0; i < kFiles; ++i) {
                                         from.push_back(SwapFolder() + "/" + Numbered("p%06d.jpg", i));
                                         to.push_back(SwapFolder() + "/" + Numbered("p%06d.jpg", i ^ 1));
                                     }
                                     return PlannedTurn(state, from, to, RenameExecutor::Look::kSources);
                                 }),
           swapped);
}

void Print(const char* what, const std::optional<Result>& result, double allowed) {
    if (!result) return;
    const double ratio = result->ours / result->loop;
    std::printf("%s of %d files: ours %.1f ms, C loop %.1f ms, ratio %.2f (allowed %.1f): %s\n", what, kFiles,
                result->ours * 1e3, result->loop * 1e3, ratio, allowed,
                ratio <= allowed ? "within" : "MISSED");
}

}  // namespace

BENCHMARK(BM_ShiftByOne)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);
BENCHMARK(BM_SwappedPairs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

int main(int argc, char** argv) {
    const int status =
        RunBench::RunWithWindow(argc, argv, "quorbel-plannedbench", [](const std::string& root) {
            return RunBench::MakeLoopAndRunFolders(root, kFiles,
                                                   [](int i) { return Numbered("%06d.jpg", i + 1); }) &&
                   RunBench::MakeFiles(root + "/swap", kFiles,
                                       [](int i) { return Numbered("p%06d.jpg", i); });
        });
    Print("Shift by one", shift, 1.2);
    Print("Swapped pairs", swapped, 1.6);
    return status;
}

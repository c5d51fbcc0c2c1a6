// The rename planner alone over a million pairs of one folder, in memory: a shift by one (one long
// chain), swapped pairs (half a million cycles) and a ring of every file (one cycle). One iteration
// plans them all.

#include "core/run/RenamePlanner.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPairs = 1000000;

// A folder holding exactly the old names of the batch, which compares names exactly.
class BatchFolder : public RenamePlanner::Folders {
public:
    bool FoldsCase(std::string_view /*folder*/) const override { return false; }
    // Only names the batch does not hold are asked about, and none of them stands here.
    bool Holds(std::string_view /*folder*/, std::string_view /*name*/) const override { return false; }
};

std::string PathOf(std::size_t number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "/srv/photos/2024/trip/IMG_%07zu.jpg", number);
    return buffer;
}

void Plan(benchmark::State& state, std::size_t (*target)(std::size_t)) {
    std::vector<std::string> from;
    std::vector<std::string> to;
    from.reserve(kPairs);
    to.reserve(kPairs);
    for (std::size_t i = 0; i < kPairs; ++i) {
        from.push_back(PathOf(i));
        to.push_back(PathOf(target(i)));
    }
    const BatchFolder folder;
    for (auto _ : state) {
        RenamePlanner::Plan plan = RenamePlanner::MakePlan(from, to, folder, "bench");
        benchmark::DoNotOptimize(plan.steps.data());
        if (plan.blockedCount != 0) state.SkipWithError("a pair was blocked");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPairs));
}

void BM_PlanShiftByOne(benchmark::State& state) {
    Plan(state, [](std::size_t i) { return i + 1; });
}
void BM_PlanSwappedPairs(benchmark::State& state) {
    Plan(state, [](std::size_t i) { return i ^ 1U; });
}
void BM_PlanOneRing(benchmark::State& state) {
    Plan(state, [](std::size_t i) { return (i + 1) % kPairs; });
}

BENCHMARK(BM_PlanShiftByOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanSwappedPairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanOneRing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

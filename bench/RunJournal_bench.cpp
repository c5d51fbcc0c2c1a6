// The run journal of a command of 100,000 files (written and synced with its folder before the
// first rename, closed with every outcome and synced after the last), against the renames it
// guards: a C loop of renameat2(RENAME_NOREPLACE) over the same files in the same run. The journal
// may cost at most 3 % of the loop on tmpfs and 5 % on the disk; it is written where the files are.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/RunJournalStore.h"
#include "core/platform/FileSystem.h"

namespace {

constexpr int kFiles = 100000;

using RunBench::Clock;

std::string OldName(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "DSCF%06d.JPG", i);
    return name;
}

std::string NewName(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "写真_2024-06-22_%06d.jpg", i);
    return name;
}

// The entries of renaming from → to, each file's identity looked up where it stands now.
std::vector<RunJournal::Entry> EntriesOf(const std::vector<std::string>& from,
                                         const std::vector<std::string>& to) {
    std::vector<RunJournal::Entry> entries;
    entries.reserve(from.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        const auto look = Platform::LookAt(from[i]);
        entries.push_back({from[i], to[i], look ? look->id : Platform::EntryId{}});
    }
    return entries;
}

void BM_RunJournal(benchmark::State& state, const std::string& base, double allowed) {
    const RunBench::TScratchFolder scratch(base, "quorbel-journal-bench");
    const std::string folder = scratch.Path() + "/files";
    const std::string journals = scratch.Path() + "/journal";
    if (scratch.Path().empty() || !RunBench::MakeFiles(folder, kFiles, OldName)) {
        state.SkipWithError(("cannot create the files in " + base).c_str());
        return;
    }
    const std::vector<std::string> oldPaths = RunBench::Paths(folder, kFiles, OldName);
    const std::vector<std::string> newPaths = RunBench::Paths(folder, kFiles, NewName);
    const std::vector<RunJournal::Entry> forth = EntriesOf(oldPaths, newPaths);
    const std::vector<RunJournal::Entry> back = [&] {
        std::vector<RunJournal::Entry> entries = forth;
        for (RunJournal::Entry& e : entries)
            std::swap(e.oldPath, e.newPath);
        return entries;
    }();
    const std::vector<RunJournal::Outcome> outcomes(kFiles, RunJournal::Outcome::kDone);

    bool atOld = true;  // where the files are now
    std::size_t journalBytes = 0;
    const auto times = RunBench::TimeInTurns(state, [&](bool isOurs) -> std::optional<double> {
        if (!isOurs) {
            const double seconds =
                RunBench::TimeCLoop(atOld ? oldPaths : newPaths, atOld ? newPaths : oldPaths);
            atOld = !atOld;
            return seconds;
        }
        RunJournal::Writer writer(journals);
        const auto start = Clock::now();
        const std::error_code began =
            writer.Begin(RunJournal::Kind::kSequential, folder, atOld ? forth : back);
        const std::error_code closed = began ? began : writer.Close(outcomes);
        const double seconds = RunBench::SecondsSince(start);
        if (closed) {
            state.SkipWithError(("the journal could not be written: " + closed.message()).c_str());
            return std::nullopt;
        }
        journalBytes = std::filesystem::file_size(journals + "/" + RunJournal::Format::FileName(writer.Id()));
        return seconds;
    });
    if (!times) return;
    const double ratio = times->ours / times->reference;
    state.counters["files"] = kFiles;
    state.counters["c_loop_ms"] = times->reference * 1e3;
    state.counters["journal_bytes"] = static_cast<double>(journalBytes);
    state.counters["share"] = ratio;
    state.counters["allowed"] = allowed;
    std::printf(
        "journal of %d files on %s: %.1f ms (%zu bytes); C loop: %.1f ms; share %.2f %% (allowed %.0f %%): "
        "%s\n",
        kFiles, base.c_str(), times->ours * 1e3, journalBytes, times->reference * 1e3, ratio * 100,
        allowed * 100, ratio <= allowed ? "within" : "MISSED");
}
BENCHMARK_CAPTURE(BM_RunJournal, tmpfs, std::string("/dev/shm"), 0.03)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);
BENCHMARK_CAPTURE(BM_RunJournal, disk, RunBench::DiskFolder(), 0.05)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4);

}  // namespace

BENCHMARK_MAIN();

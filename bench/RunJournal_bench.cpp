// The run journal of a command of 100,000 files (encoded, written and synced with its folder,
// closed with every outcome and synced), all of its work done alone on one thread, against the
// renames it guards: a C loop of renameat2(RENAME_NOREPLACE) over the same files in the same run.
// It is written where the files are. This is the most the journal could cost a run; a run encodes
// it while the folder is read, so it pays less.
//
// Then what the journal costs the run, which may be at most 3 % of a run on tmpfs and 5 % on the
// disk: the run itself with and without its journal, side by side: the executor of the string,
// case and digit runs over 100,000 files as the window calls it (the folder read on a second
// thread, the journal made ready meanwhile, begun before the first rename and closed after the
// last), journaled or not, taking turns in going first: 31 turns each on tmpfs, where a turn is
// short and a few per cent sit well inside the spread of single turns, 15 on the disk. Files and
// journal on tmpfs, files on tmpfs with the journal on the disk (where the user's state folder
// mostly is), and both on the disk. The time the run spends in the journal (waiting for it to be
// ready, beginning and closing it) is also clocked inside each journaled run: a share of one run
// that does not depend on how alike two turns happen to be.
//
//   build-release/RunJournal_bench

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/journal/RunJournalRecord.h"
#include "core/journal/RunJournalStore.h"
#include "core/platform/FileSystem.h"
#include "core/run/RenameExecutor.h"
#include "core/run/SourcesAhead.h"
#include "core/text/Cp932.h"

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

void BM_RunJournal(benchmark::State& state, const std::string& base) {
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
    std::printf(
        "journal of %d files on %s, all of its work alone: %.1f ms (%zu bytes); C loop: %.1f ms; %.2f %% "
        "of the loop\n",
        kFiles, base.c_str(), times->ours * 1e3, journalBytes, times->reference * 1e3, ratio * 100);
}
BENCHMARK_CAPTURE(BM_RunJournal, tmpfs, std::string("/dev/shm"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);
BENCHMARK_CAPTURE(BM_RunJournal, disk, RunBench::DiskFolder())
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4);

const std::vector<Platform::EntryId> kIdsLater;  // the journal takes the files' identities at Begin

// A recorder that clocks the time spent in the journal it passes every call on to.
class TimedRecorder final : public RenameExecutor::Recorder {
public:
    explicit TimedRecorder(RenameExecutor::Recorder& journal) : journal_(journal) {}
    void Prepare(const RenameExecutor::RecordedPairs& pairs) override {
        Timed([&] { journal_.Prepare(pairs); });
    }
    std::error_code Begin(const RenameExecutor::RecordedPairs& pairs) override {
        std::error_code ec;
        Timed([&] { ec = journal_.Begin(pairs); });
        return ec;
    }
    void End(const RenameExecutor::Outcome& outcome) override {
        Timed([&] { journal_.End(outcome); });
    }
    double Seconds() const { return seconds_; }

private:
    template <class Call>
    void Timed(const Call& call) {
        const auto start = Clock::now();
        call();
        seconds_ += RunBench::SecondsSince(start);
    }

    RenameExecutor::Recorder& journal_;
    double seconds_ = 0;
};

// "median (turns low..high)" of values scaled by scale.
std::string Spread(const std::vector<double>& values, double scale, const char* unit) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.1f%s (turns %.1f..%.1f)", RunBench::Median(values) * scale, unit,
                  *low * scale, *high * scale);
    return text;
}

// The files in base, the journal in journalBase (the user's state folder is mostly on the disk).
void BM_JournaledRun(benchmark::State& state, const std::string& base, const std::string& journalBase,
                     double allowed) {
    const RunBench::TScratchFolder scratch(base, "quorbel-journaled-run");
    const RunBench::TScratchFolder journalScratch(journalBase, "quorbel-journaled-run-journal");
    const std::string journals = journalScratch.Path() + "/journal";
    const std::string folders[] = {scratch.Path() + "/a", scratch.Path() + "/b"};
    if (scratch.Path().empty() || !RunBench::MakeFiles(folders[0], kFiles, OldName) ||
        !RunBench::MakeFiles(folders[1], kFiles, OldName)) {
        state.SkipWithError(("cannot create the files in " + base).c_str());
        return;
    }
    // The executor takes the program's own text of each path.
    const auto paths = [](const std::string& folder, std::string (*name)(int)) {
        std::vector<std::string> texts = RunBench::Paths(folder, kFiles, name);
        for (std::string& text : texts)
            text = Cp932::FromUtf8(text).value();
        return texts;
    };
    const std::vector<std::string> names[2][2] = {{paths(folders[0], OldName), paths(folders[0], NewName)},
                                                  {paths(folders[1], OldName), paths(folders[1], NewName)}};
    bool atOld[2] = {true, true};
    std::vector<std::size_t> listed(kFiles);  // every file of the folder is renamed
    std::iota(listed.begin(), listed.end(), std::size_t{0});
    std::vector<double> with;
    std::vector<double> without;
    std::vector<double> shares;  // of the journal's own time in each journaled run
    // Which run goes first, and which folder each run renames, change from turn to turn: each has
    // its bias, and the two folders' renames differ by a few per cent.
    int turn = 0;
    for (auto _ : state) {
        const bool withFirst = turn % 2 == 0;
        const bool swapped = turn / 2 % 2 == 1;
        ++turn;
        for (const bool journaled : {withFirst, !withFirst}) {
            const int side = journaled != swapped ? 0 : 1;
            const std::vector<std::string>& from = names[side][atOld[side] ? 0 : 1];
            const std::vector<std::string>& to = names[side][atOld[side] ? 1 : 0];
            RunJournal::Record journal(journals, RunJournal::Kind::kString);
            TimedRecorder timed(journal);
            const auto start = Clock::now();
            RenameExecutor::SourcesAhead ahead(from);
            if (journaled)
                journal.PrepareMeanwhile({from, to, kIdsLater, nullptr, RenameExecutor::Order::FirstToLast});
            const RenameExecutor::Outcome outcome = RenameExecutor::ExecuteSkippingCollisions(
                from, to, RenameExecutor::Order::FirstToLast, nullptr, {}, journaled ? &timed : nullptr,
                ahead, listed);
            const double seconds = RunBench::SecondsSince(start);
            atOld[side] = !atOld[side];
            if (outcome.unrecorded || !outcome.failed.empty() || !outcome.skipped.empty()) {
                state.SkipWithError("the run did not rename every file with its journal");
                return;
            }
            (journaled ? with : without).push_back(seconds);
            if (journaled) {
                shares.push_back(timed.Seconds() / seconds);
                state.SetIterationTime(seconds);
            }
        }
    }
    std::vector<double> costs;
    for (std::size_t i = 0; i < with.size(); ++i)
        costs.push_back(with[i] / without[i] - 1);
    const double share = RunBench::Median(shares);
    state.counters["journal_share"] = share;
    state.counters["allowed"] = allowed;
    std::printf(
        "run of %d files on %s with its journal on %s: %s; without: %s; the medians differ by %.1f %%, "
        "the turns' differences %s; time in the journal %s of the run, allowed %.0f %%: %s\n",
        kFiles, base.c_str(), journalBase.c_str(), Spread(with, 1e3, " ms").c_str(),
        Spread(without, 1e3, " ms").c_str(), (RunBench::Median(with) / RunBench::Median(without) - 1) * 100,
        Spread(costs, 100, " %").c_str(), Spread(shares, 100, " %").c_str(), allowed * 100,
        share <= allowed ? "within" : "MISSED");
}
BENCHMARK_CAPTURE(BM_JournaledRun, tmpfs, std::string("/dev/shm"), std::string("/dev/shm"), 0.03)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(31);
BENCHMARK_CAPTURE(BM_JournaledRun, tmpfs_journal_on_disk, std::string("/dev/shm"), RunBench::DiskFolder(),
                  0.03)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(31);
BENCHMARK_CAPTURE(BM_JournaledRun, disk, RunBench::DiskFolder(), RunBench::DiskFolder(), 0.05)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(15);

}  // namespace

BENCHMARK_MAIN();

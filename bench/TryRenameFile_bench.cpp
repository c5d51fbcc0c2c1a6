// Renaming 100,000 files in one folder on tmpfs with TryRenameFile, against a plain C loop of
// stat + renameat2(RENAME_NOREPLACE) over the same files in the same run. TryRenameFile may take
// at most 1.3 times as long. Each pass renames every file one way; the next pass renames them
// back, and the two take turns in going first.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFiles = 100000;
constexpr double kLimitRatio = 1.3;

using RunBench::Clock;

// Native and code page 932 full paths of both names of every file.
struct Names {
    std::vector<std::string> nativeA, nativeB, textA, textB;
};

// Names of one length in both spellings, so that TryRenameFile also pays for its case check.
bool Prepare(const std::string& folder, Names& names) {
    char name[64];
    for (int i = 0; i < kFiles; ++i) {
        std::snprintf(name, sizeof name, "/DSCF%06d.jpg", i);
        names.nativeA.push_back(folder + name);
        std::snprintf(name, sizeof name, "/写真%06d.jpg", i);
        names.nativeB.push_back(folder + name);
        names.textA.push_back(Cp932::FromUtf8(names.nativeA.back()).value());
        names.textB.push_back(Cp932::FromUtf8(names.nativeB.back()).value());
        const int fd = open(names.nativeA.back().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) return false;
        close(fd);
    }
    return true;
}

int ReferenceLoop(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    int renamed = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        struct stat st;
        if (stat(from[i].c_str(), &st) == 0 &&
            renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) == 0) {
            ++renamed;
        }
    }
    return renamed;
}

int OurLoop(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    int renamed = 0;
    for (std::size_t i = 0; i < from.size(); ++i)
        renamed += MyFileOperation::TryRenameFile(from[i], to[i]);
    return renamed;
}

void BM_TryRenameFile(benchmark::State& state) {
    const RunBench::TScratchFolder folder("/dev/shm");
    Names names;
    if (folder.Path().empty() || !Prepare(folder.Path(), names)) {
        state.SkipWithError("cannot create the files in /dev/shm");
        return;
    }
    bool atA = true;  // where the files are now
    const auto times = RunBench::TimeInTurns(state, [&](bool isOurs) -> std::optional<double> {
        const auto start = Clock::now();
        const int renamed =
            isOurs ? OurLoop(atA ? names.textA : names.textB, atA ? names.textB : names.textA)
                   : ReferenceLoop(atA ? names.nativeA : names.nativeB, atA ? names.nativeB : names.nativeA);
        const double seconds = RunBench::SecondsSince(start);
        if (renamed != kFiles) {
            state.SkipWithError("a rename failed");
            return std::nullopt;
        }
        atA = !atA;
        return seconds;
    });
    if (!times) return;
    state.counters["files"] = kFiles;
    state.counters["stat_renameat2_ms"] = times->reference * 1e3;
    state.counters["ratio"] = times->ours / times->reference;
    state.counters["limit"] = kLimitRatio;
}
BENCHMARK(BM_TryRenameFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

}  // namespace

BENCHMARK_MAIN();

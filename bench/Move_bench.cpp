// Moving 10,000 renamed files into a destination folder with the move plan, against the same
// work done by the simplest tools in the same run:
//  - within one file system (two folders on tmpfs): a C loop of renameat2(RENAME_NOREPLACE);
//    at most 1.3 times as long;
//  - from tmpfs to the disk: `mv` of the same files; at most 1.5 times as long.
// And the settings file with full histories: read, and written back as a whole, each under 10 ms.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RunBench.h"
#include "core/run/MovePlan.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFiles = 10000;
constexpr std::size_t kFileBytes = std::size_t{16} * 1024;  // a small photo's thumbnail, say

using RunBench::Clock;
using RunBench::TScratchFolder;

std::string NameOf(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "写真_%06d.jpg", i);
    return name;
}

bool MakeFiles(const std::string& folder, std::size_t bytes) {
    return RunBench::MakeFiles(folder, kFiles, NameOf, bytes);
}

int CountFiles(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

// The renamed files of a run in folder, as the window hands them to the move.
std::vector<std::string> RunPaths(const std::string& folder) {
    std::vector<std::string> paths;
    paths.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i)
        paths.push_back(Cp932::FromUtf8(folder + "/" + NameOf(i)).value());
    return paths;
}

// The run's lists exist before the move: their making is not timed.
std::vector<std::string> pathsA;
std::vector<std::string> pathsB;
std::string folderA;

std::size_t OurMove(const std::string& from, const std::string& to) {
    const std::vector<std::string>& paths = from == folderA ? pathsA : pathsB;
    const MovePlan::Plan plan =
        MovePlan::MakePlan(paths, std::vector<bool>(paths.size(), true), Cp932::FromUtf8(to + "/").value());
    return MovePlan::Execute(plan, MovePlan::Answer::kKeep).moved.size();
}

std::size_t RenameLoop(const std::string& from, const std::string& to) {
    std::size_t moved = 0;
    char source[4096];
    char target[4096];
    for (int i = 0; i < kFiles; ++i) {
        std::snprintf(source, sizeof source, "%s/写真_%06d.jpg", from.c_str(), i);
        std::snprintf(target, sizeof target, "%s/写真_%06d.jpg", to.c_str(), i);
        moved += renameat2(AT_FDCWD, source, AT_FDCWD, target, RENAME_NOREPLACE) == 0;
    }
    return moved;
}

// mv -t to -- <every file>, without a shell.
std::size_t Mv(const std::string& from, const std::string& to) {
    std::vector<std::string> args = {"mv", "-t", to, "--"};
    args.reserve(args.size() + kFiles);
    for (int i = 0; i < kFiles; ++i)
        args.push_back(from + "/" + NameOf(i));
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "mv", nullptr, nullptr, argv.data(), environ) != 0) return 0;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? static_cast<std::size_t>(CountFiles(to)) : 0;
}

using MoveFn = std::size_t (*)(const std::string&, const std::string&);

// Each pass times both ways, the two taking turns in going first. Files move from a to b and
// back (one file system), or are made afresh in a before each timed move (across).
void Compare(benchmark::State& state, const std::string& baseA, const std::string& baseB, MoveFn reference,
             const char* referenceName, double limit, bool across) {
    const TScratchFolder rootA(baseA);
    const TScratchFolder rootB(baseB);
    if (rootA.Path().empty() || rootB.Path().empty()) {
        state.SkipWithError("cannot create the folders");
        return;
    }
    const std::string& a = rootA.Path();
    const std::string& b = rootB.Path();
    folderA = a;
    pathsA = RunPaths(a);
    pathsB = RunPaths(b);
    if (!across && !MakeFiles(a, kFileBytes)) {
        state.SkipWithError("cannot create the files");
        return;
    }
    bool atA = true;
    const auto times = RunBench::TimeInTurns(state, [&](bool isOurs) -> std::optional<double> {
        if (across) {
            std::filesystem::remove_all(b);
            std::filesystem::create_directory(b);
            if (!MakeFiles(a, kFileBytes)) {
                state.SkipWithError("cannot create the files");
                return std::nullopt;
            }
            sync();  // the previous turn's writes are not this turn's cost
        }
        const std::string& from = atA ? a : b;
        const std::string& to = atA ? b : a;
        const auto start = Clock::now();
        const std::size_t moved = isOurs ? OurMove(from, to) : reference(from, to);
        const double seconds = RunBench::SecondsSince(start);
        if (moved != static_cast<std::size_t>(kFiles) || CountFiles(from) != 0) {
            state.SkipWithError("a move failed");
            return std::nullopt;
        }
        if (!across) atA = !atA;
        return seconds;
    });
    if (!times) return;
    state.counters["files"] = kFiles;
    state.counters[std::string(referenceName) + "_ms"] = times->reference * 1e3;
    state.counters["ratio"] = times->ours / times->reference;
    state.counters["limit"] = limit;
}

void BM_MoveWithinOneFileSystem(benchmark::State& state) {
    Compare(state, "/dev/shm", "/dev/shm", RenameLoop, "renameat2", 1.3, false);
}
BENCHMARK(BM_MoveWithinOneFileSystem)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

void BM_MoveAcrossFileSystems(benchmark::State& state) {
    struct stat shm {};
    struct stat disk {};
    if (stat("/dev/shm", &shm) != 0 || stat(RunBench::DiskFolder().c_str(), &disk) != 0 ||
        shm.st_dev == disk.st_dev) {
        state.SkipWithError("/dev/shm and the disk folder must be two file systems");
        return;
    }
    Compare(state, "/dev/shm", RunBench::DiskFolder(), Mv, "mv", 1.5, true);
}
BENCHMARK(BM_MoveAcrossFileSystems)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

// Settings as after long use: every history full, the unlimited ones beyond ten.
Settings::Values FullSettings() {
    Settings::Values v;
    v.window = {144, 89, 529, 560};
    for (std::size_t i = 0; i < v.folderHistory.size(); ++i)
        v.folderHistory[i] = Cp932::FromUtf8("/home/user/写真/2024/旅行_" + std::to_string(i)).value();
    for (int n = 1; n <= 3; ++n)
        v.moveDestinations.SetSlot(
            n, Cp932::FromUtf8("/media/外付け/整理済み_" + std::to_string(n) + "/").value());
    for (int i = 0; i < 30; ++i) {
        const std::string text = Cp932::FromUtf8("テキスト_" + std::to_string(i)).value();
        v.leadingHistory.push_back(text);
        v.trailingHistory.push_back(text);
        v.extensionHistory.push_back("jpg;png;" + std::to_string(i));
        if (i < 10) {
            v.targetHistory.push_back(text);
            v.replacementHistory.push_back(text);
        }
    }
    v.columnWidths = {150, 160, 200};
    return v;
}

void BM_SettingsWrite(benchmark::State& state) {
    const TScratchFolder folder(RunBench::DiskFolder());
    const std::string path = folder.Path() + "/quorbel.ini";
    const Settings::Values values = FullSettings();
    for (auto _ : state) {
        TIniFile ini(path);
        Settings::Write(ini, values);
        if (!ini.UpdateFile()) state.SkipWithError("cannot write the settings file");
    }
    state.counters["limit_ms"] = 10;
}
BENCHMARK(BM_SettingsWrite)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_SettingsRead(benchmark::State& state) {
    const TScratchFolder folder(RunBench::DiskFolder());
    const std::string path = folder.Path() + "/quorbel.ini";
    TIniFile out(path);
    Settings::Write(out, FullSettings());
    if (!out.UpdateFile()) state.SkipWithError("cannot write the settings file");
    for (auto _ : state) {
        const Settings::Values read = Settings::Read(TIniFile(path), {144, 89, 529, 560});
        benchmark::DoNotOptimize(read);
    }
    state.counters["limit_ms"] = 10;
}
BENCHMARK(BM_SettingsRead)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();

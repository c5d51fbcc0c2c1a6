// Platform::FolderEntries on tmpfs as a run uses it: reading a folder into its table, looking up
// every name there and as many absent ones (the new names a run checks), then telling it a rename
// of every name the way FolderLook::Renamed does (KindOf, Removed, Added). Three trees: one folder
// of 100,000 files, 1,000 folders of 1,000 (all tables kept until the end of an iteration) and one
// folder of 1,000,000. Names are photo-like, longer than a short string holds in place. The trees
// live in /dev/shm and are removed afterwards; the largest needs a million free inodes.
//
//   build-release/FolderEntries_bench
//
// Counters: read_ms, look_ns (a look), rename_ns (a rename told), table_MB (heap the tables hold
// after the renames), peak_MB (the most heap they held at any time), bytes_per_name (table_MB per
// name). Heap is counted by this program's operator new: what malloc hands out, its chunk headers
// included.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "RunBench.h"
#include "core/platform/FileSystem.h"

namespace {

// One thread allocates here: plain counters will do.
std::size_t heapNow = 0;
std::size_t heapPeak = 0;

std::size_t Charged(void* p) {
    return malloc_usable_size(p) + sizeof(std::size_t);
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    heapNow += Charged(p);
    heapPeak = std::max(heapPeak, heapNow);
    return p;
}

void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    heapNow -= Charged(p);
    std::free(p);
}

void operator delete(void* p, std::size_t /*size*/) noexcept {
    operator delete(p);
}

namespace {

using Clock = std::chrono::steady_clock;

std::string OldName(int folder, int i) {
    char name[64];
    std::snprintf(name, sizeof name, "IMG_2024%04d_%07d.jpg", folder, i);
    return name;
}

std::string NewName(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "旅行_%07d.jpg", i + 1);
    return name;
}

std::string FolderName(int folder) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%04d", folder);
    return name;
}

// The tree below /dev/shm for the benchmark's arguments (folders, files in each), made on first
// use and replaced when another one is asked for.
const std::string& Tree(int folders, int files) {
    static std::unique_ptr<RunBench::TScratchFolder> tree;
    static std::pair<int, int> made;
    static const std::string none;
    if (tree && made == std::pair{folders, files}) return tree->Path();
    tree.reset();
    tree = std::make_unique<RunBench::TScratchFolder>("/dev/shm", "quorbel-entries");
    made = {folders, files};
    if (tree->Path().empty()) return none;
    for (int f = 0; f < folders; ++f) {
        if (!RunBench::MakeFiles(tree->Path() + FolderName(f), files, [f](int i) { return OldName(f, i); })) {
            tree.reset();
            return none;
        }
    }
    return tree->Path();
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void BM_FolderEntries(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const int files = static_cast<int>(state.range(1));
    const std::string& root = Tree(folders, files);
    if (root.empty()) {
        state.SkipWithError("cannot create the files in /dev/shm");
        return;
    }
    // The names of every folder, made once: their own memory is not the tables'.
    const auto namesOf = [files](const RunBench::NameOf& name) {
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(files));
        for (int i = 0; i < files; ++i)
            names.push_back(name(i));
        return names;
    };
    std::vector<std::vector<std::string>> oldNames;
    oldNames.reserve(static_cast<std::size_t>(folders));
    for (int f = 0; f < folders; ++f)
        oldNames.push_back(namesOf([f](int i) { return OldName(f, i); }));
    const std::vector<std::string> newNames = namesOf(NewName);

    double readSeconds = 0;
    double lookSeconds = 0;
    double renameSeconds = 0;
    std::size_t tableBytes = 0;
    std::size_t peakBytes = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<Platform::FolderEntries>> tables;
        tables.reserve(static_cast<std::size_t>(folders));
        const std::size_t base = heapNow;
        heapPeak = heapNow;
        std::size_t wrong = 0;
        double iteration = 0;
        for (int f = 0; f < folders; ++f) {
            const std::vector<std::string>& names = oldNames[f];
            const auto start = Clock::now();
            // A run looks at every old and every new path.
            auto entries = std::make_unique<Platform::FolderEntries>(root + FolderName(f),
                                                                     2 * static_cast<std::size_t>(files));
            const auto read = Clock::now();
            for (const std::string& name : names)
                wrong += entries->KindOf(name) != Platform::EntryKind::File;
            for (const std::string& name : newNames)
                wrong += entries->KindOf(name).has_value();
            const auto looked = Clock::now();
            for (int i = 0; i < files; ++i) {
                Platform::EntryId id;
                const std::optional<Platform::EntryKind> kind = entries->KindOf(names[i], &id);
                entries->Removed(names[i]);
                if (kind) entries->Added(newNames[i], *kind, id.file.inode);
            }
            const auto renamed = Clock::now();
            if (!entries->Listed() || entries->ListedNames() != static_cast<std::size_t>(files) ||
                entries->KindOf(names.back()) ||
                entries->KindOf(newNames.back()) != Platform::EntryKind::File)
                ++wrong;
            readSeconds += Seconds(start, read);
            lookSeconds += Seconds(read, looked);
            renameSeconds += Seconds(looked, renamed);
            iteration += Seconds(start, renamed);
            tables.push_back(std::move(entries));
        }
        if (wrong != 0) {
            state.SkipWithError("a table answered wrongly");
            return;
        }
        state.SetIterationTime(iteration);
        tableBytes = heapNow - base;
        peakBytes = heapPeak - base;
    }
    const auto n = static_cast<double>(state.iterations());
    const double names = static_cast<double>(folders) * files;
    state.counters["read_ms"] = readSeconds / n * 1e3;
    state.counters["look_ns"] = lookSeconds / n / (2 * names) * 1e9;
    state.counters["rename_ns"] = renameSeconds / n / names * 1e9;
    state.counters["table_MB"] = static_cast<double>(tableBytes) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peakBytes) / 1e6;
    state.counters["bytes_per_name"] = static_cast<double>(tableBytes) / names;
}
BENCHMARK(BM_FolderEntries)
    ->ArgNames({"folders", "files"})
    ->Args({1, 100000})
    ->Args({1000, 1000})
    ->Args({1, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

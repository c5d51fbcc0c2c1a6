// Listing 100 folders of 1,000 empty files each on tmpfs with EnumFolder (files, all levels) and
// sorting the result, against `find DIR -type f | LC_ALL=C sort` over the same tree in the same
// run. The listing may take at most twice as long as the reference.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr double kLimitRatio = 2.0;

using Clock = std::chrono::steady_clock;

// A tree of empty files with Japanese and ASCII names under /dev/shm, removed when it goes.
class Tree {
public:
    Tree() {
        char pattern[] = "/dev/shm/quorbel-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        root_ = pattern;
        const char* const stems[] = {"写真_", "IMG_", "ﾒﾓ", "資料 ", "report-"};
        char name[64];
        for (int f = 0; f < kFolders; ++f) {
            std::snprintf(name, sizeof name, "/フォルダ%03d", f);
            const std::string folder = root_ + name;
            std::filesystem::create_directory(folder);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                std::snprintf(name, sizeof name, "/%s%04d.jpg", stems[i % 5], i);
                const int fd = open((folder + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                if (fd < 0) {
                    root_.clear();
                    return;
                }
                close(fd);
            }
        }
    }
    ~Tree() {
        if (root_.starts_with("/dev/shm/quorbel-bench-")) std::filesystem::remove_all(root_);
    }
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_EnumFolderSorted(benchmark::State& state) {
    const Tree tree;
    if (tree.Root().empty()) {
        state.SkipWithError("cannot create the tree in /dev/shm");
        return;
    }
    const std::string root = Cp932::FromUtf8(tree.Root()).value();
    const std::string reference = "find '" + tree.Root() + "' -type f | LC_ALL=C sort > /dev/null";
    std::size_t listed = 0;
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::vector<std::string> list;
        MyFileOperation::EnumFolder(root, list, MyFileOperation::kFilesDeep);
        Cp932::SortNoCase(list);
        benchmark::DoNotOptimize(list.data());
        const auto listedAt = Clock::now();
        if (std::system(reference.c_str()) != 0) {
            state.SkipWithError("find | sort failed");
            return;
        }
        const auto done = Clock::now();
        ours += Seconds(listedAt - start);
        theirs += Seconds(done - listedAt);
        state.SetIterationTime(Seconds(listedAt - start));
        listed = list.size();
    }
    if (listed != static_cast<std::size_t>(kFolders) * kFilesPerFolder) {
        state.SkipWithError("the listing missed files");
        return;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["files"] = static_cast<double>(listed);
    state.counters["find_sort_ms"] = theirs / iterations * 1e3;
    state.counters["ratio"] = ours / theirs;
    state.counters["limit"] = kLimitRatio;
}
BENCHMARK(BM_EnumFolderSorted)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

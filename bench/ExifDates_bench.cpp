// Sorting 10,000 small JPEG files by the date they were taken, through the sort command of the main
// window (offscreen): the Exif dates are read (once per load) on the busy runner's thread while the
// window goes on painting, then the rows are sorted. The files are made by the bench with Exiv2 on
// tmpfs (/dev/shm), their dates taken in another order than their names, and removed afterwards.
// The list is loaded again before each timed command, outside the timing, so every iteration reads
// every file. Reports the files read per second (at least 10,000) and the longest time the window
// went without painting (allowed 100 ms).
//
//   build-release/ExifDates_bench
#include <benchmark/benchmark.h>

#include <QAction>
#include <algorithm>
#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <string>

#include "RunBench.h"
#include "app/UnMein.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFiles = 10000;
constexpr double kLeastFilesPerSecond = 10000;

double filesPerSecond = 0;
double longestGapMs = 0;

std::string Folder() {
    return RunBench::Root() + "/photos";
}

std::string Name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
    return name;
}

// The file named i was taken at this second of 1 May 2024.
int SecondTaken(int i) {
    return (i * 7919) % kFiles;
}
// The file taken last.
int LastTaken() {
    int last = 0;
    for (int i = 1; i < kFiles; ++i) {
        if (SecondTaken(i) > SecondTaken(last)) last = i;
    }
    return last;
}

std::string Taken(int i) {
    const int second = SecondTaken(i);
    char text[32];
    std::snprintf(text, sizeof text, "2024:05:01 %02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

bool MakePhotos(const std::string& root) {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    std::filesystem::create_directory(root + "/photos");
    try {
        for (int i = 0; i < kFiles; ++i) {
            const Exiv2::Image::AutoPtr image =
                Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, root + "/photos/" + Name(i));
            Exiv2::ExifData exif;
            exif["Exif.Photo.DateTimeOriginal"] = Taken(i);
            image->setExifData(exif);
            image->writeMetadata();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
    return true;
}

void BM_SortByDateTaken(benchmark::State& s) {
    TFmMein& window = RunBench::Window();
    auto* sort = window.findChild<QAction*>(QStringLiteral("SortByTaken"));
    double total = 0;
    for (auto _ : s) {
        window.LoadFileList({Cp932::FromUtf8(Folder()).value()});
        RunBench::TEventGapWatch gaps;
        const auto start = RunBench::Clock::now();
        sort->trigger();
        const double seconds = RunBench::SecondsSince(start);
        longestGapMs = std::max(longestGapMs, gaps.LongestMs());
        total += seconds;
        s.SetIterationTime(seconds);
        // File 0 was taken first.
        const std::vector<std::string>& rows = window.Pairs.OldPaths();
        if (!window.Pairs.HasDatesTaken() || rows.size() != static_cast<std::size_t>(kFiles) ||
            !rows.front().ends_with(Name(0)) || !rows.back().ends_with(Name(LastTaken()))) {
            s.SkipWithError("the rows are not in the order the photos were taken");
            break;
        }
    }
    filesPerSecond = total > 0 ? kFiles * static_cast<double>(s.iterations()) / total : 0;
    s.counters["files_per_second"] = filesPerSecond;
    s.counters["longest_gap_ms"] = longestGapMs;
}

}  // namespace

BENCHMARK(BM_SortByDateTaken)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    const int status = RunBench::RunWithWindow(argc, argv, "quorbel-exifbench", MakePhotos);
    if (filesPerSecond > 0) {
        std::printf("Exif dates of %d files: %.0f files per second (at least %.0f): %s\n", kFiles,
                    filesPerSecond, kLeastFilesPerSecond,
                    filesPerSecond >= kLeastFilesPerSecond ? "within" : "MISSED");
    }
    RunBench::PrintLongestGap(longestGapMs, "the sort");
    return status;
}

// The window's memory at a million files: loaded, renamed by a sequential run and undone, then
// loaded again, renamed and undone again, as a user would without restarting the program. Nothing
// else runs in this process, so its peak resident set (VmHWM) is the window's own. Allowed: 400 MB.
//
//   build-release/MemoryMillion_bench                               (1,000 folders of 1,000 files)
//   build-release/MemoryMillion_bench --benchmark_filter=folders:1/ (one folder of a million)
//
// The files lie on tmpfs (/dev/shm, a million free inodes; removed afterwards, making them takes a
// while), with paths as long as a photo library's: "/dev/shm/qmem-XXXXXX/Pictures/2024-08
// 北海道旅行 012/IMG_0012345.jpg" has 73 bytes, "…/w_0012346.jpg" after the run 70. Memory grows
// with them. Each case resets the peak when it starts; the first step printed ("start") tells what
// an earlier case in the same process left resident.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "RunBench.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "core/text/Cp932.h"

namespace {

constexpr int kFiles = 1000000;
constexpr double kAllowedMegabytes = 400;

std::string FolderName(int folder) {
    char name[64];
    std::snprintf(name, sizeof name, "2024-08 北海道旅行 %03d", folder);
    return name;
}

// Numbered through all folders, so that every name is told apart as the run's are.
std::string FileName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%07d.jpg", i);
    return name;
}

double PeakMegabytes() {
    return RunBench::StatusMegabytes("VmHWM:");
}

// The peak starts again from the resident set now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_MemoryMillion(benchmark::State& s) {
    const int folders = static_cast<int>(s.range(0));
    const int perFolder = kFiles / folders;
    const std::string top = RunBench::Root() + "/Pictures";
    for (auto _ : s) {
        s.PauseTiming();
        std::filesystem::create_directory(top);
        for (int f = 0; f < folders; ++f) {
            const RunBench::NameOf name = [f, perFolder](int i) { return FileName(f * perFolder + i); };
            if (!RunBench::MakeFiles(top + "/" + FolderName(f), perFolder, name)) {
                s.SkipWithError("cannot create the files");
                return;
            }
        }
        s.ResumeTiming();
        ResetPeak();

        TFmMein& window = RunBench::Window();
        window.findChild<TRadioGroup*>(QStringLiteral("RG1"))->SetItemIndex(0);  // with subfolders
        const std::vector<std::string> entries = {Cp932::FromUtf8(top).value()};
        std::string steps;
        const auto step = [&](const char* what) {
            steps += std::string(steps.empty() ? "" : ", ") + what + " " +
                     std::to_string(static_cast<int>(PeakMegabytes())) + "/" +
                     std::to_string(static_cast<int>(RunBench::StatusMegabytes("VmRSS:")));
        };
        step("start");
        for (int round = 0; round < 2; ++round) {
            window.LoadFileList(entries);
            step(round == 0 ? "load" : "reload");
            if (window.Pairs.Size() != static_cast<std::size_t>(kFiles)) {
                s.SkipWithError("the load did not list every file");
                return;
            }
            window.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
                ->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet1")));
            window.findChild<QComboBox*>(QStringLiteral("edit2"))->setEditText(QStringLiteral("w_"));
            window.findChild<QComboBox*>(QStringLiteral("edit3"))->setEditText(QStringLiteral("0000001"));
            RunBench::Dialogs().messages.clear();
            window.btGoClick();
            if (!RunBench::EndedWith(QStringLiteral("名前の変更が終了しました"))) {
                s.SkipWithError("the run did not rename every file");
                return;
            }
            step("run");
            RunBench::Dialogs().messages.clear();
            window.Undo1Click();
            if (RunBench::Dialogs().messages != std::vector<QString>{QStringLiteral("処理が終了しました")}) {
                s.SkipWithError("the undo did not take every file back");
                return;
            }
            step("undo");
        }
        const double peak = PeakMegabytes();
        s.counters["peak_MB"] = peak;
        std::printf(
            "window's peak (VmHWM) through load, run, undo, reload, run, undo of %d folders of %d files: "
            "%.0f MB (allowed %.0f): %s\n  peak/resident after each step, MB: %s\n",
            folders, perFolder, peak, kAllowedMegabytes, peak <= kAllowedMegabytes ? "within" : "MISSED",
            steps.c_str());

        // The next case starts from an empty list, as after the load of an empty folder.
        s.PauseTiming();
        std::error_code ec;
        std::filesystem::remove_all(top, ec);
        std::filesystem::create_directory(top);
        window.LoadFileList(entries);
        RunBench::SettleBeforeClick();
        std::filesystem::remove(top, ec);
        s.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_MemoryMillion)
    ->ArgName("folders")
    ->Arg(1000)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    return RunBench::RunWithWindow(argc, argv, "qmem");
}

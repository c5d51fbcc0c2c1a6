// The window's memory at a million files: one folder of 1,000,000 files on tmpfs (/dev/shm, removed
// afterwards; making it takes a while), loaded, renamed by a sequential run and undone, then loaded
// again, renamed and undone again, as a user would without restarting the program. Nothing else
// runs in this process, so its peak resident set (VmHWM) is the window's own. Allowed: 400 MB.
//
//   build-release/MemoryMillion_bench
//
// The folder needs a million free inodes on /dev/shm. Its paths have 34 bytes
// ("/dev/shm/qmem-XXXXXX/f/0000000.dat"). Memory grows with them: the peak comes at the reload,
// which holds the run's two lists and the new one, and a path of up to 40 bytes takes 48 bytes of
// heap, one of 41 to 56 bytes 64 (52-byte paths peaked at 433 MB).
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTabWidget>
#include <cstdio>
#include <string>

#include "RunBench.h"
#include "app/UnMein.h"
#include "core/Cp932.h"

namespace {

constexpr int kFiles = 1000000;
constexpr double kAllowedMegabytes = 400;

std::string FileName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%07d.dat", i);
    return name;
}

double PeakMegabytes() {
    return RunBench::StatusMegabytes("VmHWM:");
}

void BM_MemoryMillion(benchmark::State& s) {
    for (auto _ : s) {
        TFmMein& window = RunBench::Window();
        const std::vector<std::string> folder = {Cp932::FromUtf8(RunBench::Root() + "/f").value()};
        std::string steps;
        const auto step = [&](const char* what) {
            steps += std::string(steps.empty() ? "" : ", ") + what + " " +
                     std::to_string(static_cast<int>(PeakMegabytes())) + "/" +
                     std::to_string(static_cast<int>(RunBench::StatusMegabytes("VmRSS:")));
        };
        step("start");
        for (int round = 0; round < 2; ++round) {
            window.LoadFileList(folder);
            step(round == 0 ? "load" : "reload");
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
            "window's peak (VmHWM) through load, run, undo, reload, run, undo of %d files: %.0f MB "
            "(allowed %.0f): %s\n  peak/resident after each step, MB: %s\n",
            kFiles, peak, kAllowedMegabytes, peak <= kAllowedMegabytes ? "within" : "MISSED", steps.c_str());
    }
}

}  // namespace

BENCHMARK(BM_MemoryMillion)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    return RunBench::RunWithWindow(argc, argv, "qmem", [](const std::string& root) {
        return RunBench::MakeFiles(root + "/f", kFiles, FileName);
    });
}

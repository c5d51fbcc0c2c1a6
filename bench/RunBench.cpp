#include "RunBench.h"

#include <QCoreApplication>
#include <algorithm>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <cassert>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <utility>

#include "app/UnMein.h"
#include "core/platform/Heap.h"
#include "core/text/Cp932.h"

namespace RunBench {

TEventGapWatch::TEventGapWatch() : last_(Clock::now()) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        const Clock::time_point now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    });
    timer_.start(5);
}

double TEventGapWatch::LongestMs() {
    QCoreApplication::processEvents();
    timer_.stop();
    return std::max(longest_, std::chrono::duration<double, std::milli>(Clock::now() - last_).count());
}

namespace {

struct TWindowState {
    std::string root;
    std::string journal;
    TSilentDialogs* dialogs = nullptr;  // owned by the window
    std::unique_ptr<TFmMein> window;
} shown;

}  // namespace

TScratchFolder::TScratchFolder(const std::string& base, const std::string& prefix) {
    std::string pattern = base + "/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TScratchFolder::~TScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string DiskFolder() {
    const char* disk = std::getenv("QUORBEL_BENCH_DISK");
    return disk != nullptr && *disk != '\0' ? disk : "/var/tmp";
}

bool MakeFiles(const std::string& folder, int count, const NameOf& name, std::size_t bytes) {
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    const std::string content(bytes, 'x');
    for (int i = 0; i < count; ++i) {
        const int fd = ::open((folder + "/" + name(i)).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) return false;
        const bool written =
            content.empty() || ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(bytes);
        ::close(fd);
        if (!written) return false;
    }
    return true;
}

std::vector<std::string> Paths(const std::string& folder, int count, const NameOf& name) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(folder + "/" + name(i));
    return paths;
}

std::string LoopFolder() {
    return Root() + "/loop";
}

std::string PythonFolder() {
    return Root() + "/python";
}

std::string RunFolder() {
    return Root() + "/run";
}

bool MakeLoopAndRunFolders(const std::string& root, int count, const NameOf& name) {
    return MakeFiles(root + "/loop", count, name) && MakeFiles(root + "/run", count, name);
}

double TimeCLoop(const std::vector<std::string>& from, const std::vector<std::string>& to, int* failed) {
    double seconds = 0;
    int failures = 0;
    // On a thread of its own, as the window's run and python are: where the system puts a new
    // thread is then the same for each side.
    std::thread([&] {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < from.size(); ++i) {
            if (from[i] == to[i]) continue;
            if (::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) != 0)
                ++failures;
        }
        seconds = SecondsSince(start);
    }).join();
    if (failures != 0) std::fprintf(stderr, "C loop: %d renames failed\n", failures);
    if (failed != nullptr) *failed = failures;
    return seconds;
}

std::optional<double> TimePythonLoop(const std::vector<std::string>& from,
                                     const std::vector<std::string>& to) {
    // Names separated by NUL, which no path holds; the pairs one after the other.
    const std::string listFile = Root() + "/python-pairs";
    {
        std::ofstream out(listFile, std::ios::binary | std::ios::trunc);
        for (std::size_t i = 0; i < from.size(); ++i)
            out << from[i] << '\0' << to[i] << '\0';
        if (!out) return std::nullopt;
    }
    static constexpr char kScript[] =
        "import os, sys, time\n"
        "names = open(sys.argv[1], 'rb').read().split(b'\\0')[:-1]\n"
        "pairs = list(zip(names[0::2], names[1::2]))\n"
        "start = time.perf_counter()\n"
        "for old, new in pairs:\n"
        "    os.rename(old, new)\n"
        "print(time.perf_counter() - start)\n";
    const std::string command = "python3 -c \"$QUORBEL_BENCH_SCRIPT\" '" + listFile + "'";
    setenv("QUORBEL_BENCH_SCRIPT", kScript, 1);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    double seconds = -1;
    const bool read = std::fscanf(pipe, "%lf", &seconds) == 1;
    const int status = ::pclose(pipe);
    std::filesystem::remove(listFile);
    if (!read || status != 0 || seconds < 0) return std::nullopt;
    return seconds;
}

int RunWithWindow(int argc, char** argv, const std::string& prefix,
                  const std::function<bool(const std::string& root)>& prepare) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Platform::SetUpHeap();  // as the program's own start
    const QApplication app(argc, argv);
    const TScratchFolder root("/dev/shm", prefix);
    if (root.Path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    if (prepare && !prepare(root.Path())) {
        std::fprintf(stderr, "cannot create the files in %s\n", root.Path().c_str());
        return 1;
    }
    shown.root = root.Path();
    const TScratchFolder journal(DiskFolder(), prefix + "-journal");
    shown.journal = journal.Path() + "/journal";
    auto dialogs = std::make_unique<TSilentDialogs>();
    shown.dialogs = dialogs.get();
    shown.window =
        std::make_unique<TFmMein>(root.Path() + "/quorbel-bench.ini", shown.journal, std::move(dialogs));
    shown.window->show();
    QCoreApplication::processEvents();
    PrintCpuSpeeds("before the benchmarks");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintCpuSpeeds("after them");
    // The window writes its settings file as it goes: before the folder does.
    shown.window.reset();
    shown.dialogs = nullptr;
    return 0;
}

TFmMein& Window() {
    assert(shown.window);
    return *shown.window;
}

TSilentDialogs& Dialogs() {
    assert(shown.dialogs != nullptr);
    return *shown.dialogs;
}

const std::string& Root() {
    return shown.root;
}

const std::string& JournalFolder() {
    return shown.journal;
}

void SettleBeforeClick() {
    QCoreApplication::processEvents();
    Window().WaitForReleases();
}

double TimeGoClick(const std::string& folder, const std::function<void(TFmMein&)>& setOptions) {
    TFmMein& window = Window();
    window.LoadFileList({Cp932::FromUtf8(folder).value()});
    // A load within the clock tick of the folder's last change keeps no listing, and its run reads
    // the folder again; a person's load comes later, as this second one does.
    if (!window.Pairs.HasListings()) window.LoadFileList({Cp932::FromUtf8(folder).value()});
    setOptions(window);
    Dialogs().messages.clear();
    SettleBeforeClick();

    const auto start = Clock::now();
    window.btGoClick();
    return SecondsSince(start);
}

bool EndedWith(const QString& message) {
    return !Window().findChild<QPushButton*>(QStringLiteral("btGo"))->isEnabled() &&
           Dialogs().messages == std::vector<QString>{message};
}

double Median(std::vector<double> values) {
    assert(!values.empty());
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

namespace {

std::vector<double> Ratios(const std::vector<double>& ours, const std::vector<double>& reference) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size() && i < reference.size(); ++i)
        ratios.push_back(reference[i] > 0 ? ours[i] / reference[i] : 0);
    return ratios;
}

// How many times the slowest of the loops' times is the fastest (1 when there are none).
double Spread(const std::vector<std::pair<int, double>>& speeds,
              const std::vector<std::pair<int, double>>& more = {}) {
    double fastest = 0;
    double slowest = 0;
    for (const auto* list : {&speeds, &more}) {
        for (const auto& [cpu, ms] : *list) {
            fastest = fastest == 0 ? ms : std::min(fastest, ms);
            slowest = std::max(slowest, ms);
        }
    }
    return fastest > 0 ? slowest / fastest : 1;
}

// "median ms (min–max)" of a side's turns.
std::string Turns(const std::vector<double>& seconds) {
    const auto [low, high] = std::minmax_element(seconds.begin(), seconds.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.1f ms (turns %.1f-%.1f)", Median(seconds) * 1000, *low * 1000,
                  *high * 1000);
    return text;
}

// "median (min–max)" of ratios.
std::string RatioTurns(const std::vector<double>& ratios) {
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.2f (turns %.2f-%.2f)", Median(ratios), *low, *high);
    return text;
}

}  // namespace

void SetLoopSides(TRunSides& sides, benchmark::State& state, int files,
                  const std::function<NameOf(int)>& generation, int& loopGeneration, int& pythonGeneration) {
    sides.cLoop = [files, generation, &loopGeneration]() -> std::optional<double> {
        ++loopGeneration;
        return TimeCLoop(Paths(LoopFolder(), files, generation(loopGeneration - 1)),
                         Paths(LoopFolder(), files, generation(loopGeneration)));
    };
    sides.python = [files, generation, &pythonGeneration, &state]() {
        ++pythonGeneration;
        const auto python = TimePythonLoop(Paths(PythonFolder(), files, generation(pythonGeneration - 1)),
                                           Paths(PythonFolder(), files, generation(pythonGeneration)));
        if (!python) state.SkipWithError("the python3 loop could not be run");
        return python;
    };
}

std::optional<TRunTurns> TimeAgainstLoops(benchmark::State& state, std::string what, const TRunSides& sides) {
    TRunTurns turns{std::move(what), {}, {}, {}, {}, 0, 0};
    const std::function<std::optional<double>()>* order[] = {&sides.cLoop, &sides.python, &sides.ours,
                                                             &sides.bare};
    std::vector<double>* into[] = {&turns.cLoop, &turns.python, &turns.ours, &turns.bare};
    const std::size_t count = sides.bare ? 4 : 3;
    std::size_t first = 0;
    auto before = CpuLoopMs();
    for (auto _ : state) {
        // An iteration counts when the CPUs ran alike from before it to after it; else it is done
        // again, a few times at most.
        for (int attempt = 0;; ++attempt) {
            double seconds[4] = {};
            for (std::size_t k = 0; k < count; ++k) {
                const std::size_t side = (first + k) % count;
                const std::optional<double> turn = (*order[side])();
                if (!turn) return std::nullopt;
                seconds[side] = *turn;
            }
            auto after = CpuLoopMs();
            const bool quiet = Spread(before, after) <= kQuietSpread;
            before = std::move(after);
            if (!quiet && attempt < kQuietAttempts) {
                ++turns.repeated;
                continue;
            }
            if (!quiet) ++turns.unquiet;
            for (std::size_t side = 0; side < count; ++side)
                into[side]->push_back(seconds[side]);
            break;
        }
        first = (first + 1) % count;
        state.SetIterationTime(turns.ours.back());
    }
    if (turns.ours.empty()) return std::nullopt;
    state.counters["c_loop_ms"] = Median(turns.cLoop) * 1000;
    state.counters["python_ms"] = Median(turns.python) * 1000;
    state.counters["ratio_to_c_loop"] = Median(Ratios(turns.ours, turns.cLoop));
    state.counters["ratio_to_python"] = Median(Ratios(turns.ours, turns.python));
    if (!turns.bare.empty()) state.counters["unjournaled_ms"] = Median(turns.bare) * 1000;
    return turns;
}

void PrintAgainstLoops(const TRunTurns& turns, int files, double allowed) {
    const std::vector<double> toC = Ratios(turns.ours, turns.cLoop);
    const std::vector<double> toPython = Ratios(turns.ours, turns.python);
    std::printf("%s run of %d files, %zu turns each: %s; C loop %s; python3 os.rename loop %s\n",
                turns.what.c_str(), files, turns.ours.size(), Turns(turns.ours).c_str(),
                Turns(turns.cLoop).c_str(), Turns(turns.python).c_str());
    std::printf("  ratio to the C loop %s, allowed %.2f: %s; ratio to python %s: %s\n",
                RatioTurns(toC).c_str(), allowed, Median(toC) <= allowed ? "within" : "MISSED",
                RatioTurns(toPython).c_str(), Median(toPython) <= 1.0 ? "faster" : "SLOWER");
    std::printf(
        "  iterations done again because the CPUs ran apart around them: %d; kept so after %d tries: %d\n",
        turns.repeated, kQuietAttempts + 1, turns.unquiet);
}

void PrintJournalCost(const TRunTurns& turns, double allowed) {
    if (turns.bare.empty()) return;
    std::vector<double> costs = Ratios(turns.ours, turns.bare);
    for (double& cost : costs)
        cost -= 1;
    const auto [low, high] = std::minmax_element(costs.begin(), costs.end());
    const double cost = Median(costs);
    std::printf(
        "the run with its journal (on %s): %s; without: %s; cost %+.1f %% (turns %+.1f..%+.1f %%), "
        "allowed %.0f %%: %s\n",
        DiskFolder().c_str(), Turns(turns.ours).c_str(), Turns(turns.bare).c_str(), cost * 100, *low * 100,
        *high * 100, allowed * 100, cost <= allowed ? "within" : "MISSED");
}

void PrintLongestGap(double milliseconds, const std::string& what) {
    std::printf("longest time without painting during %s: %.0f ms (allowed 100): %s\n", what.c_str(),
                milliseconds, milliseconds <= 100 ? "within" : "MISSED");
}

std::vector<std::pair<int, double>> CpuLoopMs() {
    std::vector<std::pair<int, double>> speeds;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return speeds;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed)) continue;
        double ms = 0;
        std::thread([cpu, &ms] {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            if (sched_setaffinity(0, sizeof one, &one) != 0) return;  // 0: this thread
            const auto start = Clock::now();
            volatile std::uint64_t sum = 0;
            for (std::uint64_t i = 0; i < 100'000'000; ++i)
                sum = sum + i;
            ms = SecondsSince(start) * 1000;
        }).join();
        if (ms > 0) speeds.emplace_back(cpu, ms);
    }
    return speeds;
}

void PrintCpuSpeeds(const char* when) {
    const auto speeds = CpuLoopMs();
    std::string line = std::string("the same loop on each CPU, ") + when + ":";
    for (const auto& [cpu, ms] : speeds) {
        char text[48];
        std::snprintf(text, sizeof text, " cpu%d %.0f ms", cpu, ms);
        line += text;
    }
    std::printf("%s\n", line.c_str());
    if (const double spread = Spread(speeds); spread > kQuietSpread) {
        std::printf(
            "  the CPUs differ %.1fx in speed: each side's turns spread with the CPU it got; to compare on "
            "one CPU, run the bench under taskset -c N\n",
            spread);
    }
}

std::optional<TurnTimes> TimeInTurns(benchmark::State& state,
                                     const std::function<std::optional<double>(bool isOurs)>& turn) {
    TurnTimes total;
    bool oursFirst = true;
    for (auto _ : state) {
        double oursNow = 0;
        for (const bool isOurs : {oursFirst, !oursFirst}) {
            const std::optional<double> seconds = turn(isOurs);
            if (!seconds) return std::nullopt;
            (isOurs ? total.ours : total.reference) += *seconds;
            if (isOurs) oursNow = *seconds;
        }
        oursFirst = !oursFirst;
        state.SetIterationTime(oursNow);
    }
    const auto n = static_cast<double>(state.iterations());
    return TurnTimes{total.ours / n, total.reference / n};
}

double StatusMegabytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;
    }
    return 0;
}

}  // namespace RunBench

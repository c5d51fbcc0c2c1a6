#pragma once

// What the benchmarks of the window's runs share: scratch folders full of files, the plain C loop
// a run is held against, and the main window (offscreen, with dialogs that never wait) driven
// through its Go button.
#include <benchmark/benchmark.h>

#include <QString>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SilentDialogs.h"

class TFmMein;

namespace RunBench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// While it lives, a timer ticks every few milliseconds in the window's event loop; the longest
// time between two ticks is the longest the window went without painting.
class TEventGapWatch {
public:
    TEventGapWatch();
    // Lets the events waiting now run (the last tick), then gives the longest gap in milliseconds.
    double LongestMs();

private:
    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
};

// A folder of its own below base ("<base>/<prefix>-XXXXXX"), removed with all it holds when this
// goes. Path() is empty when it could not be made.
class TScratchFolder {
public:
    explicit TScratchFolder(const std::string& base, const std::string& prefix = "quorbel-bench");
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A folder on the disk for the suites that compare it with tmpfs: QUORBEL_BENCH_DISK, else /var/tmp
// (a disk where /tmp is a tmpfs).
std::string DiskFolder();

using NameOf = std::function<std::string(int)>;

// Makes folder (when it is not there yet) and in it the files name(0) ... name(count - 1), each of
// `bytes` bytes; false as soon as one cannot be made.
bool MakeFiles(const std::string& folder, int count, const NameOf& name, std::size_t bytes = 0);

// folder + "/" + name(i) for i from 0 to count - 1.
std::vector<std::string> Paths(const std::string& folder, int count, const NameOf& name);

// The folders of a benchmark that renames the same files again in every iteration, below Root():
// "loop", renamed by the C loop, and "run", renamed by the window.
std::string LoopFolder();
std::string RunFolder();
// "python", renamed by the python loop.
std::string PythonFolder();
// Makes both below root, each with the files name(0) ... name(count - 1).
bool MakeLoopAndRunFolders(const std::string& root, int count, const NameOf& name);

// The floor of any run: renameat2(RENAME_NOREPLACE) from[i] to to[i] for each pair whose paths
// differ, full paths, nothing looked at before, on a thread of its own. Returns the seconds it
// took; failed renames are reported on stderr.
double TimeCLoop(const std::vector<std::string>& from, const std::vector<std::string>& to,
                 int* failed = nullptr);

// The same renames by a plain python3 loop of os.rename, the names handed over in a file below
// Root(); only the loop is timed (inside python, without its start). nullopt when python3 could
// not be run or a rename failed.
std::optional<double> TimePythonLoop(const std::vector<std::string>& from,
                                     const std::vector<std::string>& to);

// Runs the benchmarks registered in this program with the main window shown offscreen, its
// settings file in a scratch folder on tmpfs named after prefix. prepare fills the scratch folder
// first and says whether it could. Returns main's exit status; the window and the folder are gone
// when it returns.
int RunWithWindow(int argc, char** argv, const std::string& prefix,
                  const std::function<bool(const std::string& root)>& prepare = {});

// While RunWithWindow runs: the window, its dialogs and the scratch folder.
TFmMein& Window();
TSilentDialogs& Dialogs();
const std::string& Root();
// Where the window's run journal is kept: a scratch folder on the disk (DiskFolder), as the user's
// own state folder would be.
const std::string& JournalFolder();

// Lets the window show what it was given and free the lists it let go of (on a thread of its own,
// which a command waits for), as it has done by the time a person clicks.
void SettleBeforeClick();

// Loads folder in place of the list, as a user's load does, lets setOptions set the controls
// (neither timed), then clicks Go. Returns the seconds from the click to the state after the run.
// A load that kept no listing because the folder had just changed (a listing made within the clock
// tick of a change may lack it) is done again, as a person's load would come later.
double TimeGoClick(const std::string& folder, const std::function<void(TFmMein&)>& setOptions);

// Whether the run ended as it should: Go disabled and message the only message shown.
bool EndedWith(const QString& message);

// A run held against the two loops anybody could write instead: the C loop of renameat2 and a
// plain python3 loop of os.rename over the same renames. A turn does its renames and returns their
// timed seconds, or nullopt after reporting an error on the state.
struct TRunSides {
    std::function<std::optional<double>()> ours;
    std::function<std::optional<double>()> cLoop;
    std::function<std::optional<double>()> python;
    // Optional: the same run without its journal, for what the journal costs.
    std::function<std::optional<double>()> bare;
};
// The seconds of every turn of each side, in the order the iterations ran them.
struct TRunTurns {
    std::string what;
    std::vector<double> ours;
    std::vector<double> cLoop;
    std::vector<double> python;
    std::vector<double> bare;
    int repeated = 0;  // iterations done again because the CPUs ran apart around them
    int unquiet = 0;   // iterations kept although they still did after the last try
};
// An iteration counts when, before and after it, the same loop took at most this many times as
// long on one CPU as on another; else it is done again, at most this many more times.
constexpr double kQuietSpread = 1.2;
constexpr int kQuietAttempts = 3;
// The C loop's and python's sides of a bench that renames the same files again in every turn: each
// renames its own folder (LoopFolder(), PythonFolder()) from the names of the generation before to
// generation(g), counting its generations in the counter given.
void SetLoopSides(TRunSides& sides, benchmark::State& state, int files,
                  const std::function<NameOf(int)>& generation, int& loopGeneration, int& pythonGeneration);

// One turn of each side per iteration, the three taking turns in going first so that none always
// meets the caches another left; an iteration around which the CPUs ran apart (kQuietSpread) is
// done again. The iteration time is ours. nullopt when a turn failed.
std::optional<TRunTurns> TimeAgainstLoops(benchmark::State& state, std::string what, const TRunSides& sides);

// "<what> run of <files> files: ours, C loop and python with the median and spread of their turns;
// the median of the per-iteration ratios to each loop, with their spread: within|MISSED the allowed
// ratio to the C loop, faster|SLOWER than python".
void PrintAgainstLoops(const TRunTurns& turns, int files, double allowed);
// "the run with its journal (on <folder>) ... without ...: cost +x % (turns ...), allowed y %": the
// median of the per-iteration costs, when the turns have a bare side.
void PrintJournalCost(const TRunTurns& turns, double allowed);

// Ours against a reference, one turn each per iteration, taking turns in going first so that
// neither always meets a warm cache. turn(isOurs) does one turn and returns its timed seconds, or
// nullopt after reporting an error on state. The iteration time is ours. Returns the mean seconds
// of each side, or nullopt when a turn failed.
struct TurnTimes {
    double ours = 0;
    double reference = 0;
};
std::optional<TurnTimes> TimeInTurns(benchmark::State& state,
                                     const std::function<std::optional<double>(bool isOurs)>& turn);

// The middle of values (not empty), or the mean of the two middle ones.
double Median(std::vector<double> values);

// A figure of /proc/self/status in MB, e.g. "VmHWM:" (the peak resident set so far) or "VmRSS:"
// (the resident set now); 0 where it is not told.
double StatusMegabytes(const std::string& key);

// "longest time without painting during <what>: N ms (allowed 100): within|MISSED".
void PrintLongestGap(double milliseconds, const std::string& what = "a click");

// The same arithmetic loop on each CPU the bench may use, one after the other, and a warning when
// they differ: a virtual machine's CPUs can differ several times in speed, and each side of a
// comparison runs where the scheduler puts it; on a shared host the difference comes and goes.
// RunWithWindow prints it before and after the benchmarks.
void PrintCpuSpeeds(const char* when);
// The milliseconds of that loop on each CPU the bench may use: (cpu, ms).
std::vector<std::pair<int, double>> CpuLoopMs();

}  // namespace RunBench

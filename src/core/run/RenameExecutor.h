#pragma once

// Carrying out a run's pairs of old and new full paths on disk. Nothing here overwrites a file:
// every rename is a no-replace rename, with the outcome MyFileOperation::TryRenameFile would
// give, made a folder at a time.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/platform/FileSystem.h"
#include "core/run/RenamePlanner.h"

class RunControl;

// Every executor takes an optional control, asked before each pair with the pairs tried so far:
// once it says stop, no further pair is tried and the rest are untried. No file is ever left
// half-renamed.
namespace RenameExecutor {

// The index of the first path that names no existing file; nullopt when all exist.
std::optional<std::size_t> FirstMissingFile(const std::vector<std::string>& paths);

struct Outcome {
    bool executed = false;             // false when a list was empty or the two differ in length
    std::vector<std::size_t> skipped;  // left alone because the new name was taken
    std::vector<std::size_t> failed;   // the rename was tried and refused by the file system
    std::vector<std::size_t> untried;  // not tried because the control said stop
    // Of the executors that look at the sources: the identity of the file at each old path, as
    // looked at before the first rename ({} where no file stood). Only that file is renamed.
    std::vector<Platform::EntryId> ids;
    // The recorder refused the batch (the run journal could not be written): nothing was tried.
    std::error_code unrecorded;
};

// The order in which the pairs are tried: of two files meant for one name, the first tried gets it.
enum class Order { FirstToLast, LastToFirst };

// A batch as its recorder sees it, in the order its pairs are tried: the k-th pair tried renames
// from[At(k)] to to[At(k)], and only the file ids[At(k)].
struct RecordedPairs {
    const std::vector<std::string>& from;
    const std::vector<std::string>& to;
    const std::vector<Platform::EntryId>& ids;
    const std::vector<std::size_t>* entries;  // the indices the batch takes; null for every index
    Order order;

    std::size_t Size() const { return entries != nullptr ? entries->size() : from.size(); }
    std::size_t At(std::size_t k) const {
        const std::size_t position = order == Order::FirstToLast ? k : Size() - 1 - k;
        return entries != nullptr ? (*entries)[position] : position;
    }
};

// A file of a batch under a temporary name: pair index's file (id), at path.
struct Stranded {
    std::size_t index = 0;
    std::string path;  // where the file is, or will be
    Platform::EntryId id;
    std::string from;  // where it was before the batch (in a plan's outcome)
};

// Told of a batch before its first rename and of what became of it after the last: the run
// journal, which must be on the disk before anything changes.
class Recorder {
public:
    virtual ~Recorder() = default;
    // Optional, before Begin and on any one thread: the very batch Begin will be given (the same
    // lists of paths, unchanged; its ids need not be known yet), so that Begin has little left to
    // do. The caller may still refuse the batch afterwards; then Begin never comes.
    virtual void Prepare(const RecordedPairs& /*pairs*/) {}
    // An error refuses the batch: nothing is tried, and the outcome carries the error.
    virtual std::error_code Begin(const RecordedPairs& pairs) = 0;
    virtual void End(const Outcome& outcome) = 0;
    // After Begin and before the first rename: the temporary names the batch will set files aside
    // under (a cycle's). An error refuses the batch as Begin's does.
    virtual std::error_code Temporaries(const std::vector<Stranded>& /*names*/) { return {}; }
};

// Renames oldPaths[i] to newPaths[i] for every i in the order given. A pair whose paths are
// identical is left as it is and counts as done. The indices in the outcome are ascending.
Outcome ExecuteRenames(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                       Order order = Order::FirstToLast, RunControl* control = nullptr);
// The same for a list whose every old path the caller has just seen as an existing file (the
// sequential run checks its whole list first): the sources are not looked at again.
Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths, Order order = Order::FirstToLast,
                              RunControl* control = nullptr);
// The same, where ids are the identities the caller saw at the old paths (for the recorder).
Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths,
                              const std::vector<Platform::EntryId>& ids, Order order, RunControl* control,
                              Recorder* recorder);

// Renames the pairs in the order given; a pair whose new path is taken at that moment by another
// file is skipped (so a file renamed earlier in the run blocks later pairs, and no two names are
// swapped), while a change of letter case goes through where the file system folds case. A new path
// whose last component is empty, "." or ".." can never be a file's name, and a source that is gone
// is no collision whatever stands at the new name: those pairs count as failed. The indices in the
// outcome are ascending whatever the order.
Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order = Order::FirstToLast,
                                  RunControl* control = nullptr);
// The same, where every pair in refused (indices of names the caller found no file can take) counts
// as failed without a try, and recorder (optional) is told of the batch.
Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused, Recorder* recorder = nullptr);

// Whether the sources are looked at before each rename: kNone when the caller has just seen each
// hold its file.
enum class Look { kSources, kNone };
// Renames from[e] to to[e] for each entry e of entries (ascending), in the order given, and only
// the file ids[e]: a source that holds another file, or none, fails. The outcome's indices are
// positions in entries. Nothing is copied of the lists.
Outcome ExecuteEntries(const std::vector<std::string>& from, const std::vector<std::string>& to,
                       const std::vector<std::size_t>& entries, const std::vector<Platform::EntryId>& ids,
                       Look look, Order order, RunControl* control = nullptr, Recorder* recorder = nullptr);

// Whether the pairs cannot meet: every folder tells names apart by their letter case, no old path
// is listed twice and no new path is another pair's old path. Then no rename of the batch changes
// what stands at a later pair's old path, so what was seen there before the first rename still
// stands there as far as the batch goes.
bool Independent(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths);
// How the pairs of a batch stand to each other. kApart: independent, and no two pairs share a new
// path either. Then no pair's outcome depends on another's: the batch comes out the same in any
// order.
enum class Pairing { kMeeting, kIndependent, kApart };
Pairing PairingOf(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths);
// The order to rename a batch in, where wanted decides which of two pairs gets a shared new name: a
// batch of pairs apart goes in list order, as a plain loop would; tmpfs renames files faster in the
// order they were made than backwards.
Order WalkOrder(Pairing pairing, Order wanted);
// A quick look whether some pair's new name is held by a file of the batch that list order would
// not have moved yet: false means PlanOnDisk would find no pair to reorder.
bool NeedsOrder(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths);
// The plan for renaming oldPaths[i] to newPaths[i] as the folders stand now. runId goes into the
// temporary names of cycles.
RenamePlanner::Plan PlanOnDisk(const std::vector<std::string>& oldPaths,
                               const std::vector<std::string>& newPaths, std::string_view runId);

// Carries out a plan of the pairs, a chain or cycle at a time: when one step is refused (the file
// vanished, a file appeared at the new name, no right to write), the steps of its group taken so
// far are taken back and its files keep their old names (failed); the other groups go on. Pairs
// the plan blocked are skipped. The control is asked between groups, so no file is ever left under
// a temporary name by a stop. With Look::kSources the sources are identified first (outcome.ids)
// and only those files are renamed.
struct PlannedOutcome {
    Outcome outcome;
    // Files of a cycle whose way back failed, left under a temporary name (failed too).
    std::vector<Stranded> stranded;
};
// ids (optional): the files to rename, known already (the composition's look, an undo's record);
// with Look::kSources only those are renamed. recorder (optional) is told of the batch, in list
// order, and of every temporary name before the first rename.
PlannedOutcome ExecutePlan(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                           const RenamePlanner::Plan& plan, Look look, RunControl* control = nullptr,
                           const std::vector<Platform::EntryId>* ids = nullptr, Recorder* recorder = nullptr);
// A fresh part for the temporary names of a run.
std::string RunId();
// For tests: called before each step of ExecutePlan with the step's index in its plan (empty: none).
void SetStepHookForTests(std::function<void(std::size_t step)> hook);

}  // namespace RenameExecutor

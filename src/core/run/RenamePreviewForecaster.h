#pragma once

// The preview's computation (RenamePreview::Forecast), shared by the files of its pages: the steps
// of the runs taken on a model of the disk, a page at a time. Not for use outside the preview.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/platform/HelperThread.h"
#include "core/run/DiskModel.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RenamePlanner.h"
#include "core/run/RenamePreview.h"
#include "core/run/RunControl.h"

namespace RenamePreview::detail {

using MyFileOperation::DiskModel;
using RenameExecutor::Order;

// Rows between two questions to the control: a step of a few milliseconds.
constexpr std::size_t kStepRows = 4096;

// How far ahead of a look the looks to come are fetched into the cache: first the places in the
// folder's table, then the names standing there.
constexpr std::size_t kFarAhead = 16;
constexpr std::size_t kNearAhead = 8;
// And the paths of the rows, before the looks ahead read them.
constexpr std::size_t kPathAhead = 32;

// Asks the control only once every kStepRows pairs of a walk.
class EveryStep final : public RunControl {
public:
    explicit EveryStep(RunControl* control) : control_(control) {}
    bool Continue(std::size_t done) override { return done % kStepRows != 0 || !StopAsked(control_, done); }

private:
    RunControl* control_;
};

// The files a skip-and-mark run keeps from a part of the list: indices into the part, new paths,
// and the positions of names no file can take.
struct Planned {
    std::vector<std::size_t> indices;
    std::vector<std::string> newPaths;
    std::vector<std::size_t> unusable;
    std::optional<RegexRename::Preview::Stopped> stopped;  // the regular expression gave up on a name
    bool cancelled = false;                                // the control said stop
};

class Forecaster {
public:
    Forecaster(const std::vector<std::string>& paths, RunControl* control,
               const MyFileOperation::FolderListings* listings)
        : paths_(paths),
          control_(control),
          listings_(listings),
          model_(std::make_unique<DiskModel>(listings)) {}

    Result Run(const Inputs& inputs, const std::vector<std::int64_t>* datesTaken);

private:
    // Asked from the reading thread too: the control must bear that.
    bool Stop(std::size_t done) {
        if (!StopAsked(control_, done)) return false;
        stopped_ = true;
        return true;
    }
    // The bytes of the listed names: the new names mostly take about as many, and a buffer that
    // doubles near its end would hold both copies at the peak.
    std::size_t NameBytes() const {
        std::size_t bytes = 0;
        for (std::size_t row = 0; row < paths_.size(); ++row) {
            FetchPath(row + kPathAhead);
            bytes += MyFileOperation::SplitAtLastDelimiter(paths_[row]).name.size();
        }
        return bytes;
    }
    std::string_view FolderOf(std::size_t row) const {
        return MyFileOperation::SplitAtLastDelimiter(paths_[row]).folder;
    }
    const std::string& NewPath(std::size_t row) {
        return to_.assign(FolderOf(row)).append(result_.rows.NameOf(row));
    }
    // The looks at row's names to come: its old name (held: the name found there) and, unless held,
    // its new one. A look into a large folder otherwise waits for memory twice, and the model is
    // looked into several times a row.
    void ExpectRow(std::size_t row, bool held) {
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(paths_[row]);
        model_->Prefetch(parts.folder, parts.name, held);
        if (!held) model_->Prefetch(parts.folder, result_.rows.NameOf(row), false);
    }
    // The same before the step of pair k of count taken in order, for the pairs a few steps ahead;
    // rowOf: the row of a pair.
    template <class RowOf>
    void ExpectAhead(std::size_t k, std::size_t count, Order order, const RowOf& rowOf) {
        const bool forward = order == Order::FirstToLast;
        const auto ahead = [&](std::size_t distance, const auto& use) {
            if (forward ? k + distance < count : k >= distance)
                use(rowOf(forward ? k + distance : k - distance));
        };
        ahead(kPathAhead, [this](std::size_t row) { FetchPath(row); });
        ahead(kFarAhead, [this](std::size_t row) { ExpectRow(row, false); });
        ahead(kNearAhead, [this](std::size_t row) { ExpectRow(row, true); });
    }
    // The bytes of the path of a row a pass over the rows reads soon, fetched into the cache: a
    // loaded list's paths lie scattered in memory, and a pass over a million of them otherwise
    // waits for each.
    void FetchPath(std::size_t row) const {
        if (row < paths_.size()) __builtin_prefetch(paths_[row].data());
    }
    // The same for the rows [first, first + count), ahead of a pass that cannot fetch ahead itself.
    void FetchPaths(std::size_t first, std::size_t count) const {
        for (std::size_t row = first; row < first + count; ++row)
            FetchPath(row);
    }
    // Reads every folder of the list into the model, one folder a step, with room for the renames of
    // all its rows when renames. Reads only paths_ and the model, so it may run beside the
    // composition of names.
    bool ReadFolders(bool renames = true);
    // ReadFolders(false) on a thread of its own, beside what the calling thread does, then ListedOnce
    // into listedOnce: the folders mostly come from the load's listings, and the thread has time.
    Platform::HelperThread ReadFoldersBeside(bool& listedOnce) {
        return Platform::HelperThread([this, &listedOnce] {
            const Entered entered(control_);
            if (entered) {
                listedOnce = ReadFolders(false) && ListedOnce();
            } else {
                stopped_ = true;
            }
        });
    }

    void Sequential(const SequentialNames::Options& options, const std::vector<std::int64_t>* datesTaken);
    // False when a path is listed twice (or the control said stop).
    bool ListedOnce();
    // What the sequential run's looks find at the rows [first, end), the two halves of the list
    // on two threads once every folder was read: the first file missing (paths_.size() for none),
    // whether a new name is held on disk (its row marked), and whether every row's step went
    // through on the disk as read.
    struct Looked {
        std::size_t missing = 0;
        bool taken = false;
        bool allDone = true;
    };
    Looked LookAtRows();
    Looked LookAtRows(std::size_t first, std::size_t end);
    // part(first, end) for the two halves of the rows, the second on a thread of its own.
    template <class Part>
    auto InHalves(const Part& part) {
        const std::size_t half = paths_.size() / 2;
        decltype(part(0, 0)) second;
        Platform::HelperThread helper([&] {
            const Entered entered(control_);
            if (entered) {
                second = part(half, paths_.size());
            } else {
                stopped_ = true;
            }
        });
        auto first = part(0, half);
        helper.Join();
        return std::pair(std::move(first), std::move(second));
    }
    // False when two rows the run renames are given one new path (or the control said stop).
    bool NamedOnce();
    // Whether every step of a skip-and-mark run on the rows, unusable ones left out, goes through
    // on the disk as read.
    bool AllGoThrough(const std::vector<bool>& unusable);
    void SequentialWalk();
    void StringPage(const RenamePreview::StringPage& page);
    // offerOrder: the run asks to take the names held by its own files in another order; run: the
    // run, which refuses when it keeps no file.
    template <class Plan>
    void KeptFiles(const Plan& plan, Order order, bool offerOrder, NothingToRename::Run run);
    // The state of a row the walk found failed.
    State FailureOf(std::size_t row, bool unusable);
    // The renames of the rows pairs (ascending) to their names as the run makes them when the user
    // agrees to an order: plan's groups taken on a model read afresh, a group taken back whole when
    // one of its steps is refused. readFiles: each source must be the file read there.
    void CarryOut(const RenamePlanner::Plan& plan, const std::vector<std::uint32_t>& pairs,
                  const std::vector<std::string>& from, const std::vector<std::string>& to,
                  const std::vector<bool>& unusable, bool readFiles);
    // The old and new paths of the rows pairs.
    void PathsOf(const std::vector<std::uint32_t>& pairs, std::vector<std::string>& from,
                 std::vector<std::string>& to);

    const std::vector<std::string>& paths_;
    RunControl* control_;
    const MyFileOperation::FolderListings* listings_;
    std::atomic<bool> stopped_{false};
    std::unique_ptr<DiskModel> model_;
    Result result_;
    std::string to_;
};

}  // namespace RenamePreview::detail

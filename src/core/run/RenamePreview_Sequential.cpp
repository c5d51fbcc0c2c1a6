// The sequential page's preview: the names composed and checked against each other while the
// folders are read, then every row looked at once, and the renames walked on paper only where
// they can meet.
#include <cassert>
#include <thread>
#include <vector>

#include "core/names/SequentialNames.h"
#include "core/run/RenamePreviewForecaster.h"
#include "core/run/RenameSteps.h"
#include "core/text/Cp932.h"

namespace RenamePreview::detail {

void Forecaster::Sequential(const SequentialNames::Options& options,
                            const std::vector<std::int64_t>* datesTaken) {
    assert((datesTaken != nullptr || !options.addDate || !options.dateTaken) && "read before the preview");
    // The folders are read, and the list checked for a file given twice, while the names are
    // composed and checked against each other: the names need no look.
    bool listedOnce = false;
    Platform::HelperThread reader = ReadFoldersBeside(listedOnce);
    Rows& rows = result_.rows;
    rows.Reserve(paths_.size(), NameBytes());
    std::optional<SequentialNames::NameCheck> check(
        std::in_place, paths_.size(), [this](std::size_t a, std::size_t b) {
            return Cp932::EqualNoCase(FolderOf(a), FolderOf(b)) &&
                   Cp932::EqualNoCase(result_.rows.NameOf(a), result_.rows.NameOf(b));
        });
    // The rows whose name an earlier row was given: the run stops at them, no order helps.
    std::vector<std::size_t> twice;
    SequentialNames::Outcome composed = SequentialNames::Outcome::Composed;
    std::string detail;
    {
        SequentialNames::Composer composer(options, paths_.size(), datesTaken);
        std::string newName;
        for (std::size_t row = 0; row < paths_.size(); ++row) {
            if (row % kStepRows == 0 && Stop(row)) return;
            FetchPath(row + kPathAhead);
            composed = composer.Compose(row, paths_[row], newName, detail);
            if (composed != SequentialNames::Outcome::Composed) break;
            const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(paths_[row]);
            rows.Add(newName == parts.name ? State::kUnchanged : State::kRenamed, newName);
            check->Queue(row, parts.folder, newName, twice);
        }
        check->Finish(twice);
    }
    check.reset();
    reader.Join();
    if (stopped_) return;
    for (const std::size_t row : twice)
        rows.Set(row, State::kCollision);
    const Looked looked = LookAtRows();
    if (stopped_) return;
    if (looked.missing < paths_.size()) {
        result_.refusal = SequentialStopped{SequentialNames::Outcome::MissingFile, paths_[looked.missing]};
        result_.rows = Rows();
        return;
    }
    bool collided = !twice.empty() || looked.taken;
    bool composedAll = twice.empty();
    if (composed != SequentialNames::Outcome::Composed) {
        // The run stops at the first entry it cannot take, a taken name or this one, and tells
        // why; a taken name keeps its rows marked, the others unnamed.
        if (!collided) {
            result_.refusal = SequentialStopped{composed, std::move(detail)};
            result_.rows = Rows();
            return;
        }
        while (rows.Size() < paths_.size())
            rows.Add(State::kUnchanged);
        composedAll = false;
    }
    if (collided) {
        // Names held only by files of the list that the run renames: the run asks whether to take
        // them in another order, and does so on a yes.
        if (composedAll) {
            std::vector<std::uint32_t> all(paths_.size());
            for (std::size_t row = 0; row < all.size(); ++row)
                all[row] = static_cast<std::uint32_t>(row);
            std::vector<std::string> from;
            std::vector<std::string> to;
            PathsOf(all, from, to);
            const RenamePlanner::Plan plan = RenameExecutor::PlanOnDisk(from, to, "0");
            if (plan.blockedCount == 0) {
                CarryOut(plan, all, from, to, {}, false);
                return;
            }
        }
        result_.refusal = SequentialStopped{SequentialNames::Outcome::Collision, {}};
        return;
    }
    // Where no step looks at a name another step renames, every step finds what it would find on
    // the disk as read: when each went through there, the walk renames every row.
    if (!(looked.allDone && listedOnce && model_->ExactAndDistinct())) SequentialWalk();
}

Forecaster::Looked Forecaster::LookAtRows() {
    const auto [first, second] =
        InHalves([this](std::size_t from, std::size_t end) { return LookAtRows(from, end); });
    if (first.missing < paths_.size()) return first;
    return {second.missing, first.taken || second.taken, first.allDone && second.allDone};
}

Forecaster::Looked Forecaster::LookAtRows(std::size_t first, std::size_t end) {
    Looked looked;
    looked.missing = paths_.size();
    DiskModel::AsRead disk(*model_);
    SequentialNames::NameCheck check(0, nullptr);
    const auto standsAt = [&disk](std::string_view at) { return disk.At(at) != DiskModel::Kind::kNone; };
    Rows& rows = result_.rows;
    std::string to;
    for (std::size_t row = first; row < end; ++row) {
        if ((row - first) % kStepRows == 0 && Stop(row)) return looked;
        FetchPath(row + kPathAhead);
        if (disk.At(paths_[row]) != DiskModel::Kind::kFile) {
            looked.missing = row;
            return looked;
        }
        if (row >= rows.Size()) continue;
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(paths_[row]);
        // Unlike the run, the check goes on after a refusal, so that every name that refuses it shows.
        if (check.Taken(parts.folder, parts.name, rows.NameOf(row), standsAt)) {
            rows.Set(row, State::kCollision);
            looked.taken = true;
        } else if (looked.allDone && rows.StateOf(row) == State::kRenamed) {
            to.assign(parts.folder).append(rows.NameOf(row));
            looked.allDone =
                RenameExecutor::CheckedStep(disk, paths_[row], to) == RenameExecutor::Step::kDone;
        }
    }
    return looked;
}

void Forecaster::SequentialWalk() {
    Rows& rows = result_.rows;
    EveryStep every(control_);
    const RenameExecutor::Outcome outcome = RenameExecutor::Walk(
        paths_.size(), Order::FirstToLast, &every, {},
        [&](std::size_t row) { return rows.StateOf(row) == State::kUnchanged; },
        [&](std::size_t row) {
            ExpectAhead(row, paths_.size(), Order::FirstToLast, [](std::size_t ahead) { return ahead; });
            return RenameExecutor::CheckedStep(*model_, paths_[row], NewPath(row));
        });
    if (!outcome.untried.empty()) {
        stopped_ = true;
        return;
    }
    for (const std::size_t row : outcome.failed)
        rows.Set(row, FailureOf(row, false));
}

}  // namespace RenamePreview::detail

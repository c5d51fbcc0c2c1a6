#pragma once

// The files of the rename table and what the last command did to them. Entry i belongs to table
// row i + 1: the path the file had before the last command (old), the path that command gave or
// meant to give it (new), whether the file was really renamed, which file it is (its identity
// before the first rename of the run; renames keep it), and once read, the date the file was taken.
// They are changed only together, so removing, dragging and sorting rows can never pair a name with
// another file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/list/FolderListings.h"
#include "core/list/PackedPaths.h"
#include "core/platform/FileSystem.h"
#include "core/run/RenameExecutor.h"

class PairList {
public:
    enum class State : std::uint8_t {
        // The last command did not rename it: not yet run, or skipped or refused; the file stands
        // at old.
        kUnrenamed,
        kRenamed,  // the last command renamed it from old to new
        // Renamed from old to new by the command before an undo that did not take it back (stopped
        // before it, or refused): the undo is unfinished, and the next one takes these back.
        kOwed,
        kMovedAway,  // renamed, then moved to the move destination: no longer at new
    };

    std::size_t Size() const { return old_.size(); }
    bool Empty() const { return old_.empty(); }
    const std::vector<std::string>& OldPaths() const { return old_; }
    // Empty until a run gives new paths, then as long as OldPaths.
    const std::vector<std::string>& NewPaths() const { return new_; }
    bool HasNewPaths() const { return !new_.empty(); }
    State StateOf(std::size_t i) const { return state_[i]; }
    // The file stands at new, put there by a rename a later undo or revert can take back.
    bool Renamed(std::size_t i) const { return state_[i] == State::kRenamed || state_[i] == State::kOwed; }
    // Some entries are owed: the last undo did not take back every file.
    bool UndoUnfinished() const { return owed_ > 0; }
    // The identity of the file of entry i; {} before a run.
    Platform::EntryId IdOf(std::size_t i) const { return ids_.empty() ? Platform::EntryId{} : ids_[i]; }
    // Empty until a run, then as long as OldPaths.
    const std::vector<Platform::EntryId>& Ids() const { return ids_; }
    // Per entry, whether it is renamed (the files a move after the run takes).
    std::vector<bool> RenamedFlags() const;
    // The files the last command really renamed: renamed entries whose new path differs from the
    // old one (a pair left with its own name counts as done, but nothing was renamed there).
    std::size_t RenamedFileCount() const;
    // The entries the last command did not rename: the rows marked "*".
    std::vector<std::size_t> Unrenamed() const;
    // The order in which the last command renamed its pairs; undo goes the other way.
    RenameExecutor::Order LastOrder() const { return lastOrder_; }
    // The date each file was taken (PhotoDate stamps), once read for this list; empty until then.
    // A rename changes no file's date, so they stay through runs and edits; a new list forgets them.
    const std::vector<std::int64_t>& DatesTaken() const { return taken_; }
    bool HasDatesTaken() const { return !takenPending_ && !old_.empty() && taken_.size() == old_.size(); }
    void SetDatesTaken(std::vector<std::int64_t> taken);
    // While they are read: each entry keeps its place in the list as it was when the reading began,
    // through edits and sorts, to take its date from there when they arrive (ReceiveDatesTaken).
    void BeginDatesTaken();
    bool DatesTakenPending() const { return takenPending_; }
    // read: the dates in the order of the list when the reading began.
    void ReceiveDatesTaken(const std::vector<std::int64_t>& read);
    void ForgetDatesTaken();
    // Where the file of an entry stands now: new when the last command renamed it, else old.
    const std::string& CurrentPath(std::size_t i) const { return Renamed(i) ? new_[i] : old_[i]; }

    // A loaded list: old paths only, nothing renamed.
    // listings: of the folders the load read, for the first run to take (TakeListings).
    void Load(std::vector<std::string> oldPaths, MyFileOperation::FolderListings listings = {});
    MyFileOperation::FolderListings TakeListings() { return std::exchange(listings_, {}); }
    // The same, lent to previews until the first run takes them.
    const MyFileOperation::FolderListings& Listings() const { return listings_; }
    // Whether the load kept a listing for the first run (none for a folder changed as it was read).
    bool HasListings() const { return !listings_.Empty(); }
    // A run's pairs and the identities of their files before anything is renamed ({} for a file
    // not found). The lists have one length.
    void SetRun(std::vector<std::string> oldPaths, std::vector<std::string> newPaths,
                std::vector<Platform::EntryId> ids);
    // The same for a run over the whole list as it stands: the old paths stay.
    void SetRun(std::vector<std::string> newPaths, std::vector<Platform::EntryId> ids);
    // What the executor did with the pairs of SetRun: all renamed but the skipped, failed and
    // untried ones (none when it did not execute). An untried pair's new path becomes its old one.
    // planned: the run went through the planner (names freed in turn), and so must its undo.
    void Record(const RenameExecutor::Outcome& outcome, RenameExecutor::Order order, bool planned = false);
    bool LastPlanned() const { return planned_; }
    void MarkMovedAway(const std::vector<std::size_t>& indices);
    // What is known of the birth of entry i's file, from a later look.
    void SetBorn(std::size_t i, Platform::Born born) { ids_[i].born = born; }

    // A revert: the file of a renamed entry went back from new to old; the pair is exchanged (the
    // file is again at new). While an undo is unfinished the entry changes sides: an owed file is
    // now taken back, one taken back is owed again.
    void ExchangeOne(std::size_t i);
    // An undo, which renamed in the order given: the entries in done went back (their pairs are
    // exchanged, and they count as renamed by the undo); those in owed did not (stopped before
    // them, or refused), and the next undo takes them back. Every other entry stays as it is.
    void RecordUndo(const std::vector<std::size_t>& done, const std::vector<std::size_t>& owed,
                    RenameExecutor::Order order);
    // indices ascending, without repeats; one pass over the list.
    void RemoveMany(const std::vector<std::size_t>& indices);
    // Takes entry from out and inserts it at to, shifting the entries between, as a dragged row.
    void Move(std::size_t from, std::size_t to);
    // Entry order[k] becomes entry k, for a permutation order of the entries (sorted rows).
    void Reorder(const std::vector<std::size_t>& order);

    // A list kept while the next one is read, for a load that may be cancelled: packed, its paths
    // take a fraction of their room, and a reload of a million files does not hold two lists of
    // strings. Nothing reads a packed list (it has no paths) until Unpack.
    void Pack();
    void Unpack();

private:
    MyFileOperation::FolderListings listings_;
    std::vector<std::string> old_;
    std::vector<std::string> new_;
    PackedPaths packedOld_;
    PackedPaths packedNew_;
    std::vector<State> state_;
    std::vector<std::int64_t> taken_;
    std::vector<Platform::EntryId> ids_;
    std::size_t owed_ = 0;       // entries in State::kOwed
    bool takenPending_ = false;  // taken_ holds places, not yet dates
    RenameExecutor::Order lastOrder_ = RenameExecutor::Order::FirstToLast;
    bool planned_ = false;
};

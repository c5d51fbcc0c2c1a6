#include "core/list/PairList.h"

#include <algorithm>
#include <cassert>
#include <numeric>
#include <utility>

namespace {

template <class T>
void MoveEntry(std::vector<T>& list, std::size_t from, std::size_t to) {
    const auto at = [&list](std::size_t i) { return list.begin() + static_cast<std::ptrdiff_t>(i); };
    if (from < to) {
        std::rotate(at(from), at(from + 1), at(to + 1));
    } else {
        std::rotate(at(to), at(from), at(from + 1));
    }
}

// Keeps the elements whose index is not in indices (ascending), in one pass.
template <class T>
void EraseIndices(std::vector<T>& list, const std::vector<std::size_t>& indices) {
    if (list.empty() || indices.empty()) return;
    std::size_t next = 0;  // next index to drop
    std::size_t kept = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (next < indices.size() && indices[next] == i) {
            ++next;
            continue;
        }
        if (kept != i) list[kept] = std::move(list[i]);
        ++kept;
    }
    list.resize(kept);
}

// Entry order[k] of list becomes entry k.
template <class T>
void ReorderEntries(std::vector<T>& list, const std::vector<std::size_t>& order) {
    if (list.empty()) return;
    std::vector<T> reordered;
    reordered.reserve(list.size());
    for (const std::size_t i : order)
        reordered.push_back(std::move(list[i]));
    list = std::move(reordered);
}

}  // namespace

std::vector<bool> PairList::RenamedFlags() const {
    std::vector<bool> flags(state_.size());
    for (std::size_t i = 0; i < state_.size(); ++i)
        flags[i] = Renamed(i);
    return flags;
}

std::size_t PairList::RenamedFileCount() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < state_.size(); ++i)
        count += Renamed(i) && old_[i] != new_[i] ? 1 : 0;
    return count;
}

std::vector<std::size_t> PairList::Unrenamed() const {
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < state_.size(); ++i) {
        if (state_[i] == State::kUnrenamed) indices.push_back(i);
    }
    return indices;
}

void PairList::Load(std::vector<std::string> oldPaths, MyFileOperation::FolderListings listings) {
    listings_ = std::move(listings);
    old_ = std::move(oldPaths);
    new_.clear();
    ForgetDatesTaken();
    ids_.clear();
    state_.assign(old_.size(), State::kUnrenamed);
    owed_ = 0;
    lastOrder_ = RenameExecutor::Order::FirstToLast;
    planned_ = false;
}

void PairList::SetRun(std::vector<std::string> oldPaths, std::vector<std::string> newPaths,
                      std::vector<Platform::EntryId> ids) {
    old_ = std::move(oldPaths);
    ForgetDatesTaken();
    SetRun(std::move(newPaths), std::move(ids));
}

void PairList::SetRun(std::vector<std::string> newPaths, std::vector<Platform::EntryId> ids) {
    assert(newPaths.size() == old_.size() && ids.size() == old_.size() &&
           "a run pairs every old path with a new one and knows its file");
    new_ = std::move(newPaths);
    ids_ = std::move(ids);
    state_.assign(old_.size(), State::kUnrenamed);
    owed_ = 0;
    lastOrder_ = RenameExecutor::Order::FirstToLast;
    planned_ = false;
}

void PairList::Record(const RenameExecutor::Outcome& outcome, RenameExecutor::Order order, bool planned) {
    lastOrder_ = order;
    planned_ = planned && outcome.executed;
    owed_ = 0;
    state_.assign(old_.size(), outcome.executed ? State::kRenamed : State::kUnrenamed);
    if (!outcome.executed) return;
    for (const auto* indices : {&outcome.skipped, &outcome.failed, &outcome.untried}) {
        for (const std::size_t i : *indices)
            state_[i] = State::kUnrenamed;
    }
    // A pair a stopped run never tried keeps its name: the table shows it unchanged.
    for (const std::size_t i : outcome.untried)
        new_[i] = old_[i];
}

void PairList::MarkMovedAway(const std::vector<std::size_t>& indices) {
    for (const std::size_t i : indices) {
        assert(state_[i] == State::kRenamed && "only a renamed file is moved");
        state_[i] = State::kMovedAway;
    }
}

void PairList::ExchangeOne(std::size_t i) {
    assert(HasNewPaths() && Renamed(i));
    std::swap(old_[i], new_[i]);
    if (state_[i] == State::kOwed) {
        state_[i] = State::kRenamed;
        --owed_;
    } else if (owed_ > 0) {
        state_[i] = State::kOwed;
        ++owed_;
    }
}

void PairList::RecordUndo(const std::vector<std::size_t>& done, const std::vector<std::size_t>& owed,
                          RenameExecutor::Order order) {
    lastOrder_ = order;
    for (const std::size_t i : done) {
        assert(Renamed(i));
        std::swap(old_[i], new_[i]);
        state_[i] = State::kRenamed;
    }
    for (const std::size_t i : owed) {
        assert(Renamed(i));
        state_[i] = State::kOwed;
    }
    owed_ = static_cast<std::size_t>(std::count(state_.begin(), state_.end(), State::kOwed));
}

void PairList::RemoveMany(const std::vector<std::size_t>& indices) {
    assert(std::is_sorted(indices.begin(), indices.end()) && (indices.empty() || indices.back() < Size()));
    EraseIndices(old_, indices);
    EraseIndices(new_, indices);
    EraseIndices(state_, indices);
    EraseIndices(taken_, indices);
    EraseIndices(ids_, indices);
    owed_ = static_cast<std::size_t>(std::count(state_.begin(), state_.end(), State::kOwed));
}

void PairList::Move(std::size_t from, std::size_t to) {
    assert(from < Size() && to < Size());
    if (from == to) return;
    MoveEntry(old_, from, to);
    if (HasNewPaths()) MoveEntry(new_, from, to);
    if (!ids_.empty()) MoveEntry(ids_, from, to);
    MoveEntry(state_, from, to);
    if (!taken_.empty()) MoveEntry(taken_, from, to);
}

void PairList::Reorder(const std::vector<std::size_t>& order) {
    assert(order.size() == Size());
    ReorderEntries(old_, order);
    ReorderEntries(new_, order);
    ReorderEntries(state_, order);
    ReorderEntries(taken_, order);
    ReorderEntries(ids_, order);
}

void PairList::SetDatesTaken(std::vector<std::int64_t> taken) {
    assert(taken.size() == Size() && "one date per entry");
    taken_ = std::move(taken);
    takenPending_ = false;
}

void PairList::BeginDatesTaken() {
    taken_.resize(Size());
    std::iota(taken_.begin(), taken_.end(), std::int64_t{0});
    takenPending_ = true;
}

void PairList::ReceiveDatesTaken(const std::vector<std::int64_t>& read) {
    assert(takenPending_ && "a reading began");
    for (std::int64_t& taken : taken_) {
        assert(taken >= 0 && static_cast<std::size_t>(taken) < read.size());
        taken = read[static_cast<std::size_t>(taken)];
    }
    takenPending_ = false;
}

void PairList::ForgetDatesTaken() {
    taken_.clear();
    takenPending_ = false;
}

void PairList::Pack() {
    assert(packedOld_.Size() == 0 && packedNew_.Size() == 0 && "a list is packed once");
    packedOld_ = PackedPaths(std::move(old_));
    packedNew_ = PackedPaths(std::move(new_));
}

void PairList::Unpack() {
    old_ = packedOld_.Unpack();
    new_ = packedNew_.Unpack();
}

#include "core/journal/RunJournalRecovery.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <unordered_map>
#include <utility>

#include "core/platform/FileSystem.h"

namespace RunJournal {

namespace {

// Who stands at path, as the run's record tells files apart: the entry and its file system.
std::optional<Platform::EntryId> IdAt(const std::string& path) {
    const auto look = Platform::LookAt(path);
    if (!look) return std::nullopt;
    return look->id;
}

bool Holds(const std::string& path, const Platform::EntryId& id) {
    const auto found = IdAt(path);
    return found && Platform::IsSame(id, *found);
}

// The copies placed under their final names, by entry: after a move to another file system the
// file at the new path is one of these, not the recorded file.
class PlacedCopies {
public:
    explicit PlacedCopies(const Journal& journal) : placed_(journal.entries.size()) {
        for (const Note& note : journal.notes) {
            assert(note.entry < journal.entries.size() && "a note belongs to an entry");
            if (note.kind == NoteKind::kCopyPlaced) placed_[note.entry].push_back(note.id);
        }
    }
    // id is the file of entry i or one of its placed copies.
    bool Ours(const Journal& journal, std::size_t i, const Platform::EntryId& id) const {
        const auto same = [&id](const Platform::EntryId& recorded) { return Platform::IsSame(recorded, id); };
        return same(journal.entries[i].id) || std::any_of(placed_[i].begin(), placed_[i].end(), same);
    }

private:
    std::vector<std::vector<Platform::EntryId>> placed_;
};

// The copies later commands placed of the files of a command, by the path they took: a copy of a
// file moved from where the command left it, then of that copy moved on, and so on.
class LaterCopiesOf {
public:
    LaterCopiesOf(const Journal& journal, const std::vector<std::size_t>& done,
                  const std::vector<Journal>& later) {
        if (later.empty()) return;
        for (const std::size_t i : done)
            Add({i, journal.entries[i].newPath, journal.entries[i].id});
        for (const Journal& command : later) {
            std::vector<Known> placed;
            for (const Note& note : command.notes) {
                if (note.kind != NoteKind::kCopyPlaced || note.entry >= command.entries.size()) continue;
                const Entry& moved = command.entries[note.entry];
                const auto [first, last] = byPath_.equal_range(moved.oldPath);
                for (auto at = first; at != last; ++at) {
                    const Known& from = known_[at->second];
                    if (Platform::Compare(from.id, moved.id) != Platform::Sameness::kOther)
                        placed.push_back({from.entry, moved.newPath, note.id});
                }
            }
            for (Known& copy : placed)
                Add(std::move(copy));
        }
    }
    // id, found at entry i's new path, is a copy a later command placed of its file.
    bool Ours(const Journal& journal, std::size_t i, const Platform::EntryId& id) const {
        const auto [first, last] = byPath_.equal_range(journal.entries[i].newPath);
        return std::any_of(first, last, [&](const auto& at) {
            const Known& known = known_[at.second];
            return known.entry == i && Platform::IsSame(known.id, id);
        });
    }

private:
    struct Known {
        std::size_t entry;
        std::string path;
        Platform::EntryId id;
    };
    void Add(Known known) {
        byPath_.emplace(known.path, known_.size());
        known_.push_back(std::move(known));
    }
    std::vector<Known> known_;
    std::unordered_multimap<std::string, std::size_t> byPath_;
};

}  // namespace

OnDisk Examine(const Journal& journal) {
    const std::vector<Entry>& entries = journal.entries;
    const PlacedCopies placed(journal);

    OnDisk found = LeftBehind(journal);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (e.oldPath == e.newPath) continue;
        const auto atNew = IdAt(e.newPath);
        if (atNew && placed.Ours(journal, i, *atNew) && !Holds(e.oldPath, e.id)) found.done.push_back(i);
    }
    return found;
}

OnDisk LeftBehind(const Journal& journal, Way way) {
    const std::vector<Entry>& entries = journal.entries;
    const std::vector<Note>& notes = journal.notes;
    OnDisk found;
    found.way = way;
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const Note& note = notes[n];
        const Entry& e = entries[note.entry];
        switch (note.kind) {
            case NoteKind::kCopy: {
                // A regular file, links not followed: a link there is nobody's copy.
                const auto copy = Platform::EntryStatus(note.path);
                const auto copyId = IdAt(note.path);
                if (copy && copy->kind == Platform::EntryKind::File && copyId &&
                    !Platform::IsSame(e.id, *copyId) && Holds(e.oldPath, e.id) &&
                    !Holds(e.newPath, *copyId)) {
                    found.removableCopies.push_back(n);
                }
                break;
            }
            case NoteKind::kCycle:
                if (Holds(note.path, e.id)) {
                    const bool back = way == Way::kBack;
                    found.stranded.push_back(
                        {n, note.path, back ? e.oldPath : e.newPath, back ? e.newPath : e.oldPath});
                }
                break;
            case NoteKind::kSetAside:
                if (Holds(note.path, note.id)) found.stranded.push_back({n, note.path, e.newPath, {}});
                break;
            case NoteKind::kCopyPlaced:
                if (Holds(note.path, note.id) && Holds(e.oldPath, e.id))
                    found.twice.push_back({n, e.oldPath, note.path});
                break;
        }
    }
    return found;
}

std::vector<std::size_t> DoneEntries(const Journal& journal) {
    if (!journal.closing) return Examine(journal).done;
    std::vector<std::size_t> done;
    for (std::size_t i = 0; i < journal.entries.size(); ++i) {
        const Entry& e = journal.entries[i];
        if (journal.closing->outcomes[i] == Outcome::kDone && e.oldPath != e.newPath) done.push_back(i);
    }
    return done;
}

UndoCheck CheckUndo(const Journal& journal, const std::vector<std::size_t>& done,
                    const std::vector<Journal>& later) {
    const PlacedCopies placed(journal);
    const LaterCopiesOf copies(journal, done, later);
    UndoCheck check;
    check.ids.resize(journal.entries.size());
    for (const std::size_t i : done) {
        const Entry& e = journal.entries[i];
        const auto atNew = IdAt(e.newPath);
        if (atNew && (placed.Ours(journal, i, *atNew) || copies.Ours(journal, i, *atNew))) {
            check.take.push_back(i);
            check.ids[i] = *atNew;
        } else if (!Holds(e.oldPath, e.id)) {
            check.missing.push_back(i);
        }
    }
    return check;
}

}  // namespace RunJournal

#include "core/RunJournalRecovery.h"

#include <algorithm>
#include <cassert>
#include <optional>

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

OnDisk LeftBehind(const Journal& journal) {
    const std::vector<Entry>& entries = journal.entries;
    const std::vector<Note>& notes = journal.notes;
    OnDisk found;
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
                if (Holds(note.path, e.id)) found.stranded.push_back({n, e.oldPath});
                break;
            case NoteKind::kSetAside:
                if (Holds(note.path, note.id)) found.stranded.push_back({n, e.newPath});
                break;
            case NoteKind::kCopyPlaced:
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

UndoCheck CheckUndo(const Journal& journal, const std::vector<std::size_t>& done) {
    const PlacedCopies placed(journal);
    UndoCheck check;
    check.ids.resize(journal.entries.size());
    for (const std::size_t i : done) {
        const Entry& e = journal.entries[i];
        const auto atNew = IdAt(e.newPath);
        if (atNew && placed.Ours(journal, i, *atNew)) {
            check.take.push_back(i);
            check.ids[i] = *atNew;
        } else if (!Holds(e.oldPath, e.id)) {
            check.missing.push_back(i);
        }
    }
    return check;
}

}  // namespace RunJournal

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
    return IdAt(path) == id;
}

}  // namespace

OnDisk Examine(const Journal& journal) {
    const std::vector<Entry>& entries = journal.entries;
    const std::vector<Note>& notes = journal.notes;
    // The copies placed under their final names, by entry: after a move to another file system the
    // file at the new path is one of these, not the recorded file.
    std::vector<std::vector<Platform::EntryId>> placed(entries.size());
    for (const Note& note : notes) {
        assert(note.entry < entries.size() && "a note belongs to an entry");
        if (note.kind == NoteKind::kCopyPlaced) placed[note.entry].push_back(note.id);
    }

    OnDisk found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (e.oldPath == e.newPath) continue;
        const auto atNew = IdAt(e.newPath);
        if (!atNew) continue;
        const bool ours =
            *atNew == e.id || std::find(placed[i].begin(), placed[i].end(), *atNew) != placed[i].end();
        if (ours && !Holds(e.oldPath, e.id)) found.done.push_back(i);
    }

    for (std::size_t n = 0; n < notes.size(); ++n) {
        const Note& note = notes[n];
        const Entry& e = entries[note.entry];
        switch (note.kind) {
            case NoteKind::kCopy: {
                // A regular file, links not followed: a link there is nobody's copy.
                const auto copy = Platform::EntryStatus(note.path);
                const auto copyId = IdAt(note.path);
                if (copy && copy->kind == Platform::EntryKind::File && copyId && *copyId != e.id &&
                    Holds(e.oldPath, e.id) && !Holds(e.newPath, *copyId)) {
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

}  // namespace RunJournal

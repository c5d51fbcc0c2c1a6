#include "core/journal/RunJournalUndo.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "core/journal/RunJournalRecord.h"
#include "core/platform/DestinationFolder.h"
#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"

namespace RunJournal {
namespace {

// The executor's text of a native path: the codec takes every name there and back unchanged.
std::string Cp932Path(const std::string& native) {
    return Cp932::FromUtf8(native).value_or(native);
}

struct PathParts {
    std::string folder;
    std::string name;
};
PathParts Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {path.substr(0, std::max<std::size_t>(slash, 1)), path.substr(slash + 1)};
}

// The files of a move go back to their folders, each group of one folder through that folder, as
// the move brought them: also from another file system, each only while it is the file found.
UndoResult MoveBack(const Journal& journal, const UndoCheck& check, Record& record, RunControl* control) {
    UndoResult result;
    const std::vector<std::size_t> order(check.take.rbegin(), check.take.rend());
    std::vector<Entry> entries;
    entries.reserve(order.size());
    for (const std::size_t i : order) {
        const Entry& e = journal.entries[i];
        entries.push_back({e.newPath, e.oldPath, check.ids[i]});
    }
    if ((result.unrecorded = record.Begin(entries))) return result;
    std::vector<Outcome> outcomes(order.size(), Outcome::kUntried);
    bool stopped = false;
    for (std::size_t first = 0; first < order.size() && !stopped;) {
        const std::string folder = Split(journal.entries[order[first]].oldPath).folder;
        std::vector<Platform::MoveRequest> moves;
        std::size_t end = first;
        for (; end < order.size(); ++end) {
            const Entry& e = journal.entries[order[end]];
            PathParts old = Split(e.oldPath);
            if (old.folder != folder) break;
            moves.push_back(
                {e.newPath, std::move(old.name), Platform::Existing::Keep, check.ids[order[end]]});
        }
        Platform::DestinationFolder destination(folder);
        const std::vector<Platform::MoveOutcome> moved =
            destination.Move(moves, control, record.MoveNames(folder, first));
        for (std::size_t k = 0; k < moved.size(); ++k) {
            outcomes[first + k] = OutcomeOfMove(moved[k].error);
            stopped = stopped || outcomes[first + k] == Outcome::kUntried;
        }
        first = end;
    }
    record.End(outcomes);
    for (std::size_t k = 0; k < order.size(); ++k) {
        switch (outcomes[k]) {
            case Outcome::kDone:
                ++result.done;
                break;
            case Outcome::kUntried:
                result.untried.push_back(order[k]);
                break;
            default:
                result.refused.push_back(order[k]);
                break;
        }
    }
    std::sort(result.refused.begin(), result.refused.end());
    std::sort(result.untried.begin(), result.untried.end());
    return result;
}

// Renames back the files check takes, the command's last first, each list built once. Where that
// order would find a name still held (a planned command went by chains and cycles, not by its
// list), the way back goes through the planner.
UndoResult RenameBack(const Journal& journal, const UndoCheck& check, Record& record, RunControl* control) {
    const std::size_t count = check.take.size();
    std::vector<std::string> from(count);
    std::vector<std::string> to(count);
    std::vector<Platform::EntryId> ids(count);
    const auto entryOf = [&](std::size_t k) { return check.take[count - 1 - k]; };
    for (std::size_t k = 0; k < count; ++k) {
        const Entry& e = journal.entries[entryOf(k)];
        from[k] = Cp932Path(e.newPath);
        to[k] = Cp932Path(e.oldPath);
        ids[k] = check.ids[entryOf(k)];
    }
    RenameExecutor::PlannedOutcome planned;
    if (RenameExecutor::NeedsOrder(from, to)) {
        const RenamePlanner::Plan plan = RenameExecutor::PlanOnDisk(from, to, RenameExecutor::RunId());
        planned = RenameExecutor::ExecutePlan(from, to, plan, RenameExecutor::Look::kSources, control, &ids,
                                              &record);
    } else {
        // A name the command freed for a later file is free again before the earlier file wants it.
        std::vector<std::size_t> all(count);
        std::iota(all.begin(), all.end(), std::size_t{0});
        planned.outcome =
            RenameExecutor::ExecuteEntries(from, to, all, ids, RenameExecutor::Look::kSources,
                                           RenameExecutor::Order::FirstToLast, control, &record);
    }
    const RenameExecutor::Outcome& outcome = planned.outcome;
    UndoResult result;
    result.unrecorded = outcome.unrecorded;
    if (!outcome.executed) return result;
    // A file whose way back is held by a file outside the command stays, like a refused one.
    for (const auto* positions : {&outcome.failed, &outcome.skipped}) {
        for (const std::size_t k : *positions)
            result.refused.push_back(entryOf(k));
    }
    for (const std::size_t k : outcome.untried)
        result.untried.push_back(entryOf(k));
    std::sort(result.refused.begin(), result.refused.end());
    std::sort(result.untried.begin(), result.untried.end());
    result.done = count - result.refused.size() - result.untried.size();
    for (RenameExecutor::Stranded& stranded : planned.stranded)
        stranded.index = entryOf(stranded.index);
    result.stranded = std::move(planned.stranded);
    return result;
}

}  // namespace

namespace {

// The file id stands at path, links not followed.
bool Stands(const std::string& path, const Platform::EntryId& id) {
    const auto look = Platform::LookAt(path);
    return look && Platform::IsSame(id, look->id);
}

void Add(Left& into, Left&& more) {
    into.stayed.insert(into.stayed.end(), more.stayed.begin(), more.stayed.end());
    into.twice.insert(into.twice.end(), more.twice.begin(), more.twice.end());
}

// Undo, then what the command left under temporary names goes home, never over another file: only
// the journal's notes need a look for that.
TakenBack UndoAndCleanUp(const Journal& journal, const UndoCheck& check, Kind kind, const std::string& folder,
                         RunControl* control) {
    TakenBack result;
    result.undo = Undo(journal, check, kind, folder, control);
    if (!result.undo.unrecorded) Add(result, CleanUp(journal, LeftBehind(journal)));
    return result;
}

bool IsTakeBack(Kind kind) {
    return kind == Kind::kUndo || kind == Kind::kRevert || kind == Kind::kRecovery;
}

// What an interrupted take-back still owes, as a command (of kind) whose undo finishes it: its
// entries turned round, so that each goes from where the take-back found it to where it was taking
// it. Those it left in both places are finished by their clean-up instead.
Journal Owed(const Journal& takeBack, Kind kind, const OnDisk& left) {
    std::vector<bool> twice(takeBack.entries.size(), false);
    for (const Twice& t : left.twice)
        twice[takeBack.notes[t.note].entry] = true;
    Journal owed;
    owed.header = {takeBack.header.target, kind, takeBack.header.time, 0, takeBack.header.folder};
    for (std::size_t k = takeBack.entries.size(); k-- > 0;) {
        const Entry& e = takeBack.entries[k];
        if (!twice[k]) owed.entries.push_back({e.newPath, e.oldPath, e.id});
    }
    return owed;
}

// The kind of the command a take-back acts on, for one no longer kept: files that change folders
// were moved.
Kind KindTakenBack(const Interrupted& interrupted) {
    if (interrupted.command) return interrupted.command->header.kind;
    const auto folderOf = [](const std::string& path) { return path.substr(0, path.rfind('/')); };
    const std::vector<Entry>& entries = interrupted.takeBack->entries;
    return std::any_of(entries.begin(), entries.end(),
                       [&](const Entry& e) { return folderOf(e.oldPath) != folderOf(e.newPath); })
               ? Kind::kMove
               : Kind::kSequential;
}

// The entries of a journal, all of them.
std::vector<std::size_t> All(const Journal& journal) {
    std::vector<std::size_t> all(journal.entries.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    return all;
}

}  // namespace

UndoResult Undo(const Journal& journal, const UndoCheck& check, Kind kind, const std::string& folder,
                RunControl* control) {
    if (check.take.empty()) return {};
    Record record(folder, kind, journal.header.id, journal.header.folder);
    if (journal.header.kind == Kind::kMove) return MoveBack(journal, check, record, control);
    return RenameBack(journal, check, record, control);
}

std::vector<Journal> LaterCopies(const Store& store, const Listing& listing, const Journal& journal) {
    std::vector<Journal> later;
    for (auto summary = listing.commands.rbegin(); summary != listing.commands.rend(); ++summary) {
        const Header& header = summary->header;
        if (header.id <= journal.header.id ||
            (header.kind != Kind::kMove && header.kind != Kind::kUndo && header.kind != Kind::kRecovery))
            continue;
        std::optional<Journal> command = store.Read(header.id);
        if (command && std::any_of(command->notes.begin(), command->notes.end(),
                                   [](const Note& note) { return note.kind == NoteKind::kCopyPlaced; }))
            later.push_back(std::move(*command));
    }
    return later;
}

TakenBack UndoFromHistory(const Journal& journal, const UndoCheck& check, const std::string& folder,
                          RunControl* control) {
    return UndoAndCleanUp(journal, check, Kind::kUndo, folder, control);
}

Left CleanUp(const Journal& journal, const OnDisk& found) {
    for (const std::size_t n : found.removableCopies)
        Platform::RemoveFile(journal.notes[n].path);
    Left left;
    for (const Stranded& stranded : found.stranded) {
        if (Platform::RenameNoReplace(stranded.path, stranded.home) &&
            (stranded.other.empty() || Platform::RenameNoReplace(stranded.path, stranded.other)))
            left.stayed.push_back(stranded);
    }
    for (const Twice& twice : found.twice) {
        // Looked at again: the take-back before may have changed either.
        const Note& note = journal.notes[twice.note];
        if (!Stands(twice.copy, note.id) || !Stands(twice.source, journal.entries[note.entry].id)) continue;
        const std::string& extra = found.way == Way::kBack ? twice.copy : twice.source;
        if (!Platform::AlikeEntries(twice.source, twice.copy) || Platform::RemoveFile(extra))
            left.twice.push_back(twice);
    }
    return left;
}

std::error_code CloseAsFound(Writer& writer, const Journal& journal, const std::vector<std::size_t>& done) {
    std::vector<Outcome> outcomes(journal.entries.size(), Outcome::kUntried);
    for (const std::size_t i : done)
        outcomes[i] = Outcome::kDone;
    return writer.Close(outcomes);
}

std::optional<Interrupted> FindInterrupted(const Store& store, const Listing& listing,
                                           const std::set<std::uint64_t>& passed) {
    // A command whose take-back is open is taken up with it.
    std::set<std::uint64_t> beingTakenBack;
    for (const Summary& s : listing.commands) {
        const bool open = s.state == State::kInterrupted || s.state == State::kRunning;
        if (open && IsTakeBack(s.header.kind)) beingTakenBack.insert(s.header.target);
    }
    for (const Summary& s : listing.commands) {
        if (s.state != State::kInterrupted || passed.contains(s.header.id)) continue;
        const bool takeBack = IsTakeBack(s.header.kind);
        if (!takeBack && beingTakenBack.contains(s.header.id)) continue;
        std::optional<Journal> journal = store.Read(s.header.id);
        if (!journal) continue;
        Interrupted found;
        if (takeBack) {
            found.command = store.Read(journal->header.target);
            found.takeBack = std::move(journal);
            const Journal owed =
                Owed(*found.takeBack, KindTakenBack(found), LeftBehind(*found.takeBack, Way::kOn));
            found.done = CheckUndo(owed, All(owed)).take.size();
        } else {
            found.command = std::move(journal);
            found.done = Examine(*found.command).done.size();
        }
        found.files = (found.command ? found.command : found.takeBack)->entries.size();
        return found;
    }
    return std::nullopt;
}

Recovered Recover(const std::string& folder, const Interrupted& interrupted, bool takeBack,
                  RunControl* control) {
    Recovered recovered;
    // Held from here on: another start finds them running, not interrupted.
    Writer command(folder);
    const Journal* open =
        interrupted.command && !interrupted.command->closing ? &*interrupted.command : nullptr;
    if (open && (recovered.taken = command.Resume(open->header.id))) return recovered;
    Writer finishing(folder);
    const Journal* owing = interrupted.takeBack ? &*interrupted.takeBack : nullptr;
    if (owing && (recovered.taken = finishing.Resume(owing->header.id))) return recovered;

    // Looked at again from here on: the disk may have changed while the question was open.
    if (owing) {
        // What the take-back left goes on before what it still owes is looked for; closed as found
        // first, so that a kill from here on finds only the finishing open.
        const OnDisk left = LeftBehind(*owing, Way::kOn);
        CleanUp(*owing, left);
        CloseAsFound(finishing, *owing, Examine(*owing).done);
        if (takeBack) {
            const Journal owed = Owed(*owing, KindTakenBack(interrupted), left);
            recovered.undo = Undo(owed, CheckUndo(owed, All(owed)), owing->header.kind, folder, control);
        }
    } else if (takeBack && open) {
        recovered.undo = Undo(*open, CheckUndo(*open, Examine(*open).done), Kind::kRecovery, folder, control);
    }
    if (!recovered.undo.unrecorded) {
        // A second look for the take-back's files: the files gone back may have freed their names.
        if (owing) Add(recovered, CleanUp(*owing, LeftBehind(*owing, Way::kOn)));
        if (open) Add(recovered, CleanUp(*open, LeftBehind(*open)));
    }
    if (open) CloseAsFound(command, *open, Examine(*open).done);
    return recovered;
}

}  // namespace RunJournal

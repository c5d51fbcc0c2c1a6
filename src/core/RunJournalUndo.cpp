#include "core/RunJournalUndo.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "core/Cp932.h"
#include "core/RenameExecutor.h"
#include "core/RunControl.h"
#include "core/RunJournalRecord.h"
#include "core/platform/DestinationFolder.h"
#include "core/platform/FileOps.h"

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

// Undo, then what the command left under temporary names goes home, never over another file: only
// the journal's notes need a look for that.
TakenBack UndoAndCleanUp(const Journal& journal, const UndoCheck& check, Kind kind, const std::string& folder,
                         RunControl* control) {
    TakenBack result;
    result.undo = Undo(journal, check, kind, folder, control);
    if (!result.undo.unrecorded) result.stayed = CleanUp(journal, LeftBehind(journal));
    return result;
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

std::vector<Stranded> CleanUp(const Journal& journal, const OnDisk& found) {
    for (const std::size_t n : found.removableCopies)
        Platform::RemoveFile(journal.notes[n].path);
    std::vector<Stranded> stayed;
    for (const Stranded& stranded : found.stranded) {
        if (Platform::RenameNoReplace(journal.notes[stranded.note].path, stranded.home))
            stayed.push_back(stranded);
    }
    return stayed;
}

std::error_code CloseAsFound(Writer& writer, const Journal& journal, const std::vector<std::size_t>& done) {
    std::vector<Outcome> outcomes(journal.entries.size(), Outcome::kUntried);
    for (const std::size_t i : done)
        outcomes[i] = Outcome::kDone;
    return writer.Close(outcomes);
}

std::optional<Interrupted> FindInterrupted(const Store& store, const Listing& listing) {
    if (listing.commands.empty() || listing.commands.front().state != State::kInterrupted)
        return std::nullopt;
    std::optional<Journal> journal = store.Read(listing.commands.front().header.id);
    if (!journal) return std::nullopt;
    const std::size_t done = Examine(*journal).done.size();
    return Interrupted{std::move(*journal), done};
}

Recovered Recover(const std::string& folder, const Journal& journal, bool takeBack, RunControl* control) {
    Recovered recovered;
    Writer writer(folder);
    // Held from here on: another start finds it running, not interrupted.
    if ((recovered.taken = writer.Resume(journal.header.id))) return recovered;
    // Looked at again: the disk may have changed while the question was open.
    const std::vector<std::size_t> done = Examine(journal).done;
    if (takeBack) {
        static_cast<TakenBack&>(recovered) =
            UndoAndCleanUp(journal, CheckUndo(journal, done), Kind::kRecovery, folder, control);
    }
    CloseAsFound(writer, journal, done);
    return recovered;
}

}  // namespace RunJournal

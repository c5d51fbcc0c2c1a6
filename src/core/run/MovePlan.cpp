#include "core/run/MovePlan.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "core/journal/RunJournalRecord.h"
#include "core/list/MyFileOperation.h"
#include "core/list/PairList.h"
#include "core/platform/DestinationFolder.h"
#include "core/platform/FileSystem.h"
#include "core/text/Cp932.h"
#include "core/text/LightStr.h"

namespace MovePlan {

std::string FolderText(std::string_view folder) {
    std::string_view text = LightStr::Trim(folder);
    if (text.empty()) return {};
    // "/" is never the second byte of a double-byte character: the end can be cut bytewise.
    while (text.size() > 1 && text.back() == '/')
        text.remove_suffix(1);
    return text == "/" ? std::string(text) : std::string(text) + '/';
}

std::optional<FolderId> FolderIdOf(std::string_view destination) {
    const auto native = Cp932::ToUtf8(destination);
    const auto status = native ? Platform::Status(*native) : std::nullopt;
    if (!status || status->kind != Platform::EntryKind::Folder) return std::nullopt;
    return status->id;
}

Refusal CheckDestination(std::string_view sourceFolder, std::string_view destination,
                         const std::optional<FolderId>& chosen) {
    if (destination.empty()) return Refusal::kNoDestination;
    // Only a full path names one folder: a relative one would depend on the working folder.
    if (destination.front() != '/' || !MyFileOperation::FolderExists(destination))
        return Refusal::kDestinationGone;
    if (chosen && FolderIdOf(destination) != chosen) return Refusal::kDestinationChanged;
    if (MyFileOperation::SameFile(sourceFolder, destination)) return Refusal::kSameFolder;
    return Refusal::kNone;
}

Target ProbeDisk(const std::string& source, const std::string& target) {
    if (!MyFileOperation::PathExists(target)) return Target::kFree;
    if (MyFileOperation::SameFile(source, target)) return Target::kSourceItself;
    return MyFileOperation::FileExists(target) ? Target::kTakenByFile : Target::kTakenByOther;
}

namespace {

// A native name with ASCII letters folded, so that a file system that ignores letter case cannot
// hide a taken name from the lookup below.
std::string Folded(std::string_view native) {
    std::string folded(native);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

}  // namespace

Probe DestinationProbe(std::string_view destination) {
    // One listing of the destination instead of a look-up per file: names not in it are free.
    auto names = std::make_shared<std::unordered_set<std::string>>();
    bool listed = false;
    if (const auto native = Cp932::ToUtf8(destination)) {
        if (auto entries = Platform::ReadFolder(*native)) {
            listed = true;
            names->reserve(entries->size());
            for (const Platform::DirEntry& entry : *entries)
                names->insert(Folded(entry.name));
        }
    }
    if (!listed) return ProbeDisk;
    return [names](const std::string& source, const std::string& target) {
        const auto name = Cp932::ToUtf8(MyFileOperation::SplitAtLastDelimiter(target).name);
        if (name && !names->contains(Folded(*name))) return Target::kFree;
        return ProbeDisk(source, target);
    };
}

bool Plan::AsksToReplace() const {
    return std::ranges::any_of(
        entries, [](const Entry& entry) { return entry.state == Target::kTakenByFile && !entry.duplicate; });
}

Plan MakePlan(const PairList& pairs, std::string_view destination) {
    return MakePlan(pairs.NewPaths(), pairs.RenamedFlags(), destination, {}, pairs.Ids());
}

Plan MakePlan(const std::vector<std::string>& newPaths, const std::vector<bool>& renamed,
              std::string_view destination, const Probe& probe, const std::vector<Platform::EntryId>& ids) {
    Plan plan;
    plan.destination = FolderText(destination);
    plan.destinationId = FolderIdOf(plan.destination);
    const Probe look = probe ? probe : DestinationProbe(plan.destination);
    std::unordered_map<std::string_view, std::size_t> firstByTarget;
    for (std::size_t i = 0; i < newPaths.size() && i < renamed.size(); ++i) {
        if (!renamed[i]) continue;
        Entry entry;
        entry.index = i;
        entry.source = newPaths[i];
        if (i < ids.size()) entry.id = ids[i];
        const std::string_view name = MyFileOperation::SplitAtLastDelimiter(newPaths[i]).name;
        entry.target = plan.destination;
        entry.target += name;
        // A name that is no file's name would lead out of the folder.
        entry.state = name.empty() || name == "." || name == ".." ? Target::kTakenByOther
                                                                  : look(entry.source, entry.target);
        plan.entries.push_back(std::move(entry));
    }
    // After the vector is complete: the map keeps views of its strings. Files of the batch that
    // are in the destination already hold their names first; the others claim theirs in order.
    for (const Entry& entry : plan.entries) {
        if (entry.state == Target::kSourceItself) firstByTarget.emplace(entry.target, entry.index);
    }
    for (Entry& entry : plan.entries) {
        if (entry.state != Target::kSourceItself)
            entry.duplicate = !firstByTarget.emplace(entry.target, entry.index).second;
    }
    // Two spellings can name one file (a file system that ignores letter case): a name that would
    // be replaced is claimed by the file standing there, so a later file never replaces an earlier
    // one that the batch moved or left there.
    std::set<std::pair<std::uint64_t, std::uint64_t>> claimed;
    for (const Target state : {Target::kSourceItself, Target::kTakenByFile}) {
        for (Entry& entry : plan.entries) {
            if (entry.state != state || entry.duplicate) continue;
            const auto native = Cp932::ToUtf8(entry.target);
            const auto status = native ? Platform::Status(*native) : std::nullopt;
            if (!status) continue;
            entry.duplicate = !claimed.emplace(status->id.device, status->id.inode).second;
        }
    }
    return plan;
}

Action ActionFor(const Entry& entry, Answer answer) {
    if (entry.state == Target::kSourceItself) return Action::kLeave;
    if (entry.state == Target::kTakenByFile && answer == Answer::kKeep) return Action::kKeep;
    // The name goes to an earlier file of the batch (which may already be there): never over it.
    if (entry.duplicate) return Action::kBlocked;
    switch (entry.state) {
        case Target::kFree:
            return Action::kMove;
        case Target::kTakenByFile:
            return Action::kReplace;
        default:
            return Action::kBlocked;
    }
}

std::size_t MoveCount(const Plan& plan, Answer answer) {
    if (answer == Answer::kCancel) return 0;
    return static_cast<std::size_t>(std::ranges::count_if(plan.entries, [answer](const Entry& entry) {
        const Action action = ActionFor(entry, answer);
        return action == Action::kMove || action == Action::kReplace;
    }));
}

Result Execute(const Plan& plan, Answer answer, RunControl* control, RunJournal::Record* record) {
    Result result;
    if (answer == Answer::kCancel) return result;
    // The moves go to the platform together, so copies to another file system are synced in
    // groups; entries[k] is the plan entry of moves[k].
    std::vector<Platform::MoveRequest> moves;
    std::vector<const Entry*> entries;
    moves.reserve(plan.entries.size());
    entries.reserve(plan.entries.size());
    for (const Entry& entry : plan.entries) {
        const Action action = ActionFor(entry, answer);
        switch (action) {
            case Action::kLeave:
                continue;
            case Action::kKeep:
                ++result.kept;
                continue;
            case Action::kBlocked:
                result.notMoved.push_back(entry.index);
                continue;
            case Action::kMove:
            case Action::kReplace:
                break;
        }
        auto from = Cp932::ToUtf8(entry.source);
        auto name = Cp932::ToUtf8(MyFileOperation::SplitAtLastDelimiter(entry.target).name);
        if (!from || !name) {
            result.notMoved.push_back(entry.index);
            continue;
        }
        const auto existing =
            action == Action::kReplace ? Platform::Existing::Replace : Platform::Existing::Keep;
        std::optional<Platform::EntryId> expected;
        if (entry.id != Platform::EntryId{}) expected = entry.id;
        moves.push_back({std::move(*from), std::move(*name), existing, expected});
        entries.push_back(&entry);
    }
    // The folder is opened once, and only the one planned for takes the files.
    const std::string destination = Cp932::ToUtf8(plan.destination).value_or(std::string());
    Platform::DestinationFolder folder(destination);
    if (!folder.Id() || folder.Id() != plan.destinationId) {
        Result refused;
        refused.refusal = folder.Id() ? Refusal::kDestinationChanged : Refusal::kDestinationGone;
        return refused;
    }
    Platform::NameRecorder names;
    if (record != nullptr && !moves.empty()) {
        std::vector<RunJournal::Entry> journaled;
        journaled.reserve(moves.size());
        for (std::size_t k = 0; k < moves.size(); ++k)
            journaled.push_back({moves[k].from, destination + moves[k].name, entries[k]->id});
        if (const std::error_code ec = record->Begin(journaled)) {
            Result refused;
            refused.unrecorded = ec;
            return refused;
        }
        names = record->MoveNames(destination);
    }
    folder.RemoveLeftoverCopies(Platform::ProcessStart());
    const std::vector<Platform::MoveOutcome> outcomes = folder.Move(moves, control, names);
    if (record != nullptr && record->Running()) {
        std::vector<RunJournal::Outcome> closing;
        closing.reserve(outcomes.size());
        for (const Platform::MoveOutcome& outcome : outcomes)
            closing.push_back(RunJournal::OutcomeOfMove(outcome.error));
        record->End(closing);
    }
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        const std::error_code& error = outcomes[k].error;
        if (!error) {
            result.moved.push_back(entries[k]->index);
        } else if (error == std::errc::operation_canceled) {
            result.untried.push_back(entries[k]->index);
        } else {
            result.notMoved.push_back(entries[k]->index);
        }
    }
    std::sort(result.notMoved.begin(), result.notMoved.end());
    return result;
}

}  // namespace MovePlan

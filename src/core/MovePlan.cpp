#include "core/MovePlan.h"

#include <unordered_map>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"
#include "core/platform/FileOps.h"

namespace MovePlan {

Refusal CheckDestination(std::string_view sourceFolder, std::string_view destination) {
    if (destination.empty()) return Refusal::kNoDestination;
    if (!MyFileOperation::FolderExists(destination)) return Refusal::kDestinationGone;
    if (MyFileOperation::SameFile(sourceFolder, destination)) return Refusal::kSameFolder;
    return Refusal::kNone;
}

Target ProbeDisk(const std::string& source, const std::string& target) {
    if (!MyFileOperation::PathExists(target)) return Target::kFree;
    if (MyFileOperation::SameFile(source, target)) return Target::kSourceItself;
    return MyFileOperation::FileExists(target) ? Target::kTakenByFile : Target::kTakenByOther;
}

bool Plan::AsksToReplace() const {
    for (const Entry& entry : entries) {
        if (entry.state == Target::kTakenByFile && !entry.duplicate) return true;
    }
    return false;
}

Plan MakePlan(const std::vector<std::string>& newPaths, const std::vector<bool>& renamed,
              std::string_view destination, const Probe& probe) {
    Plan plan;
    std::unordered_map<std::string_view, std::size_t> firstByTarget;
    for (std::size_t i = 0; i < newPaths.size() && i < renamed.size(); ++i) {
        if (!renamed[i]) continue;
        Entry entry;
        entry.index = i;
        entry.source = newPaths[i];
        entry.target = std::string(destination);
        entry.target += MyFileOperation::SplitAtLastDelimiter(newPaths[i]).name;
        entry.state = probe(entry.source, entry.target);
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

Result Execute(const Plan& plan, Answer answer) {
    Result result;
    if (answer == Answer::kCancel) return result;
    for (const Entry& entry : plan.entries) {
        const Action action = ActionFor(entry, answer);
        if (action == Action::kLeave) continue;
        if (action == Action::kKeep) {
            ++result.kept;
            continue;
        }
        bool moved = false;
        if (action != Action::kBlocked) {
            const auto from = Cp932::ToUtf8(entry.source);
            const auto to = Cp932::ToUtf8(entry.target);
            const auto existing =
                action == Action::kReplace ? Platform::Existing::Replace : Platform::Existing::Keep;
            moved = from && to && !Platform::MovePath(*from, *to, existing);
        }
        if (moved) {
            ++result.moved;
        } else {
            result.notMoved.push_back(entry.index);
        }
    }
    return result;
}

std::vector<bool> RenamedBy(const RenameExecutor::Outcome& outcome, std::size_t count) {
    std::vector<bool> renamed(count, outcome.executed);
    for (const auto* indices : {&outcome.skipped, &outcome.failed}) {
        for (const std::size_t i : *indices) {
            if (i < count) renamed[i] = false;
        }
    }
    return renamed;
}

}  // namespace MovePlan

#include "core/RenameExecutor.h"

#include <cassert>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"

namespace RenameExecutor {
namespace {

using RenameFunction = bool (*)(std::string_view, std::string_view);

void Rename(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths, std::size_t i,
            Outcome& outcome, RenameFunction rename = MyFileOperation::TryRenameFile) {
    if (oldPaths[i] == newPaths[i]) return;
    if (!rename(oldPaths[i], newPaths[i])) outcome.failed.push_back(i);
}

Outcome RenameAll(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                  RenameFunction rename) {
    Outcome outcome;
    if (oldPaths.empty() || newPaths.empty()) return outcome;
    assert(oldPaths.size() == newPaths.size());
    outcome.executed = true;
    for (std::size_t i = 0; i < oldPaths.size(); ++i)
        Rename(oldPaths, newPaths, i, outcome, rename);
    return outcome;
}

}  // namespace

std::optional<std::size_t> FirstMissingFile(const std::vector<std::string>& paths) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!MyFileOperation::FileExists(paths[i])) return i;
    }
    return std::nullopt;
}

Outcome ExecuteRenames(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths) {
    return RenameAll(oldPaths, newPaths, MyFileOperation::TryRenameFile);
}

Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths) {
    return RenameAll(oldPaths, newPaths, MyFileOperation::RenameCheckedFile);
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Collision rule) {
    Outcome outcome;
    if (oldPaths.empty() || newPaths.empty()) return outcome;
    assert(oldPaths.size() == newPaths.size());
    outcome.executed = true;
    for (std::size_t i = 0; i < oldPaths.size(); ++i) {
        const bool caseOnly = Cp932::EqualNoCase(oldPaths[i], newPaths[i]);
        const bool mayClash = rule == Collision::Taken || !caseOnly;
        if (mayClash && oldPaths[i] != newPaths[i] && MyFileOperation::PathExists(newPaths[i])) {
            outcome.skipped.push_back(i);
            continue;
        }
        Rename(oldPaths, newPaths, i, outcome);
    }
    return outcome;
}

}  // namespace RenameExecutor

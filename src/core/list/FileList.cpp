#include "core/list/FileList.h"

#include <algorithm>
#include <utility>

#include "core/list/MyFileOperation.h"
#include "core/list/PathSort.h"
#include "core/platform/FileSystem.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"
#include "core/text/LightStr.h"

namespace FileList {
namespace {

using LightStr::Trim;

// A folder whose listing came back empty may simply be empty, or unreadable: ask once more.
bool FolderReadable(const std::string& folder) {
    const auto native = Cp932::ToUtf8(MyFileOperation::AddBackslash(folder));
    return native && Platform::ReadFolder(*native).has_value();
}

}  // namespace

std::string NormalizeExt(std::string_view text) {
    const std::string_view trimmed = Trim(text);
    std::string result;
    result.reserve(trimmed.size() + 1);
    if (trimmed.empty() || trimmed.front() != '.') result += '.';
    result += trimmed;
    Cp932::LowerInPlace(result);
    return result;
}

std::vector<std::string> ReadExtFilter(std::string_view text) {
    std::vector<std::string> result;
    // ";" is never a trail byte, so a byte search splits correctly.
    std::string_view rest = Trim(text);
    if (rest.empty()) return result;
    while (true) {
        const std::size_t sep = rest.find(';');
        if (sep == std::string_view::npos) {
            result.push_back(NormalizeExt(rest));
            break;
        }
        result.push_back(NormalizeExt(rest.substr(0, sep)));
        rest.remove_prefix(sep + 1);
        if (rest.empty()) break;
    }
    return result;
}

bool KeepsByExt(std::string_view path, const std::vector<std::string>& extensions, int mode) {
    if (mode != kOnlyListed && mode != kExceptListed) return true;
    const std::string ext = Cp932::ToLower(MyFileOperation::ExtensionOf(path));
    // A bare "." stands for an empty element and matches nothing, not even a name ending in ".".
    const bool listed =
        ext.size() > 1 && std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
    return mode == kOnlyListed ? listed : !listed;
}

void FilterByExt(std::vector<std::string>& paths, const std::vector<std::string>& extensions, int mode) {
    if (mode != kOnlyListed && mode != kExceptListed) return;
    std::erase_if(paths, [&](const std::string& path) { return !KeepsByExt(path, extensions, mode); });
}

std::string FolderTextOf(std::string_view folderPath) {
    return MyFileOperation::RemoveBackslash(folderPath);
}

namespace {

// A load the control stopped: nothing of it is to be shown.
LoadPlan CancelledPlan() {
    LoadPlan plan;
    plan.outcome = LoadPlan::Outcome::kCancelled;
    return plan;
}

// The end of every plan over the files found: the filter, then the one sort order.
// Returns the plan itself, moved: a copy of a million paths would cost a fifth of a second.
LoadPlan FinishPlan(LoadPlan&& plan, const LoadOptions& options, RunControl* control) {
    if (plan.paths.empty()) {
        plan.outcome = LoadPlan::Outcome::kNoFiles;
        return std::move(plan);
    }
    FilterByExt(plan.paths, options.extensions, options.filterMode);
    if (plan.paths.empty()) {
        plan.outcome = LoadPlan::Outcome::kAllFiltered;
        return std::move(plan);
    }
    if (StopAsked(control, plan.paths.size())) return CancelledPlan();
    PathSort::SortPaths(plan.paths);
    plan.outcome = LoadPlan::Outcome::kLoaded;
    return std::move(plan);
}

}  // namespace

LoadPlan PlanChosenFolderLoad(const std::string& folder, LoadOptions options, RunControl* control) {
    options.chosenFolder = folder;
    const std::string start = MyFileOperation::AddBackslash(folder);
    if (options.recursive) {
        // Its files and subfolders, each subfolder expanded and recorded as a folder of its own.
        std::vector<std::string> entries;
        const std::size_t unlisted =
            MyFileOperation::EnumFolder(start, entries, MyFileOperation::kFilesAndFolders);
        Cp932::SortNoCase(entries);
        LoadPlan plan = PlanLoad(entries, options, control);
        plan.unlisted += unlisted;
        return plan;
    }
    // Only the files directly in it: the listing has told them from the rest already.
    LoadPlan plan;
    plan.listings = MyFileOperation::FolderListings(options.keptNames);
    MyFileOperation::EnteredFolders entered;
    plan.unlisted = MyFileOperation::EnumFolder(start, plan.paths, MyFileOperation::kFiles, entered, control,
                                                &plan.listings);
    if (StopAsked(control, plan.paths.size())) return CancelledPlan();
    if (!plan.paths.empty()) plan.recordedFolders.push_back(FolderTextOf(start));
    return FinishPlan(std::move(plan), options, control);
}

LoadPlan PlanLoad(const std::vector<std::string>& entries, const LoadOptions& options, RunControl* control) {
    using MyFileOperation::EnumKind;
    LoadPlan plan;
    plan.listings = MyFileOperation::FolderListings(options.keptNames);
    const int kind = options.recursive ? EnumKind::kFilesDeep : EnumKind::kFiles;
    // The entries of a chosen folder are its own subfolders: together they enter each folder once,
    // and never the chosen one again. Dropped entries are expanded each on its own.
    MyFileOperation::EnteredFolders entered;
    MyFileOperation::MarkEntered(entered, options.chosenFolder);
    for (const std::string& entry : entries) {
        if (StopAsked(control, plan.paths.size())) return CancelledPlan();
        if (MyFileOperation::FolderExists(entry)) {
            const std::string folder = FolderTextOf(entry);
            const std::size_t before = plan.paths.size();
            MyFileOperation::EnteredFolders own;
            plan.unlisted += MyFileOperation::EnumFolder(folder, plan.paths, kind,
                                                         options.chosenFolder.empty() ? own : entered,
                                                         control, &plan.listings);
            if (StopAsked(control, plan.paths.size())) return CancelledPlan();
            if (plan.paths.size() == before && !FolderReadable(folder)) {
                plan.outcome = LoadPlan::Outcome::kCannotOpen;
                plan.failedFolder = folder;
                plan.paths.clear();
                return plan;
            }
            plan.recordedFolders.push_back(folder);
        } else if (MyFileOperation::FileExists(entry)) {
            const std::string folder = FolderTextOf(MyFileOperation::FolderOf(entry));
            plan.recordedFolders.push_back(folder);
            plan.paths.push_back(MyFileOperation::AddBackslash(folder) + MyFileOperation::FileNameOf(entry));
        } else {
            plan.outcome = LoadPlan::Outcome::kCannotOpen;
            plan.failedFolder = FolderTextOf(entry);
            plan.paths.clear();
            return plan;
        }
    }
    return FinishPlan(std::move(plan), options, control);
}

}  // namespace FileList

#pragma once

// The pure part of loading files into the rename table: the extension filter and the load plan
// (which folders a load records, which paths it lists, or why it lists nothing).

#include <string>
#include <string_view>
#include <vector>

#include "core/list/FolderListings.h"

class RunControl;

namespace FileList {

// Modes of the extension filter, the item indexes of its radio group.
enum FilterMode : int {
    kNoFilter = 0,
    kOnlyListed = 1,    // keep only files with one of the extensions
    kExceptListed = 2,  // drop files with one of the extensions
};

// Blanks trimmed at both ends, "." put in front unless there is one, lower-cased.
std::string NormalizeExt(std::string_view text);

// The ";"-separated extension list as normalised extensions, in order; empty when the text holds
// only blanks. An empty element becomes "." and matches no file.
std::vector<std::string> ReadExtFilter(std::string_view text);

// True when the filter keeps the file of path (its extension, from the last "." of the file
// name, compared without regard to letter case).
bool KeepsByExt(std::string_view path, const std::vector<std::string>& extensions, int mode);

// Removes from paths, in one pass and keeping the order, every path the filter does not keep.
void FilterByExt(std::vector<std::string>& paths, const std::vector<std::string>& extensions, int mode);

struct LoadOptions {
    bool recursive = false;               // folders expanded with all their subfolders
    std::vector<std::string> extensions;  // from ReadExtFilter
    int filterMode = kNoFilter;
    // The folder whose entries these are, when the user chose one: no expansion follows a link
    // back into it.
    std::string chosenFolder;
    // The most names the listings kept for the run may hold (LoadPlan::listings).
    std::size_t keptNames = MyFileOperation::FolderListings::kNameBudget;
};

struct LoadPlan {
    enum class Outcome {
        kLoaded,       // paths holds the sorted, filtered list
        kNoFiles,      // no file at all under the entries
        kAllFiltered,  // files found, every one removed by the filter
        kCannotOpen,   // failedFolder is neither a file nor a readable folder; the load stopped
        kCancelled,    // the control said stop: nothing of this load is to be shown
    };
    Outcome outcome = Outcome::kNoFiles;
    // The folder text of every entry processed, in order (also those before a failure): the load
    // records each as the current folder and in the history.
    std::vector<std::string> recordedFolders;
    std::vector<std::string> paths;
    std::string failedFolder;
    // Names found under the folders that the text model cannot hold, so they are not in paths.
    std::size_t unlisted = 0;
    // The listings of folders read, for the run that follows.
    MyFileOperation::FolderListings listings;
};

// Expands the entries (full paths of folders and files, in the order given): a folder gives its
// files (directly in it, or at any depth), a file itself. Duplicates stay. The list is filtered,
// then sorted in the one sort order of the program.
// control: asked between folders; once it says stop the plan is kCancelled.
LoadPlan PlanLoad(const std::vector<std::string>& entries, const LoadOptions& options,
                  RunControl* control = nullptr);

// The load of a folder the user chose: its files, and when recursive its subfolders, each expanded
// and recorded as a folder of its own, never entering the chosen folder again.
LoadPlan PlanChosenFolderLoad(const std::string& folder, LoadOptions options, RunControl* control = nullptr);

// The folder text of an entry that names a folder: the path without trailing "/", "/" for the root.
std::string FolderTextOf(std::string_view folderPath);

}  // namespace FileList

#pragma once

// Folder listing and path helpers on code page 932 texts. Paths are Linux paths: "/" is the
// delimiter and the root, there are no drive letters. None of these functions shows a message:
// failure is a result (nothing listed, "Error", false).
//
// Path texts are never trimmed of blanks here: on this platform a name may begin or end with one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/FileSystem.h"

namespace Platform {
class FolderRenames;
}

class RunControl;

namespace MyFileOperation {

class FolderLook;
class FolderListings;

constexpr char kDelimiter = '/';
constexpr std::string_view kRoot = "/";

// Listing kinds of EnumFolder.
enum EnumKind : int {
    kFilesAndFoldersDeep = 0,  // files and folders, each folder before its contents, all levels
    kFilesDeep = 1,            // files only, all levels
    kFoldersDeep = 2,          // folders only, each before its subfolders, all levels
    kFilesAndFolders = 3,      // directly in the folder
    kFiles = 4,                // directly in the folder
    kFolders = 5,              // directly in the folder
};

// Appends the full paths (folder + "/" + name) of the folder's entries to list, in the order the
// file system returns them (callers sort), descending depth-first for the deep kinds. Hidden and
// read-only entries are listed; devices, sockets, FIFOs and broken links are skipped; folders whose
// names begin with "." are neither listed nor entered (files beginning with "." are listed). A link
// to a folder is visited like a folder, but no folder is entered twice, so a link loop ends.
// Returns the number of names skipped because they could not be converted to the text model.
std::size_t EnumFolder(const std::string& folder, std::vector<std::string>& list, int kind);

// Folders entered so far, by device and inode. Several EnumFolder calls that share one never enter
// a folder that another of them entered: the subfolders of a chosen folder, expanded one by one,
// each reach a folder only once however many links lead to it; with the chosen folder marked
// entered, a link back to it is followed from none of them.
using EnteredFolders = std::set<std::pair<std::uint64_t, std::uint64_t>>;
// Adds folder (a link is followed) to entered; nothing when it cannot be read.
void MarkEntered(EnteredFolders& entered, const std::string& folder);
// control: asked before each folder is read, with the entries listed so far; once it says stop,
// no further folder is read and the list holds what was found until then. keep (optional) receives
// the listings of the folders read, as far as they fit.
std::size_t EnumFolder(const std::string& folder, std::vector<std::string>& list, int kind,
                       EnteredFolders& entered, RunControl* control = nullptr,
                       FolderListings* keep = nullptr);

// The text with "/" appended unless it already ends in one; empty for an empty text.
std::string AddBackslash(std::string_view text);
// The text without its trailing "/", except for the root "/"; empty for an empty text.
std::string RemoveBackslash(std::string_view text);

struct SplitResult {
    std::string folder;  // folder part; ends in "/" for a file's folder
    std::string file;    // file part; empty for a folder
};
// Splits a path by asking the file system whether it names a folder or a file; a path that does
// not exist counts as a folder when its last component has no extension, else as a file.
SplitResult SplitPath(std::string_view path);

// The parent of a folder given without trailing "/", with a trailing "/" ("/a/b" → "/a/",
// "/a" → "/"); for a path naming a file, the file's own folder.
std::string ParentFolder(std::string_view folder);

// The text without the extension of its last component (from its last "." on); empty when the
// whole component is the extension (".profile").
std::string NameWithoutExt(std::string_view text);

// A full path cut after its last "/": the folder (with the "/") and the file name, as views of it.
struct PathParts {
    std::string_view folder;
    std::string_view name;
};
// Inline: every look of a run over a million paths cuts a few of them.
inline PathParts SplitAtLastDelimiter(std::string_view path) {
    const std::size_t slash = path.rfind(kDelimiter);
    const std::size_t cut = slash == std::string_view::npos ? 0 : slash + 1;
    return {path.substr(0, cut), path.substr(cut)};
}

// Pieces of a full path: the file name after the last "/", the folder up to and including it,
// and the extension (from the last "." of the file name, dot included; empty when none).
std::string FileNameOf(std::string_view path);
std::string FolderOf(std::string_view path);
std::string ExtensionOf(std::string_view path);

// True for an existing folder (links followed).
bool FolderExists(std::string_view path);
// True only for an existing file that is not a folder.
bool FileExists(std::string_view path);
// FileExists for each path; a folder that holds many of them is read once instead.
std::vector<bool> FilesExist(const std::vector<std::string_view>& paths);
// True when anything (file or folder) stands at the path.
bool PathExists(std::string_view path);
// True when both paths name one existing file (device and inode): the same entry, hard links,
// the two spellings of a name on a case-insensitive file system, or a link to the other.
bool SameFile(std::string_view a, std::string_view b);
// As SameFile, but a link to the other path is a file of its own.
bool SameEntry(std::string_view a, std::string_view b);
// The identity of the file at path (a link to a file counts, with its own identity); nullopt when
// no file stands there.
std::optional<Platform::EntryId> FileIdentity(std::string_view path);

// The file's modification time in local time as "yyyy/mm/dd h:mm:ss" (hour without leading zero,
// seconds rounded down to an even number), or "Error" when it is no file or its time cannot be read.
std::string FileDateText(std::string_view path);

// Renames old to new within one file system without ever replacing an existing file. A change of
// letter case only goes through (also on case-insensitive file systems); identical paths, a
// missing source, an existing different target (two hard links of one file count as two) or a
// text with no native form give false and change nothing.
bool TryRenameFile(std::string_view oldPath, std::string_view newPath);
// TryRenameFile for many pairs in a row; each folder is opened once and kept while the next pairs
// use it. With the sources (sourceAt(0) ... sourceAt(count - 1)), each pair has the outcome of
// TryRenameFile: its source is looked at in its folder's entries, read once and told of the renames
// made here. Without them, the sources are files the caller saw a moment ago (a run that checks its
// whole list before it renames anything) and are not looked at again: should one have become a
// folder meanwhile, the folder is renamed. An existing target is never replaced.
class BatchRenames {
public:
    BatchRenames();
    BatchRenames(std::size_t count, const std::function<std::string_view(std::size_t)>& sourceAt);
    // listings: of folders read before, each taken while its folder is unchanged.
    BatchRenames(std::size_t count, const std::function<std::string_view(std::size_t)>& sourceAt,
                 FolderListings listings);
    ~BatchRenames();
    BatchRenames(const BatchRenames&) = delete;
    BatchRenames& operator=(const BatchRenames&) = delete;

    // The identity of the file at a source, from its folder's entries; {} when no file stands there.
    // Only with the sources given.
    Platform::EntryId SourceId(std::string_view oldPath);
    // Whether the file id (a recorded identity) stands at a source, as FolderLook::Holds tells.
    bool SourceHolds(std::string_view oldPath, const Platform::EntryId& id);
    // SourceId(oldPath) comes soon: what it reads is fetched into the cache meanwhile.
    void ExpectSource(std::string_view oldPath);

    enum class Result {
        kDone,
        kNoSource,  // the look found no file (or, with expected, another file) at the old path
        kRefused,   // the rename was refused: by the file system, or a text with no native form
    };
    // Whether a look at oldPath (with the sources given) is answered from its folder's listing,
    // identity included, rather than from the file itself.
    bool Listed(std::string_view oldPath);
    // A rename whose source the caller knows from the listing to hold its file still: no look, and
    // the listing is not told, so only for a batch that makes no look a rename of it could change.
    Result RenameListed(std::string_view oldPath, std::string_view newPath);
    // expected (optional, with the sources given): the identity the file at oldPath must have.
    Result Rename(std::string_view oldPath, std::string_view newPath,
                  const Platform::EntryId* expected = nullptr);

private:
    std::unique_ptr<FolderLook> look_;  // null: the sources are not looked at
    std::unique_ptr<Platform::FolderRenames> folders_;
    std::string from_;  // room for the native paths of each pair
    std::string to_;
};

// Moves source to destination (also to another file system) when source is an existing file and
// destination names nothing; never replaces an existing file.
bool TryMoveFile(std::string_view source, std::string_view destination);

}  // namespace MyFileOperation

#pragma once

// Looks at many paths at once as a look at each path would, reading each folder that holds many
// of them once instead of asking the file system about every path.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/list/FolderListings.h"
#include "core/platform/FileSystem.h"

namespace MyFileOperation {

class FolderLook {
public:
    enum class Kind { kNone, kFile, kFolder, kOther };

    // paths: the paths the look will be asked about, each looksPerPath times; a folder's share of
    // them decides whether it is read whole. Paths outside them are answered all the same.
    explicit FolderLook(const std::vector<std::string>& paths, std::size_t looksPerPath = 1);
    explicit FolderLook(const std::vector<std::string_view>& paths, std::size_t looksPerPath = 1);
    // The same for the paths pathAt(0) ... pathAt(count - 1).
    FolderLook(std::size_t count, const std::function<std::string_view(std::size_t)>& pathAt,
               std::size_t looksPerPath = 1);
    ~FolderLook();
    FolderLook(const FolderLook&) = delete;
    FolderLook& operator=(const FolderLook&) = delete;

    // Listings of folders read before: a folder found unchanged is not read again. Before the first
    // look.
    void Adopt(FolderListings listings);

    // What stands at path, links followed: what FileExists and PathExists tell from the disk as it
    // was when the folder was read, with the renames told since. id (optional) receives the
    // identity of what stands there, links not followed.
    Kind At(std::string_view path, Platform::EntryId* id = nullptr);
    // Whether the file expected (a recorded identity) stands at path; where the listing cannot
    // tell it from a file that got its inode number later, the file itself is looked at.
    bool Holds(std::string_view path, const Platform::EntryId& expected);

    // Whether At(path) is answered from the listing of path's folder, identity included, without a
    // look at the file itself.
    bool Listed(std::string_view path);
    // A look at path comes soon, in a folder read already: its place in the listing is fetched into
    // the cache meanwhile. Changes nothing a look tells.
    void Expect(std::string_view path);

    // A rename the caller made that went through: later looks find the file at its new path.
    void Renamed(std::string_view oldPath, std::string_view newPath);

    // True when the folder (with its "/") takes names that differ only in letter case for one
    // name, or cannot tell.
    bool FoldsCase(std::string_view folder);

    // The kind of an entry as the platform tells it (nullopt: nothing stands there).
    static Kind KindOf(const std::optional<Platform::EntryKind>& kind);
    // What a look at the path itself finds, without reading its folder.
    static Kind LookAtPath(std::string_view path, Platform::EntryId* id);
    // A name that can stand in a folder's listing (not empty, "." or "..").
    static bool ListedName(std::string_view name);

private:
    void Count(std::size_t count, const std::function<std::string_view(std::size_t)>& pathAt,
               std::size_t looksPerPath);
    // The entries of the folder text (with its "/"); null when the text has no native form.
    Platform::FolderEntries* Entries(std::string_view folder);
    // The entries of a folder text when some folder was looked into before; null otherwise.
    Platform::FolderEntries* Opened(std::string_view folder);

    // Drops the tables of the folders used longest ago while the tables hold more names than
    // the budget, keeping keep's.
    void Trim(const Platform::FolderEntries* keep);

    struct Folder {
        std::unique_ptr<Platform::FolderEntries> entries;
        std::size_t lastUse = 0;
    };
    std::unordered_map<std::string, std::size_t> lookups_;  // announced, by folder text
    std::unordered_map<std::string, Platform::FolderEntries*> byText_;
    std::vector<Folder> folders_;  // one per folder on disk
    FolderListings adopted_;
    std::size_t uses_ = 0;
    std::string lastText_;
    std::string name_;      // room for the native name of each look
    std::string fromName_;  // and of each rename told
    std::string toName_;
    std::string expected_;  // and of a look to come
    Platform::FolderEntries* last_ = nullptr;
    bool hasLast_ = false;
};

}  // namespace MyFileOperation

#include "core/list/FolderLook.h"

#include <algorithm>
#include <cassert>

#include "core/list/MyFileOperation.h"
#include "core/platform/FileSystem.h"
#include "core/text/Cp932.h"

namespace MyFileOperation {

bool FolderLook::ListedName(std::string_view name) {
    return !name.empty() && name != "." && name != "..";
}

FolderLook::Kind FolderLook::KindOf(const std::optional<Platform::EntryKind>& kind) {
    if (!kind) return Kind::kNone;
    switch (*kind) {
        case Platform::EntryKind::File:
            return Kind::kFile;
        case Platform::EntryKind::Folder:
            return Kind::kFolder;
        case Platform::EntryKind::Other:
            break;
    }
    return Kind::kOther;
}

FolderLook::Kind FolderLook::LookAtPath(std::string_view path, Platform::EntryId* id) {
    const auto native = Cp932::ToUtf8(path);
    if (!native) return Kind::kNone;
    if (id != nullptr) {
        const auto look = Platform::LookAt(*native);
        if (look) *id = look->id;
        return look ? KindOf(look->kind) : Kind::kNone;
    }
    const auto status = Platform::Status(*native);
    return status ? KindOf(status->kind) : Kind::kNone;
}

FolderLook::FolderLook(const std::vector<std::string>& paths, std::size_t looksPerPath)
    : FolderLook(
          paths.size(), [&paths](std::size_t i) { return std::string_view(paths[i]); }, looksPerPath) {}

FolderLook::FolderLook(const std::vector<std::string_view>& paths, std::size_t looksPerPath)
    : FolderLook(
          paths.size(), [&paths](std::size_t i) { return paths[i]; }, looksPerPath) {}

FolderLook::FolderLook(std::size_t count, const std::function<std::string_view(std::size_t)>& pathAt,
                       std::size_t looksPerPath) {
    Count(count, pathAt, looksPerPath);
}

FolderLook::~FolderLook() = default;

void FolderLook::Adopt(FolderListings listings) {
    assert(folders_.empty() && "adopted before the first look");
    adopted_ = std::move(listings);
}

void FolderLook::Count(std::size_t count, const std::function<std::string_view(std::size_t)>& pathAt,
                       std::size_t looksPerPath) {
    // The paths of a folder mostly follow each other: one count per run of them.
    std::string_view folder;
    std::size_t run = 0;
    const auto flush = [&] {
        if (run > 0) lookups_[std::string(folder)] += run * looksPerPath;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view current = SplitAtLastDelimiter(pathAt(i)).folder;
        if (current != folder || run == 0) {
            flush();
            folder = current;
            run = 0;
        }
        ++run;
    }
    flush();
}

Platform::FolderEntries* FolderLook::Entries(std::string_view folder) {
    if (hasLast_ && folder == lastText_) return last_;
    auto found = byText_.find(std::string(folder));
    if (found == byText_.end()) {
        Platform::FolderEntries* entries = nullptr;
        if (const auto native = Cp932::ToUtf8(folder)) {
            const auto announced = lookups_.find(std::string(folder));
            std::unique_ptr<Platform::FolderEntries> opened = adopted_.Take(*native);
            if (!opened) {
                opened = std::make_unique<Platform::FolderEntries>(
                    *native, announced == lookups_.end() ? 0 : announced->second);
            }
            // Two texts of one folder (a link, a "/./") share its entries, so that a rename told
            // through one is seen through the other.
            const auto same = std::find_if(folders_.begin(), folders_.end(), [&](const Folder& other) {
                return opened->Id() && other.entries->Id() == opened->Id();
            });
            if (same != folders_.end()) {
                entries = same->entries.get();
            } else {
                entries = opened.get();
                folders_.push_back({std::move(opened), 0});
                Trim(entries);
            }
        }
        found = byText_.emplace(std::string(folder), entries).first;
    }
    for (Folder& f : folders_) {
        if (f.entries.get() == found->second) f.lastUse = ++uses_;
    }
    lastText_ = folder;
    last_ = found->second;
    hasLast_ = true;
    return last_;
}

bool FolderLook::FoldsCase(std::string_view folder) {
    const Platform::FolderEntries* entries = Entries(folder);
    return entries == nullptr || !entries->Exact();
}

Platform::FolderEntries* FolderLook::Opened(std::string_view folder) {
    if (hasLast_ && folder == lastText_) return last_;
    if (const auto found = byText_.find(std::string(folder)); found != byText_.end()) return found->second;
    // Another text may lead to a folder looked into before.
    return folders_.empty() ? nullptr : Entries(folder);
}

void FolderLook::Trim(const Platform::FolderEntries* keep) {
    // A run goes through its folders one after another: a few tables at a time keep the memory of
    // a run over a thousand large folders small, and a folder met again is simply read again.
    constexpr std::size_t kNameBudget = std::size_t{1} << 18;
    std::size_t listed = 0;
    for (const Folder& f : folders_)
        listed += f.entries->ListedNames();
    while (listed > kNameBudget) {
        auto oldest = folders_.end();
        for (auto f = folders_.begin(); f != folders_.end(); ++f) {
            if (f->entries.get() == keep || f->entries.get() == last_ || f->entries->ListedNames() == 0)
                continue;
            if (oldest == folders_.end() || f->lastUse < oldest->lastUse) oldest = f;
        }
        if (oldest == folders_.end()) return;
        listed -= oldest->entries->ListedNames();
        std::erase_if(byText_, [&](const auto& text) { return text.second == oldest->entries.get(); });
        folders_.erase(oldest);
    }
}

FolderLook::Kind FolderLook::At(std::string_view path, Platform::EntryId* id) {
    const PathParts parts = SplitAtLastDelimiter(path);
    if (parts.folder.empty() || !ListedName(parts.name)) return LookAtPath(path, id);
    Platform::FolderEntries* entries = Entries(parts.folder);
    if (entries == nullptr || !Cp932::ToUtf8(parts.name, name_)) return Kind::kNone;
    return KindOf(entries->KindOf(name_, id));
}

bool FolderLook::Holds(std::string_view path, const Platform::EntryId& expected) {
    Platform::EntryId found;
    if (At(path, &found) != Kind::kFile) return false;
    const Platform::Sameness sameness = Platform::Compare(expected, found);
    if (sameness != Platform::Sameness::kUnsure) return sameness == Platform::Sameness::kSame;
    return LookAtPath(path, &found) == Kind::kFile && Platform::IsSame(expected, found);
}

void FolderLook::Expect(std::string_view path) {
    const PathParts parts = SplitAtLastDelimiter(path);
    if (parts.folder.empty() || !ListedName(parts.name)) return;
    const Platform::FolderEntries* entries = Opened(parts.folder);
    if (entries != nullptr && Cp932::ToUtf8(parts.name, expected_)) entries->Prefetch(expected_, false);
}

bool FolderLook::Listed(std::string_view path) {
    const PathParts parts = SplitAtLastDelimiter(path);
    if (parts.folder.empty() || !ListedName(parts.name)) return false;
    const Platform::FolderEntries* entries = Entries(parts.folder);
    return entries != nullptr && entries->Listed() && entries->ListedInodes();
}

void FolderLook::Renamed(std::string_view oldPath, std::string_view newPath) {
    const PathParts from = SplitAtLastDelimiter(oldPath);
    const PathParts to = SplitAtLastDelimiter(newPath);
    if (from.folder.empty() || to.folder.empty()) return;
    // A folder not looked into yet will be read as it is then: nothing to tell it.
    Platform::FolderEntries* fromEntries = Opened(from.folder);
    Platform::FolderEntries* toEntries = Opened(to.folder);
    if (!Cp932::ToUtf8(from.name, fromName_) || !Cp932::ToUtf8(to.name, toName_)) return;
    // What moved is what stood at the old name; where that folder is not listed, the file is
    // looked at where it now stands.
    std::optional<Platform::EntryKind> kind;
    Platform::EntryId id;
    if (toEntries != nullptr && toEntries->Listed()) {
        if (fromEntries != nullptr && fromEntries->Listed()) {
            kind = fromEntries->KindOf(fromName_, toEntries->ListedInodes() ? &id : nullptr);
        } else if (const auto native = Cp932::ToUtf8(newPath)) {
            if (const auto look = Platform::LookAt(*native)) {
                kind = look->kind;
                id = look->id;
            }
        }
    }
    if (fromEntries != nullptr) fromEntries->Removed(fromName_);
    if (kind) toEntries->Added(toName_, *kind, id.file.inode);
}

}  // namespace MyFileOperation

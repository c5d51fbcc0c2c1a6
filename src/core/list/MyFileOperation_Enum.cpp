#include "core/list/FolderListings.h"
#include "core/list/MyFileOperation.h"
#include "core/platform/FileSystem.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"

namespace MyFileOperation {
namespace {

struct Walk {
    std::vector<std::string>& list;
    int kind;
    EnteredFolders& entered;
    RunControl* control = nullptr;
    FolderListings* keep = nullptr;
    std::size_t unconvertible = 0;
    bool stopped = false;

    bool Deep() const { return kind <= kFoldersDeep; }
    bool ListsFiles() const { return kind != kFoldersDeep && kind != kFolders; }
    bool ListsFolders() const { return kind != kFilesDeep && kind != kFiles; }

    // folder: code page 932 text ending in "/"; native: the same in UTF-8.
    void Visit(const std::string& folder, const std::string& native) {
        if (stopped || StopAsked(control, list.size())) {
            stopped = true;
            return;
        }
        Platform::FileId id;
        Platform::FolderReader reader(native, &id, keep != nullptr ? keep->Room() : 0);
        if (!reader.IsOpen()) return;
        if (!entered.emplace(id.device, id.inode).second) return;
        // Kept as soon as read, so that the subfolders see what room is left.
        const auto keepListing = [&] {
            if (keep != nullptr) keep->Keep(reader.TakeListing());
        };
        // The entries are taken as they are read, so that a huge folder is never held whole; before
        // a subfolder is walked the rest is read, so that no folder stays open meanwhile.
        std::vector<Platform::DirEntry> rest;
        std::size_t nextRest = 0;
        bool reading = true;
        const auto next = [&]() -> std::optional<Platform::DirEntry> {
            if (reading) return reader.Next();
            if (nextRest < rest.size()) return std::move(rest[nextRest++]);
            return std::nullopt;
        };
        while (const std::optional<Platform::DirEntry> found = next()) {
            const Platform::DirEntry& entry = *found;
            if (entry.kind == Platform::EntryKind::Other) continue;
            const bool hidden = entry.name.front() == '.';
            if (entry.kind == Platform::EntryKind::Folder && hidden) continue;
            // Most names are ASCII, the same in both forms.
            std::string_view name = entry.name;
            std::optional<std::string> converted;
            if (!Cp932::IsAscii(name)) {
                converted = Cp932::FromUtf8(name);
                if (!converted) {
                    ++unconvertible;
                    continue;
                }
                name = *converted;
            }
            // Sized exactly: a list holds a million of them, and folder + name would give each
            // path room for twice the folder.
            std::string path;
            path.reserve(folder.size() + name.size());
            path.append(folder).append(name);
            if (entry.kind == Platform::EntryKind::File) {
                if (ListsFiles()) list.push_back(std::move(path));
                continue;
            }
            if (ListsFolders()) list.push_back(path);
            if (!Deep()) continue;
            if (reading) {
                rest = reader.Rest();
                reading = false;
                keepListing();
            }
            Visit(path + kDelimiter, native + entry.name + kDelimiter);
        }
        if (reading) keepListing();
    }
};

}  // namespace

void MarkEntered(EnteredFolders& entered, const std::string& folder) {
    const auto native = Cp932::ToUtf8(AddBackslash(folder));
    if (folder.empty() || !native) return;
    if (const auto status = Platform::Status(*native)) entered.emplace(status->id.device, status->id.inode);
}

std::size_t EnumFolder(const std::string& folder, std::vector<std::string>& list, int kind,
                       EnteredFolders& entered, RunControl* control, FolderListings* keep) {
    const std::string start = AddBackslash(folder);
    const auto native = Cp932::ToUtf8(start);
    if (start.empty() || !native) return 0;
    Walk walk{list, kind, entered, control, keep};
    walk.Visit(start, *native);
    return walk.unconvertible;
}

std::size_t EnumFolder(const std::string& folder, std::vector<std::string>& list, int kind) {
    EnteredFolders entered;
    return EnumFolder(folder, list, kind, entered);
}

}  // namespace MyFileOperation

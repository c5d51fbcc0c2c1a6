#include <set>
#include <utility>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"
#include "core/platform/FileSystem.h"

namespace MyFileOperation {
namespace {

struct Walk {
    std::vector<std::string>& list;
    int kind;
    std::set<std::pair<std::uint64_t, std::uint64_t>> entered;  // device, inode
    std::size_t unconvertible = 0;

    bool Deep() const { return kind <= kFoldersDeep; }
    bool ListsFiles() const { return kind != kFoldersDeep && kind != kFolders; }
    bool ListsFolders() const { return kind != kFilesDeep && kind != kFiles; }

    // folder: code page 932 text ending in "/"; native: the same in UTF-8.
    void Visit(const std::string& folder, const std::string& native) {
        Platform::FileId id;
        const auto entries = Platform::ReadFolder(native, &id);
        if (!entries) return;
        if (!entered.emplace(id.device, id.inode).second) return;
        for (const Platform::DirEntry& entry : *entries) {
            if (entry.kind == Platform::EntryKind::Other) continue;
            const bool hidden = entry.name.front() == '.';
            if (entry.kind == Platform::EntryKind::Folder && hidden) continue;
            const auto name = Cp932::FromUtf8(entry.name);
            if (!name) {
                ++unconvertible;
                continue;
            }
            std::string path = folder + *name;
            if (entry.kind == Platform::EntryKind::File) {
                if (ListsFiles()) list.push_back(std::move(path));
                continue;
            }
            if (ListsFolders()) list.push_back(path);
            if (Deep()) Visit(path + kDelimiter, native + entry.name + kDelimiter);
        }
    }
};

}  // namespace

std::size_t EnumFolder(const std::string& folder, std::vector<std::string>& list, int kind,
                       const std::string& outer) {
    const std::string start = AddBackslash(folder);
    const auto native = Cp932::ToUtf8(start);
    if (start.empty() || !native) return 0;
    Walk walk{list, kind, {}};
    if (const auto outerNative = Cp932::ToUtf8(AddBackslash(outer)); !outer.empty() && outerNative) {
        if (const auto status = Platform::Status(*outerNative))
            walk.entered.emplace(status->id.device, status->id.inode);
    }
    walk.Visit(start, *native);
    return walk.unconvertible;
}

}  // namespace MyFileOperation

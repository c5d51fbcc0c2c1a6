#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "core/platform/FileSystem.h"

namespace Platform {
namespace {

EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::optional<std::vector<DirEntry>> ReadFolder(const std::string& path, FileId* id) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
    if (!dir) return std::nullopt;
    if (id != nullptr) {
        struct stat st {};
        if (fstat(dirfd(dir.get()), &st) != 0) return std::nullopt;
        *id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    }
    std::vector<DirEntry> entries;
    while (const dirent* e = readdir(dir.get())) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        EntryKind kind = EntryKind::Other;
        switch (e->d_type) {
            case DT_REG:
                kind = EntryKind::File;
                break;
            case DT_DIR:
                kind = EntryKind::Folder;
                break;
            case DT_LNK:
            case DT_UNKNOWN: {
                // Only links and file systems without entry types cost a stat.
                struct stat st {};
                if (fstatat(dirfd(dir.get()), e->d_name, &st, 0) == 0) kind = KindOf(st.st_mode);
                break;
            }
            default:
                break;
        }
        entries.push_back({std::string(name), kind});
    }
    return entries;
}

std::optional<FileStatus> Status(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStatus{KindOf(st.st_mode),
                      static_cast<std::int64_t>(st.st_mtim.tv_sec),
                      {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}};
}

std::vector<bool> FilesExist(const std::vector<std::string>& paths) {
    std::vector<bool> exist(paths.size(), false);
    std::string folder;
    int folderFd = -1;  // folder opened, or -1 when it could not be
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const std::size_t slash = path.rfind('/');
        struct stat st {};
        // A bare name or a path ending in "/" is left to stat as it is.
        if (slash == std::string::npos || slash + 1 == path.size()) {
            exist[i] = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
            continue;
        }
        const std::string_view parent(path.data(), slash == 0 ? 1 : slash);
        if (parent != folder) {
            if (folderFd >= 0) close(folderFd);
            folder = parent;
            // O_PATH asks no more of the folder than a walk through it does.
            folderFd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        const bool found = folderFd >= 0 ? fstatat(folderFd, path.c_str() + slash + 1, &st, 0) == 0
                                         : stat(path.c_str(), &st) == 0;
        exist[i] = found && S_ISREG(st.st_mode);
    }
    if (folderFd >= 0) close(folderFd);
    return exist;
}

}  // namespace Platform

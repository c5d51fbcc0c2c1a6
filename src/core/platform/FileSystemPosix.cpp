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

KeptFolder::~KeptFolder() {
    if (fd_ >= 0) close(fd_);
}

KeptFolder::Place KeptFolder::Of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return {};
    const std::string_view parent(path.data(), slash == 0 ? 1 : slash);
    if (fd_ < 0 || parent != path_) {
        if (fd_ >= 0) close(fd_);
        path_ = parent;
        // O_PATH asks no more of the folder than a walk through it does.
        fd_ = open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return {fd_, path.c_str() + slash + 1};
}

std::vector<bool> FilesExist(const std::vector<std::string>& paths) {
    std::vector<bool> exist(paths.size(), false);
    KeptFolder folder;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const KeptFolder::Place place = folder.Of(paths[i]);
        struct stat st {};
        const bool found =
            place.fd >= 0 ? fstatat(place.fd, place.name, &st, 0) == 0 : stat(paths[i].c_str(), &st) == 0;
        exist[i] = found && S_ISREG(st.st_mode);
    }
    return exist;
}

}  // namespace Platform

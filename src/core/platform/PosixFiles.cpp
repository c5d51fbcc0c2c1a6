#include "core/platform/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace Platform::Posix {

std::error_code ErrorOf(int code) {
    return {code, std::generic_category()};
}

std::error_code LastError() {
    return ErrorOf(errno);
}

bool Unsupported(int code) {
    // ENOTSUP and EOPNOTSUPP are one value on Linux, two on some other systems.
    // NOLINTNEXTLINE(misc-redundant-expression)
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == ENOTSUP;
}

FileId IdOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

namespace {

// The inode generation of the regular file at path in dir, where the file system tells it.
Born GenerationOf(int dir, const char* path, int flags) {
    long generation = 0;  // the file systems write an int into it
    if ((flags & AT_EMPTY_PATH) != 0 && *path == '\0')
        return ioctl(dir, FS_IOC_GETVERSION, &generation) == 0
                   ? Born::Generation(static_cast<std::uint32_t>(generation))
                   : Born();
    // Without blocking on a lock or making the file a terminal's; a link is not followed.
    const int fd = openat(dir, path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {};
    const bool told = ioctl(fd, FS_IOC_GETVERSION, &generation) == 0;
    close(fd);
    return told ? Born::Generation(static_cast<std::uint32_t>(generation)) : Born();
}

}  // namespace

bool Look(int dir, const char* path, int flags, Looked& looked) {
    struct statx sx {};
    if (statx(dir, path, flags | AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MODE | STATX_INO | STATX_BTIME,
              &sx) != 0)
        return false;
    looked.mode = sx.stx_mode;
    looked.id = {static_cast<std::uint64_t>(makedev(sx.stx_dev_major, sx.stx_dev_minor)), sx.stx_ino};
    if ((sx.stx_mask & STATX_BTIME) != 0) {
        looked.born = Born::At(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    } else {
        looked.born = S_ISREG(sx.stx_mode) ? GenerationOf(dir, path, flags) : Born();
    }
    return true;
}

std::uint64_t VolumeOf(const struct statfs& fs) {
    std::uint64_t volume = 0;
    static_assert(sizeof fs.f_fsid <= sizeof volume);
    std::memcpy(&volume, &fs.f_fsid, sizeof fs.f_fsid);
    return volume;
}

std::string RandomName(std::string_view prefix) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name(prefix);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (int i = 0; i < 12; ++i)
        name += kChars[pick(random)];
    return name + ".tmp";
}

std::error_code RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to) {
    if (renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return {};
    if (!Unsupported(errno)) return LastError();
    return RenameByLinkAt(fromDir, from, toDir, to);
}

std::error_code RenameByLinkAt(int fromDir, const char* from, int toDir, const char* to) {
    if (linkat(fromDir, from, toDir, to, 0) != 0) {
        // No hard links here (FAT), too many of them, or from is a folder.
        if (errno == EPERM || errno == EMLINK || Unsupported(errno))
            return RenameAfterCheckAt(fromDir, from, toDir, to);
        return LastError();
    }
    if (unlinkat(fromDir, from, 0) != 0) {
        const auto ec = LastError();
        unlinkat(toDir, to, 0);  // the link just made: the file keeps its old name only
        return ec;
    }
    return {};
}

std::error_code RenameAfterCheckAt(int fromDir, const char* from, int toDir, const char* to) {
    // The last resort leaves a short window between check and rename; file systems that get here
    // offer nothing atomic.
    struct stat st {};
    if (fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return ErrorOf(EEXIST);
    if (errno != ENOENT) return LastError();
    return renameat(fromDir, from, toDir, to) == 0 ? std::error_code() : LastError();
}

EntryKind ModeKind(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

std::optional<EntryKind> KindOfEntry(int folderFd, unsigned char type, const char* name) {
    switch (type) {
        case DT_REG:
            return EntryKind::File;
        case DT_DIR:
            return EntryKind::Folder;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat st {};
            if (fstatat(folderFd, name, &st, 0) != 0) return std::nullopt;
            return ModeKind(st.st_mode);
        }
        default:
            return EntryKind::Other;
    }
}

}  // namespace Platform::Posix

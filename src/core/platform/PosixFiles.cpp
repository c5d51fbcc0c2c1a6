#include "core/platform/PosixFiles.h"

#include <fcntl.h>
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

}  // namespace Platform::Posix

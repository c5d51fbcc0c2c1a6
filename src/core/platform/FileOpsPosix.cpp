#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "core/platform/Fd.h"
#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"

namespace Platform {
namespace {

// Tries of fresh temporary names before giving up; a clash is already unlikely.
constexpr int kTemporaryAttempts = 100;

std::error_code ErrorOf(int code) {
    return {code, std::generic_category()};
}
std::error_code LastError() {
    return ErrorOf(errno);
}

// Errors by which a file system says it lacks a kind of rename or link.
bool Unsupported(int code) {
    // ENOTSUP and EOPNOTSUPP are one value on Linux, two on some other systems.
    // NOLINTNEXTLINE(misc-redundant-expression)
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == ENOTSUP;
}

bool SameId(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The folder part of a native path, "/" included; empty for a bare name.
std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A hidden name that nobody else uses: the callers create it exclusively and try again on a clash.
std::string TemporaryName(const std::string& folder) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name = folder + ".quorbel-";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (int i = 0; i < 12; ++i)
        name += kChars[pick(random)];
    return name + ".tmp";
}

std::error_code WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

// size: the source's size as fstat saw it, so that a small file gets a small buffer.
std::error_code CopyContent(int in, int out, off_t size) {
    // copy_file_range lets the kernel copy (or share blocks); between unlike file systems it
    // refuses, and the plain loop takes over from the current offsets.
    for (;;) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0);
        if (n > 0) continue;
        if (n == 0) return {};
        if (errno == EINTR) continue;
        if (errno != EXDEV && !Unsupported(errno)) return LastError();
        break;
    }
    // Never empty; a file that grew since fstat still copies whole, in more reads.
    constexpr std::size_t kBufferBytes = std::size_t{1} << 18;
    std::vector<char> buffer(std::min(kBufferBytes, static_cast<std::size_t>(std::max<off_t>(size, 0)) + 1));
    for (;;) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n == 0) return {};
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (const auto ec = WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) return ec;
    }
}

// Copies a regular file to a fresh temporary name in folder, with the source's permissions and
// times; the caller syncs the file system. On failure nothing of the copy is left.
std::error_code CopyFileToTemporary(const std::string& from, const std::string& folder,
                                    std::string& temporary) {
    const Fd in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.Get() < 0) return LastError();
    struct stat st {};
    if (fstat(in.Get(), &st) != 0) return LastError();

    int fd = -1;
    for (int attempt = 0; attempt < kTemporaryAttempts && fd < 0; ++attempt) {
        temporary = TemporaryName(folder);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return LastError();
    }
    if (fd < 0) return ErrorOf(EEXIST);
    Fd out(fd);

    std::error_code ec = CopyContent(in.Get(), out.Get(), st.st_size);
    if (!ec) {
        if (fchown(out.Get(), st.st_uid, st.st_gid) != 0) {
            // Only root may give the copy another owner; anyone else keeps it as their own.
        }
        // After fchown, which clears set-id bits.
        if (fchmod(out.Get(), st.st_mode & 07777) != 0) ec = LastError();
    }
    if (!ec) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        if (futimens(out.Get(), times) != 0) ec = LastError();
    }
    if (const auto closed = out.Close(); !ec) ec = closed;
    if (ec) unlink(temporary.c_str());
    return ec;
}

// A symbolic link moves as a link: the same target text under a fresh temporary name.
std::error_code CopyLinkToTemporary(const std::string& from, const struct stat& st, const std::string& folder,
                                    std::string& temporary) {
    std::vector<char> target(std::max<std::size_t>(static_cast<std::size_t>(st.st_size), 255) + 1);
    for (;;) {
        const ssize_t n = readlink(from.c_str(), target.data(), target.size());
        if (n < 0) return LastError();
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    target.push_back('\0');
    bool made = false;
    for (int attempt = 0; attempt < kTemporaryAttempts && !made; ++attempt) {
        temporary = TemporaryName(folder);
        made = symlink(target.data(), temporary.c_str()) == 0;
        if (!made && errno != EEXIST) return LastError();
    }
    if (!made) return ErrorOf(EEXIST);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (utimensat(AT_FDCWD, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        const auto ec = LastError();
        unlink(temporary.c_str());
        return ec;
    }
    return {};
}

// Makes a rename in folder durable before the source on the other file system goes. Some file
// systems cannot sync a folder (EINVAL), and a folder we may not read cannot be synced by us: the
// copied file itself is synced already. Any other failure (a disk error, a full disk) leaves the
// rename's durability unknown, and the caller keeps the source.
Fd OpenFolder(const std::string& folder) {
    return Fd(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::error_code SyncFolder(const std::string& folder) {
    const Fd fd = OpenFolder(folder);
    if (fd.Get() < 0 || fsync(fd.Get()) == 0 || errno == EINVAL || errno == EOPNOTSUPP) return {};
    return LastError();
}

// The first half of a move to another file system: the copy under a temporary name beside the
// destination.
std::error_code CopyAcross(const std::string& from, const std::string& to, Existing existing,
                           std::string& temporary) {
    struct stat source {};
    if (lstat(from.c_str(), &source) != 0) return LastError();
    struct stat target {};
    if (existing == Existing::Keep) {
        // Refuse early rather than after copying a large file; the final rename still refuses.
        if (lstat(to.c_str(), &target) == 0) return ErrorOf(EEXIST);
        if (errno != ENOENT) return LastError();
    }
    const std::string folder = FolderPart(to);
    if (S_ISREG(source.st_mode)) return CopyFileToTemporary(from, folder, temporary);
    if (S_ISLNK(source.st_mode)) return CopyLinkToTemporary(from, source, folder, temporary);
    return ErrorOf(EXDEV);  // folders and special files stay on their file system
}

// The copy into place; on failure it is removed.
std::error_code PlaceCopy(const std::string& temporary, const std::string& to, Existing existing) {
    std::error_code ec;
    if (existing == Existing::Keep) {
        ec = RenameNoReplace(temporary, to);
    } else if (rename(temporary.c_str(), to.c_str()) != 0) {
        ec = LastError();
    }
    if (ec) unlink(temporary.c_str());
    return ec;
}

// A move that cannot finish after its copy was placed: without replace, removing our copy
// restores the state before the move. A replaced destination cannot come back, so the copy stays
// beside the source.
void AbandonPlacedCopy(const std::string& to, Existing existing) {
    if (existing == Existing::Keep) unlink(to.c_str());
}

// The last step, once the copy is durable in place: the source goes.
std::error_code RemoveSource(const std::string& from, const std::string& to, Existing existing) {
    if (unlink(from.c_str()) == 0) return {};
    const auto ec = LastError();
    AbandonPlacedCopy(to, existing);
    return ec;
}

// The moves within one file system; cross_device_link for those that must be copied.
std::error_code MoveByRename(const std::string& from, const std::string& to, Existing existing) {
    if (existing == Existing::Keep) return RenameNoReplace(from, to);
    // rename() onto another name of the same file does nothing and reports success, and a link
    // moved over its own target would lose the file.
    if (SameFile(from, to)) return ErrorOf(EINVAL);
    return rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

}  // namespace

bool SameEntry(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && SameId(sa, sb);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (SameEntry(a, b)) return true;
    struct stat sa {};
    struct stat sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && SameId(sa, sb);
}

std::error_code RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (!Unsupported(errno)) return LastError();
    return RenameByLink(from, to);
}

FolderRenames::~FolderRenames() {
    for (const Folder* folder : {&from_, &to_}) {
        if (folder->fd >= 0) close(folder->fd);
    }
}

int FolderRenames::Open(Folder& folder, std::string_view path) {
    if (folder.fd >= 0 && folder.path == path) return folder.fd;
    if (folder.fd >= 0) close(folder.fd);
    folder.path = path;
    folder.fd = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    folder.exact = folder.fd >= 0 && ExactNames(folder.fd);
    // O_PATH asks no more of the folder than a walk through it does.
    if (folder.fd < 0) folder.fd = open(folder.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder.fd;
}

bool FolderRenames::OpenBoth(const std::string& from, const std::string& to, const char*& fromName,
                             const char*& toName) {
    const std::size_t fromSlash = from.rfind('/');
    const std::size_t toSlash = to.rfind('/');
    if (fromSlash == std::string::npos || toSlash == std::string::npos || fromSlash + 1 == from.size() ||
        toSlash + 1 == to.size())
        return false;
    const int fromFd = Open(from_, std::string_view(from).substr(0, std::max<std::size_t>(fromSlash, 1)));
    const int toFd = Open(to_, std::string_view(to).substr(0, std::max<std::size_t>(toSlash, 1)));
    fromName = from.c_str() + fromSlash + 1;
    toName = to.c_str() + toSlash + 1;
    return fromFd >= 0 && toFd >= 0;
}

std::error_code FolderRenames::RenameNoReplace(const std::string& from, const std::string& to) {
    const char* fromName = nullptr;
    const char* toName = nullptr;
    // A bare name or a path ending in "/" goes as it is.
    if (!OpenBoth(from, to, fromName, toName)) return Platform::RenameNoReplace(from, to);
    if (renameat2(from_.fd, fromName, to_.fd, toName, RENAME_NOREPLACE) == 0) return {};
    if (!Unsupported(errno)) return LastError();
    return RenameByLink(from, to);
}

std::error_code FolderRenames::RenameCaseOnly(const std::string& from, const std::string& to) {
    const char* fromName = nullptr;
    const char* toName = nullptr;
    if (!OpenBoth(from, to, fromName, toName) || !from_.exact || !to_.exact)
        return Platform::RenameCaseOnly(from, to);
    return RenameNoReplace(from, to);
}

std::error_code RenameByLink(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) != 0) {
        // No hard links here (FAT), too many of them, or from is a folder.
        if (errno == EPERM || errno == EMLINK || Unsupported(errno)) return RenameAfterCheck(from, to);
        return LastError();
    }
    if (unlink(from.c_str()) != 0) {
        const auto ec = LastError();
        unlink(to.c_str());  // the link just made: the file keeps its old name only
        return ec;
    }
    return {};
}

std::error_code RenameAfterCheck(const std::string& from, const std::string& to) {
    // The last resort leaves a short window between check and rename; file systems that get here
    // offer nothing atomic.
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0) return ErrorOf(EEXIST);
    if (errno != ENOENT) return LastError();
    return rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RenameViaTemporary(const std::string& from, const std::string& to) {
    if (from == to) return ErrorOf(EEXIST);  // as renameat2 answers
    const std::string folder = FolderPart(from);
    std::string temporary;
    std::error_code ec = ErrorOf(EEXIST);
    for (int attempt = 0; attempt < kTemporaryAttempts && ec == std::errc::file_exists; ++attempt) {
        temporary = TemporaryName(folder);
        ec = RenameNoReplace(from, temporary);
    }
    if (ec) return ec;
    ec = RenameNoReplace(temporary, to);
    // If even the way back is refused, nothing safe is left to try: the file keeps the
    // temporary name rather than replace whatever took its old one.
    if (ec) RenameNoReplace(temporary, from);
    return ec;
}

std::error_code RenameCaseOnly(const std::string& from, const std::string& to) {
    struct stat source {};
    struct stat target {};
    // A free new spelling is the common case (a case-sensitive file system): one look and the
    // rename, which reports a missing source by itself.
    if (lstat(to.c_str(), &target) != 0) {
        if (errno != ENOENT) return LastError();
        return RenameNoReplace(from, to);
    }
    if (lstat(from.c_str(), &source) != 0) return LastError();
    if (!SameId(source, target)) return ErrorOf(EEXIST);
    // One file under both spellings. On a case-insensitive file system the second step finds the
    // new spelling free; for two hard links it does not, and the file goes back to its old name.
    return RenameViaTemporary(from, to);
}

std::error_code MovePath(const std::string& from, const std::string& to, Existing existing) {
    return MovePaths({{from, to, existing}}).front();
}

std::vector<std::error_code> MovePaths(const std::vector<MoveRequest>& moves) {
    std::vector<std::error_code> results(moves.size());
    std::vector<std::size_t> across;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const MoveRequest& move = moves[i];
        results[i] = MoveByRename(move.from, move.to, move.existing);
        if (results[i] == std::errc::cross_device_link) across.push_back(i);
    }
    // Copies are made durable a group at a time: one sync of each destination file system instead
    // of one per file. A group is small enough that a crash leaves few temporary names behind.
    constexpr std::size_t kGroup = 1024;
    for (std::size_t first = 0; first < across.size(); first += kGroup) {
        const std::size_t last = std::min(across.size(), first + kGroup);
        std::vector<std::string> temporaries(last - first);
        std::vector<std::string> folders;
        // Ends every move of the group still under way into folder with ec, after undo(k) took
        // back its last step.
        const auto failFolder = [&](const std::string& folder, std::error_code ec, const auto& undo) {
            for (std::size_t k = first; k < last; ++k) {
                std::error_code& result = results[across[k]];
                if (result || FolderPart(moves[across[k]].to) != folder) continue;
                undo(k);
                result = ec;
            }
        };
        for (std::size_t k = first; k < last; ++k) {
            const MoveRequest& move = moves[across[k]];
            results[across[k]] = CopyAcross(move.from, move.to, move.existing, temporaries[k - first]);
            const std::string folder = FolderPart(move.to);
            if (!results[across[k]] && std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(folder);
        }
        // Nothing may be removed on the strength of copies that may not be on the disk.
        for (const std::string& folder : folders) {
            const Fd fd = OpenFolder(folder);
            if (fd.Get() >= 0 && syncfs(fd.Get()) == 0) continue;
            failFolder(folder, LastError(), [&](std::size_t k) { unlink(temporaries[k - first].c_str()); });
        }
        for (std::size_t k = first; k < last; ++k) {
            const MoveRequest& move = moves[across[k]];
            if (!results[across[k]])
                results[across[k]] = PlaceCopy(temporaries[k - first], move.to, move.existing);
        }
        for (const std::string& folder : folders) {
            if (const std::error_code ec = SyncFolder(folder)) {
                failFolder(folder, ec, [&](std::size_t k) {
                    AbandonPlacedCopy(moves[across[k]].to, moves[across[k]].existing);
                });
            }
        }
        for (std::size_t k = first; k < last; ++k) {
            const MoveRequest& move = moves[across[k]];
            if (!results[across[k]]) results[across[k]] = RemoveSource(move.from, move.to, move.existing);
        }
    }
    return results;
}

std::error_code RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code MakeFolders(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? std::error_code() : ErrorOf(ENOTDIR);
    if (errno != ENOENT) return LastError();
    const std::size_t end = folder.find_last_not_of('/');
    const std::size_t slash = end == std::string::npos ? std::string::npos : folder.rfind('/', end);
    if (slash != std::string::npos) {
        if (const auto ec = MakeFolders(slash == 0 ? "/" : folder.substr(0, slash))) return ec;
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return LastError();
    return {};
}

}  // namespace Platform

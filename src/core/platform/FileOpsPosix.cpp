#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"
#include "core/platform/PosixFiles.h"

namespace Platform {
namespace {

using Posix::ErrorOf;
using Posix::LastError;
using Posix::SameId;

// The folder part of a native path, "/" included; empty for a bare name.
std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

bool AlikeEntries(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 &&
           (sa.st_mode & S_IFMT) == (sb.st_mode & S_IFMT) && sa.st_size == sb.st_size &&
           sa.st_mtim.tv_sec == sb.st_mtim.tv_sec && sa.st_mtim.tv_nsec == sb.st_mtim.tv_nsec;
}

std::error_code RenameNoReplace(const std::string& from, const std::string& to) {
    return Posix::RenameNoReplaceAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
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
    return Posix::RenameNoReplaceAt(from_.fd, fromName, to_.fd, toName);
}

std::error_code FolderRenames::RenameCaseOnly(const std::string& from, const std::string& to) {
    const char* fromName = nullptr;
    const char* toName = nullptr;
    if (!OpenBoth(from, to, fromName, toName) || !from_.exact || !to_.exact)
        return Platform::RenameCaseOnly(from, to);
    return Posix::RenameNoReplaceAt(from_.fd, fromName, to_.fd, toName);
}

std::error_code RenameByLink(const std::string& from, const std::string& to) {
    return Posix::RenameByLinkAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::error_code RenameAfterCheck(const std::string& from, const std::string& to) {
    return Posix::RenameAfterCheckAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::error_code RenameViaTemporary(const std::string& from, const std::string& to) {
    if (from == to) return ErrorOf(EEXIST);  // as renameat2 answers
    const std::string folder = FolderPart(from);
    std::string temporary;
    std::error_code ec = ErrorOf(EEXIST);
    for (int attempt = 0; attempt < Posix::kTemporaryAttempts && ec == std::errc::file_exists; ++attempt) {
        temporary = folder + Posix::RandomName(Posix::kRenamePrefix);
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

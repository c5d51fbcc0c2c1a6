#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <memory>

#include "core/platform/Fd.h"
#include "core/platform/FileOps.h"
#include "core/platform/JournalFile.h"

namespace Platform {
namespace {

std::error_code ErrorOf(int code) {
    return {code, std::generic_category()};
}
std::error_code LastError() {
    return ErrorOf(errno);
}

// Opens what stands at path without following a link and without waiting on a FIFO.
Fd OpenEntry(const std::string& path, int flags) {
    return Fd(open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

std::error_code WriteAllAt(int fd, std::string_view bytes, std::uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return {};
}

// Reads what fd holds from its start, at most maxBytes.
std::error_code ReadAllOf(int fd, std::size_t maxBytes, std::string& out) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return ErrorOf(EINVAL);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return ErrorOf(EFBIG);
    out.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastError();
        if (n == 0) break;  // cut short since fstat
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return {};
}

// Some file systems cannot sync a folder (EINVAL); their renames are as durable as they get.
std::error_code SyncFolder(const std::string& folder) {
    const Fd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0) return LastError();
    if (fsync(fd.Get()) == 0 || errno == EINVAL) return {};
    return LastError();
}

}  // namespace

LockedFile::~LockedFile() {
    Close();
}

void LockedFile::Close() {
    // A draft never placed is no journal.
    if (Drafted()) unlink(draft_.c_str());
    draft_.clear();
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    size_ = 0;
}

std::error_code LockedFile::Draft(const std::string& folder, const std::string& name,
                                  std::string_view content, bool flush) {
    assert(!IsOpen() && !Drafted());
    const std::string hidden = folder + "/." + name + ".new";
    Fd fd(open(hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.Get() < 0) return LastError();
    std::error_code ec;
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) ec = LastError();
    if (!ec) ec = WriteAllAt(fd.Get(), content, 0);
    // Flushed now, while the command still gets ready: the sync at Place has little left to write.
    if (!ec && flush && fdatasync(fd.Get()) != 0) ec = LastError();
    if (ec) {
        unlink(hidden.c_str());
        return ec;
    }
    fd_ = fd.Release();
    size_ = content.size();
    draft_ = hidden;
    path_ = folder + "/" + name;
    return {};
}

std::error_code LockedFile::Place(std::string_view rest) {
    assert(Drafted());
    std::error_code ec = WriteAllAt(fd_, rest, size_);
    if (!ec && fsync(fd_) != 0) ec = LastError();
    if (!ec) ec = RenameNoReplace(draft_, path_);
    if (ec) {
        Discard();
        return ec;
    }
    draft_.clear();
    size_ += rest.size();
    // Without the folder synced the name might not survive a crash that the renames after it do.
    if (const auto synced = SyncFolder(path_.substr(0, path_.rfind('/')))) {
        unlink(path_.c_str());
        Close();
        return synced;
    }
    return {};
}

void LockedFile::Discard() {
    if (Drafted()) Close();
}

std::error_code LockedFile::OpenExisting(const std::string& path) {
    assert(!IsOpen());
    Fd fd = OpenEntry(path, O_RDWR);
    if (fd.Get() < 0) return LastError();
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return ErrorOf(EINVAL);
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return LastError();
    fd_ = fd.Release();
    size_ = static_cast<std::uint64_t>(st.st_size);
    return {};
}

std::error_code LockedFile::ReadAll(std::size_t maxBytes, std::string& out) const {
    assert(IsOpen());
    return ReadAllOf(fd_, maxBytes, out);
}

std::error_code LockedFile::Append(std::string_view bytes) {
    assert(IsOpen());
    std::error_code ec = WriteAllAt(fd_, bytes, size_);
    if (!ec && fdatasync(fd_) != 0) ec = LastError();
    if (ec) {
        // A part written (a disk that filled up) must not stay in front of the next append.
        if (ftruncate(fd_, static_cast<off_t>(size_)) == 0) fdatasync(fd_);
        return ec;
    }
    size_ += bytes.size();
    return {};
}

std::error_code LockedFile::Truncate(std::size_t size) {
    assert(IsOpen());
    if (ftruncate(fd_, static_cast<off_t>(size)) != 0 || fdatasync(fd_) != 0) return LastError();
    size_ = size;
    return {};
}

LockProbe ProbeLock(const std::string& path) {
    const Fd fd = OpenEntry(path, O_RDONLY);
    if (fd.Get() < 0) return LockProbe::kMissing;
    return flock(fd.Get(), LOCK_SH | LOCK_NB) == 0 ? LockProbe::kFree : LockProbe::kHeld;
}

std::optional<std::vector<FolderFile>> ListFiles(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    if (!dir) return std::nullopt;
    std::vector<FolderFile> files;
    while (const dirent* e = readdir(dir.get())) {
        struct stat st {};
        if (fstatat(dirfd(dir.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        files.push_back({e->d_name, static_cast<std::uint64_t>(st.st_size)});
    }
    return files;
}

std::error_code ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    const Fd fd = OpenEntry(path, O_RDONLY);
    if (fd.Get() < 0) return LastError();
    return ReadAllOf(fd.Get(), maxBytes, out);
}

bool RemoveUnlocked(const std::string& path) {
    const Fd fd = OpenEntry(path, O_RDONLY);
    if (fd.Get() < 0) return errno == ENOENT;
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace Platform

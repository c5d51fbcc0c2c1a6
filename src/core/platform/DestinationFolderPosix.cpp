#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <utility>

#include "core/platform/DestinationFolder.h"
#include "core/platform/Fd.h"
#include "core/platform/PosixFiles.h"

namespace Platform {
namespace {

using Posix::ErrorOf;
using Posix::IdOf;
using Posix::LastError;
using Posix::RenameNoReplaceAt;
using Posix::SameId;

// When this process started: taken while the program starts, before any move can begin, and
// again in a child process made by fork, which is a process of its own.
class StartTime {
public:
    StartTime() {
        Take();
        pthread_atfork(nullptr, nullptr, &Take);
    }
    static std::chrono::system_clock::time_point Get() {
        return std::chrono::system_clock::time_point(std::chrono::system_clock::duration(ticks_.load()));
    }

private:
    static void Take() { ticks_.store(std::chrono::system_clock::now().time_since_epoch().count()); }
    static inline std::atomic<std::chrono::system_clock::rep> ticks_{0};
};
const StartTime kStartTime;

std::chrono::system_clock::time_point TimeOf(const timespec& time) {
    const auto since = std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(since));
}

// A group of copies: the files whose copies are synced together. Bounded in count and in bytes, it
// is what a move killed midway can leave behind.
constexpr std::size_t kCopyGroupFiles = 32;
constexpr std::uint64_t kCopyGroupBytes = std::uint64_t{32} << 20;

// One name in the folder, never a way out of it.
bool IsSingleName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
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
        if (errno != EXDEV && !Posix::Unsupported(errno)) return LastError();
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

// Gives the next name to try for a copy (recorded first where the moves are recorded).
using CopyNames = std::function<std::error_code(std::string& name)>;

// Copies a regular file to a fresh copy name in the folder dir, with the source's permissions and
// times. syncNow: the copy is synced here (else the caller syncs the file system). On failure
// nothing of the copy is left.
std::error_code CopyFile(const std::string& from, int dir, bool syncNow, const CopyNames& names,
                         std::string& copy, Posix::Looked& id, std::uint64_t& bytes) {
    const Fd in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.Get() < 0) return LastError();
    struct stat st {};
    if (fstat(in.Get(), &st) != 0) return LastError();

    int fd = -1;
    for (int attempt = 0; attempt < Posix::kTemporaryAttempts && fd < 0; ++attempt) {
        if (const auto ec = names(copy)) return ec;
        fd = openat(dir, copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return LastError();
    }
    if (fd < 0) return ErrorOf(EEXIST);
    Fd out(fd);
    // The copy is a file of its own: its birth tells it apart once the move is taken back.
    Posix::Looked made;
    std::error_code ec = Posix::Look(out.Get(), "", AT_EMPTY_PATH, made) ? std::error_code() : LastError();
    if (!ec) ec = CopyContent(in.Get(), out.Get(), st.st_size);
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
    if (!ec && syncNow && fsync(out.Get()) != 0) ec = LastError();
    if (const auto closed = out.Close(); !ec) ec = closed;
    if (ec) {
        unlinkat(dir, copy.c_str(), 0);
        return ec;
    }
    id = made;
    bytes = static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
    return {};
}

// A symbolic link moves as a link: the same target text under a fresh copy name.
std::error_code CopyLink(const std::string& from, const struct stat& st, int dir, const CopyNames& names,
                         std::string& copy, Posix::Looked& id) {
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
    for (int attempt = 0; attempt < Posix::kTemporaryAttempts && !made; ++attempt) {
        if (const auto ec = names(copy)) return ec;
        made = symlinkat(target.data(), dir, copy.c_str()) == 0;
        if (!made && errno != EEXIST) return LastError();
    }
    if (!made) return ErrorOf(EEXIST);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (utimensat(dir, copy.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0 ||
        !Posix::Look(dir, copy.c_str(), 0, id)) {
        const auto ec = LastError();
        unlinkat(dir, copy.c_str(), 0);
        return ec;
    }
    return {};
}

// Whether the file from may replace what stands at name in the folder dir: nothing (exists
// false), or a file that is not from itself. A folder is never replaced (is_a_directory), and
// neither is another name of the file being moved (invalid_argument): the move would lose it.
std::error_code Replaceable(int dir, const std::string& name, const std::string& from, bool& exists) {
    struct stat target {};
    exists = fstatat(dir, name.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists) return errno == ENOENT ? std::error_code() : LastError();
    if (S_ISDIR(target.st_mode)) return ErrorOf(EISDIR);
    // The same entry or a hard link of it, and a link to the other one.
    struct stat source {};
    if (lstat(from.c_str(), &source) == 0 && SameId(source, target)) return ErrorOf(EINVAL);
    struct stat followed {};
    if (stat(from.c_str(), &source) == 0 && fstatat(dir, name.c_str(), &followed, 0) == 0 &&
        SameId(source, followed))
        return ErrorOf(EINVAL);
    return {};
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool IsCopyName(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    constexpr std::size_t kRandom = 12;
    if (name.size() != Posix::kCopyPrefix.size() + kRandom + kSuffix.size() ||
        !name.starts_with(Posix::kCopyPrefix) || !name.ends_with(kSuffix))
        return false;
    const std::string_view random = name.substr(Posix::kCopyPrefix.size(), kRandom);
    return std::all_of(random.begin(), random.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

std::chrono::system_clock::time_point ProcessStart() {
    // A file's times come from a clock that lags by a tick, and ext4 with small inodes keeps whole
    // seconds: a copy made just after the start may carry an earlier time.
    constexpr auto kFileTimeLag = std::chrono::seconds(2);
    return StartTime::Get() - kFileTimeLag;
}

// The copies from another file system, made and then completed a group at a time.
class DestinationFolder::CopyGroup {
public:
    CopyGroup(DestinationFolder& folder, const std::vector<MoveRequest>& moves,
              std::vector<MoveOutcome>& outcomes)
        : folder_(folder), moves_(moves), outcomes_(outcomes) {}

    // Copies move i under a copy name; a full group is completed at once.
    void Add(std::size_t i) {
        Copy copy;
        copy.index = i;
        std::uint64_t bytes = 0;
        if (const auto ec = MakeCopy(copy, bytes)) {
            outcomes_[i].error = ec;
            return;
        }
        copies_.push_back(copy);
        bytes_ += bytes;
        if (copies_.size() >= kCopyGroupFiles || bytes_ >= kCopyGroupBytes) Complete();
    }

    // Every copy made is put in place and its source removed, or taken back.
    void Complete() {
        if (copies_.empty()) return;
        // Nothing may be removed on the strength of copies that may not be on the disk.
        if (const auto ec = folder_.SyncFileSystem()) FailAll(ec);
        // Each copy is recorded before it takes its name, so that the file found there is known
        // for the copy of the file moved.
        std::vector<TemporaryName> placing;
        for (const Copy& copy : copies_) {
            if (copy.state == State::kCopied)
                placing.push_back({TemporaryName::Kind::kCopyPlaced,
                                   copy.index,
                                   moves_[copy.index].name,
                                   {copy.id, folder_.volume_, copy.born}});
        }
        if (const auto ec = placing.empty() ? std::error_code() : folder_.Record(placing)) FailAll(ec);
        for (Copy& copy : copies_) {
            if (copy.state != State::kCopied) continue;
            if (const auto ec = Place(copy)) {
                Fail(copy, ec);
            } else {
                copy.state = State::kPlaced;
            }
        }
        if (const auto ec = folder_.SyncFolder()) FailAll(ec);
        for (Copy& copy : copies_) {
            if (copy.state != State::kPlaced) continue;
            if (const auto ec = RemoveSource(copy)) Fail(copy, ec);
        }
        // Only now, with every move of the group complete, do the replaced files go.
        for (const Copy& copy : copies_) {
            const std::string& aside = outcomes_[copy.index].aside;
            if (copy.state == State::kPlaced && !aside.empty()) unlinkat(folder_.fd_, aside.c_str(), 0);
        }
        copies_.clear();
        bytes_ = 0;
    }

private:
    enum class State { kCopied, kPlaced, kFailed };
    struct Copy {
        std::size_t index = 0;
        Posix::Looked source;  // the file copied
        FileId id;             // its copy
        Born born;
        State state = State::kCopied;
    };

    // The source goes only while it is the file that was copied: another file saved at its path
    // since is no file this move was told to remove.
    std::error_code RemoveSource(const Copy& copy) const {
        const std::string& from = moves_[copy.index].from;
        Posix::Looked now;
        if (!Posix::Look(AT_FDCWD, from.c_str(), 0, now)) return LastError();
        if (now.id != copy.source.id || now.born != copy.source.born) return ErrorOf(ESTALE);
        return unlink(from.c_str()) == 0 ? std::error_code() : LastError();
    }

    std::error_code MakeCopy(Copy& copy, std::uint64_t& bytes) {
        const MoveRequest& move = moves_[copy.index];
        std::string& name = outcomes_[copy.index].copy;
        struct stat source {};
        if (lstat(move.from.c_str(), &source) != 0 ||
            !Posix::Look(AT_FDCWD, move.from.c_str(), 0, copy.source))
            return LastError();
        // Still the file that was looked at before its rename was tried (on the same file system).
        if (IdOf(source) != copy.source.id ||
            (move.expected &&
             !IsSame(*move.expected, {copy.source.id, move.expected->volume, copy.source.born})))
            return ErrorOf(ESTALE);
        // Refused before a large file is copied, not after; the placing looks again.
        bool exists = false;
        const std::error_code replaceable = Replaceable(folder_.fd_, move.name, move.from, exists);
        if (exists && move.existing == Existing::Keep) return ErrorOf(EEXIST);
        if (replaceable) return replaceable;
        const CopyNames names = [this, &copy](std::string& next) {
            return folder_.NextCopyName(copy.index, moves_.size(), next);
        };
        Posix::Looked made;
        std::error_code ec = ErrorOf(EXDEV);  // folders and special files stay on their file system
        if (S_ISREG(source.st_mode)) {
            ec = CopyFile(move.from, folder_.fd_, !folder_.readable_, names, name, made, bytes);
        } else if (S_ISLNK(source.st_mode)) {
            ec = CopyLink(move.from, source, folder_.fd_, names, name, made);
        }
        copy.id = made.id;
        copy.born = made.born;
        return ec;
    }

    // The copy to its name; a file standing there is set aside when the caller asked to replace it.
    std::error_code Place(const Copy& copy) {
        const MoveRequest& move = moves_[copy.index];
        MoveOutcome& outcome = outcomes_[copy.index];
        const int fd = folder_.fd_;
        std::error_code ec = RenameNoReplaceAt(fd, outcome.copy.c_str(), fd, move.name.c_str());
        if (ec != std::errc::file_exists || move.existing == Existing::Keep) return ec;
        ec = folder_.SetAside(copy.index, move.from, move.name, outcome.aside);
        if (ec) return ec;
        ec = RenameNoReplaceAt(fd, outcome.copy.c_str(), fd, move.name.c_str());
        if (ec) folder_.PutBack(outcome.aside, move.name);
        return ec;
    }

    // Ends the move with ec, its steps taken back: the copy goes, the set-aside file comes back.
    void Fail(Copy& copy, std::error_code ec) {
        MoveOutcome& outcome = outcomes_[copy.index];
        if (copy.state == State::kPlaced) {
            const std::string& name = moves_[copy.index].name;
            folder_.RemoveIfSame(name, copy.id);
            folder_.PutBack(outcome.aside, name);
        } else {
            folder_.RemoveIfSame(outcome.copy, copy.id);
        }
        copy.state = State::kFailed;
        outcome.error = ec;
    }
    void FailAll(std::error_code ec) {
        for (Copy& copy : copies_) {
            if (copy.state != State::kFailed) Fail(copy, ec);
        }
    }

    DestinationFolder& folder_;
    const std::vector<MoveRequest>& moves_;
    std::vector<MoveOutcome>& outcomes_;
    std::vector<Copy> copies_;
    std::uint64_t bytes_ = 0;
};

DestinationFolder::DestinationFolder(const std::string& path) {
    fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    readable_ = fd_ >= 0;
    // O_PATH asks no more of the folder than a walk through it does.
    if (fd_ < 0) fd_ = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    if (fd_ < 0) {
        openError_ = LastError();
    } else if (fstat(fd_, &st) == 0) {
        id_ = IdOf(st);
    }
    struct statfs fs {};
    if (fd_ >= 0 && fstatfs(fd_, &fs) == 0) volume_ = Posix::VolumeOf(fs);
}

DestinationFolder::~DestinationFolder() {
    if (fd_ >= 0) close(fd_);
}

std::size_t DestinationFolder::RemoveLeftoverCopies(std::chrono::system_clock::time_point olderThan) const {
    if (!readable_) return 0;
    // A descriptor of its own: the listing does not share the folder's.
    const int listFd = openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return 0;
    const std::unique_ptr<DIR, DirCloser> dir(fdopendir(listFd));
    if (!dir) {
        close(listFd);
        return 0;
    }
    std::vector<std::string> found;
    while (const dirent* entry = readdir(dir.get())) {
        if (IsCopyName(entry->d_name)) found.emplace_back(entry->d_name);
    }
    std::size_t removed = 0;
    for (const std::string& name : found) {
        // The copy's times are the source's; its change time tells when it was made.
        struct stat st {};
        if (fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
        if (TimeOf(st.st_ctim) >= olderThan) continue;
        removed += unlinkat(fd_, name.c_str(), 0) == 0;
    }
    return removed;
}

std::vector<MoveOutcome> DestinationFolder::Move(const std::vector<MoveRequest>& moves, RunControl* control,
                                                 const NameRecorder& record) {
    std::vector<MoveOutcome> outcomes(moves.size());
    record_ = record ? &record : nullptr;
    reserved_.assign(record_ != nullptr ? moves.size() : 0, Reserved{});
    if (record_ != nullptr) ReserveAsides(moves);
    CopyGroup group(*this, moves, outcomes);
    std::size_t i = 0;
    for (; i < moves.size() && !StopAsked(control, i); ++i) {
        const std::error_code ec = MoveByRename(i, moves[i], outcomes[i]);
        if (ec == std::errc::cross_device_link) {
            group.Add(i);
        } else {
            outcomes[i].error = ec;
        }
    }
    group.Complete();
    for (; i < moves.size(); ++i)
        outcomes[i].error = ErrorOf(ECANCELED);
    record_ = nullptr;
    reserved_.clear();
    return outcomes;
}

std::error_code DestinationFolder::Record(const std::vector<TemporaryName>& names) const {
    return record_ != nullptr ? (*record_)(names) : std::error_code();
}

void DestinationFolder::ReserveAsides(const std::vector<MoveRequest>& moves) {
    if (fd_ < 0) return;
    std::vector<TemporaryName> names;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        Posix::Looked looked;
        if (moves[i].existing != Existing::Replace || !IsSingleName(moves[i].name) ||
            !Posix::Look(fd_, moves[i].name.c_str(), 0, looked) || S_ISDIR(looked.mode))
            continue;
        reserved_[i].aside = Posix::RandomName(Posix::kAsidePrefix);
        reserved_[i].asideId = {looked.id, volume_, looked.born};
        names.push_back({TemporaryName::Kind::kAside, i, reserved_[i].aside, reserved_[i].asideId});
    }
    // Not recorded: each is recorded on its own when it comes to be used.
    if (!names.empty() && Record(names)) reserved_.assign(moves.size(), Reserved{});
}

std::error_code DestinationFolder::NextCopyName(std::size_t i, std::size_t moves, std::string& name) {
    if (record_ == nullptr) {
        name = Posix::RandomName(Posix::kCopyPrefix);
        return {};
    }
    if (reserved_[i].copy.empty()) {
        // The next copies most likely follow this one: their names go in the same record.
        std::vector<TemporaryName> names;
        for (std::size_t k = i; k < moves && names.size() < kCopyGroupFiles; ++k) {
            if (k != i && !reserved_[k].copy.empty()) continue;
            names.push_back({TemporaryName::Kind::kCopy, k, Posix::RandomName(Posix::kCopyPrefix), {}});
        }
        if (const auto ec = Record(names)) return ec;
        for (const TemporaryName& recorded : names)
            reserved_[recorded.move].copy = recorded.name;
    }
    // Used once: a name taken meanwhile makes the next try record a fresh one.
    name = std::exchange(reserved_[i].copy, std::string());
    return {};
}

std::error_code DestinationFolder::CheckSource(const MoveRequest& move) {
    if (!move.expected) return {};
    Posix::Looked looked;
    if (!Posix::Look(AT_FDCWD, move.from.c_str(), 0, looked)) return LastError();
    const std::size_t slash = move.from.rfind('/');
    const std::string_view folder =
        slash == std::string::npos ? std::string_view(".")
                                   : std::string_view(move.from).substr(0, std::max<std::size_t>(slash, 1));
    // The sources of a batch share their folder: its file system is asked once.
    if (folder != sourceFolder_) {
        struct statfs fs {};
        sourceFolder_.clear();
        if (statfs(std::string(folder).c_str(), &fs) != 0) return LastError();
        sourceFolder_ = folder;
        sourceVolume_ = Posix::VolumeOf(fs);
    }
    const EntryId found{looked.id, sourceVolume_, looked.born};
    return IsSame(*move.expected, found) ? std::error_code() : ErrorOf(ESTALE);
}

std::error_code DestinationFolder::MoveByRename(std::size_t i, const MoveRequest& move,
                                                MoveOutcome& outcome) {
    if (fd_ < 0) return openError_;
    if (!IsSingleName(move.name)) return ErrorOf(EINVAL);
    if (const auto ec = CheckSource(move)) return ec;
    const char* from = move.from.c_str();
    const char* name = move.name.c_str();
    std::error_code ec = RenameNoReplaceAt(AT_FDCWD, from, fd_, name);
    if (ec != std::errc::file_exists || move.existing == Existing::Keep) return ec;
    ec = SetAside(i, move.from, move.name, outcome.aside);
    if (ec) return ec;
    ec = RenameNoReplaceAt(AT_FDCWD, from, fd_, name);
    if (ec) {
        // Also when the file turns out to need a copy: the folder's file is whole until then.
        PutBack(outcome.aside, move.name);
        return ec;
    }
    if (!outcome.aside.empty()) unlinkat(fd_, outcome.aside.c_str(), 0);
    return {};
}

std::error_code DestinationFolder::SetAside(std::size_t i, const std::string& from, const std::string& name,
                                            std::string& aside) {
    aside.clear();
    bool exists = false;
    if (const auto ec = Replaceable(fd_, name, from, exists); ec || !exists) return ec;
    Posix::Looked target;
    if (!Posix::Look(fd_, name.c_str(), 0, target)) return errno == ENOENT ? std::error_code() : LastError();
    const EntryId id{target.id, volume_, target.born};
    std::error_code ec = ErrorOf(EEXIST);
    for (int attempt = 0; attempt < Posix::kTemporaryAttempts && ec == std::errc::file_exists; ++attempt) {
        // The name recorded ahead while it is still for the file standing there; else a fresh one,
        // recorded now.
        const bool reserved =
            attempt == 0 && i < reserved_.size() && !reserved_[i].aside.empty() && reserved_[i].asideId == id;
        aside = reserved ? reserved_[i].aside : Posix::RandomName(Posix::kAsidePrefix);
        if (!reserved) {
            if (const auto recorded = Record({{TemporaryName::Kind::kAside, i, aside, id}})) {
                aside.clear();
                return recorded;
            }
        }
        ec = RenameNoReplaceAt(fd_, name.c_str(), fd_, aside.c_str());
    }
    if (ec) aside.clear();
    // Gone meanwhile: nothing to set aside.
    if (ec == std::errc::no_such_file_or_directory) return {};
    return ec;
}

bool DestinationFolder::PutBack(const std::string& aside, const std::string& name) const {
    // Should even this be refused, the file keeps the temporary name rather than replace
    // whatever took its own.
    return aside.empty() || !RenameNoReplaceAt(fd_, aside.c_str(), fd_, name.c_str());
}

void DestinationFolder::RemoveIfSame(const std::string& name, const FileId& id) const {
    struct stat st {};
    if (fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && IdOf(st) == id)
        unlinkat(fd_, name.c_str(), 0);
}

std::error_code DestinationFolder::SyncFileSystem() const {
    // A folder opened for its path alone cannot be synced: its copies were synced one by one.
    if (!readable_) return {};
    return syncfs(fd_) == 0 ? std::error_code() : LastError();
}

std::error_code DestinationFolder::SyncFolder() const {
    // Some file systems cannot sync a folder (EINVAL), and an unreadable folder cannot be synced by
    // us: the copies themselves are on the disk already. Any other failure (a disk error, a full
    // disk) leaves the renames' durability unknown, and the sources are kept.
    if (!readable_ || fsync(fd_) == 0 || errno == EINVAL || errno == EOPNOTSUPP) return {};
    return LastError();
}

std::error_code MovePath(const std::string& from, const std::string& to, Existing existing) {
    const std::size_t slash = to.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : to.substr(0, std::max<std::size_t>(slash, 1));
    const std::string name = slash == std::string::npos ? to : to.substr(slash + 1);
    DestinationFolder destination(folder);
    return destination.Move({{from, name, existing}}).front().error;
}

}  // namespace Platform

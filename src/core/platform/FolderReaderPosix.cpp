#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#include "core/platform/FileSystem.h"
#include "core/platform/HelperThread.h"
#include "core/platform/PosixFiles.h"

namespace Platform {
namespace {

// A folder with more entries than this is read ahead on a thread of its own: the kernel's half of
// the reading then goes on while the caller converts and keeps what it was given. A smaller one
// is read where it is asked for, as a thread would cost more than it saves.
constexpr std::size_t kReadAheadAfter = 4096;
// Entries handed over at a time, and how many batches may wait: a huge folder is never held whole.
constexpr std::size_t kBatch = 1024;
constexpr std::size_t kBatchesAhead = 16;

}  // namespace

struct FolderReader::Open {
    explicit Open(DIR* opened) : dir(opened) {}
    ~Open() {
        // The thread reads from dir: it ends before dir is closed.
        {
            const std::lock_guard lock(mutex);
            quit = true;
        }
        changed.notify_all();
        if (ahead.Joinable()) ahead.Join();
        closedir(dir);
    }
    Open(const Open&) = delete;
    Open& operator=(const Open&) = delete;

    DIR* dir;
    std::size_t read = 0;  // entries read before the thread took over

    // Between the thread and Next, under mutex.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<Read>> batches;
    bool finished = false;  // the thread has read the last entry, or failed
    bool failed = false;
    bool quit = false;  // the reader goes away

    // The batch Next takes from.
    std::vector<Read> batch;
    std::size_t next = 0;
    HelperThread ahead;
};

FolderReader::FolderReader(const std::string& path, FileId* id, std::size_t keep) : keep_(keep) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return;
    open_ = std::make_unique<Open>(dir);
    if (keep_ > 0) listing_ = FolderEntries::ToKeep(path, dirfd(dir), keep_);
    if (id == nullptr) return;
    struct stat st {};
    if (fstat(dirfd(dir), &st) == 0) {
        *id = Posix::IdOf(st);
    } else {
        open_.reset();
    }
}

FolderReader::~FolderReader() = default;

std::optional<FolderReader::Read> FolderReader::ReadOne(Open& open) {
    errno = 0;
    while (const dirent* e = readdir(open.dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        const EntryKind kind =
            Posix::KindOfEntry(dirfd(open.dir), e->d_type, e->d_name).value_or(EntryKind::Other);
        return Read{DirEntry{std::string(name), kind}, e->d_ino, e->d_type};
    }
    return std::nullopt;
}

void FolderReader::Keep(const Read& read) {
    if (listing_ && (read.type == DT_LNK || read.type == DT_UNKNOWN || listing_->used_ >= keep_ ||
                     !listing_->InsertListed(read.entry.name, read.entry.kind, read.inode)))
        listing_.reset();
}

void FolderReader::ReadAhead(Open& open) {
    for (bool end = false; !end;) {
        std::vector<Read> batch;
        batch.reserve(kBatch);
        int error = 0;
        while (batch.size() < kBatch) {
            std::optional<Read> read = ReadOne(open);
            if (!read) {
                error = errno;
                end = true;
                break;
            }
            batch.push_back(std::move(*read));
        }
        std::unique_lock lock(open.mutex);
        open.changed.wait(lock, [&] { return open.quit || open.batches.size() < kBatchesAhead; });
        if (open.quit) return;
        if (!batch.empty()) open.batches.push_back(std::move(batch));
        open.finished = end;
        open.failed = error != 0;
        lock.unlock();
        open.changed.notify_all();
    }
}

std::optional<FolderReader::Read> FolderReader::Take(Open& open, bool& failed) {
    if (!open.ahead.Joinable()) {
        if (open.read < kReadAheadAfter) {
            std::optional<Read> read = ReadOne(open);
            failed = !read && errno != 0;
            open.read += read ? 1 : 0;
            return read;
        }
        open.ahead = HelperThread([&open] { ReadAhead(open); });
    }
    if (open.next == open.batch.size()) {
        std::unique_lock lock(open.mutex);
        open.changed.wait(lock, [&] { return !open.batches.empty() || open.finished; });
        if (open.batches.empty()) {
            failed = open.failed;
            return std::nullopt;
        }
        open.batch = std::move(open.batches.front());
        open.batches.pop_front();
        open.next = 0;
        lock.unlock();
        open.changed.notify_all();
    }
    return std::move(open.batch[open.next++]);
}

std::optional<DirEntry> FolderReader::Next() {
    if (!open_) return std::nullopt;
    bool failed = false;
    std::optional<Read> read = Take(*open_, failed);
    if (!read) {
        // A listing of a read that failed midway would lack names.
        if (failed) listing_.reset();
        ended_ = !failed;
        return std::nullopt;
    }
    Keep(*read);
    return std::move(read->entry);
}

std::unique_ptr<FolderEntries> FolderReader::TakeListing() {
    if (!ended_ || !listing_) return nullptr;
    listing_->listed_ = true;
    listing_->listedInodes_ = true;
    return std::move(listing_);
}

std::vector<DirEntry> FolderReader::Rest() {
    std::vector<DirEntry> entries;
    while (std::optional<DirEntry> entry = Next())
        entries.push_back(std::move(*entry));
    open_.reset();
    return entries;
}

}  // namespace Platform

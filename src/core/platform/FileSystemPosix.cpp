#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>

#include <memory>
#include <string_view>
#include <tuple>
#include <utility>

#include "core/platform/FileSystem.h"
#include "core/platform/PosixFiles.h"

namespace Platform {

namespace {

using Posix::IdOf;
using Posix::KindOfEntry;
using Posix::ModeKind;
using Posix::VolumeOf;

constexpr std::uint8_t kEmpty = 0;
constexpr std::uint8_t kUsed = 1;
constexpr std::uint8_t kRemoved = 2;
constexpr std::uint8_t kAdded = 3;  // used, by a rename the caller told (Added)

bool InUse(std::uint8_t state) {
    return state == kUsed || state == kAdded;
}

// What a listing of the folder st tells of its files' birth: every file that stood in it when it
// was looked at came there, so was born, no later than its last change.
Born BornBy(const struct stat& st) {
    return Born::NoLaterThan(st.st_ctim.tv_sec, static_cast<std::uint32_t>(st.st_ctim.tv_nsec));
}

FileStatus StatusOf(const struct stat& st) {
    return {ModeKind(st.st_mode), static_cast<std::int64_t>(st.st_mtim.tv_sec), IdOf(st)};
}

// The kind of what a look found; a link's kind is its target's, nullopt for a broken one.
std::optional<EntryKind> KindOfLooked(mode_t mode, const char* path) {
    if (!S_ISLNK(mode)) return ModeKind(mode);
    struct stat target {};
    if (stat(path, &target) != 0) return std::nullopt;
    return ModeKind(target.st_mode);
}

// The usual case-sensitive Linux file systems, whose folder listings carry the inode numbers lstat
// tells. (An overlay, case-sensitive too, lists the numbers of its layers.)
bool ListsInodes(const struct statfs& fs) {
    switch (static_cast<std::uint64_t>(fs.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case TMPFS_MAGIC:
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

// Roughly how many entries a folder holds, by its size: tmpfs counts 20 bytes an entry, ext4
// whole blocks.
std::size_t EntriesBySize(const struct stat& st) {
    return static_cast<std::size_t>(st.st_size) / 20;
}

// A look at a path needs the right to pass through the folder, a listing the right to read it: a
// listing stands for looks only where both are given.
bool Searchable(int folderFd) {
    return faccessat(folderFd, ".", X_OK, AT_EACCESS) == 0;
}

bool ExactNames(int folderFd, const struct statfs& fs) {
    if (!ListsInodes(fs) && static_cast<std::uint64_t>(fs.f_type) != OVERLAYFS_SUPER_MAGIC) return false;
    // ext4, f2fs and tmpfs fold case in folders that carry the attribute. A file system that
    // cannot report attributes has no such folders.
    int flags = 0;
    if (ioctl(folderFd, FS_IOC_GETFLAGS, &flags) != 0) return errno == ENOTTY || errno == EINVAL;
    return (static_cast<unsigned>(flags) & FS_CASEFOLD_FL) == 0;
}

}  // namespace

std::optional<std::vector<DirEntry>> ReadFolder(const std::string& path, FileId* id) {
    FolderReader reader(path, id);
    if (!reader.IsOpen()) return std::nullopt;
    return reader.Rest();
}

std::optional<FileStatus> Status(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
    return StatusOf(st);
}

std::optional<FileStatus> EntryStatus(const std::string& path) {
    struct stat st {};
    if (path.empty() || lstat(path.c_str(), &st) != 0) return std::nullopt;
    return StatusOf(st);
}

std::optional<EntryLook> LookAt(const std::string& path) {
    Posix::Looked looked;
    if (path.empty() || !Posix::Look(AT_FDCWD, path.c_str(), 0, looked)) return std::nullopt;
    const std::optional<EntryKind> kind = KindOfLooked(looked.mode, path.c_str());
    if (!kind) return std::nullopt;
    EntryLook look{*kind, {looked.id, 0, looked.born}};
    // The folder's file system: a link's target may live on another.
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
    struct statfs fs {};
    if (statfs(folder.c_str(), &fs) == 0) look.id.volume = VolumeOf(fs);
    return look;
}

std::optional<Born> ListedBirth(const std::string& folder) {
    struct stat st {};
    if (folder.empty() || stat(folder.c_str(), &st) != 0) return std::nullopt;
    return BornBy(st);
}

bool ExactNames(int folderFd) {
    struct statfs fs {};
    return fstatfs(folderFd, &fs) == 0 && ExactNames(folderFd, fs);
}

FolderEntries::FolderEntries(std::string folder, std::size_t lookups, std::size_t renames)
    : folder_(std::move(folder)) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
    const int fd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct statfs fs {};
    if (fd < 0) {
        // A folder that may be passed through but not read is looked into name by name.
        struct stat st {};
        if (stat(folder_.c_str(), &st) == 0) id_ = IdOf(st);
        if (statfs(folder_.c_str(), &fs) == 0) volume_ = VolumeOf(fs);
        return;
    }
    struct stat st {};
    const bool knowsFs = fstatfs(fd, &fs) == 0;
    Describe(fd, knowsFs ? &fs : nullptr);
    if (fstat(fd, &st) == 0) {
        id_ = IdOf(st);
        bornBy_ = BornBy(st);
        // Reading costs a small part of a look per entry, and pays once the looks reach about an
        // eighth of the entries; a handful of looks never pays the table.
        constexpr std::size_t kFewLookups = 32;
        constexpr std::size_t kBytesPerLookup = 256;
        if (lookups >= kFewLookups && static_cast<std::uint64_t>(st.st_size) / kBytesPerLookup <= lookups &&
            exact_ && Searchable(fd)) {
            Read(fd, EntriesBySize(st), renames);
            listedInodes_ = listed_ && ListsInodes(fs);
        }
    }
    // No descriptor is kept: a run may look into a thousand folders.
    close(fd);
}

FolderEntries::FolderEntries(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

std::unique_ptr<FolderEntries> FolderEntries::ToKeep(const std::string& folder, int fd, std::size_t keep) {
    // A change takes its time from the coarse clock (or a finer one): one after this look gets a
    // time no earlier than the clock's now. So a folder last changed before now, by the clock's
    // tick, changes its time with its next change; one changed within this tick might not. Times
    // of whole seconds (ext4 with small inodes) need an earlier second.
    timespec now{};
    struct statfs fs {};
    struct stat st {};
    if (clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0 || fstatfs(fd, &fs) != 0 || !ListsInodes(fs) ||
        !Searchable(fd) || fstat(fd, &st) != 0)
        return nullptr;
    const auto& changed = st.st_ctim;
    const bool before = changed.tv_nsec == 0
                            ? changed.tv_sec < now.tv_sec
                            : std::tie(changed.tv_sec, changed.tv_nsec) < std::tie(now.tv_sec, now.tv_nsec);
    if (!before) return nullptr;
    std::unique_ptr<FolderEntries> kept(new FolderEntries(folder));
    kept->Describe(fd, &fs);
    if (!kept->exact_) return nullptr;
    kept->id_ = IdOf(st);
    kept->bornBy_ = BornBy(st);
    kept->stamp_ = Stamp{changed.tv_sec, changed.tv_nsec};
    kept->RoomFor(std::min(EntriesBySize(st), keep));
    return kept;
}

void FolderEntries::Describe(int fd, const struct statfs* fs) {
    if (fs != nullptr) volume_ = VolumeOf(*fs);
    exact_ = fs != nullptr && ExactNames(fd, *fs);
    if (const long nameMax = fpathconf(fd, _PC_NAME_MAX); nameMax > 0)
        nameMax_ = static_cast<std::size_t>(nameMax);
}

void FolderEntries::RoomFor(std::size_t names) {
    Grow(names);
    bytes_.reserve(names * (16 + sizeof(std::uint64_t)));
}

bool FolderEntries::Unchanged() const {
    if (!stamp_ || !listed_ || !id_) return false;
    struct stat st {};
    return stat(folder_.c_str(), &st) == 0 && IdOf(st) == *id_ && st.st_ctim.tv_sec == stamp_->seconds &&
           st.st_ctim.tv_nsec == stamp_->nanoseconds;
}

FolderEntries::~FolderEntries() = default;

std::unique_ptr<FolderEntries> FolderEntries::Copy() const {
    return std::unique_ptr<FolderEntries>(new FolderEntries(*this));
}

void FolderEntries::Read(int fd, std::size_t expected, std::size_t renames) {
    // Each rename leaves a removed slot and appends a name: sized for both at once, the table is
    // not rebuilt nor its bytes moved while old and new copies would both be held.
    RoomFor(expected + renames);
    std::vector<char> buffer(std::size_t{1} << 17);
    // A buffer's names are hashed and their slots fetched before any is put in: the slots of a
    // large folder lie far apart, and waiting for each in turn took most of the read.
    struct Pending {
        std::string_view name;
        std::size_t hash;
        const dirent64* entry;
    };
    std::vector<Pending> pending;
    for (;;) {
        const ssize_t n = getdents64(fd, buffer.data(), buffer.size());
        // The names stay looked at one by one.
        if (n < 0) return Drop();
        if (n == 0) break;
        pending.clear();
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const dirent64*>(buffer.data() + at);
            at += e->d_reclen;
            const std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::size_t hash = std::hash<std::string_view>{}(name);
            __builtin_prefetch(&slots_[SlotOf(hash, slots_.size())]);
            pending.push_back({name, hash, e});
        }
        for (const Pending& p : pending) {
            // As a look at the path: the link's target counts, a broken link is nothing.
            const std::optional<EntryKind> found = KindOfEntry(fd, p.entry->d_type, p.entry->d_name);
            if (!found) continue;
            // A name longer than the table holds: this folder is looked into name by name.
            if (!Insert(p.name, p.hash, *found, p.entry->d_ino, kUsed)) return Drop();
        }
    }
    listed_ = true;
}

void FolderEntries::Grow(std::size_t names) {
    const std::size_t size = TableSlots(names);
    auto old = std::move(slots_);
    slots_.assign(std::max(size, old.size()), Slot{});
    used_ = 0;
    removed_ = 0;
    for (const Slot& slot : old) {
        if (!InUse(slot.state)) continue;
        bool found = false;
        const std::string_view name = std::string_view(bytes_).substr(slot.offset, slot.length);
        slots_[Find(name, std::hash<std::string_view>{}(name), found)] = slot;
        ++used_;
    }
}

std::size_t FolderEntries::Find(std::string_view name, std::size_t hash, bool& found) const {
    const auto tag = static_cast<std::uint8_t>(hash >> 56);
    std::size_t free = slots_.size();
    for (std::size_t at = SlotOf(hash, slots_.size());; at = NextSlot(at, slots_.size())) {
        const Slot& slot = slots_[at];
        if (slot.state == kEmpty) {
            found = false;
            return free < slots_.size() ? free : at;
        }
        if (slot.state == kRemoved) {
            if (free == slots_.size()) free = at;
            continue;
        }
        if (slot.tag == tag && slot.length == name.size() &&
            std::string_view(bytes_).substr(slot.offset, slot.length) == name) {
            found = true;
            return at;
        }
    }
}

std::size_t FolderEntries::FindAgain(std::string_view name, bool& found) const {
    if (lastFound_ < slots_.size()) {
        const Slot& slot = slots_[lastFound_];
        if (InUse(slot.state) && slot.length == name.size() &&
            std::string_view(bytes_).substr(slot.offset, slot.length) == name) {
            found = true;
            return lastFound_;
        }
    }
    const std::size_t hash = std::hash<std::string_view>{}(name);
    const std::size_t at = Find(name, hash, found);
    if (found) {
        lastFound_ = at;
    } else {
        // A look that found nothing is mostly followed by the rename that puts the name there.
        lastMissed_ = at;
        lastMissedHash_ = hash;
        lastMissedName_.assign(name);
    }
    return at;
}

bool FolderEntries::InsertListed(std::string_view name, EntryKind kind, std::uint64_t inode) {
    return Insert(name, std::hash<std::string_view>{}(name), kind, inode, kUsed);
}

bool FolderEntries::Insert(std::string_view name, std::size_t hash, EntryKind kind, std::uint64_t inode,
                           std::uint8_t state) {
    if (name.size() > std::numeric_limits<std::uint8_t>::max()) return false;
    // Renames leave a removed slot for each name they add: the table doubles once the two reach
    // three fifths of it, so a run over a whole folder rebuilds it about once.
    bool found = false;
    std::size_t at = 0;
    if (TableSlots(used_ + removed_ + 1) > slots_.size()) {
        Grow(2 * (used_ + removed_ + 1));
        lastMissed_ = kNoSlot;
    }
    // The slot the last look found free is still free, and still before any other free one of the
    // name: only a rename's removal came in between.
    if (lastMissed_ != kNoSlot && lastMissedHash_ == hash && lastMissedName_ == name) {
        at = lastMissed_;
    } else {
        at = Find(name, hash, found);
    }
    lastMissed_ = kNoSlot;
    Slot& slot = slots_[at];
    const FreedBytes freed = std::exchange(freed_, FreedBytes{});
    if (!found) {
        if (slot.state == kRemoved) --removed_;
        if (freed.length >= name.size()) {
            // A rename's new name mostly fits where its old name was: a run over a whole folder
            // would otherwise hold every name twice.
            slot.offset = freed.offset;
            std::memcpy(bytes_.data() + slot.offset - sizeof inode, &inode, sizeof inode);
            std::memcpy(bytes_.data() + slot.offset, name.data(), name.size());
        } else {
            bytes_.append(reinterpret_cast<const char*>(&inode), sizeof inode);
            slot.offset = static_cast<std::uint32_t>(bytes_.size());
            bytes_.append(name);
        }
        slot.length = static_cast<std::uint8_t>(name.size());
        slot.tag = static_cast<std::uint8_t>(hash >> 56);
        ++used_;
    } else {
        std::memcpy(bytes_.data() + slot.offset - sizeof inode, &inode, sizeof inode);
    }
    slot.state = state;
    slot.kind = static_cast<std::uint8_t>(kind);
    return true;
}

std::uint64_t FolderEntries::InodeAt(const Slot& slot) const {
    std::uint64_t inode = 0;
    std::memcpy(&inode, bytes_.data() + slot.offset - sizeof inode, sizeof inode);
    return inode;
}

EntryId FolderEntries::LookedUpId(const std::string& name) const {
    Posix::Looked looked;
    if (!Posix::Look(AT_FDCWD, (folder_ + name).c_str(), 0, looked)) return {};
    return {looked.id, volume_, looked.born};
}

std::optional<EntryKind> FolderEntries::KindOf(const std::string& name, EntryId* id, bool* asRead) const {
    return KindOf(name, id, asRead, true);
}

std::optional<EntryKind> FolderEntries::SharedKindOf(const std::string& name, EntryId* id,
                                                     bool* asRead) const {
    return KindOf(name, id, asRead, false);
}

std::optional<EntryKind> FolderEntries::KindOf(const std::string& name, EntryId* id, bool* asRead,
                                               bool remember) const {
    if (asRead != nullptr) *asRead = true;
    if (listed_) {
        bool found = false;
        const std::size_t at =
            remember ? FindAgain(name, found) : Find(name, std::hash<std::string_view>{}(name), found);
        if (!found) return std::nullopt;
        if (asRead != nullptr) *asRead = slots_[at].state == kUsed;
        if (id != nullptr) {
            // A file a rename brought here may have been born after the reading: of that one, the
            // listing knows nothing of its birth.
            *id = listedInodes_ && id_ ? EntryId{{id_->device, InodeAt(slots_[at])},
                                                 volume_,
                                                 slots_[at].state == kUsed ? bornBy_ : Born()}
                                       : LookedUpId(name);
        }
        return static_cast<EntryKind>(slots_[at].kind);
    }
    const std::string path = folder_ + name;
    struct stat st {};
    if (id == nullptr) {
        if (stat(path.c_str(), &st) != 0) return std::nullopt;
        return ModeKind(st.st_mode);
    }
    // The entry itself, and for a link what it leads to: one look for a file.
    Posix::Looked looked;
    if (!Posix::Look(AT_FDCWD, path.c_str(), 0, looked)) return std::nullopt;
    const std::optional<EntryKind> kind = KindOfLooked(looked.mode, path.c_str());
    if (kind) *id = {looked.id, volume_, looked.born};
    return kind;
}

void FolderEntries::Prefetch(std::string_view name, bool held) const {
    if (!listed_) return;
    const std::size_t hash = std::hash<std::string_view>{}(name);
    const Slot& slot = slots_[SlotOf(hash, slots_.size())];
    if (!held) {
        __builtin_prefetch(&slot);
    } else if (InUse(slot.state) && slot.tag == static_cast<std::uint8_t>(hash >> 56)) {
        __builtin_prefetch(bytes_.data() + slot.offset);
    }
}

void FolderEntries::Removed(std::string_view name) {
    stamp_.reset();  // no longer the folder as read
    if (!listed_) return;
    bool found = false;
    const std::size_t at = FindAgain(name, found);
    if (!found) return;
    // A slot the last look found free stays a right place for its name. The name's bytes are
    // free for the name added next.
    slots_[at].state = kRemoved;
    freed_ = FreedBytes{slots_[at].offset, slots_[at].length};
    --used_;
    ++removed_;
}

void FolderEntries::Added(std::string_view name, EntryKind kind, std::uint64_t inode) {
    stamp_.reset();
    if (!listed_ || Insert(name, std::hash<std::string_view>{}(name), kind, inode, kAdded)) return;
    // No rename makes a longer name on the file systems listed; should one, the table goes.
    Drop();
}

void FolderEntries::Drop() {
    listed_ = false;
    listedInodes_ = false;
    bytes_ = std::string();
    slots_ = {};
    used_ = 0;
    removed_ = 0;
    lastMissed_ = kNoSlot;
    freed_ = FreedBytes{};
}

}  // namespace Platform

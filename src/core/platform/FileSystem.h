#pragma once

// Queries of the file system. Paths here are native (UTF-8 bytes on Linux); the core converts its
// code page 932 texts at its edge.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Heap.h"

struct statfs;

namespace Platform {

// Links are followed: a link to a file is a file, a link to a folder a folder. Anything else
// (devices, sockets, FIFOs, broken links) is Other and is skipped by the listing.
enum class EntryKind { File, Folder, Other };

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct EntryId;
enum class Sameness;
bool IsSame(const EntryId& recorded, const EntryId& found);

// What tells a file apart from a later one that was given its inode number after it was gone. A
// look at the file itself reads its birth time (nanoseconds) where the file system keeps one, else
// its inode generation; a folder's listing, which reads no file, gives a time no file it lists was
// born after: the folder's change time as it was read. A rename changes none of them. 8 bytes, as
// every file of a run keeps one.
class Born {
public:
    Born() = default;
    static Born At(std::int64_t seconds, std::uint32_t nanoseconds);
    static Born NoLaterThan(std::int64_t seconds, std::uint32_t nanoseconds);
    static Born Generation(std::uint32_t generation);
    // As stored (0: nothing known); FromBits(Bits()) is the same.
    std::uint64_t Bits() const { return bits_; }
    static Born FromBits(std::uint64_t bits) { return Born(bits); }
    bool Known() const { return bits_ != 0; }
    // A listing's: no later than a time.
    bool Bound() const { return KindOf() == kNoLaterThan; }
    friend bool operator==(const Born&, const Born&) = default;

private:
    friend Sameness Compare(const EntryId& recorded, const EntryId& found);
    friend bool IsSame(const EntryId& recorded, const EntryId& found);
    explicit Born(std::uint64_t bits) : bits_(bits) {}
    // The top two bits tell the kind, the rest the value.
    enum Kind : std::uint64_t { kNone = 0, kAt = 1, kNoLaterThan = 2, kGeneration = 3 };
    Kind KindOf() const { return static_cast<Kind>(bits_ >> 62); }
    std::uint64_t Value() const { return bits_ & ((std::uint64_t{1} << 62) - 1); }
    std::uint64_t bits_ = 0;
};

// Who stands at a name, as undo and revert must know it: the entry itself (links not followed; a
// rename keeps it) and the file system it lives on. Two cards that a reader mounts as one device
// can hold files of the same inode numbers; their file systems' ids (the ext4 UUID, a tmpfs's own)
// tell them apart. {} stands for no file.
struct EntryId {
    FileId file;
    std::uint64_t volume = 0;
    Born born;
    friend bool operator==(const EntryId&, const EntryId&) = default;
};

// Whether found, what a look sees now, is the file recorded earlier: the same inode number on the
// same file system, and the same file where what each knows of its birth can tell. kUnsure where
// only a look at the file itself can (the two come from listings read at different times, or a
// listing and a recorded birth time): the caller looks again with LookAt and trusts nothing
// before. Where neither side knows anything of the birth (the file system keeps neither time nor
// generation, or an old journal), the inode number alone decides.
enum class Sameness { kSame, kOther, kUnsure };
Sameness Compare(const EntryId& recorded, const EntryId& found);
// Compare for a found identity from a look at the file itself (LookAt), where nothing is left
// unsure.
bool IsSame(const EntryId& recorded, const EntryId& found);

struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

struct FileStatus {
    EntryKind kind = EntryKind::Other;
    std::int64_t modified = 0;  // seconds since the epoch
    FileId id;
};

// The entries of a folder in the order the file system returns them, without "." and "..";
// nullopt when the folder cannot be opened. id receives the folder's identity.
std::optional<std::vector<DirEntry>> ReadFolder(const std::string& path, FileId* id = nullptr);

class FolderEntries;

// The same one entry at a time, so that a huge folder is never held whole.
class FolderReader {
public:
    // id receives the folder's identity. keep: the most names of a listing the reader makes of all
    // it reads (TakeListing); 0 for none.
    explicit FolderReader(const std::string& path, FileId* id = nullptr, std::size_t keep = 0);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // False when the folder could not be opened.
    bool IsOpen() const { return open_ != nullptr; }
    // The next entry; nullopt at the end.
    std::optional<DirEntry> Next();
    // The entries not read yet; the folder is closed then, its descriptor free for others.
    std::vector<DirEntry> Rest();
    // Once every entry was read: all of them as a listed FolderEntries that a later look can take
    // in place of reading the folder again while the folder stays Unchanged. Null when none was
    // asked for, the folder held more names than asked or a link (whose target may change while
    // the folder does not), its listings cannot stand for looks (ListedInodes, Exact), or it
    // changed within the clock's last tick before the reading.
    std::unique_ptr<FolderEntries> TakeListing();

private:
    // An entry as the folder gives it, with what a listing keeps of it.
    struct Read {
        DirEntry entry;
        std::uint64_t inode = 0;
        unsigned char type = 0;  // d_type
    };
    struct Open;  // the folder while it is open
    // The next entry; nullopt at the end or on an error (errno).
    static std::optional<Read> ReadOne(Open& open);
    // Adds an entry to the listing kept, where Next hands it over: the thread reading ahead is
    // left only the reading, the slower half.
    void Keep(const Read& read);
    // On a thread of its own: reads the rest of a large folder in batches for Next to take.
    static void ReadAhead(Open& open);
    // The next entry where it is read or from the batches read ahead; nullopt at the end, failed
    // then telling whether the reading failed.
    static std::optional<Read> Take(Open& open, bool& failed);

    std::unique_ptr<Open> open_;
    std::unique_ptr<FolderEntries> listing_;
    std::size_t keep_ = 0;
    bool ended_ = false;  // every entry was read
};

// The status of what path names, links followed; nullopt when it does not exist or cannot be read.
std::optional<FileStatus> Status(const std::string& path);
// The same for the entry at path itself, links not followed (a link is Other, with its own identity).
std::optional<FileStatus> EntryStatus(const std::string& path);

// What stands at a path: its kind with links followed, and the identity of the entry itself.
struct EntryLook {
    EntryKind kind = EntryKind::Other;
    EntryId id;
};
// nullopt when nothing stands there or a link leads nowhere.
std::optional<EntryLook> LookAt(const std::string& path);

// True when the file system of the folder open at folderFd tells names apart byte for byte, so
// that a name found missing in its listing is missing for a look at the path too: one of the
// usual case-sensitive Linux file systems, and the folder without the casefold attribute. False
// for vfat, exfat, ntfs, cifs, network and unknown file systems, and for casefolded folders.
bool ExactNames(int folderFd);

// What stands at the names of one folder, as Status of the folder's path + name would tell. When
// the caller means to look up many names and the folder's names compare exactly, the folder is
// read once into a table (its size weighed against the looks announced, so that a few looks in a
// huge folder do not read all of it); otherwise every name is looked at by its path.
class FolderEntries {
public:
    // folder: the native path, "/" at its end or not; lookups: how many names will be looked up;
    // renames: how many names the caller means to add (Added), room made for them from the start.
    FolderEntries(std::string folder, std::size_t lookups, std::size_t renames = 0);
    ~FolderEntries();
    FolderEntries& operator=(const FolderEntries&) = delete;
    // A copy to change where this one is shared.
    std::unique_ptr<FolderEntries> Copy() const;

    // The folder's identity; nullopt when it could not be looked at.
    const std::optional<FileId>& Id() const { return id_; }
    bool Listed() const { return listed_; }
    // The listing's inode numbers are those lstat tells: KindOf gives identities without a look.
    bool ListedInodes() const { return listedInodes_; }
    // ExactNames of the folder (false when it could not be opened).
    bool Exact() const { return exact_; }
    // The longest name in bytes the folder's file system takes; 255 when it does not say.
    std::size_t NameMax() const { return nameMax_; }
    std::size_t ListedNames() const { return used_; }
    // The folder's native path, "/" at its end.
    const std::string& Folder() const { return folder_; }
    // For a listing a reader kept (FolderReader::TakeListing) and told of no rename: whether the
    // folder's path still leads to the folder read, and nothing was added, removed or renamed in
    // it since the reading began. Every such change moves the folder's change time; the reader
    // keeps only listings of folders whose time will move with their next change.
    bool Unchanged() const;
    // The kind of what stands at name (a single component), links followed; nullopt for nothing.
    // With id, also the identity of the entry: from the listing where its inode numbers are those
    // lstat tells, else from an lstat of the name. asRead (optional): false when what stands there
    // was put there by a rename told (Added), true for what the folder holds on disk.
    std::optional<EntryKind> KindOf(const std::string& name, EntryId* id = nullptr,
                                    bool* asRead = nullptr) const;
    // The same without remembering the look for the next: several threads may look at once while
    // nothing is renamed.
    std::optional<EntryKind> SharedKindOf(const std::string& name, EntryId* id = nullptr,
                                          bool* asRead = nullptr) const;
    // Fetches into the cache what a look at name soon will read in a listed folder: the first slot
    // of its place in the table, or with held the name that slot holds. A look into a large folder
    // waits for both, so a caller that knows its next names asks first for the slots, then nearer
    // the looks for the names.
    void Prefetch(std::string_view name, bool held) const;
    // A rename by the caller that went through, so that a listed folder stays true; inode: the
    // renamed entry's.
    void Removed(std::string_view name);
    void Added(std::string_view name, EntryKind kind, std::uint64_t inode);

private:
    friend class FolderReader;
    explicit FolderEntries(std::string folder);
    FolderEntries(const FolderEntries&) = default;
    // An empty listing of the folder open at fd for a reader to fill with at most keep names, made
    // before the first entry is read; null where its listings cannot stand for looks.
    static std::unique_ptr<FolderEntries> ToKeep(const std::string& folder, int fd, std::size_t keep);
    // What the folder open at fd tells of its file system (fs: null when unknown): the volume,
    // whether names compare exactly, the longest name.
    void Describe(int fd, const struct statfs* fs);
    // Room for names without moving the table or its bytes.
    void RoomFor(std::size_t names);

    // The names of a listed folder: one buffer of name bytes and an open-addressing table over it,
    // rather than a std::unordered_map: a look touches one small slot and the name's bytes instead
    // of a bucket, a node and the name's own allocation, which shows in every run over a large
    // folder. Each name's bytes follow the entry's inode number. Renames append their names and
    // leave removed slots, so a run over a whole folder about doubles what the table holds.
    struct Slot {
        std::uint32_t offset = 0;
        std::uint8_t length = 0;  // names of the file systems listed have at most 255 bytes
        std::uint8_t tag = 0;     // bits of the name's hash, so most other names need no compare
        std::uint8_t state = 0;   // empty, used or removed
        std::uint8_t kind = 0;    // an EntryKind
    };
    void Read(int fd, std::size_t expected, std::size_t renames);
    // The slot holding name (found), or the one where it would go; hash: the name's.
    std::size_t Find(std::string_view name, std::size_t hash, bool& found) const;
    // Find, trying first the slot found last: a rename looks at its source, then tells it moved.
    std::size_t FindAgain(std::string_view name, bool& found) const;
    // False for a name too long for the table. state: that of a name read or of one added.
    bool Insert(std::string_view name, std::size_t hash, EntryKind kind, std::uint64_t inode,
                std::uint8_t state);
    // Insert of a name as a reader lists it.
    bool InsertListed(std::string_view name, EntryKind kind, std::uint64_t inode);
    std::uint64_t InodeAt(const Slot& slot) const;
    // KindOf; remember: whether the slot found is kept for the next look.
    std::optional<EntryKind> KindOf(const std::string& name, EntryId* id, bool* asRead, bool remember) const;
    // The identity of the entry at name by an lstat, {} when there is none.
    EntryId LookedUpId(const std::string& name) const;
    // Back to looking at every name by its path.
    void Drop();
    // Room for names without passing three fifths of the slots.
    void Grow(std::size_t names);

    std::string folder_;  // with "/" at its end
    std::optional<FileId> id_;
    std::uint64_t volume_ = 0;  // EntryId::volume of the folder's entries
    Born bornBy_;               // EntryId::born of the files read
    bool listed_ = false;
    bool listedInodes_ = false;  // the listing's inode numbers are those lstat tells
    bool exact_ = false;
    std::size_t nameMax_ = 255;
    std::string bytes_;
    std::vector<Slot, TableAllocator<Slot>> slots_;  // TableSlots of them
    std::size_t used_ = 0;
    std::size_t removed_ = 0;
    mutable std::size_t lastFound_ = 0;
    // The free slot the last look that found nothing ended at, for the Added that follows it.
    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
    mutable std::size_t lastMissed_ = kNoSlot;
    mutable std::size_t lastMissedHash_ = 0;
    mutable std::string lastMissedName_;
    // The bytes of the name removed last, until the next insertion: no other slot points there.
    struct FreedBytes {
        std::uint32_t offset = 0;
        std::uint8_t length = 0;
    };
    FreedBytes freed_;
    // Of a kept listing: the folder's change time when its reading began.
    struct Stamp {
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;
    };
    std::optional<Stamp> stamp_;
};

// What a listing of the folder at path read now would tell of its files' birth (Born); nullopt
// when the folder cannot be looked at.
std::optional<Born> ListedBirth(const std::string& folder);

// True when both paths name one file: the same entry, hard links, or a link to the other (also
// the two spellings of one name on a case-insensitive file system).
bool SameFile(const std::string& a, const std::string& b);
// As SameFile, but links are not followed: a link to the other path is a file of its own.
bool SameEntry(const std::string& a, const std::string& b);
// True when the entries at a and b, links not followed, are of one type, size and modification
// time (to the nanosecond): as whole a copy of the other as can be told without reading both.
bool AlikeEntries(const std::string& a, const std::string& b);

}  // namespace Platform

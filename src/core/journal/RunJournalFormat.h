#pragma once

// The bytes of one command's journal file. The file is a magic, a version and a row of records, each
// a type, a length, the payload and a CRC-32 over all three, so that a torn write or a damaged byte
// is found and everything from there on is left out:
//
//   file    = "QBJOURNL" version:u8 begin ids notes* closing?
//   begin   = id:u64 kind:u8 time:i64 target:u64 folder:bytes count:varint entry*
//   entry   = oldShared:varint oldRest:bytes (2 * newShared + base):varint newRest:bytes
//   ids     = count:varint (same:u8 inode:varint | sameOtherBirth:u8 inode:varint birthStep:varint
//                           | other:u8 id)*
//   notes   = count:varint (kind:u8 entry:varint path:bytes id)*
//   id      = device:varint inode:varint volume:varint born:varint      (a Platform::EntryId)
//   closing = flags:u8 skipped:list failed:list untried:list     (the entries in no list are done)
//   list    = count:varint first:varint (gap - 1):varint*
//
// Fixed-size integers are little-endian, varints LEB128, bytes a varint length and the raw bytes.
// An entry's old path shares oldShared bytes with the previous entry's old path, and its new path
// newShared bytes with its own old path (base 0) or with the previous entry's new path (base 1): a
// run within one folder stores little more than what changes from one name to the next.
// The ids record gives each entry's file in the order of the entries; "same" (0) keeps the device,
// file system and birth (Platform::Born, as its bits) of the previous one, "sameOtherBirth" (2)
// keeps the first two and gives the birth as a step from the previous one (zigzag), "other" (1)
// names all. The begin and ids records are written whole before the first change (the begin
// record while the command still looks at its files: the ids come last); notes and the closing
// are appended. Version 3 gives its ids record a type of its own (5 rather than 4). Files of
// earlier versions are still read: in version 2 no id has a born and mark 2 does not exist; in
// version 1 there is no ids record either: each entry ends with its id, and its newShared, without
// a base, counts from its old path.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/RunJournal.h"

namespace RunJournal::Format {

inline constexpr std::uint8_t kVersion = 3;
// A longer path names nothing the system could rename.
inline constexpr std::size_t kMaxPathBytes = 65536;
// A larger file is not read: the journal folder keeps 200 MB in all.
inline constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

// The entries' paths, encoded an entry at a time, so that a command's paths need not be gathered
// into entries first.
class EntriesEncoder {
public:
    // pathBytes: about how many bytes the paths take, to make room once.
    EntriesEncoder(std::size_t count, std::size_t pathBytes);
    void Add(std::string_view oldPath, std::string_view newPath);
    std::size_t Count() const { return count_; }
    // The entries as the begin record holds them.
    std::string_view Bytes() const { return paths_; }

private:
    std::string paths_;
    std::size_t count_ = 0;
    std::string previousOld_;
    std::string previousNew_;
};

// The paths of a command's own entries.
EntriesEncoder EncodePaths(const std::vector<Entry>& entries);
// The file's first part: magic, version and the begin record of the entries' paths.
std::string DraftBytes(const Header& header, const EntriesEncoder& entries);
// The same with another id (a name taken in the meantime).
void Renumber(std::string& draft, std::uint64_t id);
// The ids record that completes a draft of count entries; idOf(k): the k-th entry's file.
using IdOf = std::function<Platform::EntryId(std::size_t)>;
std::string IdsBytes(std::size_t count, const IdOf& idOf, std::uint8_t version = kVersion);
// The file's bytes up to the first append: DraftBytes and IdsBytes in one. Another version only to
// check that the files of earlier versions are still read (then with notes of that version too).
std::string EncodeBegin(const Header& header, const std::vector<Entry>& entries,
                        std::uint8_t version = kVersion);

// A record to append. notes not empty; every note's entry within the command's entries.
std::string EncodeNotes(const std::vector<Note>& notes, std::uint8_t version = kVersion);
// A record to append; one outcome per entry of the command.
std::string EncodeClosing(const Closing& closing);

enum class Verdict : std::uint8_t {
    kGood,     // the begin record is whole and verified
    kForeign,  // not a journal file
    kNewer,    // a journal of a later version of the program
    kDamaged,  // a journal whose begin record is cut short, damaged or does not make sense
};

// Whether Parse builds the entries or only checks them (a listing needs their number alone).
enum class Entries : std::uint8_t { kRead, kCheckOnly };

struct Parsed {
    Verdict verdict = Verdict::kDamaged;
    Journal journal;             // only with kGood; entries only with Entries::kRead
    std::size_t entryCount = 0;  // with kGood
    // The length of the verified records; anything after them is a torn or damaged tail that an
    // append must cut off first.
    std::size_t validBytes = 0;
    bool tornTail = false;
};

// Each entry's paths in turn, valid during the call only.
using EntryVisitor =
    std::function<void(std::size_t index, std::string_view oldPath, std::string_view newPath)>;

// Reads a journal file's bytes. Never trusts a length or a count before checking it against the
// bytes there are; yields nothing that a checksum does not cover.
Parsed Parse(std::string_view bytes, Entries entries = Entries::kRead);
// Hands the entries of a file Parse found good to visit in order, without keeping them.
void VisitEntries(std::string_view bytes, const EntryVisitor& visit);

// "<id as 16 hex digits>.qj", and back (nullopt for any other name).
std::string FileName(std::uint64_t id);
std::optional<std::uint64_t> IdOfFileName(std::string_view name);

}  // namespace RunJournal::Format

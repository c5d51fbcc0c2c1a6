#include "core/journal/RunJournalFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>
#include <limits>

namespace RunJournal::Format {

namespace {

constexpr std::string_view kMagic = "QBJOURNL";
constexpr std::size_t kRecordFrame = 1 + 4 + 4;  // type, length, CRC

// Version 3 gives its ids record a type of its own: a file whose version byte (which no checksum
// covers) was damaged cannot read its ids as those of another version.
enum RecordType : std::uint8_t { kBegin = 1, kNotes = 2, kClosing = 3, kIds = 4, kBornIds = 5 };

// The ids record's mark of an id on the device and file system of the one before, or of others;
// from version 3, of one whose birth is told apart from the one before.
enum IdMark : std::uint8_t { kSameVolume = 0, kOtherVolume = 1, kSameVolumeOtherBirth = 2 };

// From version 3 every id tells what is known of its file's birth.
bool HasBirths(std::uint8_t version) {
    return version >= 3;
}

// A birth as a difference from the one before, folded so that small steps either way stay short.
std::uint64_t BirthStep(const Platform::Born& previous, const Platform::Born& born) {
    const std::uint64_t step = born.Bits() - previous.Bits();
    return (step << 1) ^ (0 - (step >> 63));
}

Platform::Born AfterStep(const Platform::Born& previous, std::uint64_t folded) {
    const std::uint64_t step = (folded >> 1) ^ (0 - (folded & 1));
    return Platform::Born::FromBits(previous.Bits() + step);
}

constexpr std::uint8_t kAsFoundFlag = 1;

// ---- writing

void PutFixed(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutVarint(std::string& out, std::uint64_t value) {
    // Gathered first and appended at once: a byte at a time costs a run of 100,000 files as much
    // as the rest of its journal.
    char bytes[10];
    std::size_t n = 0;
    for (; value >= 0x80; value >>= 7)
        bytes[n++] = static_cast<char>((value & 0x7F) | 0x80);
    bytes[n++] = static_cast<char>(value);
    out.append(bytes, n);
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutVarint(out, bytes.size());
    out.append(bytes);
}

std::uint32_t Crc(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

// Starts a record at the end of out; FinishRecord fills in its length and checksum.
std::size_t StartRecord(std::string& out, RecordType type) {
    const std::size_t start = out.size();
    out.push_back(static_cast<char>(type));
    PutFixed(out, 0, 4);
    return start;
}

void FinishRecord(std::string& out, std::size_t start) {
    const std::size_t length = out.size() - start - 5;
    assert(length <= 0xFFFFFFFFu && "a record holds at most 4 GiB");
    for (int i = 0; i < 4; ++i)
        out[start + 1 + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    PutFixed(out, Crc(std::string_view(out).substr(start)), 4);
}

std::size_t SharedPrefix(std::string_view a, std::string_view b) {
    // Eight bytes at a time: the folder part of every path is compared twice per entry.
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (std::uint64_t x = 0, y = 0; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

void PutId(std::string& out, const Platform::EntryId& id, std::uint8_t version) {
    PutVarint(out, id.file.device);
    PutVarint(out, id.file.inode);
    PutVarint(out, id.volume);
    if (HasBirths(version)) PutVarint(out, id.born.Bits());
}

void PutIndexList(std::string& out, const std::vector<std::uint64_t>& indices) {
    PutVarint(out, indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        PutVarint(out, i == 0 ? indices[0] : indices[i] - indices[i - 1] - 1);
}

// ---- reading

// A reader over bytes that stays failed once a read ran past the end or made no sense.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - pos_; }
    void Fail() { ok_ = false; }

    std::uint64_t Fixed(int bytes) {
        if (!ok_ || Left() < static_cast<std::size_t>(bytes)) return Failed();
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint64_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
        pos_ += static_cast<std::size_t>(bytes);
        return value;
    }
    std::uint64_t Varint() {
        std::uint64_t value = 0;
        for (int shift = 0; ok_ && shift < 64; shift += 7) {
            if (AtEnd()) return Failed();
            const auto byte = static_cast<unsigned char>(bytes_[pos_++]);
            const std::uint64_t bits = byte & 0x7Fu;
            if (shift == 63 && bits > 1) return Failed();  // past 64 bits
            value |= bits << shift;
            if ((byte & 0x80) == 0) return value;
        }
        return Failed();
    }
    // A varint that must not exceed limit.
    std::uint64_t Varint(std::uint64_t limit) {
        const std::uint64_t value = Varint();
        return value <= limit ? value : Failed();
    }
    Platform::EntryId Id(std::uint8_t version) {
        Platform::EntryId id;
        id.file.device = Varint();
        id.file.inode = Varint();
        id.volume = Varint();
        if (HasBirths(version)) id.born = Platform::Born::FromBits(Varint());
        return id;
    }
    std::string_view Bytes(std::size_t limit) {
        const std::uint64_t size = Varint(limit);
        if (!ok_ || size > Left()) {
            Fail();
            return {};
        }
        const std::string_view bytes = bytes_.substr(pos_, static_cast<std::size_t>(size));
        pos_ += bytes.size();
        return bytes;
    }

private:
    std::uint64_t Failed() {
        ok_ = false;
        return 0;
    }
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct Record {
    std::uint8_t type = 0;
    std::string_view payload;
};

// The record at pos, its checksum verified; pos moves past it. nullopt for a record cut short or
// damaged.
std::optional<Record> ReadRecord(std::string_view bytes, std::size_t& pos) {
    if (bytes.size() - pos < kRecordFrame) return std::nullopt;
    Cursor head(bytes.substr(pos, 5));
    const auto type = static_cast<std::uint8_t>(head.Fixed(1));
    const std::uint64_t length = head.Fixed(4);
    if (length > bytes.size() - pos - kRecordFrame) return std::nullopt;
    const std::string_view covered = bytes.substr(pos, 5 + static_cast<std::size_t>(length));
    Cursor tail(bytes.substr(pos + covered.size(), 4));
    if (tail.Fixed(4) != Crc(covered)) return std::nullopt;
    pos += covered.size() + 4;
    return Record{type, covered.substr(5)};
}

bool KnownKind(std::uint64_t kind) {
    return kind >= static_cast<std::uint64_t>(Kind::kSequential) &&
           kind <= static_cast<std::uint64_t>(Kind::kRecovery);
}

bool KnownNoteKind(std::uint64_t kind) {
    return kind >= static_cast<std::uint64_t>(NoteKind::kCopy) &&
           kind <= static_cast<std::uint64_t>(NoteKind::kCycle);
}

// The begin record's payload into parsed; false when it does not make sense. budget: the path bytes
// the entries may still unfold to, so that a small hostile file cannot ask for unbounded memory
// through shared prefixes.
bool ReadBegin(std::string_view payload, std::uint8_t version, Entries mode, std::size_t budget,
               Parsed& parsed, const EntryVisitor* visit = nullptr) {
    Cursor in(payload);
    Header& header = parsed.journal.header;
    header.id = in.Fixed(8);
    const std::uint64_t kind = in.Fixed(1);
    header.time = static_cast<std::int64_t>(in.Fixed(8));
    header.target = in.Fixed(8);
    header.folder = std::string(in.Bytes(kMaxPathBytes));
    // Each entry takes at least four bytes, its lengths, and in version 1 the three numbers of its id.
    const std::uint64_t count = in.Varint(in.Left() / (version == 1 ? 7 : 4));
    if (!in.Ok() || !KnownKind(kind) || header.id == 0) return false;
    header.kind = static_cast<Kind>(kind);

    std::vector<Entry>& entries = parsed.journal.entries;
    if (mode == Entries::kRead) entries.reserve(static_cast<std::size_t>(count));
    std::string oldPath;  // the previous entry's, for its shared prefix
    std::string newPath;
    std::string visitedNew;
    std::size_t previousNewSize = 0;
    for (std::uint64_t i = 0; i < count && in.Ok(); ++i) {
        const std::uint64_t oldShared = in.Varint(oldPath.size());
        const std::string_view oldRest = in.Bytes(kMaxPathBytes - oldShared);
        const std::size_t oldSize = static_cast<std::size_t>(oldShared) + oldRest.size();
        // Version 2 marks a new path that shares its prefix with the previous entry's new path.
        std::uint64_t newShared = 0;
        bool fromPrevious = false;
        if (version == 1) {
            newShared = in.Varint(oldSize);
        } else {
            const std::uint64_t mark = in.Varint();
            fromPrevious = (mark & 1) != 0;
            newShared = mark >> 1;
            if (newShared > (fromPrevious ? previousNewSize : oldSize)) in.Fail();
        }
        const std::string_view newRest =
            in.Bytes(kMaxPathBytes - std::min<std::uint64_t>(newShared, kMaxPathBytes));
        const Platform::EntryId id = version == 1 ? in.Id(version) : Platform::EntryId{};
        const std::size_t newSize = static_cast<std::size_t>(newShared) + newRest.size();
        if (!in.Ok() || oldSize == 0 || newSize == 0 || oldSize + newSize > budget) return false;
        budget -= oldSize + newSize;
        oldPath.resize(static_cast<std::size_t>(oldShared));
        oldPath += oldRest;
        if (mode == Entries::kRead) {
            const std::string& base = fromPrevious && !entries.empty() ? entries.back().newPath : oldPath;
            newPath.assign(base, 0, static_cast<std::size_t>(newShared));
            newPath += newRest;
            entries.push_back({oldPath, std::move(newPath), id});
        } else if (visit != nullptr) {
            // visitedNew still holds the previous entry's new path.
            if (fromPrevious) {
                visitedNew.resize(static_cast<std::size_t>(newShared));
            } else {
                visitedNew.assign(oldPath, 0, static_cast<std::size_t>(newShared));
            }
            visitedNew += newRest;
            (*visit)(static_cast<std::size_t>(i), oldPath, visitedNew);
        }
        previousNewSize = newSize;
    }
    parsed.entryCount = static_cast<std::size_t>(count);
    return in.Ok() && in.AtEnd();
}

// The ids record's payload into the entries (when read); false when it does not make sense.
bool ReadIds(std::string_view payload, std::size_t entryCount, std::uint8_t version,
             std::vector<Entry>& entries) {
    Cursor in(payload);
    if (in.Varint() != entryCount) return false;
    Platform::EntryId id;
    for (std::size_t k = 0; k < entryCount && in.Ok(); ++k) {
        const std::uint64_t mark = in.Fixed(1);
        if (mark == kSameVolume && k > 0) {
            id.file.inode = in.Varint();
        } else if (mark == kSameVolumeOtherBirth && k > 0 && HasBirths(version)) {
            id.file.inode = in.Varint();
            id.born = AfterStep(id.born, in.Varint());
        } else if (mark == kOtherVolume) {
            id = in.Id(version);
        } else {
            return false;
        }
        if (!entries.empty()) entries[k].id = id;
    }
    return in.Ok() && in.AtEnd();
}

bool ReadNotes(std::string_view payload, std::size_t entryCount, std::uint8_t version,
               std::vector<Note>& notes) {
    Cursor in(payload);
    // Each note takes at least six bytes: its kind, entry, path length and the three numbers of its
    // id (and from version 3 its birth).
    const std::uint64_t count = in.Varint(in.Left() / (HasBirths(version) ? 7 : 6));
    std::vector<Note> read;
    for (std::uint64_t i = 0; i < count && in.Ok(); ++i) {
        Note note;
        const std::uint64_t kind = in.Fixed(1);
        note.entry = static_cast<std::uint32_t>(in.Varint(entryCount == 0 ? 0 : entryCount - 1));
        note.path = std::string(in.Bytes(kMaxPathBytes));
        note.id = in.Id(version);
        if (!KnownNoteKind(kind) || entryCount == 0 || note.path.empty()) in.Fail();
        note.kind = static_cast<NoteKind>(kind);
        read.push_back(std::move(note));
    }
    if (count == 0 || !in.Ok() || !in.AtEnd()) return false;
    notes.insert(notes.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    return true;
}

bool ReadClosing(std::string_view payload, std::size_t entryCount, Closing& closing) {
    Cursor in(payload);
    const std::uint64_t flags = in.Fixed(1);
    if (!in.Ok() || (flags & ~std::uint64_t{kAsFoundFlag}) != 0) return false;
    closing.asFound = (flags & kAsFoundFlag) != 0;
    closing.outcomes.assign(entryCount, Outcome::kDone);
    for (const Outcome outcome : {Outcome::kSkipped, Outcome::kFailed, Outcome::kUntried}) {
        const std::uint64_t count = in.Varint(std::min<std::uint64_t>(in.Left(), entryCount));
        std::uint64_t index = 0;
        for (std::uint64_t i = 0; i < count && in.Ok(); ++i) {
            const std::uint64_t step = in.Varint(entryCount);
            index = i == 0 ? step : index + step + 1;
            if (index >= entryCount || closing.outcomes[index] != Outcome::kDone) return false;
            closing.outcomes[index] = outcome;
        }
    }
    return in.Ok() && in.AtEnd();
}

}  // namespace

EntriesEncoder::EntriesEncoder(std::size_t count, std::size_t pathBytes) {
    paths_.reserve(pathBytes / 2 + 8 * count);
}

void EntriesEncoder::Add(std::string_view oldPath, std::string_view newPath) {
    assert(!oldPath.empty() && !newPath.empty() && oldPath.size() <= kMaxPathBytes &&
           newPath.size() <= kMaxPathBytes && "an entry names two paths the system can take");
    const std::size_t oldShared = SharedPrefix(previousOld_, oldPath);
    PutVarint(paths_, oldShared);
    PutBytes(paths_, oldPath.substr(oldShared));
    // A new path shares more with the one before it than with its own old path where a run gives
    // the names a new common part (a prefix, a case).
    const std::size_t ownShared = SharedPrefix(oldPath, newPath);
    const std::size_t previousShared = SharedPrefix(previousNew_, newPath);
    const bool fromPrevious = previousShared > ownShared;
    const std::size_t newShared = fromPrevious ? previousShared : ownShared;
    PutVarint(paths_, 2 * newShared + (fromPrevious ? 1 : 0));
    PutBytes(paths_, newPath.substr(newShared));
    ++count_;
    previousOld_.assign(oldPath);
    previousNew_.assign(newPath);
}

namespace {

// magic, version and the begin record, whose entries put(out) appends.
template <class Put>
std::string BeginBytes(const Header& header, std::uint8_t version, std::size_t count, std::size_t bytes,
                       const Put& put) {
    std::string out;
    out.reserve(kMagic.size() + 1 + kRecordFrame + 64 + header.folder.size() + bytes);
    out += kMagic;
    out.push_back(static_cast<char>(version));
    const std::size_t start = StartRecord(out, kBegin);
    PutFixed(out, header.id, 8);
    PutFixed(out, static_cast<std::uint8_t>(header.kind), 1);
    PutFixed(out, static_cast<std::uint64_t>(header.time), 8);
    PutFixed(out, header.target, 8);
    PutBytes(out, header.folder);
    PutVarint(out, count);
    put(out);
    FinishRecord(out, start);
    return out;
}

// Where the begin record starts, and its id within it.
constexpr std::size_t kBeginStart = kMagic.size() + 1;
constexpr std::size_t kIdAt = kBeginStart + 5;

}  // namespace

std::string DraftBytes(const Header& header, const EntriesEncoder& entries) {
    return BeginBytes(header, kVersion, entries.Count(), entries.Bytes().size(),
                      [&](std::string& out) { out.append(entries.Bytes()); });
}

void Renumber(std::string& draft, std::uint64_t id) {
    assert(draft.size() >= kIdAt + 8 + 4 && "a draft of DraftBytes");
    draft.resize(draft.size() - 4);
    for (std::size_t i = 0; i < 8; ++i)
        draft[kIdAt + i] = static_cast<char>((id >> (8 * i)) & 0xFF);
    PutFixed(draft, Crc(std::string_view(draft).substr(kBeginStart)), 4);
}

std::string IdsBytes(std::size_t count, const IdOf& idOf, std::uint8_t version) {
    std::string out;
    out.reserve(kRecordFrame + 10 + 6 * count);
    const std::size_t start = StartRecord(out, HasBirths(version) ? kBornIds : kIds);
    PutVarint(out, count);
    Platform::EntryId previous;
    for (std::size_t k = 0; k < count; ++k) {
        const Platform::EntryId id = idOf(k);
        const bool same = k > 0 && id.file.device == previous.file.device && id.volume == previous.volume;
        // The files of one listing share what it tells of their birth.
        const bool sameBirth = !HasBirths(version) || id.born == previous.born;
        out.push_back(static_cast<char>(!same       ? kOtherVolume
                                        : sameBirth ? kSameVolume
                                                    : kSameVolumeOtherBirth));
        if (same) {
            PutVarint(out, id.file.inode);
            if (!sameBirth) PutVarint(out, BirthStep(previous.born, id.born));
        } else {
            PutId(out, id, version);
        }
        previous = id;
    }
    FinishRecord(out, start);
    return out;
}

EntriesEncoder EncodePaths(const std::vector<Entry>& entries) {
    std::size_t pathBytes = 0;
    for (const Entry& e : entries)
        pathBytes += e.oldPath.size() + e.newPath.size();
    EntriesEncoder encoder(entries.size(), pathBytes);
    for (const Entry& e : entries)
        encoder.Add(e.oldPath, e.newPath);
    return encoder;
}

std::string EncodeBegin(const Header& header, const std::vector<Entry>& entries, std::uint8_t version) {
    if (version == 1) {
        // Each new path shares only with its own old path, and each entry ends with its id.
        std::string withIds;
        std::string_view previousOld;
        for (const Entry& e : entries) {
            const std::size_t oldShared = SharedPrefix(previousOld, e.oldPath);
            PutVarint(withIds, oldShared);
            PutBytes(withIds, std::string_view(e.oldPath).substr(oldShared));
            const std::size_t newShared = SharedPrefix(e.oldPath, e.newPath);
            PutVarint(withIds, newShared);
            PutBytes(withIds, std::string_view(e.newPath).substr(newShared));
            PutId(withIds, e.id, version);
            previousOld = e.oldPath;
        }
        return BeginBytes(header, 1, entries.size(), withIds.size(),
                          [&](std::string& out) { out.append(withIds); });
    }
    std::string bytes = DraftBytes(header, EncodePaths(entries));
    bytes[kMagic.size()] = static_cast<char>(version);
    return bytes + IdsBytes(
                       entries.size(), [&](std::size_t k) { return entries[k].id; }, version);
}

std::string EncodeNotes(const std::vector<Note>& notes, std::uint8_t version) {
    assert(!notes.empty());
    std::string out;
    const std::size_t start = StartRecord(out, kNotes);
    PutVarint(out, notes.size());
    for (const Note& note : notes) {
        assert(!note.path.empty() && note.path.size() <= kMaxPathBytes);
        PutFixed(out, static_cast<std::uint8_t>(note.kind), 1);
        PutVarint(out, note.entry);
        PutBytes(out, note.path);
        PutId(out, note.id, version);
    }
    FinishRecord(out, start);
    return out;
}

std::string EncodeClosing(const Closing& closing) {
    std::string out;
    const std::size_t start = StartRecord(out, kClosing);
    PutFixed(out, closing.asFound ? kAsFoundFlag : 0, 1);
    for (const Outcome outcome : {Outcome::kSkipped, Outcome::kFailed, Outcome::kUntried}) {
        std::vector<std::uint64_t> indices;
        for (std::size_t i = 0; i < closing.outcomes.size(); ++i) {
            if (closing.outcomes[i] == outcome) indices.push_back(i);
        }
        PutIndexList(out, indices);
    }
    FinishRecord(out, start);
    return out;
}

Parsed Parse(std::string_view bytes, Entries entries) {
    Parsed parsed;
    if (bytes.size() < kMagic.size() + 1 || bytes.substr(0, kMagic.size()) != kMagic) {
        parsed.verdict = Verdict::kForeign;
        return parsed;
    }
    const auto version = static_cast<std::uint8_t>(bytes[kMagic.size()]);
    if (version < 1 || version > kVersion) {
        parsed.verdict = version > kVersion ? Verdict::kNewer : Verdict::kForeign;
        return parsed;
    }
    std::size_t pos = kMagic.size() + 1;
    const std::optional<Record> begin = ReadRecord(bytes, pos);
    // Paths shared between entries unfold to more bytes than the file holds (about ten times for a
    // run in a deep folder), but not without end.
    const std::size_t budget = (std::size_t{64} << 20) + 16 * bytes.size();
    bool good = begin && begin->type == kBegin && ReadBegin(begin->payload, version, entries, budget, parsed);
    if (good && version != 1) {
        const std::optional<Record> ids = ReadRecord(bytes, pos);
        good = ids && ids->type == (HasBirths(version) ? kBornIds : kIds) &&
               ReadIds(ids->payload, parsed.entryCount, version, parsed.journal.entries);
    }
    if (!good) {
        parsed = Parsed{};
        parsed.verdict = Verdict::kDamaged;
        return parsed;
    }
    parsed.verdict = Verdict::kGood;
    parsed.validBytes = pos;
    Journal& journal = parsed.journal;
    while (pos < bytes.size() && !journal.closing) {
        const std::optional<Record> record = ReadRecord(bytes, pos);
        bool read = false;
        if (record && record->type == kNotes) {
            read = ReadNotes(record->payload, parsed.entryCount, version, journal.notes);
        } else if (record && record->type == kClosing) {
            Closing closing;
            read = ReadClosing(record->payload, parsed.entryCount, closing);
            if (read) journal.closing = std::move(closing);
        }
        if (!read) break;
        parsed.validBytes = pos;
    }
    parsed.tornTail = parsed.validBytes < bytes.size();
    return parsed;
}

void VisitEntries(std::string_view bytes, const EntryVisitor& visit) {
    std::size_t pos = kMagic.size() + 1;
    const std::optional<Record> begin = ReadRecord(bytes, pos);
    assert(begin && begin->type == kBegin);
    Parsed parsed;
    ReadBegin(begin->payload, static_cast<std::uint8_t>(bytes[kMagic.size()]), Entries::kCheckOnly,
              std::numeric_limits<std::size_t>::max(), parsed, &visit);
}

std::string FileName(std::uint64_t id) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(16, '0');
    for (int i = 15; i >= 0; --i, id >>= 4)
        name[static_cast<std::size_t>(i)] = kHex[id & 0xF];
    return name + ".qj";
}

std::optional<std::uint64_t> IdOfFileName(std::string_view name) {
    if (name.size() != 19 || name.substr(16) != ".qj") return std::nullopt;
    std::uint64_t id = 0;
    for (const char c : name.substr(0, 16)) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        id = (id << 4) | static_cast<std::uint64_t>(digit);
    }
    return id;
}

}  // namespace RunJournal::Format

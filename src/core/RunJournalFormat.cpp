#include "core/RunJournalFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

namespace RunJournal::Format {

namespace {

constexpr std::string_view kMagic = "QBJOURNL";
constexpr std::size_t kRecordFrame = 1 + 4 + 4;  // type, length, CRC

enum RecordType : std::uint8_t { kBegin = 1, kNotes = 2, kClosing = 3 };

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

// The same into room for at least ten bytes; returns the end of what was written.
char* PutVarint(char* out, std::uint64_t value) {
    for (; value >= 0x80; value >>= 7)
        *out++ = static_cast<char>((value & 0x7F) | 0x80);
    *out++ = static_cast<char>(value);
    return out;
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

void PutId(std::string& out, const Platform::EntryId& id) {
    PutVarint(out, id.file.device);
    PutVarint(out, id.file.inode);
    PutVarint(out, id.volume);
}

// An id's three varints take at most this many bytes.
constexpr std::size_t kMostIdBytes = 30;

char* PutId(char* out, const Platform::EntryId& id) {
    return PutVarint(PutVarint(PutVarint(out, id.file.device), id.file.inode), id.volume);
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
    Platform::EntryId Id() {
        Platform::EntryId id;
        id.file.device = Varint();
        id.file.inode = Varint();
        id.volume = Varint();
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
bool ReadBegin(std::string_view payload, Entries mode, std::size_t budget, Parsed& parsed) {
    Cursor in(payload);
    Header& header = parsed.journal.header;
    header.id = in.Fixed(8);
    const std::uint64_t kind = in.Fixed(1);
    header.time = static_cast<std::int64_t>(in.Fixed(8));
    header.target = in.Fixed(8);
    header.folder = std::string(in.Bytes(kMaxPathBytes));
    // Each entry takes at least seven bytes: four lengths and the three numbers of its id.
    const std::uint64_t count = in.Varint(in.Left() / 7);
    if (!in.Ok() || !KnownKind(kind) || header.id == 0) return false;
    header.kind = static_cast<Kind>(kind);

    std::vector<Entry>& entries = parsed.journal.entries;
    if (mode == Entries::kRead) entries.reserve(static_cast<std::size_t>(count));
    std::string oldPath;  // the previous entry's, for its shared prefix
    std::string newPath;
    for (std::uint64_t i = 0; i < count && in.Ok(); ++i) {
        const std::uint64_t oldShared = in.Varint(oldPath.size());
        const std::string_view oldRest = in.Bytes(kMaxPathBytes - oldShared);
        const std::size_t oldSize = static_cast<std::size_t>(oldShared) + oldRest.size();
        const std::uint64_t newShared = in.Varint(oldSize);
        const std::string_view newRest = in.Bytes(kMaxPathBytes - newShared);
        const Platform::EntryId id = in.Id();
        const std::size_t newSize = static_cast<std::size_t>(newShared) + newRest.size();
        if (!in.Ok() || oldSize == 0 || newSize == 0 || oldSize + newSize > budget) return false;
        budget -= oldSize + newSize;
        oldPath.resize(static_cast<std::size_t>(oldShared));
        oldPath += oldRest;
        if (mode == Entries::kRead) {
            newPath.assign(oldPath, 0, static_cast<std::size_t>(newShared));
            newPath += newRest;
            entries.push_back({oldPath, std::move(newPath), id});
        }
    }
    parsed.entryCount = static_cast<std::size_t>(count);
    return in.Ok() && in.AtEnd();
}

bool ReadNotes(std::string_view payload, std::size_t entryCount, std::vector<Note>& notes) {
    Cursor in(payload);
    // Each note takes at least six bytes: its kind, entry, path length and the three numbers of its id.
    const std::uint64_t count = in.Varint(in.Left() / 6);
    std::vector<Note> read;
    for (std::uint64_t i = 0; i < count && in.Ok(); ++i) {
        Note note;
        const std::uint64_t kind = in.Fixed(1);
        note.entry = static_cast<std::uint32_t>(in.Varint(entryCount == 0 ? 0 : entryCount - 1));
        note.path = std::string(in.Bytes(kMaxPathBytes));
        note.id = in.Id();
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
    ends_.reserve(count);
}

void EntriesEncoder::Add(std::string_view oldPath, std::string_view newPath) {
    assert(!oldPath.empty() && !newPath.empty() && oldPath.size() <= kMaxPathBytes &&
           newPath.size() <= kMaxPathBytes && "an entry names two paths the system can take");
    const std::size_t oldShared = SharedPrefix(previousOld_, oldPath);
    PutVarint(paths_, oldShared);
    PutBytes(paths_, oldPath.substr(oldShared));
    const std::size_t newShared = SharedPrefix(oldPath, newPath);
    PutVarint(paths_, newShared);
    PutBytes(paths_, newPath.substr(newShared));
    ends_.push_back(paths_.size());
    previousOld_.assign(oldPath);
}

std::string EntriesEncoder::Finish(const IdOf& idOf) const {
    std::string out;
    AppendTo(out, idOf);
    return out;
}

std::size_t EntriesEncoder::Bytes() const {
    return 10 + paths_.size() + kMostIdBytes * ends_.size();
}

void EntriesEncoder::AppendTo(std::string& out, const IdOf& idOf) const {
    // Written in place: appending the parts of a hundred thousand entries one by one took as long
    // as the rest of the journal. The string grows a block at a time just ahead of the writing, so
    // that what it clears is still in the cache when it is written.
    constexpr std::size_t kBlock = 64 * 1024;
    out.reserve(out.size() + Bytes());
    std::size_t at = out.size();
    const auto room = [&](std::size_t bytes) {
        if (out.size() - at < bytes) out.resize(std::min(out.capacity(), at + std::max(bytes, kBlock)));
        return out.data() + at;
    };
    at = PutVarint(room(10), ends_.size()) - out.data();
    std::size_t start = 0;
    for (std::size_t k = 0; k < ends_.size(); ++k) {
        const std::size_t length = ends_[k] - start;
        char* to = room(length + kMostIdBytes);
        std::memcpy(to, paths_.data() + start, length);
        to = PutId(to + length, idOf(k));
        at = static_cast<std::size_t>(to - out.data());
        start = ends_[k];
    }
    out.resize(at);
}

std::string EncodeEntries(const std::vector<Entry>& entries) {
    std::size_t pathBytes = 0;
    for (const Entry& e : entries)
        pathBytes += e.oldPath.size() + e.newPath.size();
    EntriesEncoder encoder(entries.size(), pathBytes);
    for (const Entry& e : entries)
        encoder.Add(e.oldPath, e.newPath);
    return encoder.Finish([&entries](std::size_t k) { return entries[k].id; });
}

std::string BeginBytes(const Header& header, std::string_view entries) {
    return BeginBytes(
        header, [entries](std::string& out) { out.append(entries); }, entries.size());
}

std::string BeginBytes(const Header& header, const EntriesWriter& entries, std::size_t entryBytes) {
    std::string out;
    out.reserve(kMagic.size() + 1 + kRecordFrame + 64 + header.folder.size() + entryBytes);
    out += kMagic;
    out.push_back(static_cast<char>(kVersion));
    const std::size_t start = StartRecord(out, kBegin);
    PutFixed(out, header.id, 8);
    PutFixed(out, static_cast<std::uint8_t>(header.kind), 1);
    PutFixed(out, static_cast<std::uint64_t>(header.time), 8);
    PutFixed(out, header.target, 8);
    PutBytes(out, header.folder);
    entries(out);
    FinishRecord(out, start);
    return out;
}

std::string EncodeBegin(const Header& header, const std::vector<Entry>& entries) {
    return BeginBytes(header, EncodeEntries(entries));
}

std::string EncodeNotes(const std::vector<Note>& notes) {
    assert(!notes.empty());
    std::string out;
    const std::size_t start = StartRecord(out, kNotes);
    PutVarint(out, notes.size());
    for (const Note& note : notes) {
        assert(!note.path.empty() && note.path.size() <= kMaxPathBytes);
        PutFixed(out, static_cast<std::uint8_t>(note.kind), 1);
        PutVarint(out, note.entry);
        PutBytes(out, note.path);
        PutId(out, note.id);
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
    if (version != kVersion) {
        parsed.verdict = version > kVersion ? Verdict::kNewer : Verdict::kForeign;
        return parsed;
    }
    std::size_t pos = kMagic.size() + 1;
    const std::optional<Record> begin = ReadRecord(bytes, pos);
    // Paths shared between entries unfold to more bytes than the file holds (about ten times for a
    // run in a deep folder), but not without end.
    const std::size_t budget = (std::size_t{64} << 20) + 16 * bytes.size();
    if (!begin || begin->type != kBegin || !ReadBegin(begin->payload, entries, budget, parsed)) {
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
            read = ReadNotes(record->payload, parsed.entryCount, journal.notes);
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

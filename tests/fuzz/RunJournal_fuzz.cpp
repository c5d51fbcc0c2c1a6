// libFuzzer target for the run journal's reader. Each input is read three ways: as a journal file
// as it stands; as records with good checksums around payloads cut from the input, so that the
// decoding behind the checksums meets any bytes; and as the makings of a valid journal (paths,
// identities, outcomes cut from the input) that is written, read back whole, then cut and damaged
// where the input says. Any breach of what the reader promises traps.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/RunJournalFormat.h"
#include "support/JournalRecord.h"

namespace {

using namespace RunJournal;
constexpr auto Framed = &testsupport::FramedJournalRecord;

void Require(bool holds) {
    if (!holds) __builtin_trap();
}

// What any reading must hold, whatever the bytes.
void CheckPromises(std::string_view bytes, const Format::Parsed& parsed, bool withEntries) {
    Require(parsed.validBytes <= bytes.size());
    if (parsed.verdict != Format::Verdict::kGood) {
        Require(parsed.journal.entries.empty() && parsed.journal.notes.empty() && !parsed.journal.closing);
        return;
    }
    Require(!withEntries || parsed.journal.entries.size() == parsed.entryCount);
    // Visiting a good file hands over the very entries that reading builds.
    std::size_t visited = 0;
    Format::VisitEntries(bytes, [&](std::size_t k, std::string_view oldPath, std::string_view newPath) {
        Require(k == visited++ && k < parsed.entryCount);
        Require(!withEntries || (parsed.journal.entries[k].oldPath == oldPath &&
                                 parsed.journal.entries[k].newPath == newPath));
    });
    Require(visited == parsed.entryCount);
    for (const Entry& e : parsed.journal.entries)
        Require(!e.oldPath.empty() && !e.newPath.empty());
    for (const Note& note : parsed.journal.notes)
        Require(note.entry < parsed.entryCount && !note.path.empty());
    if (parsed.journal.closing) Require(parsed.journal.closing->outcomes.size() == parsed.entryCount);
    Require(parsed.tornTail == (parsed.validBytes < bytes.size()));
}

// Reads the input from the front: a byte, a number, a piece of text up to a NUL.
class Input {
public:
    explicit Input(std::string_view bytes) : bytes_(bytes) {}
    bool Empty() const { return bytes_.empty(); }
    std::uint8_t Byte() {
        if (bytes_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return b;
    }
    std::uint64_t Number() {
        std::uint64_t n = 0;
        for (int i = 0; i < 8; ++i)
            n = (n << 8) | Byte();
        return n;
    }
    std::string Text() {
        const std::size_t end = bytes_.find('\0');
        std::string text(bytes_.substr(0, end));
        bytes_.remove_prefix(end == std::string_view::npos ? bytes_.size() : end + 1);
        return text.empty() ? std::string("/") : text;
    }

private:
    std::string_view bytes_;
};

// The input cut into payloads, each led by its length: a begin record and then records of the types
// the first byte of each later piece names.
std::string FramedPieces(std::string_view bytes) {
    // Any version the reader knows, as the first byte says.
    std::string file =
        std::string("QBJOURNL") + static_cast<char>(1 + (bytes.empty() ? 0 : bytes.front() % 3));
    for (bool first = true; !bytes.empty(); first = false) {
        const std::size_t length =
            std::min<std::size_t>(static_cast<std::uint8_t>(bytes.front()), bytes.size() - 1);
        std::string_view piece = bytes.substr(1, length);
        bytes.remove_prefix(1 + length);
        std::uint8_t type = 1;
        if (!first && !piece.empty()) {
            type = static_cast<std::uint8_t>(piece.front() % 6);
            piece.remove_prefix(1);
        }
        file += Framed(type, piece);
    }
    return file;
}

// Where the record at start (of a well-formed file) ends.
std::size_t RecordEnd(const std::string& file, std::size_t start) {
    std::size_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= std::size_t{static_cast<std::uint8_t>(file[start + 1 + i])} << (8 * i);
    return start + 5 + length + 4;
}

// Gives the record at start (of a well-formed file) a good checksum again.
void Reframe(std::string& file, std::size_t start) {
    const std::size_t length = RecordEnd(file, start) - start - 5 - 4;
    file.replace(start, 5 + length + 4,
                 Framed(static_cast<std::uint8_t>(file[start]), file.substr(start + 5, length)));
}

Platform::EntryId Id(Input& in) {
    return {{in.Number(), in.Number()}, in.Number(), Platform::Born::FromBits(in.Number())};
}

Journal JournalFrom(Input& in) {
    Journal journal;
    journal.header = {in.Number() | 1, static_cast<Kind>(1 + in.Byte() % 8),
                      static_cast<std::int64_t>(in.Number()), in.Number(), in.Text()};
    const std::size_t count = in.Byte() % 16;
    for (std::size_t i = 0; i < count; ++i)
        journal.entries.push_back({in.Text(), in.Text(), Id(in)});
    if (!journal.entries.empty()) {
        for (std::size_t i = in.Byte() % 4; i > 0; --i) {
            journal.notes.push_back({static_cast<NoteKind>(1 + in.Byte() % 4),
                                     static_cast<std::uint32_t>(in.Byte() % journal.entries.size()),
                                     in.Text(), Id(in)});
        }
    }
    if (in.Byte() % 2 == 0) {
        Closing closing{in.Byte() % 2 == 0, {}};
        for (std::size_t i = 0; i < journal.entries.size(); ++i)
            closing.outcomes.push_back(static_cast<Outcome>(in.Byte() % 4));
        journal.closing = closing;
    }
    return journal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const auto mode : {Format::Entries::kRead, Format::Entries::kCheckOnly})
        CheckPromises(bytes, Format::Parse(bytes, mode), mode == Format::Entries::kRead);

    const std::string framed = FramedPieces(bytes);
    for (const auto mode : {Format::Entries::kRead, Format::Entries::kCheckOnly})
        CheckPromises(framed, Format::Parse(framed, mode), mode == Format::Entries::kRead);

    Input in(bytes);
    const Journal journal = JournalFrom(in);
    std::string file = Format::EncodeBegin(journal.header, journal.entries);
    const std::size_t beginBytes = file.size();
    if (!journal.notes.empty()) file += Format::EncodeNotes(journal.notes);
    const std::size_t notesEnd = file.size();
    if (journal.closing) file += Format::EncodeClosing(*journal.closing);

    const Format::Parsed whole = Format::Parse(file);
    Require(whole.verdict == Format::Verdict::kGood && !whole.tornTail);
    Require(whole.journal.header == journal.header && whole.journal.entries == journal.entries &&
            whole.journal.notes == journal.notes && whole.journal.closing == journal.closing);

    // A payload damaged behind a good checksum, as a hostile file would be: only the promises hold.
    std::vector<std::size_t> starts = {9, RecordEnd(file, 9), beginBytes};
    if (!journal.notes.empty()) starts.push_back(notesEnd);
    const std::size_t record = starts[in.Byte() % starts.size()];
    if (record < file.size()) {
        std::string hostile = file;
        const std::size_t payloadAt = record + 5 + in.Number() % (hostile.size() - record - 5 - 4 + 1);
        if (payloadAt < hostile.size() - 4) {
            hostile[payloadAt] = static_cast<char>(hostile[payloadAt] ^ (in.Byte() | 1));
            Reframe(hostile, record);
            CheckPromises(hostile, Format::Parse(hostile), true);
        }
    }

    // Cut and damaged where the rest of the input says: never more than was written, and the
    // entries either all there as written or none.
    const std::size_t cut = in.Number() % (file.size() + 1);
    const std::size_t at = in.Number() % file.size();
    std::string damaged = file.substr(0, cut);
    if (at < damaged.size()) damaged[at] = static_cast<char>(damaged[at] ^ (in.Byte() | 1));
    const Format::Parsed parsed = Format::Parse(damaged);
    CheckPromises(damaged, parsed, true);
    if (parsed.verdict == Format::Verdict::kGood) {
        // The version byte (after the 8 of the magic) lies outside every checksum: a file of no
        // entries damaged there can read as one of the first version, whose begin record needs no
        // ids record after it. What it tells is still what was written, as checked below.
        const bool versionByteOfNoEntries = at == 8 && at < cut && journal.entries.empty();
        Require(versionByteOfNoEntries || (cut >= beginBytes && (at >= beginBytes || at >= cut)));
        Require(parsed.journal.header == journal.header && parsed.journal.entries == journal.entries);
        Require(parsed.journal.notes.empty() || parsed.journal.notes == journal.notes);
        Require(!parsed.journal.closing || parsed.journal.closing == journal.closing);
    }
    return 0;
}

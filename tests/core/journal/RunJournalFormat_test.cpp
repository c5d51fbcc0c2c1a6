#include "core/journal/RunJournalFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/JournalRecord.h"

namespace {

using namespace RunJournal;
using Format::Parse;
using Format::Verdict;
constexpr auto Framed = &testsupport::FramedJournalRecord;

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();
const Platform::Born kListed = Platform::Born::NoLaterThan(1'700'000'000, 5);

// Names any Linux file system allows, and shapes that test the shared prefixes: a path that is a
// prefix of the one before, one equal to it, one longer than the old one it shares with.
std::vector<Entry> HostileEntries() {
    const std::string longName(4000, 'x');
    return {
        {"/home/u/写真/IMG_0001.jpg", "/home/u/写真/001.jpg", {{2049, 131}, 0x5f3e9a21c4d07b66ULL, kListed}},
        {"/home/u/写真/IMG_0002.jpg",
         "/home/u/写真/IMG_0002.jpg.bak",
         {{2049, 132}, 0x5f3e9a21c4d07b66ULL, kListed}},
        {"/home/u/line\nbreak",
         "/home/u/line\r\nbreak ",
         {{1, 2}, kMax64, Platform::Born::At(1'700'000'000, 999'999'999)}},
        {"/home/u/bad\xff\xfe\x80utf8",
         "/home/u/\x83\x5c\\back",
         {{kMax64, kMax64}, 0, Platform::Born::At(1'700'000'000, 1)}},
        {"/home/u", "/home/u/" + longName, {{0, 0}, 0, Platform::Born::Generation(0xFFFFFFFF)}},
        {"/home/u", "/h", {{7, 7}, 0, Platform::Born::FromBits(kMax64)}},
        {"/" + longName, "/" + longName + "/y", {{3, 1ULL << 40}, 0, {}}},
        {"/a", "/a", {{4, 4}, 0, kListed}},
    };
}

Journal SampleJournal() {
    Journal journal;
    journal.header = {0x0123456789abcdefULL, Kind::kMove, -5, 42, "/home/u/写真\n\xff"};
    journal.entries = HostileEntries();
    journal.notes = {
        {NoteKind::kCopy, 0, "/mnt/card/.quorbel-1-0", {}},
        {NoteKind::kCopyPlaced, 0, "/mnt/card/001.jpg", {{9, 9}, 0x1234, Platform::Born::At(5, 6)}},
        {NoteKind::kSetAside, 7, "/a/.quorbel-1-1\n", {{kMax64, 1}, 0, {}}},
        {NoteKind::kCycle, 3, "/home/u/.quorbel-1-2", {{kMax64, kMax64}, 0, kListed}}};
    journal.closing = Closing{false,
                              {Outcome::kDone, Outcome::kSkipped, Outcome::kDone, Outcome::kFailed,
                               Outcome::kUntried, Outcome::kUntried, Outcome::kDone, Outcome::kSkipped}};
    return journal;
}

// The file of a journal and the lengths at which each of its records ends.
struct Written {
    std::string bytes;
    std::vector<std::size_t> ends;  // begin, notes..., closing
};

Written Write(const Journal& journal, std::uint8_t version = Format::kVersion) {
    Written written;
    written.bytes = Format::EncodeBegin(journal.header, journal.entries, version);
    written.ends.push_back(written.bytes.size());
    // Notes in two appends, as a planner and a move would write them.
    written.bytes += Format::EncodeNotes({journal.notes[0], journal.notes[1]}, version);
    written.ends.push_back(written.bytes.size());
    written.bytes += Format::EncodeNotes({journal.notes[2], journal.notes[3]}, version);
    written.ends.push_back(written.bytes.size());
    written.bytes += Format::EncodeClosing(*journal.closing);
    written.ends.push_back(written.bytes.size());
    return written;
}

// The journal as far as its first `records` records (begin included).
Journal Prefix(const Journal& journal, std::size_t records) {
    Journal prefix = journal;
    prefix.notes.resize(records >= 3 ? 4 : records == 2 ? 2 : 0);
    if (records < 4) prefix.closing.reset();
    return prefix;
}

void ExpectSame(const Journal& actual, const Journal& expected) {
    EXPECT_EQ(actual.header, expected.header);
    EXPECT_EQ(actual.entries, expected.entries);
    EXPECT_EQ(actual.notes, expected.notes);
    EXPECT_EQ(actual.closing, expected.closing);
}

std::string Varint(std::uint64_t value) {
    std::string out;
    for (; value >= 0x80; value >>= 7)
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
    out.push_back(static_cast<char>(value));
    return out;
}

// A begin record's payload up to its entries: id 1, kind sequential, time 0, no target, no folder.
std::string BeginHead(std::uint64_t count) {
    std::string head = std::string(1, '\x01') + std::string(7, '\0') + '\x01' + std::string(16, '\0');
    return head + Varint(0) + Varint(count);
}

const std::string kFileHead = std::string("QBJOURNL") + '\x01';
const std::string kFileHead2 = std::string("QBJOURNL") + '\x02';
const std::string kFileHead3 = std::string("QBJOURNL") + '\x03';

TEST(RunJournalFormat, RoundTripKeepsEveryByte) {
    const Journal journal = SampleJournal();
    // The files of versions 1 (whose entries carry their ids) and 2 are still read, without births.
    for (const std::uint8_t version : {Format::kVersion, std::uint8_t{2}, std::uint8_t{1}}) {
        SCOPED_TRACE("version " + std::to_string(version));
        const Written written = Write(journal, version);
        const Format::Parsed parsed = Parse(written.bytes);
        ASSERT_EQ(parsed.verdict, Verdict::kGood);
        Journal expected = journal;
        for (Entry& e : expected.entries)
            e.id.born = version < 3 ? Platform::Born() : e.id.born;
        for (Note& note : expected.notes)
            note.id.born = version < 3 ? Platform::Born() : note.id.born;
        ExpectSame(parsed.journal, expected);
        // Visiting hands over the same paths, in order, without building the entries.
        std::vector<std::pair<std::string, std::string>> visited;
        Format::VisitEntries(written.bytes,
                             [&](std::size_t k, std::string_view oldPath, std::string_view newPath) {
                                 EXPECT_EQ(k, visited.size());
                                 visited.emplace_back(oldPath, newPath);
                             });
        ASSERT_EQ(visited.size(), journal.entries.size());
        for (std::size_t k = 0; k < visited.size(); ++k)
            EXPECT_EQ(visited[k], std::pair(journal.entries[k].oldPath, journal.entries[k].newPath)) << k;
        EXPECT_EQ(parsed.validBytes, written.bytes.size());
        EXPECT_FALSE(parsed.tornTail);
    }
    const Written written = Write(journal);

    // Checking alone sees the same file, without building the entries.
    const Format::Parsed checked = Parse(written.bytes, Format::Entries::kCheckOnly);
    EXPECT_EQ(checked.verdict, Verdict::kGood);
    EXPECT_EQ(checked.entryCount, journal.entries.size());
    EXPECT_TRUE(checked.journal.entries.empty());
    EXPECT_EQ(checked.journal.notes, journal.notes);

    // A command of no files, closed as found.
    Journal empty;
    empty.header = {1, Kind::kRecovery, 0, 0, ""};
    empty.closing = Closing{true, {}};
    const Format::Parsed none =
        Parse(Format::EncodeBegin(empty.header, {}) + Format::EncodeClosing(*empty.closing));
    ASSERT_EQ(none.verdict, Verdict::kGood);
    ExpectSame(none.journal, empty);
}

TEST(RunJournalFormat, EveryTruncationGivesAVerifiedPrefixOrNothing) {
    const Journal journal = SampleJournal();
    const Written written = Write(journal);
    for (std::size_t cut = 0; cut <= written.bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Format::Parsed parsed = Parse(std::string_view(written.bytes).substr(0, cut));
        if (cut < kFileHead.size()) {
            EXPECT_EQ(parsed.verdict, Verdict::kForeign);
            continue;
        }
        if (cut < written.ends[0]) {
            EXPECT_EQ(parsed.verdict, Verdict::kDamaged);
            EXPECT_TRUE(parsed.journal.entries.empty());
            continue;
        }
        const std::size_t records = static_cast<std::size_t>(
            std::upper_bound(written.ends.begin(), written.ends.end(), cut) - written.ends.begin());
        ASSERT_EQ(parsed.verdict, Verdict::kGood);
        ExpectSame(parsed.journal, Prefix(journal, records));
        EXPECT_EQ(parsed.validBytes, written.ends[records - 1]);
        EXPECT_EQ(parsed.tornTail, cut != parsed.validBytes);
    }
}

TEST(RunJournalFormat, NoDamagedByteIsTrusted) {
    const Journal journal = SampleJournal();
    const Written written = Write(journal);
    for (std::size_t at = 0; at < written.bytes.size(); ++at) {
        for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " ^ " + std::to_string(flip));
            std::string bytes = written.bytes;
            bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ flip);
            const Format::Parsed parsed = Parse(bytes);
            if (at < kFileHead.size() - 1) {
                EXPECT_EQ(parsed.verdict, Verdict::kForeign);
            } else if (at == kFileHead.size() - 1) {
                EXPECT_NE(parsed.verdict, Verdict::kGood);  // another version
            } else if (at < written.ends[0]) {
                EXPECT_EQ(parsed.verdict, Verdict::kDamaged);
            } else {
                // Everything before the damaged record, nothing of it or after it.
                const std::size_t record = static_cast<std::size_t>(
                    std::upper_bound(written.ends.begin(), written.ends.end(), at) - written.ends.begin());
                ASSERT_EQ(parsed.verdict, Verdict::kGood);
                ExpectSame(parsed.journal, Prefix(journal, record));
                EXPECT_TRUE(parsed.tornTail);
            }
        }
    }
}

TEST(RunJournalFormat, HostileRecordsWithGoodChecksumsAreRefused) {
    // An entry's or a note's identity: device, inode and file system.
    const std::string kId = Varint(1) + Varint(1) + Varint(1);
    const std::string kNoId = Varint(0) + Varint(0) + Varint(0);
    const std::string entry = Varint(0) + Varint(2) + "/a" + Varint(0) + Varint(2) + "/b" + kId;
    const std::string huge(60000, 'p');
    // Each later entry unfolds to two 60,000-byte paths from ten bytes of file.
    std::string unfolding = Varint(0) + Varint(huge.size()) + huge + Varint(0) + Varint(1) + "q" + kId;
    for (int i = 0; i < 30000; ++i)
        unfolding += Varint(huge.size()) + Varint(0) + Varint(huge.size()) + Varint(0) + kId;
    const std::string good = kFileHead + Framed(1, BeginHead(1) + entry);
    ASSERT_EQ(Parse(good).verdict, Verdict::kGood);
    const std::string entry2 = Varint(0) + Varint(2) + "/a" + Varint(0) + Varint(2) + "/b";
    ASSERT_EQ(
        Parse(kFileHead2 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(1) + '\x01' + kId)).verdict,
        Verdict::kGood);
    const std::string second = Varint(2) + Varint(1) + "c" + Varint(0) + Varint(2) + "/d";
    ASSERT_EQ(Parse(kFileHead3 + Framed(1, BeginHead(2) + entry2 + second) +
                    Framed(5, Varint(2) + '\x01' + kId + Varint(0) + '\x02' + Varint(1) + Varint(2)))
                  .verdict,
              Verdict::kGood);

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a count far beyond the bytes", kFileHead + Framed(1, BeginHead(1ULL << 60) + entry)},
        {"a count of one more entry than there is", kFileHead + Framed(1, BeginHead(2) + entry)},
        {"bytes after the last entry", kFileHead + Framed(1, BeginHead(1) + entry + "x")},
        {"a prefix shared with no previous path",
         kFileHead +
             Framed(1, BeginHead(1) + Varint(5) + Varint(1) + "a" + Varint(0) + Varint(1) + "b" + kId)},
        {"a new path sharing more than its old path has",
         kFileHead +
             Framed(1, BeginHead(1) + Varint(0) + Varint(1) + "a" + Varint(2) + Varint(1) + "b" + kId)},
        {"a length past the record", kFileHead + Framed(1, BeginHead(1) + Varint(0) + Varint(200) + "/a" +
                                                               Varint(0) + Varint(2) + "/b" + kId)},
        {"an empty path",
         kFileHead + Framed(1, BeginHead(1) + Varint(0) + Varint(0) + Varint(0) + Varint(2) + "/b" + kId)},
        {"a varint of eleven bytes", kFileHead + Framed(1, BeginHead(1) + std::string(10, '\xff') + '\x01')},
        {"an unknown kind", kFileHead + Framed(1, std::string(1, '\x01') + std::string(7, '\0') + '\x09' +
                                                      std::string(16, '\0') + Varint(0) + Varint(0))},
        {"id zero", kFileHead + Framed(1, std::string(8, '\0') + '\x01' + std::string(16, '\0') + Varint(0) +
                                              Varint(0))},
        {"notes in place of the begin record", kFileHead + Framed(2, Varint(0))},
        {"shared prefixes unfolding to gigabytes", kFileHead + Framed(1, BeginHead(30001) + unfolding)},
        // Version 2: the ids in a record of their own after the begin record.
        {"no ids record", kFileHead2 + Framed(1, BeginHead(1) + entry2)},
        {"notes in place of the ids record",
         kFileHead2 + Framed(1, BeginHead(1) + entry2) +
             Framed(2, Varint(1) + '\x01' + Varint(0) + Varint(1) + "p" + kId)},
        {"ids of another count",
         kFileHead2 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(2) + '\x01' + kId + '\x01' + kId)},
        {"a first id on the volume of none before",
         kFileHead2 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(1) + '\x00' + Varint(1))},
        {"an unknown mark of an id",
         kFileHead2 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(1) + '\x02' + kId)},
        {"bytes after the last id",
         kFileHead2 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(1) + '\x01' + kId + "x")},
        {"a new path sharing more than the new path before it has",
         kFileHead2 + Framed(1, BeginHead(1) + Varint(0) + Varint(2) + "/a" + Varint(3) + Varint(1) + "b") +
             Framed(4, Varint(1) + '\x01' + kId)},
        // Version 3: ids with their births, in a record of another type.
        {"ids of version 2 in a version 3 file",
         kFileHead3 + Framed(1, BeginHead(1) + entry2) + Framed(4, Varint(1) + '\x01' + kId)},
        {"a birth step of the first id", kFileHead3 + Framed(1, BeginHead(1) + entry2) +
                                             Framed(5, Varint(1) + '\x02' + Varint(1) + Varint(2))},
        {"a birth step in a version 2 file",
         kFileHead2 + Framed(1, BeginHead(2) + entry2 + second) +
             Framed(4, Varint(2) + '\x01' + kId + '\x02' + Varint(1) + Varint(2))},
        {"a version 1 entry in a version 2 file",
         kFileHead2 + Framed(1, BeginHead(1) + entry) + Framed(4, Varint(1) + '\x01' + kId)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Parse(c.bytes).verdict, Verdict::kDamaged);
        EXPECT_EQ(Parse(c.bytes, Format::Entries::kCheckOnly).verdict, Verdict::kDamaged);
    }

    // Later records that make no sense end the verified part; what came before stands.
    const struct {
        const char* what;
        std::string record;
    } tails[] = {
        {"a note of an entry that does not exist",
         Framed(2, Varint(1) + '\x01' + Varint(1) + Varint(1) + "p" + kNoId)},
        {"a note of an unknown kind", Framed(2, Varint(1) + '\x07' + Varint(0) + Varint(1) + "p" + kNoId)},
        {"no notes at all", Framed(2, Varint(0))},
        {"an outcome of an entry that does not exist",
         Framed(3, std::string(1, '\0') + Varint(1) + Varint(1) + Varint(0) + Varint(0))},
        {"one entry with two outcomes",
         Framed(3, std::string(1, '\0') + Varint(1) + Varint(0) + Varint(1) + Varint(0) + Varint(0))},
        {"an unknown closing flag", Framed(3, std::string(1, '\x02') + Varint(0) + Varint(0) + Varint(0))},
        {"a record of an unknown type", Framed(9, "")},
    };
    for (const auto& t : tails) {
        SCOPED_TRACE(t.what);
        const Format::Parsed parsed =
            Parse(good + t.record + Format::EncodeClosing({false, {Outcome::kDone}}));
        ASSERT_EQ(parsed.verdict, Verdict::kGood);
        EXPECT_EQ(parsed.journal.entries.size(), 1u);
        EXPECT_TRUE(parsed.journal.notes.empty());
        EXPECT_FALSE(parsed.journal.closing);
        EXPECT_EQ(parsed.validBytes, good.size());
    }
}

TEST(RunJournalFormat, RandomBytesNeverPassForAJournal) {
    std::mt19937 random(20240622);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        // Half of them with the right head, so that the records themselves are tried.
        if (round % 2 == 0) bytes.insert(0, kFileHead);
        const Format::Parsed parsed = Parse(bytes);
        EXPECT_NE(parsed.verdict, Verdict::kGood) << "round " << round;
    }
}

TEST(RunJournalFormat, FileNamesCarryTheId) {
    EXPECT_EQ(Format::FileName(0x17d0c3a5b2e4f001ULL), "17d0c3a5b2e4f001.qj");
    EXPECT_EQ(Format::IdOfFileName("17d0c3a5b2e4f001.qj"), 0x17d0c3a5b2e4f001ULL);
    EXPECT_EQ(Format::IdOfFileName(Format::FileName(kMax64)), kMax64);
    for (const char* name :
         {"17D0C3A5B2E4F001.qj", "17d0c3a5b2e4f01.qj", "17d0c3a5b2e4f001.qjx", "17d0c3a5b2e4f001.qj.damaged",
          ".17d0c3a5b2e4f001.qj.new", "17d0c3a5b2e4f00g.qj"}) {
        EXPECT_FALSE(Format::IdOfFileName(name)) << name;
    }
}

}  // namespace

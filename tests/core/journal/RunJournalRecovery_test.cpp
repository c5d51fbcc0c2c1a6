#include "core/journal/RunJournalRecovery.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/FileSystem.h"
#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using namespace RunJournal;
using testsupport::TempDir;
namespace fs = std::filesystem;

Platform::EntryId IdOf(const std::string& path) {
    const auto look = Platform::LookAt(path);
    EXPECT_TRUE(look) << path;
    return look ? look->id : Platform::EntryId{};
}

// An entry for the file made at old, as a run records it before renaming it.
Entry Recorded(const TempDir& dir, const std::string& oldName, const std::string& newName) {
    const std::string oldPath = dir.MakeFile(oldName, oldName);
    return {oldPath, dir / newName, IdOf(oldPath)};
}

TEST(RunJournalRecovery, DoneMeansTheRecordedFileAtItsNewPathAndNoLongerAtItsOld) {
    TempDir dir;
    Journal journal;
    auto& e = journal.entries;
    e.push_back(Recorded(dir, "renamed", "renamed.new"));
    fs::rename(e[0].oldPath, e[0].newPath);
    e.push_back(Recorded(dir, "untried", "untried.new"));
    // Another file under the new name, while the renamed one lives on elsewhere (so that its inode
    // cannot be handed to the newcomer).
    e.push_back(Recorded(dir, "replaced", "replaced.new"));
    fs::rename(e[2].oldPath, dir / "moved-on");
    dir.MakeFile("replaced.new", "someone else's");
    // A rename by link and unlink, stopped between the two.
    e.push_back(Recorded(dir, "linked", "linked.new"));
    fs::create_hard_link(e[3].oldPath, e[3].newPath);
    // Renamed, and a new file took the old name since.
    e.push_back(Recorded(dir, "reused", "reused.new"));
    fs::rename(e[4].oldPath, e[4].newPath);
    dir.MakeFile("reused", "new file");
    // A link at the new path to the file at the old one is not the file.
    e.push_back(Recorded(dir, "pointed", "pointed.new"));
    fs::create_symlink(e[5].oldPath, e[5].newPath);
    e.push_back(Recorded(dir, "same", "same"));
    // Moves to another file system: a copy placed under the final name, its source removed or not.
    e.push_back(Recorded(dir, "copied", "copied.new"));
    dir.MakeFile("copied.new", "copied");
    journal.notes.push_back({NoteKind::kCopyPlaced, 7, e[7].newPath, IdOf(e[7].newPath)});
    fs::remove(e[7].oldPath);
    e.push_back(Recorded(dir, "copied-kept", "copied-kept.new"));
    dir.MakeFile("copied-kept.new", "copied");
    journal.notes.push_back({NoteKind::kCopyPlaced, 8, e[8].newPath, IdOf(e[8].newPath)});
    // A copy that was never recorded as placed proves nothing.
    e.push_back(Recorded(dir, "unrecorded", "unrecorded.new"));
    dir.MakeFile("unrecorded.new", "copied");
    fs::remove(e[9].oldPath);

    EXPECT_EQ(Examine(journal).done, (std::vector<std::size_t>{0, 4, 7}));
}

// Another card put in the same reader and mounted at the same folder may give its files the device
// and inode numbers the journal recorded: its file system's id tells them apart.
TEST(RunJournalRecovery, AnotherCardAtTheSameFolderHoldsNothingOfTheCommand) {
    using testsupport::Mount;
    TempDir dir;
    const std::string card = dir.MakeDir("card");
    auto mount = Mount::Make(Mount::Kind::kExt4, card);
    if (!mount) GTEST_SKIP() << Mount::Why();
    Journal journal;
    journal.entries.push_back(Recorded(dir, "card/IMG_0001.JPG", "card/001.JPG"));
    fs::rename(journal.entries[0].oldPath, journal.entries[0].newPath);
    ASSERT_EQ(Examine(journal).done, std::vector<std::size_t>{0});

    ASSERT_TRUE(mount->Unmount());
    mount.reset();
    mount = Mount::Make(Mount::Kind::kExt4, card);
    ASSERT_TRUE(mount) << Mount::Why();
    const std::string other = dir.MakeFile("card/001.JPG", "card B");
    const Platform::EntryId recorded = journal.entries[0].id;
    // The numbers a fresh card gives its first file, in the same loop device: only the file
    // system's id differs. (Where the system hands out another device, the test proves less.)
    EXPECT_EQ(IdOf(other).file.inode, recorded.file.inode);
    EXPECT_NE(IdOf(other).volume, recorded.volume);
    EXPECT_TRUE(Examine(journal).done.empty());
}

TEST(RunJournalRecovery, CopiesGoOnlyBesideTheirSourceAndStrandedFilesAreFound) {
    TempDir dir;
    dir.MakeDir("dest");
    Journal journal;
    auto& e = journal.entries;
    auto& notes = journal.notes;
    const auto note = [&](NoteKind kind, std::size_t entry, const std::string& name,
                          Platform::EntryId id = {}) {
        notes.push_back({kind, static_cast<std::uint32_t>(entry), dir / name, id});
    };
    // 0: a copy under its temporary name beside a source still in place.
    e.push_back(Recorded(dir, "k", "dest/k"));
    dir.MakeFile(".copy-k", "k");
    note(NoteKind::kCopy, 0, ".copy-k");
    // 1: the source is gone, so the copy may be all there is.
    e.push_back(Recorded(dir, "l", "dest/l"));
    dir.MakeFile(".copy-l", "l");
    fs::rename(e[1].oldPath, dir / "l-elsewhere");
    note(NoteKind::kCopy, 1, ".copy-l");
    // 2: the temporary name holds the file itself.
    e.push_back(Recorded(dir, "m", "dest/m"));
    fs::create_hard_link(e[2].oldPath, dir / ".copy-m");
    note(NoteKind::kCopy, 2, ".copy-m");
    // 3: nothing at the temporary name.
    e.push_back(Recorded(dir, "n", "dest/n"));
    note(NoteKind::kCopy, 3, ".copy-n");
    // 4: a link at the temporary name is nobody's copy.
    e.push_back(Recorded(dir, "o", "dest/o"));
    fs::create_symlink(e[4].oldPath, dir / ".copy-o");
    note(NoteKind::kCopy, 4, ".copy-o");
    // 5: the copy stands under its final name too.
    e.push_back(Recorded(dir, "p", "dest/p"));
    dir.MakeFile(".copy-p", "p");
    fs::create_hard_link(dir / ".copy-p", dir / "dest/p");
    note(NoteKind::kCopy, 5, ".copy-p");
    // 6: a cycle's file under its temporary name.
    e.push_back(Recorded(dir, "q", "q2"));
    fs::rename(e[6].oldPath, dir / ".cycle-q");
    note(NoteKind::kCycle, 6, ".cycle-q");
    // 7: a cycle's file that went on to its new name.
    e.push_back(Recorded(dir, "r", "r2"));
    fs::rename(e[7].oldPath, e[7].newPath);
    note(NoteKind::kCycle, 7, ".cycle-r");
    // 8: another file at a cycle's temporary name.
    e.push_back(Recorded(dir, "s", "s2"));
    dir.MakeFile(".cycle-s", "other");
    note(NoteKind::kCycle, 8, ".cycle-s");
    // 9: a destination file set aside for the file that replaces it.
    e.push_back(Recorded(dir, "t", "dest/t"));
    const Platform::EntryId destination = IdOf(dir.MakeFile("dest/t", "the user's t"));
    fs::rename(dir / "dest/t", dir / "dest/.aside-t");
    note(NoteKind::kSetAside, 9, "dest/.aside-t", destination);
    // 10: another file at a set-aside name.
    e.push_back(Recorded(dir, "u", "dest/u"));
    const Platform::EntryId gone = IdOf(dir.MakeFile("dest/u", "the user's u"));
    dir.MakeFile("dest/.aside-u", "other");
    note(NoteKind::kSetAside, 10, "dest/.aside-u", gone);

    const OnDisk found = Examine(journal);
    EXPECT_EQ(found.removableCopies, std::vector<std::size_t>{0});
    ASSERT_EQ(found.stranded.size(), 2u);
    EXPECT_EQ(found.stranded[0].note, 6u);
    EXPECT_EQ(found.stranded[0].home, e[6].oldPath);
    EXPECT_EQ(found.stranded[1].note, 9u);
    EXPECT_EQ(found.stranded[1].home, dir / "dest/t");
}

}  // namespace

// Undo's look for missing files among entries in every state, and the undo after it whether or not
// the renames look at each file again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/list/PairList.h"
#include "core/run/UndoRevert.h"
#include "support/TempDir.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

TEST(UndoMissingFiles, OnlyRenamedFilesAreLookedForAndTheRestIsUndone) {
    for (const UndoRevert::Sources sources :
         {UndoRevert::Sources::kJustSeen, UndoRevert::Sources::kLookAgain}) {
        SCOPED_TRACE(static_cast<int>(sources));
        TempDir dir;
        // As after a run: 0 renamed; 1 skipped; 2 renamed, deleted since; 3 renamed, then moved away;
        // 4 renamed in another folder; 5 renamed, a folder stands at its name now.
        dir.MakeFile("a/new0", "0");
        dir.MakeFile("a/old1", "1");
        dir.MakeFile("b/new4", "4");
        dir.MakeDir("a/new5");
        const std::vector<std::string> oldPaths = {dir / "a/old0", dir / "a/old1", dir / "a/old2",
                                                   dir / "a/old3", dir / "b/old4", dir / "a/old5"};
        const std::vector<std::string> newPaths = {dir / "a/new0", dir / "a/new1", dir / "a/new2",
                                                   dir / "a/new3", dir / "b/new4", dir / "a/new5"};
        // The files as the run found them: those still there have their own identity now.
        std::vector<Platform::EntryId> ids;
        for (std::size_t i = 0; i < oldPaths.size(); ++i) {
            ids.push_back(
                MyFileOperation::FileIdentity(newPaths[i])
                    .value_or(MyFileOperation::FileIdentity(oldPaths[i]).value_or(Platform::EntryId{})));
        }
        PairList pairs;
        pairs.SetRun(oldPaths, newPaths, ids);
        pairs.Record({true, {1}, {}, {}, {}, {}}, RenameExecutor::Order::FirstToLast);
        pairs.MarkMovedAway({3});

        const std::vector<std::size_t> missing = UndoRevert::MissingFiles(pairs);
        EXPECT_THAT(missing, ElementsAre(2u, 3u, 5u));
        EXPECT_THAT(UndoRevert::UndoAll(pairs, missing, sources), IsEmpty());
        EXPECT_EQ(TempDir::ReadFile(dir / "a/old0"), "0");
        EXPECT_EQ(TempDir::ReadFile(dir / "a/old1"), "1");
        EXPECT_EQ(TempDir::ReadFile(dir / "b/old4"), "4");
        EXPECT_FALSE(TempDir::Exists(dir / "a/old5"));
        EXPECT_EQ(pairs.OldPaths(),
                  (std::vector<std::string>{dir / "a/new0", dir / "a/old1", dir / "b/new4"}));
        EXPECT_EQ(pairs.NewPaths(),
                  (std::vector<std::string>{dir / "a/old0", dir / "a/new1", dir / "b/old4"}));
        EXPECT_THAT(pairs.Unrenamed(), ElementsAre(1u));
    }
}

}  // namespace

// Taking files back and moving them through a recording host, on real files: the undo of the last
// command, the move after it and the recovery of a killed one, each question answered each way and
// each stopped, with the host's calls in order and none from the busy thread.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/commands/Common.h"
#include "core/commands/Move.h"
#include "core/commands/Recovery.h"
#include "core/commands/Undo.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/PairList.h"
#include "support/KillAtStep.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace {

using Command::Answer;
using testsupport::RecordingHost;
using testsupport::TempDir;
using Kind = RecordingHost::Call::Kind;
using Names = std::vector<std::string>;
constexpr auto kNever = static_cast<std::size_t>(-1);

// a.txt, b.txt, c.txt in src, each holding its name, and a run that renamed them to R1..R3.txt
// (killBefore: in a child killed before that file, journaled).
struct Ran {
    explicit Ran(std::size_t killBefore = kNever) {
        std::vector<std::string> from;
        std::vector<std::string> to;
        std::vector<Platform::EntryId> ids;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            from.push_back(dir.MakeFile(std::string("src/") + name, name));
            to.push_back(dir / ("src/R" + std::to_string(to.size() + 1) + ".txt"));
            ids.push_back(Platform::LookAt(from.back())->id);
        }
        if (killBefore != kNever) {
            EXPECT_TRUE(testsupport::KilledInChild([&] {
                testsupport::KillBefore kill(killBefore);
                RunJournal::Record record(journals.Path(), RunJournal::Kind::kSequential);
                RenameExecutor::ExecuteCheckedRenames(from, to, ids, RenameExecutor::Order::FirstToLast,
                                                      &kill, &record);
            }));
            return;
        }
        const auto outcome = RenameExecutor::ExecuteSkippingCollisions(from, to);
        pairs.SetRun(std::move(from), std::move(to), outcome.ids);
        pairs.Record(outcome, RenameExecutor::Order::FirstToLast);
    }
    Names Src() const { return TempDir::Names(dir / "src"); }
    std::vector<Kind> Calls() const {
        std::vector<Kind> kinds;
        for (const auto& call : host.calls)
            kinds.push_back(call.kind);
        return kinds;
    }
    TempDir dir;
    TempDir journals;
    PairList pairs;
    RecordingHost host;
};

struct Case {
    const char* name;
    Names gone;  // moved out of src after the run
    std::deque<Answer> answers;
    std::size_t stopAt;
    Names src;
    std::vector<Kind> calls;
    Names told;
    std::size_t listed = 3;  // entries left in the pair list
};

TEST(TakeBack, UndoAsksAboutMissingFilesAndStops) {
    const std::string done = Command::Text::Undone();
    const std::string cancelled = Command::Text::UserCancelled();
    const std::string nothing = Command::Text::NothingUndone();
    const std::vector<Kind> undone = {Kind::kBusy, Kind::kBusy, Kind::kListChanged, Kind::kTell};
    const std::vector<Kind> refused = {Kind::kBusy, Kind::kMark, Kind::kAsk, Kind::kTell};
    // clang-format off
    const std::vector<Case> cases = {
        {"all there", {}, {}, kNever, {"a.txt", "b.txt", "c.txt"}, undone, {done}},
        {"one gone, yes", {"R2.txt"}, {Answer::kYes}, kNever, {"a.txt", "c.txt"},
         {Kind::kBusy, Kind::kMark, Kind::kAsk, Kind::kBusy, Kind::kListChanged, Kind::kTell}, {done}, 2},
        {"one gone, no", {"R2.txt"}, {Answer::kNo}, kNever, {"R1.txt", "R3.txt"}, refused, {cancelled}},
        {"all gone, yes", {"R1.txt", "R2.txt", "R3.txt"}, {Answer::kYes}, kNever, {}, refused, {nothing}},
        {"stopped after the last file", {}, {}, 1, {"R1.txt", "R2.txt", "c.txt"}, undone,
         {Command::Text::Cancelled(1)}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ran ran;
        TempDir away;
        for (const std::string& name : c.gone)
            std::filesystem::rename(ran.dir / ("src/" + name), away / name);
        ran.host.answers = c.answers;
        ran.host.stopAt = c.stopAt;
        Command::UndoLast(ran.pairs, {ran.journals.Path(), 0, true}, ran.host);
        EXPECT_EQ(ran.Src(), c.src);
        EXPECT_EQ(ran.Calls(), c.calls);
        EXPECT_EQ(ran.host.Texts(Kind::kTell), c.told);
        EXPECT_EQ(ran.pairs.Size(), c.listed);
        EXPECT_TRUE(ran.host.AllFromCaller());
    }
}

// dest holds an R2.txt of its own.
TEST(TakeBack, MoveAsksOnceAboutTakenNamesAndStops) {
    const std::vector<Kind> asked = {Kind::kBusy, Kind::kAsk, Kind::kBusy};
    // clang-format off
    const std::vector<Case> cases = {
        {"yes replaces", {}, {Answer::kYes}, kNever, {}, asked, {}},
        {"no keeps theirs", {}, {Answer::kNo}, kNever, {"R2.txt"}, asked, {}},
        {"cancel moves nothing", {}, {Answer::kCancel}, kNever, {"R1.txt", "R2.txt", "R3.txt"},
         {Kind::kBusy, Kind::kAsk}, {}},
        {"stopped after the first file", {}, {Answer::kYes}, 1, {"R2.txt", "R3.txt"},
         {Kind::kBusy, Kind::kAsk, Kind::kBusy, Kind::kTell}, {Command::Text::MoveCancelled(1)}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ran ran;
        const std::string theirs = ran.dir.MakeFile("dest/R2.txt", "theirs");
        ran.host.answers = c.answers;
        ran.host.stopAt = c.stopAt;
        Command::MoveAfterRename(ran.pairs, {ran.dir / "dest/", std::nullopt, ran.journals.Path()}, ran.host);
        EXPECT_EQ(ran.Src(), c.src);
        const bool replaced = c.answers.front() == Answer::kYes && c.stopAt == kNever;
        EXPECT_EQ(TempDir::ReadFile(theirs), replaced ? "b.txt" : "theirs");
        EXPECT_EQ(ran.Calls(), c.calls);
        EXPECT_EQ(ran.host.Texts(Kind::kTell), c.told);
        EXPECT_TRUE(ran.host.AllFromCaller());
    }
}

// A run killed before its third file: the next start asks once; yes puts the two files back, no
// leaves them, and either way the command is no longer offered.
TEST(TakeBack, RecoveryOffersAKilledRunOnce) {
    const std::string question =
        "前回の名前の変更は完了していません（3個のうち2個を変更済み）。\r\n"
        "変更済みのファイルを元の名前に戻しますか？";
    const Names back = {"a.txt", "b.txt", "c.txt"};
    const Names left = {"R1.txt", "R2.txt", "c.txt"};
    for (const Answer answer : {Answer::kYes, Answer::kNo}) {
        Ran ran(2);
        RunJournal::Store store(ran.journals.Path());
        ran.host.answers = {answer};
        Command::RecoverInterrupted(store, true, ran.host);
        Command::RecoverInterrupted(store, true, ran.host);
        EXPECT_EQ(ran.host.Texts(Kind::kAsk), Names{question});
        EXPECT_EQ(ran.Src(), answer == Answer::kYes ? back : left);
        EXPECT_EQ(ran.host.Texts(Kind::kTell),
                  answer == Answer::kYes ? Names{Command::Text::Undone()} : Names{});
        EXPECT_TRUE(ran.host.AllFromCaller());
    }
}

}  // namespace

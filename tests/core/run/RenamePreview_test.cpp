#include "core/run/RenamePreview.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/commands/OtherRun.h"
#include "core/commands/SequentialRun.h"
#include "core/commands/StringRun.h"
#include "core/list/FileList.h"
#include "core/list/PairList.h"
#include "core/names/CaseConvert.h"
#include "core/names/SequentialNames.h"
#include "core/names/StringRename.h"
#include "core/text/Cp932.h"
#include "support/Mounts.h"
#include "support/RecordingHost.h"
#include "support/StopBefore.h"
#include "support/TempDir.h"

namespace {

using RenamePreview::State;
using testsupport::TempDir;

// What a run did to each listed path, as 開始 marks it.
struct Actual {
    bool refused = false;         // the run stopped before renaming anything
    bool asked = false;           // the run asked whether to rename in another order
    std::vector<State> states;    // kRenamed, kCollision, kUnchanged or kRefused for any failure
    std::vector<std::string> to;  // the planned new path of each row ("" when unplanned)
};

// 開始 on each page: the real command, through a host that answers the question whether to rename
// in another order (yes or no) and records what the run showed. The rows the list keeps are the
// files the run planned, so a row outside the plan is unchanged; a marked row is a collision, or a
// failure where the message that counts it says so.
Actual RunPage(const std::vector<std::string>& paths, const RenamePreview::Inputs& inputs, bool yes) {
    PairList pairs;
    pairs.Load(paths);
    testsupport::RecordingHost host;
    host.answers = {yes ? Command::Answer::kYes : Command::Answer::kNo};
    const Command::RunContext context{.pairs = pairs};
    if (const auto* page = std::get_if<RenamePreview::Sequential>(&inputs)) {
        Command::RunSequential(context, {.names = *page->options}, host);
    } else if (const auto* page = std::get_if<RenamePreview::StringPage>(&inputs)) {
        Command::RunString(
            context,
            {*page->target, *page->replacement, page->regex, page->includeExtension, page->caseSensitive},
            host);
    } else if (std::holds_alternative<RenamePreview::DigitAlignment>(inputs)) {
        Command::RunDigitAlignment(context, host);
    } else {
        Command::RunCaseConversion(context, std::get<RenamePreview::CaseConversion>(inputs).mode, host);
    }
    using Kind = testsupport::RecordingHost::Call::Kind;
    Actual actual;
    actual.states.assign(paths.size(), State::kUnchanged);
    actual.to.assign(paths.size(), {});
    std::vector<std::size_t> rows(paths.size());  // the row of each entry left
    std::iota(rows.begin(), rows.end(), 0);
    bool shown = false;
    std::vector<std::pair<std::size_t, State>> marks;
    const std::vector<std::size_t>* marked = nullptr;
    for (const testsupport::RecordingHost::Call& call : host.calls) {
        if (call.kind == Kind::kAsk) actual.asked = true;
        if (call.kind == Kind::kListChanged) {
            shown = true;
            if (!call.entries.empty()) rows = call.entries;
        }
        if (call.kind == Kind::kMark) marked = &call.entries;
        if (call.kind == Kind::kTell && marked != nullptr) {
            const State state =
                call.text.starts_with("名前を変更できなかった") ? State::kRefused : State::kCollision;
            for (const std::size_t k : *marked)
                marks.emplace_back(k, state);
            marked = nullptr;
        }
    }
    actual.refused = !shown || pairs.Empty();
    if (actual.refused) return actual;
    for (std::size_t k = 0; k < pairs.Size(); ++k) {
        actual.to[rows[k]] = pairs.NewPaths()[k];
        if (pairs.NewPaths()[k] != pairs.OldPaths()[k]) actual.states[rows[k]] = State::kRenamed;
    }
    for (const auto& [k, state] : marks)
        actual.states[rows[k]] = state;
    return actual;
}

// A folder on a small tmpfs where mounts are allowed: thousands of files made and renamed cost
// little there.
struct FastFolder {
    FastFolder() : mount(testsupport::Mount::Make(testsupport::Mount::Kind::kTmpfs, dir.Path(), 16 << 20)) {}
    const std::string& Path() const { return dir.Path(); }
    TempDir dir;
    std::unique_ptr<testsupport::Mount> mount;
};

template <class T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

bool Chance(std::mt19937& random, int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random) < percent;
}

RenamePreview::Inputs RandomInputs(std::mt19937& random) {
    switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0: {
            SequentialNames::Options options;
            options.leadingText = Pick<std::string>(random, {"", "a", "A", "img", "b:"});
            options.startValue = Pick<std::string>(random, {"", "1", "01", "9", "x"});
            options.trailingText = Pick<std::string>(random, {"", "", "x"});
            options.incrementText = Pick<std::string>(random, {"", "1", "2"});
            options.keepName = Chance(random, 40);
            options.changeExtension = Chance(random, 30);
            options.newExtension = Pick<std::string>(random, {"txt", "TXT", ".txt", ""});
            return RenamePreview::Sequential{options};
        }
        case 1:
            return RenamePreview::StringPage{
                .target = Pick<std::string>(random, {"a", "A", "1", "*", "?", "img", "x?", "", "1*"}),
                .replacement = Pick<std::string>(random, {"", "b", "A", "a", "1", "a1", "1/"}),
                .regex = false,
                .includeExtension = Chance(random, 30),
                .caseSensitive = Chance(random, 50)};
        case 2:
            return RenamePreview::StringPage{
                .target = Pick<std::string>(random, {"a", "[0-9]+", "^(.)", "x$", "(", "^.*$", "^\\.?", "b"}),
                .replacement = Pick<std::string>(random, {"", "$1", "b", "A", "..", "$2", "a1"}),
                .regex = true,
                .includeExtension = Chance(random, 30),
                .caseSensitive = Chance(random, 50)};
        case 3:
            return RenamePreview::DigitAlignment{};
        default:
            return RenamePreview::CaseConversion{std::uniform_int_distribution<int>(0, 7)(random)};
    }
}

const char* Name(State state) {
    switch (state) {
        case State::kUnchanged:
            return "unchanged";
        case State::kRenamed:
            return "renamed";
        case State::kCollision:
            return "collision";
        case State::kReordered:
            return "reordered";
        default:
            return "failed";
    }
}

// A random folder (two subfolders, names that differ in case or in their digits, files the list
// leaves out, folders standing at names) listed in a random order, and random inputs of a page:
// the preview tells per row what 開始 then does, and every file it says is renamed stands at the
// name it showed.
TEST(RenamePreviewTest, TellsRowForRowWhatTheRunDoes) {
    // A name the sequential texts or full width make too long for the file system.
    const std::vector<std::string> bases = {
        "a", "A", "b", "B", "a1", "a01", "A1", "img9", "img10", "x", ".a", "1", std::string(250, 'n')};
    const std::vector<std::string> extensions = {".txt", ".TXT", "", ".1"};
    std::map<std::string, int> seen;
    const FastFolder root;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        std::mt19937 random(seed);
        const TempDir dir(root.Path());
        std::vector<std::string> paths;
        for (const std::string folder : {"d1", "d2"}) {
            dir.MakeDir(folder);
            for (int n = 0; n < 7; ++n) {
                const std::string name = Pick(random, bases) + Pick(random, extensions);
                const std::string path = dir / (folder + "/" + name);
                if (TempDir::Exists(path)) continue;
                if (Chance(random, 12)) {
                    dir.MakeDir(folder + "/" + name);
                    continue;
                }
                dir.MakeFile(folder + "/" + name, name);
                if (!Chance(random, 15)) paths.push_back(path);
            }
        }
        // A third of the cases renumber or lengthen names the list's own files hold, in chains and
        // cycles (a file outside the list or a folder at a name blocks some of them).
        const bool renumber = seed % 3 == 1;
        if (renumber) {
            dir.MakeDir("d3");
            for (const std::string name : {"1", "2", "3", "4", "a", "aa", "aaaa", "a1"}) {
                const std::string path = dir / ("d3/" + name + ".txt");
                dir.MakeFile("d3/" + name + ".txt", name + ".txt");
                if (!Chance(random, 10)) paths.push_back(path);
            }
        }
        std::shuffle(paths.begin(), paths.end(), random);
        RenamePreview::Inputs inputs = RandomInputs(random);
        if (renumber && Chance(random, 60)) {
            SequentialNames::Options options;
            options.startValue = Pick<std::string>(random, {"1", "2", "0"});
            inputs = RenamePreview::Sequential{options};
        } else if (renumber) {
            inputs = RenamePreview::StringPage{.target = "a", .replacement = "aa", .caseSensitive = true};
        }

        const RenamePreview::Result preview = RenamePreview::Forecast(paths, inputs, nullptr);
        const bool yes = seed % 5 != 0;
        const Actual actual = RunPage(paths, inputs, yes);

        std::ostringstream context;
        context << "seed " << seed << ", page " << inputs.index() << ":";
        for (const std::string& path : paths)
            context << " " << path.substr(dir.Path().size() + 1);
        SCOPED_TRACE(context.str());
        ASSERT_FALSE(preview.stopped);
        const std::size_t reordered = preview.rows.Count(State::kReordered);
        // The question is asked exactly where the preview marks rows for it.
        EXPECT_EQ(reordered > 0, actual.asked);
        if (actual.asked && !yes) {
            ++seen["answered no"];
            // Nothing the preview marked for the order is renamed: the run refuses, or marks it.
            EXPECT_TRUE(std::holds_alternative<std::monostate>(preview.refusal));
            for (std::size_t row = 0; row < paths.size(); ++row) {
                if (preview.rows.StateOf(row) == State::kReordered && !actual.refused) {
                    EXPECT_EQ(Name(actual.states[row]), std::string("collision")) << "row " << row;
                }
            }
            continue;
        }
        EXPECT_EQ(!std::holds_alternative<std::monostate>(preview.refusal), actual.refused);
        if (actual.refused) {
            ++seen["refused"];
            continue;
        }
        ASSERT_EQ(preview.rows.Size(), paths.size());
        for (std::size_t row = 0; row < paths.size(); ++row) {
            const State predicted = preview.rows.StateOf(row);
            const State done = actual.states[row];
            ++seen[Name(predicted)];
            // On the yes, a row marked for the order is renamed like the others.
            const State expected = predicted == State::kReordered ? State::kRenamed : predicted;
            EXPECT_EQ(Name(expected), std::string(Name(done))) << "row " << row << " " << paths[row];
            if (predicted == State::kUnchanged) continue;
            const std::string shown =
                paths[row].substr(0, paths[row].rfind('/') + 1) + std::string(preview.rows.NameOf(row));
            EXPECT_EQ(shown, actual.to[row]);
            if (done == State::kRenamed) {
                // Paths are code page 932; the full-width names of the case run differ from their native
                // form.
                EXPECT_EQ(TempDir::ReadFile(Cp932::ToUtf8(shown).value_or("")),
                          paths[row].substr(paths[row].rfind('/') + 1));
            }
        }
    }
    // The cases generated reach every outcome often enough to mean something.
    for (const char* outcome :
         {"refused", "renamed", "collision", "failed", "unchanged", "reordered", "answered no"})
        EXPECT_GE(seen[outcome], 20) << outcome;
}

// One file on two rows, by the same path or through another text of its folder: each run renames
// it at the row it comes to first and fails the other, as the preview tells, though every step
// alone would go through on the disk as read.
TEST(RenamePreviewTest, TellsTheRunOfOneFileListedTwice) {
    SequentialNames::Options numbered;
    numbered.leadingText = "n";
    numbered.startValue = "1";
    const std::vector<RenamePreview::Inputs> pages = {
        RenamePreview::Sequential{numbered}, RenamePreview::StringPage{"a", "z", false, false, false},
        RenamePreview::CaseConversion{CaseConvert::kUpper}};
    for (const auto& inputs : pages) {
        for (const std::string other : {"d/a.txt", "d/./a.txt"}) {
            SCOPED_TRACE(other + ", page " + std::to_string(inputs.index()));
            const TempDir dir;
            dir.MakeDir("d");
            const std::vector<std::string> paths = {dir.MakeFile("d/a.txt"), dir.MakeFile("d/b.txt"),
                                                    dir / other};
            const RenamePreview::Result preview = RenamePreview::Forecast(paths, inputs, nullptr);
            const Actual actual = RunPage(paths, inputs, true);
            ASSERT_FALSE(actual.refused);
            ASSERT_EQ(preview.rows.Size(), paths.size());
            for (std::size_t row = 0; row < paths.size(); ++row)
                EXPECT_EQ(Name(preview.rows.StateOf(row)), std::string(Name(actual.states[row])))
                    << "row " << row;
            EXPECT_EQ(std::count(actual.states.begin(), actual.states.end(), State::kRefused), 1);
        }
    }
}

// The refusal of the whole run is the one 開始 gives, with what its message needs, and no row is
// named: the sequential inputs and texts, a missing file, a taken name met before a number out of
// range, the string and regex checks, the settings page.
TEST(RenamePreviewTest, RefusesAsTheRunRefuses) {
    TempDir dir;
    const std::string x = dir.MakeFile("x.txt");
    const std::string y = dir.MakeFile("y.txt");
    // The second number passes the largest integer.
    SequentialNames::Options last;
    last.leadingText = "p";
    last.startValue = "9223372036854775807";
    SequentialNames::Options lastFree = last;
    lastFree.leadingText = "q";
    // x.txt's coming name, taken by a file the list leaves out.
    const std::string taken = SequentialNames::BuildSequentialNames({x}, last).newPaths.at(0);
    TempDir::WriteFile(taken, "taken");

    SequentialNames::Options badStart;
    badStart.startValue = "x";
    SequentialNames::Options colon;
    colon.leadingText = "a:";
    colon.startValue = "1";
    SequentialNames::Options numbered;
    numbered.startValue = "1";

    using StringPage = RenamePreview::StringPage;
    using Outcome = SequentialNames::Outcome;
    struct Case {
        const char* what;
        std::vector<std::string> paths;
        RenamePreview::Inputs inputs;
        std::size_t refusal;  // the alternative of Refusal
        std::string detail;   // the run's message detail, where it has one
        std::optional<Outcome> stoppedAs;
    };
    const std::vector<Case> cases = {
        {"start value", {x}, RenamePreview::Sequential{badStart}, 2, "", {}},
        {"forbidden fixed text", {x}, RenamePreview::Sequential{colon}, 2, ":", {}},
        {"codec", {x}, RenamePreview::Sequential{std::nullopt}, 2, "", {}},
        {"missing file",
         {x, dir / "gone.txt"},
         RenamePreview::Sequential{numbered},
         3,
         dir / "gone.txt",
         Outcome::MissingFile},
        {"taken before an overflow", {x, y}, RenamePreview::Sequential{last}, 3, "", Outcome::Collision},
        {"overflow", {x, y}, RenamePreview::Sequential{lastFree}, 3, "", Outcome::NumberOutOfRange},
        {"star alone", {x}, StringPage{"*", "a", false, false, false}, 4, "", {}},
        {"forbidden replacement", {x}, StringPage{"x", "a|", false, false, false}, 4, "|", {}},
        {"empty target", {x}, StringPage{"", "a", true, false, false}, 5, "", {}},
        {"bad pattern", {x}, StringPage{"(", "a", true, false, false}, 5, "", {}},
        {"settings page", {x}, RenamePreview::SettingsPage{}, 1, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RenamePreview::Result result = RenamePreview::Forecast(c.paths, c.inputs, nullptr);
        ASSERT_EQ(result.refusal.index(), c.refusal);
        if (const auto* check = std::get_if<SequentialNames::RunCheck>(&result.refusal)) {
            EXPECT_EQ(check->forbidden, c.detail);
        } else if (const auto* stopped = std::get_if<RenamePreview::SequentialStopped>(&result.refusal)) {
            const auto run = SequentialNames::BuildSequentialNames(
                c.paths, *std::get<RenamePreview::Sequential>(c.inputs).options);
            EXPECT_EQ(stopped->outcome, run.outcome);
            EXPECT_EQ(stopped->outcome, *c.stoppedAs);
            EXPECT_EQ(stopped->detail,
                      run.detail.empty() || run.outcome == Outcome::Collision ? "" : run.detail);
        } else if (const auto* check = std::get_if<StringRename::Check>(&result.refusal)) {
            EXPECT_EQ(check->forbidden, c.detail);
        }
        // A taken name shows on its row; every other refusal names no row.
        if (c.stoppedAs == Outcome::Collision) {
            ASSERT_EQ(result.rows.Size(), c.paths.size());
            EXPECT_EQ(result.rows.StateOf(0), State::kCollision);
        } else {
            EXPECT_EQ(result.rows.Size(), 0u);
        }
    }
    EXPECT_TRUE(RenamePreview::Forecast({x}, RenamePreview::NoRun{}, nullptr).noRun);
    EXPECT_EQ(TempDir::ReadFile(taken), "taken");
}

// The preview reads the load's listing of a folder unchanged since and reads a changed one anew,
// as a preview without listings would; renames on paper (a chain of the list's own names) leave the
// listings as they were for the next preview and the run.
TEST(RenamePreviewTest, ReadsTheLoadsListingsOfFoldersUnchangedSince) {
    SequentialNames::Options renumber;  // 1 → 2, 2 → 3
    renumber.startValue = "2";
    const std::vector<RenamePreview::Inputs> pages = {
        RenamePreview::Sequential{renumber}, RenamePreview::StringPage{"1", "3", false, false, false},
        RenamePreview::CaseConversion{CaseConvert::kUpper}};
    const auto shown = [](const RenamePreview::Result& result) {
        std::string text = std::to_string(result.refusal.index());
        for (std::size_t row = 0; row < result.rows.Size(); ++row)
            text.append(" ").append(Name(result.rows.StateOf(row))).append(result.rows.NameOf(row));
        return text;
    };
    for (const bool changed : {false, true}) {
        for (const auto& inputs : pages) {
            SCOPED_TRACE("page " + std::to_string(inputs.index()) + (changed ? ", 3.txt added" : ""));
            const TempDir dir;
            const std::vector<std::string> paths = {dir.MakeFile("d/1.txt"), dir.MakeFile("d/2.txt")};
            // Past the clock's tick of the folder's last change, so that the load keeps its listing.
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const FileList::LoadPlan load = FileList::PlanLoad({dir / "d"}, {});
            ASSERT_FALSE(load.listings.Empty());
            if (changed) dir.MakeFile("d/3.txt");
            const std::string read = shown(RenamePreview::Forecast(paths, inputs, nullptr));
            for (int turn = 0; turn < 2; ++turn)
                EXPECT_EQ(shown(RenamePreview::Forecast(paths, inputs, nullptr, nullptr, &load.listings)),
                          read);
            // Kept whole for the run.
            EXPECT_EQ(load.listings.Find(dir / "d") != nullptr, !changed);
        }
    }
}

// A stop asked for between steps ends the preview with nothing of it to show, whatever step it
// came at, and the files stay as they were.
TEST(RenamePreviewTest, StopsBetweenSteps) {
    const FastFolder root;
    const TempDir dir(root.Path());
    std::vector<std::string> paths;
    for (int i = 0; i < 5000; ++i)
        paths.push_back(dir.MakeFile("f" + std::to_string(i) + ".txt"));
    SequentialNames::Options numbered;
    numbered.startValue = "1";
    const std::vector<RenamePreview::Inputs> pages = {
        RenamePreview::Sequential{numbered}, RenamePreview::StringPage{"f", "g", false, false, false},
        RenamePreview::StringPage{"f", "g", true, false, false}, RenamePreview::DigitAlignment{},
        RenamePreview::CaseConversion{CaseConvert::kUpper}};
    for (const auto& inputs : pages) {
        for (const std::size_t step : {0u, 1u, 2u, 5u}) {
            testsupport::StopBefore stop(step);
            const RenamePreview::Result result = RenamePreview::Forecast(paths, inputs, nullptr, &stop);
            EXPECT_TRUE(result.stopped) << inputs.index() << " " << step;
            EXPECT_EQ(result.rows.Size(), 0u);
        }
        const RenamePreview::Result whole = RenamePreview::Forecast(paths, inputs, nullptr);
        EXPECT_FALSE(whole.stopped);
        EXPECT_EQ(whole.rows.Size(), paths.size());
        EXPECT_GT(whole.rows.Count(State::kRenamed), 0u) << inputs.index();
    }
    EXPECT_TRUE(TempDir::Exists(paths.back()));
}

}  // namespace

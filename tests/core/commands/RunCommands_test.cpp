#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/commands/Common.h"
#include "core/commands/RunTexts.h"
#include "core/commands/SequentialRun.h"
#include "core/commands/StringRun.h"
#include "core/list/PairList.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace {

using Command::Answer;
using testsupport::RecordingHost;
using testsupport::TempDir;

// The calls of a host in order, one letter each: Busy, Ask, Tell, Missing, List changed, Marks.
std::string Trace(const RecordingHost& host) {
    std::string trace;
    for (const RecordingHost::Call& call : host.calls)
        trace += "BATXLM"[static_cast<int>(call.kind)];
    return trace;
}

struct Case {
    const char* name;
    std::vector<std::string> files;  // in the folder, all listed
    std::function<void(const Command::RunContext&, RecordingHost&)> run;
    std::vector<Answer> answers;
    std::size_t stopAt = static_cast<std::size_t>(-1);
    std::string trace;
    std::vector<std::string> told;    // the messages, in order
    std::vector<std::string> onDisk;  // sorted, each "name=the name it had"
    std::vector<std::size_t> marked;  // the entries marked "*"
};

void Sequential(const Command::RunContext& context, RecordingHost& host, const char* start) {
    Command::SequentialRun run;
    run.names.startValue = start;
    Command::RunSequential(context, run, host);
}

void String(const Command::RunContext& context, RecordingHost& host) {
    Command::RunString(context, {.target = "a", .replacement = "aa", .caseSensitive = true}, host);
}

// Each command from its options to its report, through a host that records what the user would
// have seen and answers the questions; every call comes from the thread that ran the command.
TEST(RunCommandsTest, RunAskAndReportThroughTheHost) {
    const std::string done = "名前の変更が終了しました";
    const std::string refused = "同名ファイルができるので、リネームは実施できません。";
    const std::string lead = "処理により同名ファイルができたため、 ";
    const Case cases[] = {
        {"sequential",
         {"x.txt", "y.txt"},
         [](auto& c, auto& h) { Sequential(c, h, "1"); },
         {},
         SIZE_MAX,
         "BLT",
         {done},
         {"1.txt=x.txt", "2.txt=y.txt"},
         {}},
        {"sequential, names held by the list, yes",
         {"1.txt", "2.txt"},
         [](auto& c, auto& h) { Sequential(c, h, "2"); },
         {Answer::kYes},
         SIZE_MAX,
         "BABLT",
         {RunTexts::SequentialReorder(), done},
         {"2.txt=1.txt", "3.txt=2.txt"},
         {}},
        {"sequential, names held by the list, no",
         {"1.txt", "2.txt"},
         [](auto& c, auto& h) { Sequential(c, h, "2"); },
         {Answer::kNo},
         SIZE_MAX,
         "BAT",
         {RunTexts::SequentialReorder(), refused},
         {"1.txt=1.txt", "2.txt=2.txt"},
         {}},
        {"sequential, cancelled after one",
         {"x.txt", "y.txt", "z.txt"},
         [](auto& c, auto& h) { Sequential(c, h, "1"); },
         {},
         1,
         "BLT",
         {Command::Text::Cancelled(1)},
         {"1.txt=x.txt", "y.txt=y.txt", "z.txt=z.txt"},
         {}},
        {"string, yes",
         {"a.txt", "aa.txt", "b.txt"},
         String,
         {Answer::kYes},
         SIZE_MAX,
         "BABLT",
         {RunTexts::BatchReorder(1), Command::Text::Done()},
         {"aa.txt=a.txt", "aaaa.txt=aa.txt", "b.txt=b.txt"},
         {}},
        {"string, no",
         {"a.txt", "aa.txt", "b.txt"},
         String,
         {Answer::kNo},
         SIZE_MAX,
         "BABLMT",
         {RunTexts::BatchReorder(1),
          lead + "1個のファイルが未処理になりました\r\n未処理のものは\"*\"マークが付けられています。"},
         {"a.txt=a.txt", "aaaa.txt=aa.txt", "b.txt=b.txt"},
         {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir dir;
        const TempDir journal;
        std::vector<std::string> listed;
        for (const std::string& name : c.files)
            listed.push_back(dir.MakeFile("f/" + name, name));
        PairList pairs;
        pairs.Load(listed);
        RecordingHost host;
        host.answers.assign(c.answers.begin(), c.answers.end());
        host.stopAt = c.stopAt;
        c.run({.pairs = pairs, .journalFolder = journal.Path()}, host);

        EXPECT_EQ(Trace(host), c.trace);
        EXPECT_TRUE(host.AllFromCaller());
        std::vector<std::string> told = host.Texts(RecordingHost::Call::Kind::kAsk);
        for (const std::string& text : host.Texts(RecordingHost::Call::Kind::kTell))
            told.push_back(text);
        EXPECT_EQ(told, c.told);
        std::vector<std::string> onDisk;  // each name with the name the file had
        for (const std::string& name : TempDir::Names(dir / "f"))
            onDisk.push_back(name + "=" + TempDir::ReadFile(dir / ("f/" + name)));
        EXPECT_EQ(onDisk, c.onDisk);
        for (const RecordingHost::Call& call : host.calls) {
            if (call.kind != RecordingHost::Call::Kind::kMark) continue;
            EXPECT_EQ(call.entries, c.marked);
        }
    }
}

}  // namespace

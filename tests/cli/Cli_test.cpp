// quorbel-cli driven as a shell drives it: real files in temporary folders, its journal in a
// folder of the test's own, stdin never a terminal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "core/journal/RunJournalStore.h"
#include "support/FileIds.h"
#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using testsupport::TempDir;

struct Ran {
    int code = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    // A copy of the program in a folder of the test's own, with the build's catalogues: the window's
    // settings file it reads stands beside it, never the build folder's.
    CliTest() {
        const std::filesystem::path built(QUORBEL_CLI);
        std::filesystem::create_directory(bin_);
        std::filesystem::copy_file(built, program_);
        std::filesystem::create_directory_symlink(built.parent_path() / "locale", bin_ / "locale");
    }

    // args after the program's name; input on stdin; wrapper: a program that runs it, with its
    // arguments before the program's path.
    Ran Cli(const std::vector<std::string>& args, const std::string& input = {},
            const std::vector<std::string>& wrapper = {}) const {
        const std::string in = scratch_ / "stdin";
        const std::string out = scratch_ / "stdout";
        const std::string err = scratch_ / "stderr";
        TempDir::WriteFile(in, input);
        const pid_t child = fork();
        if (child == 0) {
            const auto redirect = [](const std::string& path, int flags, int fd) {
                const int opened = open(path.c_str(), flags, 0600);
                if (opened < 0 || dup2(opened, fd) < 0) _exit(126);
                close(opened);
            };
            redirect(in, O_RDONLY, 0);
            redirect(out, O_WRONLY | O_CREAT | O_TRUNC, 1);
            redirect(err, O_WRONLY | O_CREAT | O_TRUNC, 2);
            setenv("XDG_STATE_HOME", state_.c_str(), 1);
            setenv("HOME", scratch_.Path().c_str(), 1);
            unsetenv("LC_ALL");
            unsetenv("LANGUAGE");
            setenv("LANG", lang_.c_str(), 1);
            std::vector<char*> argv;
            for (const std::string& arg : wrapper)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(const_cast<char*>(program_.c_str()));
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(argv.front(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), TempDir::ReadFile(out),
                TempDir::ReadFile(err)};
    }

    TempDir files_;
    TempDir scratch_;
    const std::string state_ = scratch_ / "state";
    const std::filesystem::path bin_ = scratch_ / "bin";
    const std::string program_ = bin_ / "quorbel-cli";
    std::string lang_ = "C.UTF-8";
};

TEST_F(CliTest, DryRunShowsWhatThePreviewShowsAndApplyDoesIt) {
    struct Case {
        std::vector<std::string> args;
        std::string out;  // "@" for the folder
        int code;
        std::vector<std::string> after;  // the names once applied
    };
    const std::vector<Case> cases{
        {{"seq", "--lead", "P", "--start", "1"},
         "@b.JPG → P1.JPG\n@c.jpg → P2.jpg\n@x 10.txt → P3.txt\n@x 5.txt → P4.txt\n変更 4件 ／ 重複 0件\n",
         0,
         {"P1.JPG", "P2.jpg", "P3.txt", "P4.txt"}},
        {{"replace", "--find", "X", "--replace", "y"},
         "@b.JPG  [変更なし]\n@c.jpg  [変更なし]\n@x 10.txt → y 10.txt\n@x 5.txt → y 5.txt\n変更 2件 ／ 重複 "
         "0件\n",
         0,
         {"b.JPG", "c.jpg", "y 10.txt", "y 5.txt"}},
        {{"replace", "--find", "10", "--replace", "5"},
         "@b.JPG  [変更なし]\n@c.jpg  [変更なし]\n"
         "@x 10.txt → x 5.txt  [重複] 同じ名前のファイルがあるため、変更されません\n"
         "@x 5.txt  [変更なし]\n変更 0件 ／ 重複 1件\n",
         2,
         {"b.JPG", "c.jpg", "x 10.txt", "x 5.txt"}},
        {{"case", "--to", "upper", "--name-only"},
         "@b.JPG → B.JPG\n@c.jpg → C.jpg\n@x 10.txt → X 10.txt\n@x 5.txt → X 5.txt\n変更 4件 ／ 重複 0件\n",
         0,
         {"B.JPG", "C.jpg", "X 10.txt", "X 5.txt"}},
        {{"digits", "--not-ext", "jpg"},
         "@x 10.txt  [変更なし]\n@x 5.txt → x 05.txt\n変更 1件 ／ 重複 0件\n",
         0,
         {"b.JPG", "c.jpg", "x 05.txt", "x 10.txt"}},
    };
    for (const Case& c : cases) {
        const TempDir folder;
        for (const char* name : {"b.JPG", "c.jpg", "x 5.txt", "x 10.txt"})
            folder.MakeFile(name);
        const std::vector<std::string> before = TempDir::Names(folder.Path());
        std::string out;
        for (const char ch : c.out)
            ch == '@' ? out += folder.Path() + "/" : out += ch;
        std::vector<std::string> args = c.args;
        args.push_back(folder.Path());
        const Ran shown = Cli(args);
        EXPECT_EQ(shown.out, out) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(shown.code, c.code) << c.args[0] << " " << c.args[1] << ": " << shown.err;
        EXPECT_EQ(TempDir::Names(folder.Path()), before);

        // Applied: the same lines but those of the files that keep their names.
        args.push_back("--apply");
        const Ran applied = Cli(args);
        EXPECT_EQ(applied.out, std::regex_replace(out, std::regex(".*  \\[変更なし\\]\n"), ""))
            << c.args[0] << " " << c.args[1];
        EXPECT_EQ(applied.code, c.code) << c.args[0] << " " << c.args[1] << ": " << applied.err;
        EXPECT_EQ(TempDir::Names(folder.Path()), c.after);
    }
}

// A report too long to be read ahead whole while the files are renamed tells every file as the
// dry run does: the lines read ahead, then the rest read at the end.
TEST_F(CliTest, AReportTooLongToReadAheadTellsEveryFile) {
    // Paths of some 3,800 bytes make JSON lines of 7.6 kB: 2,400 files pass what is read ahead.
    // They are made in memory where there is room for them.
    const TempDir root(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "");
    std::string deep = root.Path();
    for (int level = 0; level < 15; ++level) {
        deep += "/" + std::string(250, 'd');
        std::filesystem::create_directory(deep);
    }
    constexpr int kFiles = 2400;
    for (int i = 0; i < kFiles; ++i)
        close(creat((deep + "/f" + std::to_string(i)).c_str(), 0600));
    const std::vector<std::string> args = {"seq", "--lead", "P", "--start", "1", "--json", deep};
    const Ran shown = Cli(args);
    std::vector<std::string> applying = args;
    applying.emplace_back("--apply");
    const Ran applied = Cli(applying);
    EXPECT_EQ(applied.code, 0) << applied.err;
    // The same file objects; the summaries differ in "applied".
    const auto files = [](const std::string& out) {
        return out.substr(0, out.rfind(R"({"type":"summary")"));
    };
    EXPECT_EQ(files(applied.out), files(shown.out));
    EXPECT_EQ(std::count(applied.out.begin(), applied.out.end(), '\n'), kFiles + 1);
    EXPECT_EQ(TempDir::Names(deep).front(), "P1");
}

TEST_F(CliTest, NamesNotValidUtf8OrWithNewlinesKeepEveryByte) {
    const std::string odd = files_.MakeFile("bad\xff.jpg");
    const std::string broken = files_.MakeFile("new\nline.jpg");
    const std::string d = files_.Path() + "/";
    const Ran json =
        Cli({"case", "--to", "upper", "--json", "--from", "-", "-0"}, odd + '\0' + broken + '\0');
    EXPECT_EQ(json.out, "{\"type\":\"file\",\"old\":\"" + d + "bad\\udcff.jpg\",\"new\":\"" + d +
                            "BAD\\udcff.JPG\",\"status\":\"renamed\",\"reason\":null}\n"
                            "{\"type\":\"file\",\"old\":\"" +
                            d + "new\\nline.jpg\",\"new\":\"" + d +
                            "NEW\\nLINE.JPG\",\"status\":\"renamed\",\"reason\":null}\n"
                            "{\"type\":\"summary\",\"applied\":false,\"renamed\":2,\"unchanged\":0,"
                            "\"collision\":0,\"failed\":0,\"untried\":0,\"refusal\":null,\"exit\":0}\n");
    const Ran text = Cli({"case", "--to", "upper", "--from", "-"}, odd + '\n');
    EXPECT_EQ(text.out, d + "bad\\xff.jpg → BAD\\xff.JPG\n変更 1件 ／ 重複 0件\n");

    // Applied from find -print0's output: renamed byte for byte, in the history, and undone.
    const Ran applied =
        Cli({"case", "--to", "upper", "--apply", "--json", "--from", "-", "-0"}, odd + '\0' + broken + '\0');
    EXPECT_EQ(applied.code, 0) << applied.err;
    EXPECT_NE(applied.out.find(R"("applied":true,"renamed":2,)"), std::string::npos) << applied.out;
    EXPECT_EQ(TempDir::Names(files_.Path()), (std::vector<std::string>{"BAD\xff.JPG", "NEW\nLINE.JPG"}));
    EXPECT_NE(Cli({"history"}).out.find("\t大文字小文字・幅\t" + files_.Path() + "\t2\t完了\n"),
              std::string::npos);
    EXPECT_EQ(Cli({"undo", "--apply"}).code, 0);
    EXPECT_EQ(TempDir::Names(files_.Path()), (std::vector<std::string>{"bad\xff.jpg", "new\nline.jpg"}));
}

TEST_F(CliTest, CtrlCBetweenTwoRenamesCountsTheFilesNotReachedAsUntried) {
    const std::string strace = "/usr/bin/strace";
    if (access(strace.c_str(), X_OK) != 0) GTEST_SKIP() << "strace is missing (scripts/install-deps.sh)";
    for (const bool json : {false, true}) {
        const TempDir folder;
        for (const char* name : {"a", "b", "c", "d", "e"})
            folder.MakeFile(name);
        std::vector<std::string> args{"seq", "--lead", "P", "--start", "1", "--apply", folder.Path()};
        if (json) args.emplace_back("--json");
        // SIGINT as the third rename in the folder returns: three files renamed, two not reached.
        const Ran ran = Cli(args, {},
                            {strace, "-o", "/dev/null", "-P", folder.Path(), "-e", "trace=renameat2", "-e",
                             "inject=renameat2:signal=SIGINT:when=3"});
        if (ran.code != 130 && ran.err.find("strace: ") != std::string::npos)
            GTEST_SKIP() << "strace cannot trace here: " << ran.err;
        EXPECT_EQ(ran.code, 130) << ran.err;
        EXPECT_EQ(TempDir::Names(folder.Path()), (std::vector<std::string>{"P1", "P2", "P3", "d", "e"}));
        const std::string counts = json ? R"("failed":0,"untried":2,"refusal":null,"exit":130})"
                                        : "変更 3件 ／ 重複 0件 ／ 未処理 2件\n";
        EXPECT_NE(ran.out.find(counts), std::string::npos) << ran.out;
    }
}

TEST_F(CliTest, BadInputIsToldAndChangesNothing) {
    files_.MakeFile("a.txt");
    const std::vector<std::string> before = TempDir::Names(files_.Path());
    const std::string& d = files_.Path();
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string said;
    };
    const std::vector<Case> cases{
        {{"frob", d}, 64, "不明なコマンド frob"},
        {{"seq", "--frob", d}, 64, "不明なオプション --frob"},
        {{"seq", "-rq", d}, 64, "不明なオプション -q"},
        {{"replace", d, "--find"}, 64, "--find には値が必要です"},
        {{"seq", "--start", "1", "--sort", "size", d}, 64, "--sort の値 size"},
        {{"seq", "--start", "1"}, 64, "ファイルかフォルダを指定"},
        {{"undo", "7x"}, 64, "ID 7x"},
        {{"replace", "--find", "(a", "--regex", "--replace", "b", d}, 1, "正規表現が正しくありません"},
        {{"seq", "--lead", "a/", "--start", "1", d}, 1, "使用できない文字 / "},
        {{"seq", "--start", "1", d + "/gone"}, 1, "フォルダ " + d + "/gone を開けません。"},
        {{"seq", "--start", "1", "--from", d + "/gone.list"}, 1, "/gone.list を読み込めません"},
    };
    for (const Case& c : cases) {
        const Ran ran = Cli(c.args);
        EXPECT_EQ(ran.code, c.code) << c.args[0] << " " << c.args[1];
        EXPECT_NE(ran.err.find(c.said), std::string::npos) << ran.err;
        EXPECT_EQ(TempDir::Names(files_.Path()), before);
    }
}

TEST_F(CliTest, UndoTakesBackAJournaledCommandAndHistoryShowsIt) {
    const std::string renamed = files_.MakeFile("b.txt");
    RunJournal::Writer writer(state_ + "/quorbel/journal");
    ASSERT_FALSE(writer.Begin(RunJournal::Kind::kString, files_.Path(),
                              {{files_ / "a.txt", renamed, testsupport::IdOf(renamed)}}));
    ASSERT_FALSE(writer.Close({RunJournal::Outcome::kDone}));
    const std::string id = std::to_string(writer.Id());
    const std::string when = "\t\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\t";
    const std::string line = id + when + "文字列\t" + files_.Path() + "\t1\t";
    EXPECT_TRUE(std::regex_match(Cli({"history"}).out, std::regex(line + "完了\n")));

    const std::string told = renamed + " → a.txt\n変更 1件 ／ 重複 0件\n";
    EXPECT_EQ(Cli({"undo"}).out, told);
    EXPECT_TRUE(TempDir::Exists(renamed));
    const Ran undone = Cli({"undo", id, "--apply"});
    EXPECT_EQ(undone.code, 0) << undone.err;
    EXPECT_EQ(undone.out, told);
    EXPECT_EQ(TempDir::Names(files_.Path()), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(std::regex_match(
        Cli({"history"}).out,
        std::regex("\\d+" + when + "元に戻す\t" + files_.Path() + "\t1\t完了\n" + line + "元に戻し済み\n")));

    const Ran again = Cli({"undo", id, "--apply"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("この処理は既に元に戻されています。"), std::string::npos) << again.err;
    EXPECT_EQ(Cli({"undo", "999"}).code, 1);
    EXPECT_EQ(TempDir::Names(files_.Path()), std::vector<std::string>{"a.txt"});

    // A journal that cannot be written refuses the undo (of the undo) before it renames anything.
    const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, state_);
    if (!mount) GTEST_SKIP() << testsupport::Mount::Why();
    ASSERT_TRUE(mount->SetReadOnly(true));
    const Ran refused = Cli({"undo", "--apply"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(
        refused.err.find("変更履歴を書き込めないため、処理を中止しました。（書き込み禁止のドライブです）"),
        std::string::npos)
        << refused.err;
    EXPECT_EQ(TempDir::Names(files_.Path()), std::vector<std::string>{"a.txt"});
}

TEST_F(CliTest, RecoverTakesBackOrLeavesWhatAKilledCommandRenamed) {
    for (const auto& [answer, left] : {std::pair{"--yes", "a.txt"}, {"--no", "b.txt"}}) {
        const TempDir folder;
        const std::string renamed = folder.MakeFile("b.txt");
        {
            // Dropped unclosed, as a killed program leaves it.
            RunJournal::Writer writer(state_ + "/quorbel/journal");
            ASSERT_FALSE(writer.Begin(RunJournal::Kind::kSequential, folder.Path(),
                                      {{folder / "a.txt", renamed, testsupport::IdOf(renamed)}}));
        }
        const Ran shown = Cli({"recover"});
        EXPECT_NE(shown.out.find("\t連番\t" + folder.Path() + "\t1\t中断\t1個を変更済み\n"),
                  std::string::npos)
            << shown.out;
        EXPECT_EQ(Cli({"recover", "--apply"}).code, 1);  // nobody to ask
        EXPECT_TRUE(TempDir::Exists(renamed));
        const Ran recovered = Cli({"recover", "--apply", answer});
        EXPECT_EQ(recovered.code, 0) << recovered.err;
        EXPECT_EQ(TempDir::Names(folder.Path()), std::vector<std::string>{left}) << answer;
        EXPECT_EQ(Cli({"recover"}).out, "");
    }
}

// English where the locale or the window's setting asks for it, Japanese otherwise; the settings
// file is only read, and the words scripts read stay as they are.
TEST_F(CliTest, SpeaksTheLanguageOfTheLocaleOrTheWindowsSetting) {
    files_.MakeFile("x 5.txt");
    files_.MakeFile("x 10.txt");
    const std::string& d = files_.Path();
    struct Case {
        const char* lang;
        const char* choice;  // [Language] Choice in the window's settings file; null for none
        bool english;
    };
    const Case cases[] = {
        {"en_US.UTF-8", nullptr, true},
        {"C.UTF-8", nullptr, false},
        {"C.UTF-8", "2", true},
        {"en_US.UTF-8", "1", false},
    };
    const std::string ini = bin_ / "quorbel.ini";
    for (const Case& c : cases) {
        lang_ = c.lang;
        std::filesystem::remove(ini);
        if (c.choice != nullptr)
            TempDir::WriteFile(ini, std::string("[Language]\nChoice=") + c.choice + "\n");
        const std::string context = lang_ + " " + (c.choice != nullptr ? c.choice : "-");

        const Ran dry = Cli({"replace", "--find", "10", "--replace", "5", d});
        const std::string lines =
            c.english ? "x 10.txt → x 5.txt  [clashing] Not renamed: another file has this name\n"
                        "@x 5.txt  [unchanged]\n0 renamed / 1 clashing\n"
                      : "x 10.txt → x 5.txt  [重複] 同じ名前のファイルがあるため、変更されません\n"
                        "@x 5.txt  [変更なし]\n変更 0件 ／ 重複 1件\n";
        EXPECT_EQ(dry.out, d + "/" + std::regex_replace(lines, std::regex("@"), d + "/")) << context;
        const Ran json = Cli({"replace", "--find", "10", "--replace", "5", "--json", d});
        EXPECT_NE(json.out.find(R"("status":"collision")"), std::string::npos) << context << json.out;

        const Ran refused = Cli({"replace", "--find", "*", "--replace", "y", "--apply", d});
        EXPECT_EQ(refused.code, 1) << context;
        EXPECT_EQ(refused.err, c.english ? "quorbel-cli: An asterisk \"*\" cannot be used alone.\n"
                                         : "quorbel-cli: アスタリスク \"*\" の単独使用はできません。\n")
            << context;
        const Ran help = Cli({"--help"});
        const std::string second = help.out.substr(help.out.find('\n') + 1);
        EXPECT_TRUE(
            second.starts_with(c.english ? "Renames many files at once" : "ファイル名を一括で変更します"))
            << context << "\n"
            << help.out;
        EXPECT_EQ(TempDir::Names(d), (std::vector<std::string>{"x 10.txt", "x 5.txt"}));
        if (c.choice != nullptr) {
            EXPECT_EQ(TempDir::ReadFile(ini), std::string("[Language]\nChoice=") + c.choice + "\n");
        }
    }
}

}  // namespace

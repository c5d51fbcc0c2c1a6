#include "core/settings/IniFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <filesystem>
#include <string>

#include "core/text/Cp932.h"
#include "support/Mounts.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using testsupport::TempDir;

using testsupport::Cp;

std::string Utf8(const std::string& cp) {
    return Cp932::ToUtf8(cp).value();
}

int CountEntries(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(IniFileRead, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir dir;
    const TIniFile none(dir / "none.ini");
    EXPECT_EQ(none.ReadString("History", "1", "dflt"), "dflt");
    EXPECT_EQ(none.ReadInteger("MeinForm", "Top", 89), 89);
    EXPECT_TRUE(none.ReadBool("Dialog", "On", true));
    EXPECT_FALSE(none.ReadBool("FormStyle", "On", false));

    const TIniFile ini(dir.MakeFile("a.ini", "[History]\n1=/home/a\n2=\n"));
    EXPECT_EQ(ini.ReadString("Move", "1", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("History", "3", "dflt"), "dflt");
    // A key that is there with an empty value is empty, not missing.
    EXPECT_EQ(ini.ReadString("History", "2", "dflt"), "");
    EXPECT_EQ(ini.ReadInteger("History", "2", 7), 7);

    // A folder where the file should be reads as no file.
    const TIniFile folder(dir.MakeDir("folder.ini"));
    EXPECT_EQ(folder.ReadString("History", "1", "dflt"), "dflt");
}

TEST(IniFileRead, NamesMatchWithoutRegardToCase) {
    TempDir dir;
    const TIniFile ini(dir.MakeFile("a.ini", Utf8(Cp("[MeinForm]\nTop=12\n[ＡｂＣ]\nｘ=full\n"))));
    EXPECT_EQ(ini.ReadInteger("meinform", "TOP", 0), 12);
    EXPECT_EQ(ini.ReadInteger("MEINFORM", "top", 0), 12);
    EXPECT_EQ(ini.ReadString(Cp("ａｂｃ"), Cp("Ｘ"), ""), "full");
}

TEST(IniFileRead, BlanksQuotesAndComments) {
    TempDir dir;
    const TIniFile ini(dir.MakeFile("a.ini",
                                    "  ; a comment line\n"
                                    "  [ Sec ]  \n"
                                    "\tKey \t=  some value \t\n"
                                    ";Hidden=1\n"
                                    "  ;Indented=1\n"
                                    "Quoted=\"  padded  \"\n"
                                    "Half=\"open\n"
                                    "Inner=a \"b\" c\n"
                                    "Empty=\"\"\n"
                                    "NoEquals\n"
                                    "Twice=a=b\n"
                                    "Dup=first\n"
                                    "Dup=second\n"
                                    "[Other]\n"
                                    "Dup=other\n"
                                    "[sec]\n"
                                    "Dup=third\n"
                                    "Late=late\n"));
    EXPECT_EQ(ini.ReadString("Sec", "Key", ""), "some value");
    EXPECT_EQ(ini.ReadString("Sec", "Hidden", "none"), "none");
    EXPECT_EQ(ini.ReadString("Sec", ";Hidden", "none"), "none");
    EXPECT_EQ(ini.ReadString("Sec", "Indented", "none"), "none");
    EXPECT_EQ(ini.ReadString("Sec", "Quoted", ""), "  padded  ");
    EXPECT_EQ(ini.ReadString("Sec", "Half", ""), "\"open");
    EXPECT_EQ(ini.ReadString("Sec", "Inner", ""), "a \"b\" c");
    EXPECT_EQ(ini.ReadString("Sec", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("Sec", "NoEquals", "none"), "none");
    EXPECT_EQ(ini.ReadString("Sec", "Twice", ""), "a=b");
    // The first of repeated keys and sections counts; a repeated section still adds its keys.
    EXPECT_EQ(ini.ReadString("Sec", "Dup", ""), "first");
    EXPECT_EQ(ini.ReadString("Sec", "Late", ""), "late");
    EXPECT_EQ(ini.ReadString("Other", "Dup", ""), "other");
}

TEST(IniFileRead, IntegersAndBooleans) {
    TempDir dir;
    const TIniFile ini(
        dir.MakeFile("a.ini",
                     "[N]\n"
                     "dec=42\nneg=-17\nplus=+5\nzeros=007\nhex=0x1F\nupper=0XfF\nfull=0xFFFFFFFF\n"
                     "max=2147483647\nmin=-2147483648\n"
                     "over=2147483648\nhexover=0x100000000\nbare=0x\nword=abc\ntail=12abc\n"
                     "space=1 2\nsigns=+-3\nneghex=-0x10\nfrac=1.5\nquoted=\"8\"\n"
                     "[B]\nzero=0\none=1\ntwo=2\nminus=-1\nyes=yes\nempty=\n"));
    EXPECT_EQ(ini.ReadInteger("N", "dec", 0), 42);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -17);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 5);
    EXPECT_EQ(ini.ReadInteger("N", "zeros", 0), 7);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "upper", 0), 255);
    EXPECT_EQ(ini.ReadInteger("N", "full", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "max", 0), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "quoted", 0), 8);
    for (const char* bad : {"over", "hexover", "bare", "word", "tail", "space", "signs", "neghex", "frac"}) {
        EXPECT_EQ(ini.ReadInteger("N", bad, -99), -99) << bad;
    }
    EXPECT_FALSE(ini.ReadBool("B", "zero", true));
    EXPECT_TRUE(ini.ReadBool("B", "one", false));
    EXPECT_TRUE(ini.ReadBool("B", "two", false));
    EXPECT_TRUE(ini.ReadBool("B", "minus", false));
    EXPECT_TRUE(ini.ReadBool("B", "yes", true));
    EXPECT_FALSE(ini.ReadBool("B", "yes", false));
    EXPECT_TRUE(ini.ReadBool("B", "empty", true));
}

TEST(IniFileRead, ValuesAreCutAt1023BytesWithoutSplittingACharacter) {
    TempDir dir;
    const std::string exact(1023, 'a');
    const std::string longer(1500, 'b');
    // "あ" (2 bytes) at bytes 1022-1023 would be split by the cut: it goes whole.
    const std::string straddling = std::string(1022, 'c') + Cp("あいう");
    // "あ" at bytes 1021-1022 ends exactly at the limit and stays.
    const std::string fitting = std::string(1021, 'd') + Cp("あいう");
    TIniFile writer(dir / "a.ini");
    writer.WriteString("S", "exact", exact);
    writer.WriteString("S", "longer", longer);
    writer.WriteString("S", "straddling", straddling);
    writer.WriteString("S", "fitting", fitting);
    ASSERT_TRUE(writer.UpdateFile()) << writer.ErrorMessage();

    const TIniFile ini(dir / "a.ini");
    EXPECT_EQ(ini.ReadString("S", "exact", ""), exact);
    EXPECT_EQ(ini.ReadString("S", "longer", ""), std::string(1023, 'b'));
    EXPECT_EQ(ini.ReadString("S", "straddling", ""), std::string(1022, 'c'));
    EXPECT_EQ(ini.ReadString("S", "fitting", ""), std::string(1021, 'd') + Cp("あ"));
    // The file keeps the whole value.
    EXPECT_NE(TempDir::ReadFile(dir / "a.ini").find(longer), std::string::npos);
}

TEST(IniFileEncoding, LegacyCodePage932FileIsReadAndRewrittenAsUtf8) {
    TempDir dir;
    // "[履歴]\r\n1=C:\表示\r\n; 説明\r\n" in code page 932, CRLF line ends; 表 ends in 0x5C.
    const std::string legacy =
        "[\x97\x9A\x97\xF0]\r\n1=C:\\\x95\x5C\x8E\xA6\r\n; \x90\xE0\x96\xBE\r\n"
        "Kana=\xB6\xC0\xB6\xC5\r\n";
    const std::string path = dir.MakeFile("legacy.ini", legacy);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(Cp("履歴"), "1", ""), Cp("C:\\表示"));
    EXPECT_EQ(ini.ReadString(Cp("履歴"), "kana", ""), Cp("ｶﾀｶﾅ"));

    ini.WriteString(Cp("履歴"), "2", Cp("二"));
    ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    EXPECT_EQ(TempDir::ReadFile(path), "[履歴]\n1=C:\\表示\n; 説明\nKana=ｶﾀｶﾅ\n2=二\n");
}

// Each line is read as UTF-8 when it is valid UTF-8, else as code page 932: a stray byte, or one
// line typed in the legacy encoding, leaves every other value as it was.
TEST(IniFileEncoding, AStrayByteOrALegacyLineKeepsTheOtherLines) {
    TempDir dir;
    const std::string path = dir.MakeFile("mixed.ini",
                                          "; caf\xE9\n"
                                          "[History]\n"
                                          "1=/home/太郎/写真\n"
                                          "2=C:\\\x95\x5C\x8E\xA6\n"  // "C:\表示" in code page 932
                                          "3=/tmp/x\xFF\n"
                                          "[Move]\n"
                                          "1=/mnt/カード/\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("History", "1", ""), Cp("/home/太郎/写真"));
    EXPECT_EQ(ini.ReadString("History", "2", ""), Cp("C:\\表示"));
    EXPECT_EQ(ini.ReadString("Move", "1", ""), Cp("/mnt/カード/"));

    ini.WriteString("History", "4", Cp("/home/花子"));
    ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    // The bytes that no encoding reads stay as they were, which takes the byte order mark.
    const std::string written =
        "\xEF\xBB\xBF; caf\xE9\n[History]\n1=/home/太郎/写真\n2=C:\\表示\n3=/tmp/x\xFF\n4=/home/花子\n"
        "[Move]\n1=/mnt/カード/\n";
    EXPECT_EQ(TempDir::ReadFile(path), written);
    // And so it reads and saves again, unchanged.
    TIniFile again(path);
    EXPECT_EQ(again.ReadString("History", "1", ""), Cp("/home/太郎/写真"));
    EXPECT_EQ(again.ReadString("History", "2", ""), Cp("C:\\表示"));
    EXPECT_EQ(again.ReadString("History", "3", ""), ini.ReadString("History", "3", ""));
    ASSERT_TRUE(again.UpdateFile()) << again.ErrorMessage();
    EXPECT_EQ(TempDir::ReadFile(path), written);
}

TEST(IniFileEncoding, Utf8FileWithByteOrderMarkAndCrlf) {
    TempDir dir;
    const TIniFile ini(dir.MakeFile("bom.ini", "\xEF\xBB\xBF[History]\r\n1=/home/太郎/写真\r\nOn=0\r\n"));
    EXPECT_EQ(ini.ReadString("History", "1", ""), Cp("/home/太郎/写真"));
    EXPECT_FALSE(ini.ReadBool("History", "On", true));
}

TEST(IniFileWrite, NewFileListsSectionsAndKeysInOrderOfFirstWrite) {
    TempDir dir;
    const std::string path = dir / "new.ini";
    TIniFile ini(path);
    ini.WriteInteger("MeinForm", "Top", 89);
    ini.WriteInteger("MeinForm", "Left", 144);
    ini.WriteString("History", "1", Cp("/home/太郎"));
    ini.WriteString("History", "2", "");
    ini.WriteBool("History", "On", true);
    ini.WriteInteger("meinform", "TOP", -5);  // rewrites the first key in place
    ini.WriteBool("Dialog", "On", false);
    ini.WriteString("History", "3", "late");  // joins its section, not the end of the file
    ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    EXPECT_EQ(TempDir::ReadFile(path),
              "[MeinForm]\nTop=-5\nLeft=144\n\n"
              "[History]\n1=/home/太郎\n2=\nOn=1\n3=late\n\n"
              "[Dialog]\nOn=0\n");
    EXPECT_EQ(ini.ReadInteger("MeinForm", "Top", 0), -5);
}

TEST(IniFileWrite, ExistingFileKeepsItsOrderCommentsAndSpelling) {
    TempDir dir;
    const std::string path = dir.MakeFile("old.ini",
                                          "; Quorbel settings\r\n"
                                          "[Date]\r\n"
                                          "TYPE = 2\r\n"
                                          "# not ours\r\n"
                                          "\r\n"
                                          "; about the move\r\n"
                                          "[Move]\r\n"
                                          "1=/mnt/a");  // no final line end
    TIniFile ini(path);
    ini.WriteInteger("date", "type", 3);
    ini.WriteBool("Date", "Bar", true);
    ini.WriteString("Move", "2", "/mnt/b");
    ini.WriteString("ColumSize", "1", "120");
    ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    EXPECT_EQ(TempDir::ReadFile(path),
              "; Quorbel settings\n"
              "[Date]\n"
              "TYPE=3\n"
              "Bar=1\n"
              "# not ours\n"
              "\n"
              "; about the move\n"
              "[Move]\n"
              "1=/mnt/a\n"
              "2=/mnt/b\n"
              "\n"
              "[ColumSize]\n"
              "1=120\n");
}

TEST(IniFileWrite, ValuesRoundTripThroughSaveAndLoad) {
    TempDir dir;
    const std::string path = dir / "round.ini";
    const std::string japanese = Cp("/home/太郎/表示 ソフト～①ｶﾞ");
    const std::string emoji = Cp("写真📷");                   // a stand-in
    const std::string invalid = Cp("\xFF\xFEname\xE3\x81");  // bytes that are not UTF-8: stand-ins
    const std::string padded = "  two blanks  ";
    const std::string quoted = "\"in quotes\"";
    const std::string comment = ";not a comment";
    {
        TIniFile ini(path);
        ini.WriteString(Cp("履歴"), Cp("キー"), japanese);
        ini.WriteString("S", "emoji", emoji);
        ini.WriteString("S", "padded", padded);
        ini.WriteString("S", "quoted", quoted);
        ini.WriteString("S", "comment", comment);
        ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    }
    {
        const std::string text = TempDir::ReadFile(path);
        EXPECT_TRUE(Cp932::IsValidUtf8(text));
        EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF"));
        EXPECT_NE(text.find("写真📷"), std::string::npos);
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString(Cp("履歴"), Cp("キー"), ""), japanese);
        EXPECT_EQ(ini.ReadString("S", "emoji", ""), emoji);
        EXPECT_EQ(ini.ReadString("S", "padded", ""), padded);
        EXPECT_EQ(ini.ReadString("S", "quoted", ""), quoted);
        EXPECT_EQ(ini.ReadString("S", "comment", ""), comment);
        ini.WriteString("S", "invalid", invalid);
        ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();
    }
    // Raw bytes make the file not UTF-8; the byte order mark keeps every other value readable.
    const std::string text = TempDir::ReadFile(path);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF"));
    EXPECT_NE(text.find("invalid=\xFF\xFEname\xE3\x81\n"), std::string::npos);
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "invalid", ""), invalid);
    EXPECT_EQ(ini.ReadString(Cp("履歴"), Cp("キー"), ""), japanese);
    EXPECT_EQ(ini.ReadString("S", "emoji", ""), emoji);
}

TEST(IniFileWrite, ValuesTheFileCannotHoldDoNotCorruptIt) {
    TempDir dir;
    const std::string path = dir / "odd.ini";
    TIniFile ini(path);
    ini.WriteString("S", "before", "x");
    ini.WriteString("S", "path", "old");
    // A line break would start a new line, here even a new section.
    EXPECT_FALSE(ini.WriteString("S", "path", "/tmp/a\n[Evil]\nb=c"));
    EXPECT_EQ(ini.ReadString("S", "path", "dflt"), "");
    EXPECT_FALSE(ini.WriteString("S", "cr", "a\rb"));
    // A lone lead byte is no character: written as U+FFFD rather than as a broken byte.
    EXPECT_TRUE(ini.WriteString("S", "broken", "ab\x81"));
    ini.WriteString("S", "after", "y");
    ASSERT_TRUE(ini.UpdateFile()) << ini.ErrorMessage();

    const std::string text = TempDir::ReadFile(path);
    EXPECT_EQ(text, "[S]\nbefore=x\npath=\ncr=\nbroken=ab\xEF\xBF\xBD\nafter=y\n");
    const TIniFile again(path);
    EXPECT_EQ(again.ReadString("Evil", "b", "none"), "none");
    EXPECT_EQ(again.ReadString("S", "after", ""), "y");
}

TEST(IniFileSave, FailureNamesTheFileAndKeepsTheOldOne) {
    TempDir dir;
    // A parent that is a regular file fails for every user, root included.
    dir.MakeFile("plain", "I am a file");
    TIniFile blocked(dir / "plain/quorbel.ini");
    blocked.WriteString("S", "k", "v");
    EXPECT_FALSE(blocked.UpdateFile());
    EXPECT_NE(blocked.ErrorMessage().find(dir / "plain/quorbel.ini"), std::string::npos)
        << blocked.ErrorMessage();
    EXPECT_EQ(blocked.ErrorCode(), std::errc::not_a_directory);
    EXPECT_EQ(TempDir::ReadFile(dir / "plain"), "I am a file");
}

// A file size limit makes the write itself fail halfway, whoever runs the test.
TEST(IniFileSave, WriteFailingHalfwayKeepsTheOldFile) {
    TempDir dir;
    const std::string old = "; mine\n[S]\nk=old\n";
    const std::string path = dir.MakeFile("quorbel.ini", old);
    TIniFile ini(path);
    ini.WriteString("S", "big", std::string(64 * 1024, 'x'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = ini.UpdateFile();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ini.ErrorCode(), std::errc::file_too_large);
    EXPECT_NE(ini.ErrorMessage().find(path), std::string::npos) << ini.ErrorMessage();
    EXPECT_EQ(TempDir::ReadFile(path), old);
    EXPECT_EQ(CountEntries(dir.Path()), 1) << "temporary file left behind";
}

// A file system that refuses every write, even root's (a card's lock switch), and one that is full.
TEST(IniFileSave, UnwritableFileSystemKeepsTheOldFile) {
    using testsupport::Mount;
    const struct {
        Mount::Kind kind;
        std::errc error;
    } cases[] = {{Mount::Kind::kBind, std::errc::read_only_file_system},
                 {Mount::Kind::kTmpfs, std::errc::no_space_on_device}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string folder = dir.MakeDir("mnt");
        const auto mount = Mount::Make(c.kind, folder);
        if (!mount) GTEST_SKIP() << Mount::Why();
        const std::string path = dir.MakeFile("mnt/設定.ini", "[S]\nk=old\n");
        if (c.kind == Mount::Kind::kBind) {
            ASSERT_TRUE(mount->SetReadOnly(true));
        } else {
            ASSERT_TRUE(mount->Fill());
        }
        TIniFile ini(path);
        // More than the old file frees: a writer that truncated the old file first would lose it.
        ini.WriteString("S", "k", std::string(1 << 16, 'n'));
        EXPECT_FALSE(ini.UpdateFile());
        EXPECT_EQ(ini.ErrorCode(), c.error);
        EXPECT_NE(ini.ErrorMessage().find(Cp(path)), std::string::npos) << ini.ErrorMessage();
        EXPECT_EQ(TempDir::ReadFile(path), "[S]\nk=old\n");
        EXPECT_EQ(CountEntries(folder), c.kind == Mount::Kind::kBind ? 1 : 2) << "temporary file left behind";
    }
}

}  // namespace

// The Go button on the sequential page: the names the page's controls give, every refusal with
// nothing renamed, renames the file system refuses, and the state after a run.
#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVariantMap>
#include <algorithm>
#include <ctime>
#include <filesystem>

#include "WindowFixture.h"
#include "app/InputHistories.h"
#include "app/BusyRunner.h"
#include "support/QtTestMain.h"

namespace {

// 7 May 2024, 05:00 in Tokyo: still 6 May in UTC, so a date read in UTC shows up.
constexpr std::int64_t kMay7Tokyo = 1715025600;  // 2024-05-06T20:00:00Z

const QString kDone = QStringLiteral("名前の変更が終了しました");
const QString kCollision = QStringLiteral("同名ファイルができるので、リネームは実施できません。");
const QString kBadInput = QStringLiteral("入力項目が不足しているか、または不正値が入力されています");
const QString kReorder = QStringLiteral(
    "同名ファイルができるので、このままではリネームは実施できません。\r\n"
    "ただし、重なる名前はすべてこの一覧のファイルのものです。\r\n"
    "順序を入れ替えて変更しますか？");

QString Forbidden(const QString& c) {
    return QStringLiteral("固定文字にファイル名として使用できない文字 ") + c +
           QStringLiteral(" が使われています。");
}

}  // namespace

class SequentialRunTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    QStringList EditItems(const char* name) const {
        auto* box = f->Find<QComboBox>(QLatin1String(name));
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }
    void Go() { f->window->btGoClick(); }

private slots:
    void initTestCase() {
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void namesFromThePageControls_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QStringList>("renamed");
        const QStringList img = {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"};
        QTest::newRow("leading text and number")
            << img << QVariantMap{{"edit2", "A"}, {"edit3", "001"}, {"Edit9", "1"}}
            << QStringList{"A001.JPG", "A002.JPG", "A003.JPG"};
        QTest::newRow("keeping the original name")
            << img << QVariantMap{{"edit2", "A"}, {"edit3", "001"}, {"CB2", true}}
            << QStringList{"AIMG_0001001.JPG", "AIMG_0002002.JPG", "AIMG_0003003.JPG"};
        QTest::newRow("folder name and trailing text; a longer number is kept whole")
            << img << QVariantMap{{"edit3", "8"}, {"edit8", "x"}, {"CB4", true}}
            << QStringList{"trip8x.JPG", "trip9x.JPG", "trip10x.JPG"};
        QTest::newRow("extension only")
            << QStringList{"a.b.txt"} << QVariantMap{{"CB1", true}, {"Edit4", "md"}} << QStringList{"a.md"};
        QTest::newRow("date after the name")
            << QStringList{"IMG_0001.JPG"} << QVariantMap{{"edit2", "P"}, {"edit3", "01"}, {"CB12", true}}
            << QStringList{"P_2024050701.JPG"};
        QTest::newRow("date at the end")
            << QStringList{"IMG_0001.JPG"}
            << QVariantMap{{"edit2", "P"}, {"edit3", "01"}, {"CB12", true}, {"CheckBox2", true}}
            << QStringList{"P01_20240507.JPG"};
        QTest::newRow("date without separator in the short underscored format")
            << QStringList{"IMG_0001.JPG"}
            << QVariantMap{{"edit2", "P"},
                           {"edit3", "01"},
                           {"CB12", true},
                           {"CheckBox1", false},
                           {"RGDate", 3}}
            << QStringList{"P24_05_0701.JPG"};
        QTest::newRow("start 000 with increment 5") << img << QVariantMap{{"edit3", "000"}, {"Edit9", "5"}}
                                                    << QStringList{"000.JPG", "005.JPG", "010.JPG"};
        QStringList eleven;
        for (int i = 0; i < 11; ++i)
            eleven << QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        QTest::newRow("start 0 has width 1")
            << eleven << QVariantMap{{"edit2", "n"}, {"edit3", "0"}}
            << QStringList{"n0.txt", "n1.txt", "n2.txt", "n3.txt", "n4.txt", "n5.txt",
                           "n6.txt", "n7.txt", "n8.txt", "n9.txt", "n10.txt"};
        QTest::newRow("negative start padded after the sign")
            << img << QVariantMap{{"edit3", "-01"}} << QStringList{"-01.JPG", "000.JPG", "001.JPG"};
    }
    void namesFromThePageControls() {
        QFETCH(QStringList, files);
        QFETCH(QVariantMap, settings);
        QFETCH(QStringList, renamed);
        f->MakeFiles("pic/trip", files, kMay7Tokyo);
        f->Load({"pic/trip"});
        f->Set(settings);
        Go();
        QCOMPARE(f->Column(2), renamed);
        QCOMPARE(f->Column(1), files);  // the old names stay in column 1
        QStringList expectedOnDisk = renamed;
        expectedOnDisk.sort();
        QCOMPARE(f->OnDisk("pic/trip"), expectedOnDisk);
        for (qsizetype i = 0; i < files.size(); ++i) {
            QCOMPARE(QString::fromStdString(
                         testsupport::TempDir::ReadFile(f->dir / ("pic/trip/" + renamed[i].toStdString()))),
                     files[i]);
        }
        QCOMPARE(f->Messages(), QStringList{kDone});
        QCOMPARE(f->dialogs->calls.front().point, f->window->MessagePoint());
    }

    void numberRestartsWhenTheFolderNameChanges() {
        f->MakeFiles("top/a/x", {"1.txt", "2.txt"});
        f->MakeFiles("top/b/x", {"3.txt"});
        f->MakeFiles("top/b/y", {"4.txt", "5.txt"});
        f->Load({"top/a/x", "top/b/x", "top/b/y"});
        f->Set({{"edit3", "1"}, {"CB5", true}});
        Go();
        // Two folders both named x count as one.
        QCOMPARE(f->Column(2), QStringList({"1.txt", "2.txt", "3.txt", "1.txt", "2.txt"}));
    }

    void refusalsRenameNothing_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QString>("message");
        QTest::newRow("a new name taken on disk")
            << QStringList{"IMG_1.JPG", "IMG_2.JPG"} << QVariantMap{{"edit2", "A"}, {"edit3", "001"}}
            << kCollision;
        QTest::newRow("two files given one name, differing in case only")
            << QStringList{"x.jpg", "X.png"} << QVariantMap{{"CB1", true}, {"Edit4", "gif"}} << kCollision;
        QTest::newRow("slash in the new extension")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"CB1", true}, {"Edit4", "a/b"}} << Forbidden("/");
        QTest::newRow("backslash reported before the question mark")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit2", "a?b\\"}, {"edit3", "1"}} << Forbidden("\\");
        QTest::newRow("leading text checked before trailing text")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit2", "a|"}, {"edit8", ":"}, {"edit3", "1"}}
            << Forbidden("|");
        QTest::newRow("colon in the trailing text")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit8", "b:"}, {"edit3", "1"}} << Forbidden(":");
        QTest::newRow("start value not a number")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit2", "A"}, {"edit3", "3x"}} << kBadInput;
        QTest::newRow("a counter passing the 64-bit range")
            << QStringList{"1.t", "2.t", "3.t"} << QVariantMap{{"edit3", "9223372036854775806"}} << kBadInput;
        QTest::newRow("fixed text alone is no name")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit2", "A"}, {"edit8", "B"}} << kBadInput;
        QTest::newRow("new extension left empty")
            << QStringList{"IMG_1.JPG"} << QVariantMap{{"edit3", "1"}, {"CB1", true}} << kBadInput;
    }
    void refusalsRenameNothing() {
        QFETCH(QStringList, files);
        QFETCH(QVariantMap, settings);
        QFETCH(QString, message);
        f->MakeFiles("f", files);
        f->dir.MakeFile("f/A002.JPG");  // taken, but not listed
        std::vector<std::string> listed;
        for (const QString& name : files)
            listed.push_back("f/" + name.toStdString());
        f->Load(listed);
        f->window->LastNumberText = "007";
        f->Set(settings);
        Go();
        QCOMPARE(f->Messages(), QStringList{message});
        QStringList expected = files;
        expected << "A002.JPG";
        expected.sort();
        QCOMPARE(f->OnDisk("f"), expected);
        QCOMPARE(f->Column(2), QStringList(files.size(), QString()));
        QCOMPARE(f->window->LastNumberText, std::string("007"));
        QVERIFY(EditItems("edit3").isEmpty());
        // The list can be run again once the inputs are corrected.
        QVERIFY(f->Enabled("btGo"));
        QVERIFY(!f->Enabled("Undo1"));
    }

    // Renumbering from 2 gives each file the name of the next one: a question, and only yes renames.
    void namesHeldByFilesOfTheListAreFreedInTurnOnYes_data() {
        QTest::addColumn<QStringList>("outside");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("onDisk");  // name=content
        const QStringList untouched = {"1.txt=1.txt", "2.txt=2.txt", "3.txt=3.txt"};
        QTest::newRow("yes renumbers through the chain")
            << QStringList{} << true << QStringList{kReorder} << QStringList{kDone}
            << QStringList{"2.txt=1.txt", "3.txt=2.txt", "4.txt=3.txt"};
        QTest::newRow("no renames nothing, as the refusal")
            << QStringList{} << false << QStringList{kReorder} << QStringList{kCollision} << untouched;
        QTest::newRow("a name held outside the list is refused without a question")
            << QStringList{"4.txt"} << true << QStringList{} << QStringList{kCollision}
            << QStringList{"1.txt=1.txt", "2.txt=2.txt", "3.txt=3.txt", "4.txt=4.txt"};
    }
    void namesHeldByFilesOfTheListAreFreedInTurnOnYes() {
        QFETCH(QStringList, outside);
        QFETCH(bool, yes);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, onDisk);
        f->MakeFiles("f", {"1.txt", "2.txt", "3.txt"});
        f->Load({"f/1.txt", "f/2.txt", "f/3.txt"});
        f->MakeFiles("f", outside);
        f->Set({{"edit3", "2"}});
        f->dialogs->yesNoAnswers = {yes};
        Go();
        QStringList asked;
        for (const auto& call : f->dialogs->calls) {
            if (call.kind == TRecordingDialogs::TKind::YesNo) asked << call.text;
        }
        QCOMPARE(asked, questions);
        QCOMPARE(f->Messages(), messages);
        QStringList contents;
        for (const QString& name : f->OnDisk("f"))
            contents << name + "=" +
                            QString::fromStdString(
                                testsupport::TempDir::ReadFile(f->dir / ("f/" + name.toStdString())));
        QCOMPARE(contents, onDisk);
        QCOMPARE(f->Enabled("Undo1"), yes && outside.isEmpty());
        if (!f->Enabled("Undo1")) return;
        // Undo takes the chain back the other way.
        f->window->Undo1Click();
        contents.clear();
        for (const QString& name : f->OnDisk("f"))
            contents << name + "=" +
                            QString::fromStdString(
                                testsupport::TempDir::ReadFile(f->dir / ("f/" + name.toStdString())));
        QCOMPARE(contents, QStringList({"1.txt=1.txt", "2.txt=2.txt", "3.txt=3.txt"}));
    }

    void missingFileShowsItsThreeLines() {
        f->MakeFiles("f", {"a.txt", "b.txt"});
        f->Load({"f"});
        std::filesystem::remove(f->dir / "f/b.txt");
        f->Set({{"edit2", "n"}, {"edit3", "1"}});
        Go();
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("対象ファイル ") + f->QtPath("f/b.txt") +
                             QStringLiteral(" が見つかりません。\r\n既に移動または削除された可能性があります"
                                            "\r\n再度リストを作成して下さい。")});
        QCOMPARE(f->dialogs->calls.front().point, f->window->MessagePoint());
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt"}));
        QVERIFY(f->Enabled("btGo"));
    }

    void emptyListEndsWithoutAMessage() {
        f->Set({{"edit2", "n"}, {"edit3", "1"}});
        Go();
        QVERIFY(f->dialogs->calls.empty());
        QVERIFY(f->window->Pairs.NewPaths().empty());
        QVERIFY(!f->Enabled("Undo1"));
    }

    void refusedRenamesAreMarkedAndCounted() {
        // The leading text leaves room for ".t" but not for ".txtxt": 255 bytes is the limit.
        f->MakeFiles("f", {"a.t", "b.txtxt", "c.t"});
        f->Load({"f"});
        const QString leading(250, QLatin1Char('L'));
        f->Set({{"edit2", leading}, {"edit3", "1"}, {"cbDialog", false}});
        Go();
        // Shown whatever cbDialog says, instead of the completion message.
        QCOMPARE(f->Messages(), QStringList{QStringLiteral(
                                    "名前を変更できなかったため、 1個のファイルが未処理になりました\r\n"
                                    "未処理のものは\"*\"マークが付けられています。")});
        QCOMPARE(f->Column(0), QStringList({"", "*", ""}));
        QCOMPARE(f->Column(2), QStringList({leading + "1.t", leading + "2.txtxt", leading + "3.t"}));
        QCOMPARE(f->OnDisk("f"), QStringList({leading + "1.t", leading + "3.t", "b.txtxt"}));
        // What was renamed can be undone, and the numbers given out go on.
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(f->Enabled("Undo1"));
        QCOMPARE(EditItems("edit3"), QStringList({"4"}));
    }

    void aNameTakenAfterTheChecksIsNeverReplaced() {
        // Enough files for the checks to read the folder whole rather than look at each path.
        QStringList files;
        for (int i = 0; i < 40; ++i)
            files << QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        f->MakeFiles("f", files);
        f->Load({"f"});
        f->Set({{"edit2", "n"}, {"edit3", "1"}});
        // Between the checks and the renames another program takes the second new name.
        f->window->AfterRunChecks = [this] {
            testsupport::TempDir::WriteFile(f->dir / "f/n2.txt", "not ours");
        };
        Go();
        QCOMPARE(f->Messages(), QStringList{QStringLiteral(
                                    "名前を変更できなかったため、 1個のファイルが未処理になりました\r\n"
                                    "未処理のものは\"*\"マークが付けられています。")});
        QCOMPARE(testsupport::TempDir::ReadFile(f->dir / "f/n2.txt"), std::string("not ours"));
        QCOMPARE(f->Column(0).count(QStringLiteral("*")), 1);
        QCOMPARE(f->Column(0).at(1), QStringLiteral("*"));
        QVERIFY(f->OnDisk("f").contains(QStringLiteral("f01.txt")));
        QCOMPARE(f->window->Pairs.Unrenamed(), std::vector<std::size_t>({1}));
        QCOMPARE(f->OnDisk("f").size(), 41);
        // Undo takes back exactly the files renamed and leaves the other program's file alone.
        f->window->AfterRunChecks = nullptr;
        f->window->Undo1Click();
        QStringList back = files;
        back << QStringLiteral("n2.txt");
        back.sort();
        QCOMPARE(f->OnDisk("f"), back);
        QCOMPARE(testsupport::TempDir::ReadFile(f->dir / "f/n2.txt"), std::string("not ours"));
    }

    // A run cancelled at its third rename, sequential and string replace alike.
    void cancelledRunKeepsWhatItRenamed_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVariantMap>("inputs");
        QTest::addColumn<QStringList>("renamed");
        QTest::newRow("sequential") << "TabSheet1" << QVariantMap{{"edit2", "n"}, {"edit3", "1"}}
                                    << QStringList{"n1.txt", "n2.txt"};
        QTest::newRow("string") << "TabSheet2" << QVariantMap{{"Edit6", "a"}, {"Edit7", "b"}}
                                << QStringList{"b1.txt", "b2.txt"};
    }
    void cancelledRunKeepsWhatItRenamed() {
        QFETCH(QString, page);
        QFETCH(QVariantMap, inputs);
        QFETCH(QStringList, renamed);
        const QStringList files = {"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt"};
        f->MakeFiles("f", files);
        f->Load({"f"});
        f->ShowPage(page.toLatin1().constData());
        f->Set(inputs);
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 2; };
        f->window->btGoClick();
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("中止しました。 2個のファイルの名前を変更しました。")});
        const QStringList shown = renamed + files.mid(2);
        QCOMPARE(f->Column(2), shown);  // the rest keep their names, unmarked
        QCOMPARE(f->Column(0), QStringList(5, QString()));
        QStringList onDisk = shown;
        onDisk.sort();
        QCOMPARE(f->OnDisk("f"), onDisk);
        QVERIFY(f->Enabled("Undo1"));
        // An undo cancelled after its first rename (the last file first) takes back just that one.
        f->dialogs->calls.clear();
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 1; };
        f->window->Undo1Click();
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("中止しました。 1個のファイルの名前を変更しました。")});
        onDisk = QStringList{renamed[0], "a2.txt", "a3.txt", "a4.txt", "a5.txt"};
        onDisk.sort();
        QCOMPARE(f->OnDisk("f"), onDisk);
        QVERIFY(f->window->Pairs.Renamed(0));  // still to be taken back
    }

    // A file whose new name is its old one counts as done but was not renamed: the cancel's count
    // leaves it out, for the run and for its undo alike.
    void cancelCountsOnlyNamesThatChanged() {
        f->MakeFiles("f", {"a.txt", "x2.txt", "y.txt"});
        f->Load({"f"});
        f->Set({{"edit2", "x"}, {"edit3", "1"}});
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 2; };
        f->window->btGoClick();
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("中止しました。 1個のファイルの名前を変更しました。")});
        QCOMPARE(f->OnDisk("f"), QStringList({"x1.txt", "x2.txt", "y.txt"}));
        // Last to first: x2.txt is tried, then the stop.
        f->dialogs->calls.clear();
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 1; };
        f->window->Undo1Click();
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("中止しました。 0個のファイルの名前を変更しました。")});
        QCOMPARE(f->OnDisk("f"), QStringList({"x1.txt", "x2.txt", "y.txt"}));
    }

    void postRunStateAndTheNextNumber() {
        f->MakeFiles("f", {"a.txt", "b.txt", "c.txt"});
        f->Load({"f"});
        f->Set({{"edit3", "001"}, {"CB1", true}, {"Edit4", ".dat"}, {"cbDialog", false}});
        f->window->CaseRunFlag = true;
        Go();
        QVERIFY(f->dialogs->calls.empty());  // no completion message without cbDialog
        QCOMPARE(f->OnDisk("f"), QStringList({"001.dat", "002.dat", "003.dat"}));
        QVERIFY(!f->window->CaseRunFlag);
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(!f->Enabled("N2"));
        QVERIFY(!f->Find<QCheckBox>(QStringLiteral("CB1"))->isChecked());
        QVERIFY(!f->Enabled("Edit4"));  // unchecking ran CB1Click
        for (const char* name : {"Undo1", "btret", "N3", "N22"})
            QVERIFY2(f->Enabled(name), name);
        QCOMPARE(f->window->LastNumberText, std::string("003"));
        QCOMPARE(EditItems("edit3"), QStringList({"004"}));
        QCOMPARE(f->Find<QComboBox>(QStringLiteral("edit3"))->currentText(), QStringLiteral("001"));
        QCOMPARE(
            f->window->Pairs.NewPaths(),
            std::vector<std::string>({f->Path("f/001.dat"), f->Path("f/002.dat"), f->Path("f/003.dat")}));
        QCOMPARE(f->window->Pairs.OldPaths().front(), f->Path("f/a.txt"));
    }

    void nextNumberReplacesTheOfferAndFollowsTheIncrement() {
        f->MakeFiles("f", {"a.txt", "b.txt"});
        f->Load({"f"});
        f->Set({{"edit3", "-05"}, {"Edit9", "3"}});
        Go();
        QCOMPARE(f->Column(2), QStringList({"-05.txt", "-02.txt"}));
        QCOMPARE(EditItems("edit3"), QStringList({"001"}));
        // A run without a number leaves the offer of the last numbered run.
        f->Load({"f"});
        f->Set({{"edit2", "z"}, {"edit3", ""}, {"CB1", true}, {"Edit4", "md"}, {"CB2", true}});
        Go();
        QCOMPARE(f->OnDisk("f"), QStringList({"z-02.md", "z-05.md"}));
        QCOMPARE(EditItems("edit3"), QStringList({"001"}));
        QCOMPARE(f->window->LastNumberText, std::string());
    }

    void goDispatchesByPage() {
        f->MakeFiles("f", {"a.txt"});
        f->Load({"f"});
        f->Set({{"edit2", "keep"}, {"edit3", "1"}, {"Edit6", "t"}});
        f->window->CaseRunFlag = true;
        f->ShowPage("TabSheet4");
        Go();
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("「動作設定」ページからのリネームは行えません。")});
        QVERIFY(f->window->CaseRunFlag);
        QVERIFY(EditItems("edit2").isEmpty());
        QVERIFY(EditItems("Edit6").isEmpty());
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt"}));

        f->ShowPage("TabSheet3");
        Go();
        QCOMPARE(f->dialogs->calls.size(), std::size_t(1));
        QVERIFY(!f->window->CaseRunFlag);
        QVERIFY(EditItems("edit2").isEmpty());
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt"}));

        f->ShowPage("TabSheet2");
        Go();
        QCOMPARE(EditItems("Edit6"), QStringList({"t"}));
        QVERIFY(EditItems("edit2").isEmpty());
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt"}));
    }

    void refusedRunStillRecordsTheFixedTexts() {
        f->MakeFiles("f", {"a.txt"});
        f->Load({"f"});
        f->Find<QComboBox>(QStringLiteral("edit2"))->addItems({"old"});
        f->Set({{"edit2", "new?"}, {"edit8", "tail"}, {"edit3", "1"}});
        f->window->Histories().FHistClearClick();
        Go();
        QCOMPARE(f->Messages(), QStringList{Forbidden("?")});
        QCOMPARE(EditItems("edit2"), QStringList({"new?"}));
        QCOMPARE(EditItems("edit8"), QStringList({"tail"}));
        QVERIFY(f->Enabled("FHistClear"));
        QCOMPARE(f->Find<QComboBox>(QStringLiteral("edit2"))->currentText(), QStringLiteral("new?"));
    }

    void draggedRowsKeepTheirFilesBeforeAndAfterARun() {
        f->MakeFiles("d", {"001.txt", "002.txt", "003.txt", "004.txt", "005.txt"});
        f->Load({"d"});
        f->Grid()->MoveRow(1, 4);
        f->Set({{"edit2", "R"}, {"edit3", "1"}});
        Go();
        QCOMPARE(f->Column(1), QStringList({"002.txt", "003.txt", "004.txt", "001.txt", "005.txt"}));
        QCOMPARE(f->Column(2), QStringList({"R1.txt", "R2.txt", "R3.txt", "R4.txt", "R5.txt"}));
        // Each file carries the new name its row shows.
        for (int row = 1; row <= 5; ++row) {
            const std::string newName = "d/" + f->Grid()->Cells(2, row).toStdString();
            QCOMPARE(QString::fromStdString(testsupport::TempDir::ReadFile(f->dir / newName)),
                     f->Grid()->Cells(1, row));
        }
        // After the run the pairs move together: row 1 still pairs the old and the new path of one
        // file, and the record of an unrenamed file follows it.
        f->window->Pairs.Record(
            {.executed = true, .skipped = {}, .failed = {2}, .untried = {}, .ids = {}, .unrecorded = {}},
            RenameExecutor::Order::FirstToLast);
        f->Grid()->MoveRow(5, 1);
        QCOMPARE(f->Listed().first(), QStringLiteral("d/005.txt"));
        QCOMPARE(f->window->Pairs.NewPaths().front(), f->Path("d/R5.txt"));
        QCOMPARE(f->window->Pairs.NewPaths().back(), f->Path("d/R4.txt"));
        for (std::size_t i = 0; i < 5; ++i)
            QCOMPARE(f->window->Pairs.Renamed(i), i != 3);
    }

    void extensionFieldFollowsCB1() {
        auto* edit4 = f->Find<QLineEdit>(QStringLiteral("Edit4"));
        const QColor window = QPalette().color(QPalette::Base);
        const QColor face = QPalette().color(QPalette::Button);
        QVERIFY(window != face);
        f->Set({{"CB1", true}});
        QVERIFY(edit4->isEnabled());
        QCOMPARE(edit4->palette().color(QPalette::Base), window);
        f->Set({{"CB1", false}});
        QVERIFY(!edit4->isEnabled());
        QCOMPARE(edit4->palette().color(QPalette::Base), face);
    }
};

QUORBEL_QTEST_MAIN(SequentialRunTest)
#include "SequentialRun_test.moc"

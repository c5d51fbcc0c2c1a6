// Loading files into the rename table: expansion, the extension filter, messages, command states.
#include <QPushButton>
#include <QToolButton>

#include "WindowFixture.h"
#include "app/BusyRunner.h"
#include "app/QtText.h"
#include "app/WindowTexts.h"
#include "core/text/Cp932.h"
#include "support/QtTestMain.h"

class FileListTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    void MakeTree() {
        f->dir.MakeFile("a/b.txt");
        f->dir.MakeFile("a/Z.TXT");
        f->dir.MakeFile("a/.hidden");
        f->dir.MakeFile("a/sub/c.txt");
        f->dir.MakeFile("a/sub/deep/d.jpg");
        f->dir.MakeFile("a/.cache/inside.txt");
    }
    void SetFilter(int mode, const QString& extensions) {
        f->Radio("RG2")->SetItemIndex(mode);
        f->Find<QComboBox>(QStringLiteral("Edit5"))->setEditText(extensions);
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void flatLoadListsDirectFilesSortedWithFolderColumn() {
        MakeTree();
        f->Load({"a"});
        QCOMPARE(f->Listed(), QStringList({"a/.hidden", "a/b.txt", "a/Z.TXT"}));
        QCOMPARE(f->Column(1), QStringList({".hidden", "b.txt", "Z.TXT"}));
        const QString folder = f->QtPath("a/");
        QCOMPARE(f->Column(3), QStringList({folder, folder, folder}));
        QCOMPARE(f->Column(0), QStringList({"", "", ""}));
        QCOMPARE(f->Column(2), QStringList({"", "", ""}));
        QCOMPARE(f->Grid()->RowCount(), 4);
        QCOMPARE(f->FileCount(), QStringLiteral("3"));
        QVERIFY(f->dialogs->calls.empty());
    }

    void recursiveLoadInterleavesSubfoldersByPath() {
        MakeTree();
        f->Radio("RG1")->SetItemIndex(0);
        f->Load({"a"});
        QCOMPARE(f->Listed(),
                 QStringList({"a/.hidden", "a/b.txt", "a/sub/c.txt", "a/sub/deep/d.jpg", "a/Z.TXT"}));
        QCOMPARE(f->Column(3).at(2), f->QtPath("a/sub/"));
        QCOMPARE(f->FileCount(), QStringLiteral("5"));
    }

    void extensionFilter_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("extensions");
        QTest::addColumn<QStringList>("listed");
        const QStringList all = {"f/a.jpg", "f/B.JPG", "f/c.gif", "f/d.jpeg", "f/README"};
        QTest::newRow("only JPG ; .Gif keeps jpg and gif in any case")
            << 1 << " JPG ; .Gif " << QStringList({"f/a.jpg", "f/B.JPG", "f/c.gif"});
        QTest::newRow("except jpg drops both cases")
            << 2 << "jpg" << QStringList({"f/c.gif", "f/d.jpeg", "f/README"});
        QTest::newRow("except with empty list drops nothing") << 2 << "" << all;
        QTest::newRow("no filter ignores the list") << 0 << "jpg" << all;
    }
    void extensionFilter() {
        QFETCH(int, mode);
        QFETCH(QString, extensions);
        QFETCH(QStringList, listed);
        for (const char* name : {"f/a.jpg", "f/B.JPG", "f/c.gif", "f/d.jpeg", "f/README"})
            f->dir.MakeFile(name);
        SetFilter(mode, extensions);
        f->Load({"f"});
        QCOMPARE(f->Listed(), listed);
        QCOMPARE(f->FileCount(), QString::number(listed.size()));
    }

    void notFoundMessagesLeaveTheStateAlone() {
        f->dir.MakeFile("only/sub/x.txt");
        f->dir.MakeFile("f/a.txt");
        // "No file at all": a folder with only a subfolder, listed flat.
        f->Load({"only"});
        QCOMPARE(f->dialogs->Messages(),
                 std::vector<QString>({f->QtPath("only") + QStringLiteral("にはファイルが見つかりません")}));
        QCOMPARE(f->dialogs->calls.back().point, f->window->MessagePoint());
        QVERIFY(f->window->Pairs.Empty());
        QCOMPARE(f->FileCount(), QString());
        QVERIFY(!f->Find<QPushButton>(QStringLiteral("btGo"))->isEnabled());

        // "All filtered": files there, none kept; the earlier count and states stay.
        f->Load({"only/sub"});
        QCOMPARE(f->FileCount(), QStringLiteral("1"));
        SetFilter(1, QString());
        f->Load({"f"});
        QCOMPARE(f->dialogs->Messages().back(),
                 f->QtPath("f") + QStringLiteral("には、ファイルが見つかりません"));
        QVERIFY(f->window->Pairs.Empty());
        QCOMPARE(f->Grid()->RowCount(), 2);
        QCOMPARE(f->FileCount(), QStringLiteral("1"));
        QVERIFY(f->Find<QPushButton>(QStringLiteral("btGo"))->isEnabled());
        // The folder was still recorded.
        QCOMPARE(f->window->CurrentFolder, f->Path("f"));
    }

    void cancelledLoadKeepsTheList() {
        MakeTree();
        f->dir.MakeFile("b/x.txt");
        f->Load({"a"});
        const QStringList listed = f->Listed();
        const QStringList names = f->Column(1);
        f->Grid()->SetCells(0, 2, RowMark::kSelected);
        f->Grid()->SetCells(0, 3, RowMark::kUnprocessed);
        const QStringList marks = f->Column(0);
        f->window->Busy().cancelAt = [](std::size_t) { return true; };
        f->window->LoadFileList({f->Path("b")});
        f->window->OpenChosenFolder(f->QtPath("b"));
        QCOMPARE(f->Listed(), listed);
        QCOMPARE(f->Column(1), names);
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->FileCount(), QString::number(listed.size()));
        QVERIFY(f->Messages().isEmpty());
        QCOMPARE(f->window->ReloadFolder, f->Path("a"));
        // The next-folder button goes on from the folder shown, not from the one never loaded.
        QCOMPARE(f->window->CurrentFolder, f->Path("a"));
        QVERIFY(f->Enabled("btGo"));
        // Not cancelled, the same load goes through.
        f->window->Busy().cancelAt = nullptr;
        f->window->LoadFileList({f->Path("b")});
        QCOMPARE(f->Listed(), QStringList{"b/x.txt"});
        QCOMPARE(f->window->CurrentFolder, f->Path("b"));
    }

    void missingEntryCannotBeOpened() {
        f->dir.MakeFile("a/x.txt");
        f->Load({"a", "gone"});
        QCOMPARE(f->dialogs->Messages(),
                 std::vector<QString>(
                     {QStringLiteral("フォルダ ") + f->QtPath("gone") + QStringLiteral(" を開けません。")}));
        QVERIFY(f->window->Pairs.Empty());
        QCOMPARE(f->Grid()->RowCount(), 2);
        QVERIFY(!f->Find<QPushButton>(QStringLiteral("btGo"))->isEnabled());
    }

    void commandStatesAfterALoad() {
        f->dir.MakeFile("a/x.txt");
        f->window->CaseRunFlag = true;
        f->Load({"a"});
        QVERIFY(!f->window->CaseRunFlag);
        QVERIFY(f->Find<QPushButton>(QStringLiteral("btGo"))->isEnabled());
        QVERIFY(!f->Action("Undo1")->isEnabled());
        QVERIFY(!f->Find<QToolButton>(QStringLiteral("btret"))->isEnabled());
        QVERIFY(f->Action("N2")->isEnabled());
        QVERIFY(f->Action("N25")->isEnabled());
        QVERIFY(!f->Action("N3")->isEnabled());
        QVERIFY(!f->Action("N22")->isEnabled());
        QVERIFY(!f->Action("N21")->isEnabled());
        QVERIFY(!f->Action("N23")->isEnabled());
    }

    void japaneseAndBlankNamesReachTheTableIntact() {
        f->dir.MakeFile(" 写真 /表示 .txt");
        f->dir.MakeFile(" 写真 /ソ.jpg");
        f->Load({" 写真 "});
        QCOMPARE(f->Column(1), QStringList({"ソ.jpg", "表示 .txt"}));
        QCOMPARE(f->Column(3).at(0), f->QtPath(" 写真 /"));
        QCOMPARE(f->window->CurrentFolder, f->Path(" 写真 "));
    }

    void newNameModeWritesColumnTwoOnly() {
        f->dir.MakeFile("a/x.txt");
        f->dir.MakeFile("a/y.txt");
        f->Load({"a"});
        f->window->ShowPathList({f->Path("a/new1.txt"), f->Path("a/new2.txt")}, TFmMein::kNewNameMode);
        QCOMPARE(f->Column(1), QStringList({"x.txt", "y.txt"}));
        QCOMPARE(f->Column(2), QStringList({"new1.txt", "new2.txt"}));
        f->window->ShowPathList({}, TFmMein::kLoadMode);
        QCOMPARE(f->Grid()->RowCount(), 3);
    }

    void optionClicks() {
        auto* next = f->Find<QToolButton>(QStringLiteral("tbNextOpen"));
        auto* edit5 = f->Find<QComboBox>(QStringLiteral("Edit5"));
        auto* label3 = f->Find<QLabel>(QStringLiteral("Label3"));
        // Nothing loaded yet: item 1 has no folder to step from.
        f->Radio("RG1")->Button(0)->click();
        f->Radio("RG1")->Button(1)->click();
        QVERIFY(!next->isEnabled());
        f->dir.MakeFile("a/x.txt");
        f->Load({"a"});
        QVERIFY(next->isEnabled());
        f->Radio("RG1")->Button(0)->click();
        QVERIFY(!next->isEnabled());
        f->Radio("RG1")->Button(1)->click();
        QVERIFY(next->isEnabled());

        for (int item : {1, 2}) {
            f->Radio("RG2")->Button(item)->click();
            QVERIFY(edit5->isEnabled());
            QVERIFY(label3->isEnabled());
        }
        f->Radio("RG2")->Button(0)->click();
        QVERIFY(!edit5->isEnabled());
        QVERIFY(!label3->isEnabled());
        // A changed option acts at the next load only.
        QCOMPARE(f->Listed(), QStringList({"a/x.txt"}));
    }

    // Last: it uses up the codec's stand-ins for the rest of this process.
    void namesBeyondEveryStandInAreCountedAfterTheLoad() {
        f->dir.MakeFile("u/plain.txt");
        f->dir.MakeFile("u/\U000F0000.txt");
        f->dir.MakeFile("u/sub/\U000F0001.txt");
        f->dir.MakeFile("u/sub/s.txt");
        for (char32_t u = 0x30000; Cp932::StandInsInUse() < Cp932::kStandInCapacity; ++u) {
            const char32_t text[] = {u, 0};
            QVERIFY(QtText::FromQt(QString::fromUcs4(text)).has_value());
        }
        // The chosen folder's own names, and those of the subfolder it expands, both count.
        f->Radio("RG1")->SetItemIndex(0);
        f->dialogs->folderAnswers.emplace_back(f->QtPath("u"));
        f->Action("N1")->trigger();
        QCOMPARE(f->Listed(), QStringList({"u/plain.txt", "u/sub/s.txt"}));
        QCOMPARE(f->dialogs->Messages(),
                 std::vector<QString>(
                     {QStringLiteral("2個のファイルは名前を扱えないため、一覧に加えませんでした。")}));
    }
};

QUORBEL_QTEST_MAIN(FileListTest)
#include "FileList_test.moc"

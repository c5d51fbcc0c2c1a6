// Taking a run back on real files: undo after every kind of run and undo again, files that went
// missing, were replaced or whose old name was taken since, undos cancelled or refused and then
// finished, and reverting the file of one row or of the marked rows, with every refusal leaving the
// disk, the table and the pair list as they were.
#include <unistd.h>

#include <QToolButton>
#include <QVariantMap>
#include <algorithm>
#include <filesystem>

#include "WindowFixture.h"
#include "app/BusyRunner.h"
#include "core/run/RenameExecutor.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

namespace {

const QString kUndone = QStringLiteral("処理が終了しました");
const QString kMissingQuestion = QStringLiteral(
    "移動または削除による不足ファイルがありますが、\r\n\r\n残っているファイルを元に戻しますか？");
const QString kNothingUndone = QStringLiteral("元に戻せませんでした。");
const QString kCancelled = QStringLiteral("ユーザーによる中止");
const QString kGone = QStringLiteral("対象ファイルが移動または削除されています。");
const QString kTaken = QStringLiteral("同じファイル名が存在するため、処理できません");
const QString kNotRenamed = QStringLiteral("このファイルは変更されていないため、戻せません。");
const QString kRefused = QStringLiteral("名前を元に戻せませんでした。");

QString NotUndone(int count) {
    return QStringLiteral(
               "元に戻せなかったため、 %1個のファイルが未処理になりました\r\n"
               "未処理のものは\"*\"マークが付けられています。")
        .arg(count);
}
QString Cancelled(int count) {
    return QStringLiteral("中止しました。 %1個のファイルの名前を変更しました。").arg(count);
}

QStringList Sorted(QStringList names) {
    names.sort();
    return names;
}

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    QString Content(const QString& name) const {
        return QString::fromStdString(testsupport::TempDir::ReadFile(f->dir / ("f/" + name.toStdString())));
    }
    // Lists folder f with the files and runs the page with the settings.
    void LoadAndRun(const QStringList& files, const char* page, const QVariantMap& settings) {
        f->MakeFiles("f", files);
        f->Load({"f"});
        f->ShowPage(page);
        f->Set(settings);
        f->window->btGoClick();
    }
    // Renames the files to R1, R2, ... in table order.
    void LoadAndRunSequential(const QStringList& files) {
        LoadAndRun(files, "TabSheet1", {{"edit2", "R"}, {"edit3", "1"}});
    }
    // The plain messages from the given one on.
    QStringList MessagesFrom(qsizetype first) const { return f->Messages().mid(first); }
    qsizetype Questions() const {
        return std::count_if(f->dialogs->calls.begin(), f->dialogs->calls.end(),
                             [](const auto& call) { return call.kind == TRecordingDialogs::TKind::YesNo; });
    }
    void MoveFile(const std::string& from, const std::string& to) const {
        std::filesystem::rename(f->dir / from, f->dir / to);
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void undoAfterEveryKindOfRun_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QStringList>("from");   // column 1 after the run
        QTest::addColumn<QStringList>("to");     // column 2 after the run
        QTest::addColumn<QStringList>("marks");  // "*": left unrenamed by the run
        QTest::newRow("sequential") << QStringList{"a.txt", "b.txt", "c.txt"} << "TabSheet1"
                                    << QVariantMap{{"edit2", "R"}, {"edit3", "1"}}
                                    << QStringList{"a.txt", "b.txt", "c.txt"}
                                    << QStringList{"R1.txt", "R2.txt", "R3.txt"} << QStringList{"", "", ""};
        QTest::newRow("string replace")
            << QStringList{"DSC_1.jpg", "IMG_1.jpg", "IMG_2.jpg"} << "TabSheet2"
            << QVariantMap{{"Edit6", "IMG_"}, {"Edit7", "P"}} << QStringList{"IMG_1.jpg", "IMG_2.jpg"}
            << QStringList{"P1.jpg", "P2.jpg"} << QStringList{"", ""};
        QTest::newRow("string replace with a collision: the unrenamed row is left alone")
            << QStringList{"a1.txt", "a2.txt", "b.txt"} << "TabSheet2"
            << QVariantMap{{"Edit6", "a?"}, {"Edit7", "c"}} << QStringList{"a1.txt", "a2.txt"}
            << QStringList{"c.txt", "c.txt"} << QStringList{"", "*"};
        QTest::newRow("case conversion")
            << QStringList{"B.TXT", "a.txt", "c.txt"} << "TabSheet3" << QVariantMap{{"CB11", true}}
            << QStringList{"a.txt", "c.txt"} << QStringList{"A.TXT", "C.TXT"} << QStringList{"", ""};
        QTest::newRow("digit alignment")
            << QStringList{"a1.txt", "a10.txt", "b5.txt"} << "TabSheet3" << QVariantMap{{"CB7", true}}
            << QStringList{"a1.txt", "b5.txt"} << QStringList{"a01.txt", "b05.txt"} << QStringList{"", ""};
    }
    void undoAfterEveryKindOfRun() {
        QFETCH(QStringList, files);
        QFETCH(QString, page);
        QFETCH(QVariantMap, settings);
        QFETCH(QStringList, from);
        QFETCH(QStringList, to);
        QFETCH(QStringList, marks);
        LoadAndRun(files, qPrintable(page), settings);
        QCOMPARE(f->Column(1), from);
        QCOMPARE(f->Column(2), to);
        QCOMPARE(f->Column(0), marks);
        const QStringList afterRun = f->OnDisk("f");
        const qsizetype runMessages = f->Messages().size();

        // The table shows each file's names exchanged; a row the run left alone keeps its pair.
        QStringList undoneFrom;
        QStringList undoneTo;
        for (qsizetype i = 0; i < from.size(); ++i) {
            const bool renamed = marks[i].isEmpty();
            undoneFrom << (renamed ? to[i] : from[i]);
            undoneTo << (renamed ? from[i] : to[i]);
        }

        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), Sorted(files));
        for (const QString& name : files)
            QCOMPARE(Content(name), name);
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), undoneFrom);
        QCOMPARE(f->Column(2), undoneTo);
        QCOMPARE(f->FileCount(), QString::number(from.size()));
        QVERIFY(f->Enabled("Undo1"));

        // Again, through the tool button: back to the run's names.
        f->Find<QToolButton>(QStringLiteral("btret"))->click();
        QCOMPARE(f->OnDisk("f"), afterRun);
        for (qsizetype i = 0; i < from.size(); ++i) {
            if (marks[i].isEmpty()) QCOMPARE(Content(to[i]), from[i]);
        }
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), from);
        QCOMPARE(f->Column(2), to);

        // A row left unrenamed is neither missing nor asked about.
        QCOMPARE(Questions(), 0);
        QCOMPARE(MessagesFrom(runMessages), QStringList({kUndone, kUndone}));
    }

    void undoWithMissingFiles_data() {
        QTest::addColumn<QStringList>("gone");  // new names moved out of the folder after the run
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("from");
        QTest::addColumn<QStringList>("to");
        QTest::addColumn<QStringList>("onDisk");
        const QStringList all = {"R1.txt", "R2.txt", "R3.txt"};
        const QStringList old = {"a.txt", "b.txt", "c.txt"};
        QTest::newRow("every file gone, Yes") << all << true << QStringList{kNothingUndone}
                                              << QStringList{"*", "*", "*"} << old << all << QStringList{};
        QTest::newRow("every file gone, No") << all << false << QStringList{kCancelled}
                                             << QStringList{"*", "*", "*"} << old << all << QStringList{};
        QTest::newRow("one file gone, Yes: the others go back, its row goes")
            << QStringList{"R2.txt"} << true << QStringList{kUndone} << QStringList{"", ""}
            << QStringList{"R1.txt", "R3.txt"} << QStringList{"a.txt", "c.txt"}
            << QStringList{"a.txt", "c.txt"};
        QTest::newRow("one file gone, No: nothing changes but the mark")
            << QStringList{"R2.txt"} << false << QStringList{kCancelled} << QStringList{"", "*", ""} << old
            << all << QStringList{"R1.txt", "R3.txt"};
    }
    void undoWithMissingFiles() {
        QFETCH(QStringList, gone);
        QFETCH(bool, yes);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, from);
        QFETCH(QStringList, to);
        QFETCH(QStringList, onDisk);
        const QStringList files = {"a.txt", "b.txt", "c.txt"};
        LoadAndRunSequential(files);
        f->dir.MakeDir("away");
        for (const QString& name : gone)
            MoveFile("f/" + name.toStdString(), "away/" + name.toStdString());
        const qsizetype runMessages = f->Messages().size();
        const std::size_t runCalls = f->dialogs->calls.size();
        f->dialogs->yesNoAnswers = {yes};

        f->window->Undo1Click();
        QCOMPARE(Questions(), 1);
        QCOMPARE(f->dialogs->calls[runCalls].text, kMissingQuestion);
        QCOMPARE(f->dialogs->calls[runCalls].point, f->window->MessagePoint());
        QCOMPARE(MessagesFrom(runMessages), messages);
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), from);
        QCOMPARE(f->Column(2), to);
        QCOMPARE(f->OnDisk("f"), onDisk);
        QCOMPARE(f->FileCount(), QString::number(from.size()));
        // The pair list still matches the table row for row.
        QCOMPARE(f->Listed().size(), from.size());
        for (qsizetype i = 0; i < from.size(); ++i) {
            QCOMPARE(f->Listed()[i], "f/" + from[i]);
            QCOMPARE(f->window->Pairs.NewPaths()[static_cast<std::size_t>(i)],
                     f->Path("f/" + to[i].toStdString()));
        }

        // Once the files are back, the revert of row 2 takes its own file back.
        for (const QString& name : gone)
            MoveFile("away/" + name.toStdString(), "f/" + name.toStdString());
        const QString before = f->Grid()->Cells(1, 2);
        const QString now = f->Grid()->Cells(2, 2);
        f->Grid()->SetRow(2);
        f->window->N3Click();
        QCOMPARE(MessagesFrom(runMessages), messages);
        QCOMPARE(f->Grid()->Cells(1, 2), now);
        QCOMPARE(f->Grid()->Cells(2, 2), before);
        QVERIFY(!testsupport::TempDir::Exists(f->dir / ("f/" + now.toStdString())));
        QCOMPARE(Content(before), files.contains(before) ? before : now);
    }

    // A file whose undo was refused stays the run's: the next undo finishes the undo with it alone,
    // and so does a revert of its row; only then does undo take the whole run again.
    void refusedUndoIsFinishedLater_data() {
        QTest::addColumn<bool>("byRevert");
        QTest::newRow("by undo") << false;
        QTest::newRow("by reverting the row") << true;
    }
    void refusedUndoIsFinishedLater() {
        QFETCH(bool, byRevert);
        LoadAndRunSequential({"a.txt", "b.txt", "c.txt"});
        f->dir.MakeFile("f/b.txt", "intruder");
        const qsizetype runMessages = f->Messages().size();

        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{NotUndone(1)});
        QCOMPARE(f->OnDisk("f"), QStringList({"R2.txt", "a.txt", "b.txt", "c.txt"}));
        QCOMPARE(Content("b.txt"), QStringLiteral("intruder"));
        QCOMPARE(Content("R2.txt"), QStringLiteral("b.txt"));
        QCOMPARE(f->Column(0), QStringList({"", "*", ""}));
        QCOMPARE(f->Column(1), QStringList({"R1.txt", "b.txt", "R3.txt"}));
        QCOMPARE(f->Column(2), QStringList({"a.txt", "R2.txt", "c.txt"}));

        // Still in the way: refused again, nothing else moves.
        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList({NotUndone(1), NotUndone(1)}));
        QCOMPARE(f->OnDisk("f"), QStringList({"R2.txt", "a.txt", "b.txt", "c.txt"}));
        QCOMPARE(f->Column(0), QStringList({"", "*", ""}));

        MoveFile("f/b.txt", "intruder.txt");
        if (byRevert) {
            f->Grid()->SetRow(2);
            f->window->N3Click();
            QCOMPARE(MessagesFrom(runMessages).size(), 2);
        } else {
            f->window->Undo1Click();
            QCOMPARE(MessagesFrom(runMessages).last(), kUndone);
            QCOMPARE(f->Column(0), QStringList({"", "", ""}));
        }
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(Content("b.txt"), QStringLiteral("b.txt"));
        QCOMPARE(f->Column(1), QStringList({"R1.txt", "R2.txt", "R3.txt"}));
        QCOMPARE(f->Column(2), QStringList({"a.txt", "b.txt", "c.txt"}));

        // The undo is complete: undo again is the run again.
        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R2.txt", "R3.txt"}));
        QCOMPARE(f->Column(1), QStringList({"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(Questions(), 0);
    }

    // The folder turns read-only after the run (a card's lock switch): every undo is refused and
    // marked, and once it is writable again the next undo takes them all back.
    void undoRefusedByAReadOnlyFolderIsFinishedLater() {
        f->dir.MakeDir("f");
        const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, f->dir / "f");
        if (!mount) QSKIP(testsupport::Mount::Why().c_str());
        LoadAndRunSequential({"a.txt", "b.txt", "c.txt"});
        QVERIFY(mount->SetReadOnly(true));
        const qsizetype runMessages = f->Messages().size();

        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{NotUndone(3)});
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R2.txt", "R3.txt"}));
        QCOMPARE(f->Column(0), QStringList({"*", "*", "*"}));
        QCOMPARE(f->Column(2), QStringList({"R1.txt", "R2.txt", "R3.txt"}));

        QVERIFY(mount->SetReadOnly(false));
        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList({NotUndone(3), kUndone}));
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(f->Column(0), QStringList({"", "", ""}));
        QCOMPARE(f->Column(2), QStringList({"a.txt", "b.txt", "c.txt"}));
    }

    // The folder turns read-only in the middle of undoing a swap, one file set aside: the other
    // cannot go back, nor the first out of its temporary name, and the user is told where it is.
    void undoOfASwapThatLeavesAFileUnderItsTemporaryNameSaysWhere() {
        f->dir.MakeDir("f");
        const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, f->dir / "f");
        if (!mount) QSKIP(testsupport::Mount::Why().c_str());
        f->dialogs->yesNoAnswers = {true};  // the swap goes through the planner
        LoadAndRun({"a_b.txt", "b_a.txt"}, "TabSheet2",
                   {{"Edit6", R"(^(\w)_(\w)$)"}, {"Edit7", "$2_$1"}, {"CBRegex", true}});
        QCOMPARE(Content("a_b.txt"), QStringLiteral("b_a.txt"));
        const qsizetype runMessages = f->Messages().size();

        RenameExecutor::SetStepHookForTests([&mount](std::size_t step) {
            if (step == 1) mount->SetReadOnly(true);
        });
        f->window->Undo1Click();
        RenameExecutor::SetStepHookForTests({});
        const QStringList left = f->OnDisk("f");
        QCOMPARE(left.size(), 2);
        QVERIFY(left[0].startsWith(QStringLiteral(".quorbel-")));
        // The file set aside had the name now free; it came as the name still standing.
        const QString aside =
            left[1] == QStringLiteral("a_b.txt") ? QStringLiteral("b_a.txt") : QStringLiteral("a_b.txt");
        QCOMPARE(Content(left[0]), left[1]);
        QCOMPARE(
            MessagesFrom(runMessages),
            QStringList({f->QtPath("f/" + aside.toStdString()) + QStringLiteral(" は一時的な名前 ") +
                             f->QtPath("f/" + left[0].toStdString()) + QStringLiteral(" のまま残っています"),
                         NotUndone(2)}));
        QCOMPARE(f->Column(0), QStringList({"*", "*"}));
        QVERIFY(mount->SetReadOnly(false));
    }

    // Undos cancelled in the progress dialog: the next undo takes back exactly the files still at
    // the run's names, and each row shows the last rename its file went through.
    void cancelledUndoIsFinishedByTheNextUndo() {
        const QStringList files = {"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt", "a6.txt"};
        LoadAndRunSequential(files);
        const QStringList run = {"R1.txt", "R2.txt", "R3.txt", "R4.txt", "R5.txt", "R6.txt"};
        QCOMPARE(f->OnDisk("f"), run);
        const qsizetype runMessages = f->Messages().size();
        // Undo goes from the last file to the first.
        const auto undoCancelledAt = [this](std::size_t step) {
            f->window->Busy().cancelAt = [step](std::size_t done) { return done == step; };
            f->window->Undo1Click();
            f->window->Busy().cancelAt = nullptr;
        };

        undoCancelledAt(2);
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R2.txt", "R3.txt", "R4.txt", "a5.txt", "a6.txt"}));
        QCOMPARE(f->Column(1), QStringList({"a1.txt", "a2.txt", "a3.txt", "a4.txt", "R5.txt", "R6.txt"}));
        QCOMPARE(f->Column(2), QStringList({"R1.txt", "R2.txt", "R3.txt", "R4.txt", "a5.txt", "a6.txt"}));
        QCOMPARE(f->Column(0), QStringList(6, QString()));

        undoCancelledAt(1);
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R2.txt", "R3.txt", "a4.txt", "a5.txt", "a6.txt"}));

        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList({Cancelled(2), Cancelled(1), kUndone}));
        QCOMPARE(f->OnDisk("f"), files);
        for (const QString& name : files)
            QCOMPARE(Content(name), name);
        QCOMPARE(f->Column(1), run);
        QCOMPARE(f->Column(2), files);

        // Finished: undo again is the run again, for every file.
        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), run);
        QCOMPARE(f->Column(1), files);
        QCOMPARE(f->Column(2), run);
        QCOMPARE(Questions(), 0);
    }

    // Only the files the run renamed are taken back: not another card's files of the same names
    // mounted at the same place (same device, same inode numbers), nor a file saved over one.
    void undoAndRevertLeaveOtherFilesOfTheSameName_data() {
        QTest::addColumn<bool>("otherCard");
        QTest::newRow("another card mounted at the same place") << true;
        QTest::newRow("a new file saved under the run's name") << false;
    }
    void undoAndRevertLeaveOtherFilesOfTheSameName() {
        QFETCH(bool, otherCard);
        const std::string card = f->dir.MakeDir("f");
        std::unique_ptr<testsupport::Mount> mount;
        if (otherCard) {
            mount = testsupport::Mount::Make(testsupport::Mount::Kind::kExt4, card);
            if (!mount) QSKIP(testsupport::Mount::Why().c_str());
        }
        LoadAndRun({"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}, "TabSheet1",
                   {{"edit2", "W"}, {"edit3", "1"}});
        const QStringList renamed = {"W1.JPG", "W2.JPG", "W3.JPG"};
        QCOMPARE(f->OnDisk("f").filter(QStringLiteral(".JPG")), renamed);
        if (otherCard) {
            QVERIFY(mount->Unmount());
            mount.reset();
            mount = testsupport::Mount::Make(testsupport::Mount::Kind::kExt4, card);
            QVERIFY2(mount != nullptr, testsupport::Mount::Why().c_str());
            for (const QString& name : renamed)
                f->dir.MakeFile("f/" + name.toStdString(), "card B");
        } else {
            for (const QString& name : renamed) {
                f->dir.MakeFile("saved.tmp", "saved over");
                MoveFile("saved.tmp", "f/" + name.toStdString());
            }
        }
        const QString other = otherCard ? QStringLiteral("card B") : QStringLiteral("saved over");
        const qsizetype runMessages = f->Messages().size();

        f->Grid()->SetRow(2);
        f->window->N3Click();
        f->dialogs->yesNoAnswers = {true};
        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList({kGone, kNothingUndone}));
        QCOMPARE(Questions(), 1);
        QCOMPARE(f->OnDisk("f").filter(QStringLiteral(".JPG")), renamed);
        for (const QString& name : renamed)
            QCOMPARE(Content(name), other);
        QCOMPARE(f->Column(0), QStringList({"*", "*", "*"}));
    }

    void revertSelectedStopsAtAMissingFile() {
        LoadAndRunSequential({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"});
        for (const int row : {2, 5}) {
            f->Grid()->SetRow(row);
            f->window->N25Click();
        }
        // Moved away: only the run's own file may be reverted once it is back, not a new one.
        MoveFile("f/R5.txt", "R5.txt");
        const qsizetype runMessages = f->Messages().size();

        f->window->N22Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{kGone});
        QCOMPARE(f->Column(0), QStringList({"", "", "", "", "V"}));
        QCOMPARE(f->Column(1), QStringList({"a.txt", "R2.txt", "c.txt", "d.txt", "e.txt"}));
        QCOMPARE(f->Column(2), QStringList({"R1.txt", "b.txt", "R3.txt", "R4.txt", "R5.txt"}));
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R3.txt", "R4.txt", "b.txt"}));
        QVERIFY(f->Enabled("N21"));
        QVERIFY(f->Enabled("N23"));

        // With the file back the walk completes, and the commands for marked rows have nothing left.
        MoveFile("R5.txt", "f/R5.txt");
        f->window->N22Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{kGone});
        QCOMPARE(f->Column(0), QStringList({"", "", "", "", ""}));
        QCOMPARE(f->Column(1).last(), QStringLiteral("R5.txt"));
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R3.txt", "R4.txt", "b.txt", "e.txt"}));
        QVERIFY(!f->Enabled("N21"));
        QVERIFY(!f->Enabled("N23"));
    }

    void revertThisFileRefusals_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        const QStringList colliding = {"a1.txt", "a2.txt", "b.txt"};
        const QVariantMap toC = {{"Edit6", "a?"}, {"Edit7", "c"}};
        QTest::newRow("a row the run did not rename")
            << colliding << "TabSheet2" << toC << 2 << "" << kNotRenamed;
        QTest::newRow("the file is gone") << colliding << "TabSheet2" << toC << 1 << "gone" << kGone;
        QTest::newRow("the old name taken by another file")
            << colliding << "TabSheet2" << toC << 1 << "taken" << kTaken;
        QTest::newRow("after a case run, the old spelling taken by another file")
            << QStringList{"a.txt", "b.txt"} << "TabSheet3" << QVariantMap{{"CB11", true}} << 1 << "taken"
            << kTaken;
        QTest::newRow("the folder is read-only")
            << colliding << "TabSheet2" << toC << 1 << "read-only" << kRefused;
        // Refused for the superuser too: no rename replaces a second name of the file.
        QTest::newRow("the old name a hard link of the file")
            << colliding << "TabSheet2" << toC << 1 << "link" << kRefused;
    }
    void revertThisFileRefusals() {
        QFETCH(QStringList, files);
        QFETCH(QString, page);
        QFETCH(QVariantMap, settings);
        QFETCH(int, row);
        QFETCH(QString, obstacle);
        QFETCH(QString, message);
        LoadAndRun(files, qPrintable(page), settings);
        const std::string folder = f->dir / "f";
        // A read-only mount refuses root too, where a folder's mode would not.
        std::unique_ptr<testsupport::Mount> mount;
        if (obstacle == "read-only") {
            mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, folder);
            if (!mount) QSKIP(testsupport::Mount::Why().c_str());
            QVERIFY(mount->SetReadOnly(true));
        }
        if (obstacle == "gone")
            std::filesystem::remove(folder + "/" + f->Grid()->Cells(2, row).toStdString());
        if (obstacle == "taken") f->dir.MakeFile("f/" + f->Grid()->Cells(1, row).toStdString(), "other");
        if (obstacle == "link") {
            const std::string now = folder + "/" + f->Grid()->Cells(2, row).toStdString();
            const std::string before = folder + "/" + f->Grid()->Cells(1, row).toStdString();
            QCOMPARE(link(now.c_str(), before.c_str()), 0);
        }
        const QStringList onDisk = f->OnDisk("f");
        const QStringList marks = f->Column(0);
        const QStringList from = f->Column(1);
        const QStringList to = f->Column(2);
        const std::vector<std::string> oldPaths = f->window->Pairs.OldPaths();
        const std::vector<std::string> newPaths = f->window->Pairs.NewPaths();
        const qsizetype runMessages = f->Messages().size();

        f->Grid()->SetRow(row);
        f->window->N3Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{message});
        QCOMPARE(f->OnDisk("f"), onDisk);
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), from);
        QCOMPARE(f->Column(2), to);
        QCOMPARE(f->window->Pairs.OldPaths(), oldPaths);
        QCOMPARE(f->window->Pairs.NewPaths(), newPaths);
    }

    void oneFileTable() {
        LoadAndRunSequential({"a.txt"});
        const qsizetype runMessages = f->Messages().size();
        f->window->N3Click();  // a table of one row counts as empty here
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt"}));
        QCOMPARE(f->Column(1), QStringList({"a.txt"}));
        QCOMPARE(MessagesFrom(runMessages), QStringList());
        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt"}));
        QCOMPARE(f->Column(1), QStringList({"R1.txt"}));
        QCOMPARE(MessagesFrom(runMessages), QStringList{kUndone});
    }

    void undoAfterEveryRowWasRemoved() {
        LoadAndRunSequential({"a.txt", "b.txt"});
        for (const int row : {1, 2}) {
            f->Grid()->SetRow(row);
            f->window->N25Click();
        }
        f->window->N21Click();
        QVERIFY(f->Enabled("Undo1"));
        const qsizetype runMessages = f->Messages().size();
        f->window->Undo1Click();
        QCOMPARE(MessagesFrom(runMessages), QStringList{kNothingUndone});
        QCOMPARE(f->OnDisk("f"), QStringList({"R1.txt", "R2.txt"}));
    }
};

QUORBEL_QTEST_MAIN(UndoTest)
#include "Undo_test.moc"

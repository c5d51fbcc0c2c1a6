// Moving the files of a sequential run into a destination: across file systems, the question
// about taken names, the refusals, and the switch, destination slots and their look.
#include <sys/stat.h>

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>

#include "WindowFixture.h"
#include "app/BusyRunner.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

namespace {

using TAnswer = TDialogs::TAnswer;

const QString kDone = QStringLiteral("名前の変更が終了しました");
const QString kQuestion = QStringLiteral(
    "移動先に同名ファイルがあります。上書きしますか\r\n\r\n「はい」で上書き、\r\n「いいえ」で同名以外のファイ"
    "ルを移動、"
    "\r\n「キャンセル」で移動処理全てを取り消します");
const QString kNoDestination = QStringLiteral("移動先が未指定です。");
const QString kPanelOff = QStringLiteral("変換後移動機能は、現在無効です。");

QString LeftBehind(int n) {
    return QStringLiteral("移動できなかったため、 %1個のファイルが移動元に残っています。").arg(n);
}

QString Changed(const std::string& folder) {
    return QStringLiteral("移動先フォルダ ") + QString::fromStdString(folder) +
           QStringLiteral(" は、指定した後に取り外されたか別のフォルダに替わっています。");
}

using testsupport::Mount;

dev_t DeviceOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

}  // namespace

class MoveTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    QToolButton* Button(const char* name) const { return f->Find<QToolButton>(QLatin1String(name)); }
    QString Panel() const { return f->Find<QLabel>(QStringLiteral("StatusBar1Panel2"))->text(); }
    // Files a.txt, b.txt, c.txt (each holding its name) loaded from folder, to become P1..P3.txt.
    void LoadBatch(const std::string& folder, std::int64_t mtime = -1) {
        std::filesystem::create_directories(folder);
        std::vector<std::string> entries;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            testsupport::TempDir::WriteFile(folder + "/" + name, name, mtime);
        f->window->Pairs.Load({});
        f->Grid()->ClearRows();
        f->window->LoadFileList({Cp932::FromUtf8(folder).value()});
        f->Find<QComboBox>(QStringLiteral("edit2"))->setEditText(QStringLiteral("P"));
        f->Find<QComboBox>(QStringLiteral("edit3"))->setEditText(QStringLiteral("1"));
    }
    // Switches the move on and picks folder through the browse dialog.
    void MoveTo(const std::string& folder) {
        f->window->mnMoveOnClick();
        f->dialogs->folderAnswers.emplace_back(QString::fromStdString(folder));
        f->window->mnMoveFolderClick();
        f->dialogs->calls.clear();
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Renamed on tmpfs, moved to the disk: content and modification time go along, the table and
    // the lists still name the places before the move, and undo is off.
    void sequentialRunMovesToAnotherFileSystem() {
        testsupport::TempDir shm("/dev/shm");
        if (DeviceOf(shm.Path()) == DeviceOf(f->dir.Path()))
            QSKIP("/dev/shm and the temporary folder are one file system here");
        constexpr std::int64_t kMtime = 1600000000;
        LoadBatch(shm / "src", kMtime);
        const std::string destination = f->dir.MakeDir("dest");
        MoveTo(destination);
        const std::vector<std::string> listed = f->window->Pairs.OldPaths();

        f->window->btGoClick();

        QCOMPARE(f->Messages(), QStringList{kDone});
        QCOMPARE(TWindowFixture::NamesIn(shm / "src"), QStringList());
        QCOMPARE(TWindowFixture::NamesIn(destination), QStringList({"P1.txt", "P2.txt", "P3.txt"}));
        const char* contents[] = {"a.txt", "b.txt", "c.txt"};
        for (int i = 0; i < 3; ++i) {
            const std::string path = destination + "/P" + std::to_string(i + 1) + ".txt";
            QCOMPARE(QString::fromStdString(testsupport::TempDir::ReadFile(path)), QString(contents[i]));
            struct stat st {};
            QCOMPARE(stat(path.c_str(), &st), 0);
            QCOMPARE(static_cast<std::int64_t>(st.st_mtim.tv_sec), kMtime);
        }
        QCOMPARE(f->Column(2), QStringList({"P1.txt", "P2.txt", "P3.txt"}));
        QVERIFY(f->window->Pairs.OldPaths() == listed);
        QCOMPARE(QString::fromStdString(f->window->Pairs.NewPaths().front()),
                 QString::fromStdString(shm / "src/P1.txt"));
        QVERIFY(!f->Action("Undo1")->isEnabled());
        QVERIFY(!Button("btret")->isEnabled());
    }

    // dest holds a P2.txt of its own (or a folder of that name, which nothing may replace).
    void takenNames_data() {
        QTest::addColumn<bool>("folderObstacle");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("leftInSource");
        QTest::addColumn<QString>("destinationP2");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("yes replaces")
            << false << int(TAnswer::Yes) << QStringList() << "b.txt" << QStringList{kDone};
        QTest::newRow("no keeps the destination file")
            << false << int(TAnswer::No) << QStringList{"P2.txt"} << "theirs" << QStringList{kDone};
        QTest::newRow("cancel moves nothing")
            << false << int(TAnswer::Cancel) << QStringList{"P1.txt", "P2.txt", "P3.txt"} << "theirs"
            << QStringList{kDone};
        QTest::newRow("a folder of the name: no question, counted")
            << true << int(TAnswer::Yes) << QStringList{"P2.txt"} << QString()
            << QStringList{kDone, LeftBehind(1)};
    }
    void takenNames() {
        QFETCH(bool, folderObstacle);
        QFETCH(int, answer);
        QFETCH(QStringList, leftInSource);
        QFETCH(QString, destinationP2);
        QFETCH(QStringList, messages);
        LoadBatch(f->dir / "src");
        const std::string destination = f->dir.MakeDir("dest");
        if (folderObstacle) {
            f->dir.MakeDir("dest/P2.txt");
        } else {
            f->dir.MakeFile("dest/P2.txt", "theirs");
        }
        MoveTo(destination);
        f->dialogs->yesNoCancelAnswers.push_back(static_cast<TAnswer>(answer));

        f->window->btGoClick();

        QCOMPARE(f->Messages(), messages);
        const bool asked =
            std::any_of(f->dialogs->calls.begin(), f->dialogs->calls.end(),
                        [](const auto& call) { return call.kind == TRecordingDialogs::TKind::YesNoCancel; });
        QCOMPARE(asked, !folderObstacle);
        for (const auto& call : f->dialogs->calls) {
            if (call.kind != TRecordingDialogs::TKind::YesNoCancel) continue;
            QCOMPARE(call.text, kQuestion);
            QCOMPARE(call.point, f->window->MessagePoint());
        }
        QCOMPARE(TWindowFixture::NamesIn(f->dir / "src"), leftInSource);
        if (!destinationP2.isNull()) {
            QCOMPARE(QString::fromStdString(testsupport::TempDir::ReadFile(destination + "/P2.txt")),
                     destinationP2);
        }
        QVERIFY(!f->Action("Undo1")->isEnabled());
    }

    void refusalsMoveNothing_data() {
        QTest::addColumn<QString>("destination");  // "" none, "gone", "link" to the source folder
        QTest::addColumn<QString>("start");        // start value; "x" refuses the run
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no destination") << ""
                                        << "1" << QStringList{kDone, kNoDestination};
        QTest::newRow("destination removed")
            << "gone"
            << "1" << QStringList{kDone, QStringLiteral("移動先フォルダは既に存在しません")};
        QTest::newRow("the source folder by another spelling")
            << "link"
            << "1" << QStringList{kDone, QStringLiteral("移動元と移動先が同じフォルダです。")};
        QTest::newRow("a refused run still reports the move's checks")
            << ""
            << "x"
            << QStringList{QStringLiteral("入力項目が不足しているか、または不正値が入力されています"),
                           kNoDestination};
    }
    void refusalsMoveNothing() {
        QFETCH(QString, destination);
        QFETCH(QString, start);
        QFETCH(QStringList, messages);
        LoadBatch(f->dir / "src");
        if (destination == "gone") {
            MoveTo(f->dir.MakeDir("gone"));
            std::filesystem::remove(f->dir / "gone");
        } else if (destination == "link") {
            QCOMPARE(symlink((f->dir / "src").c_str(), (f->dir / "link").c_str()), 0);
            MoveTo(f->dir / "link");
        } else {
            f->window->mnMoveOnClick();
        }
        f->dialogs->calls.clear();
        f->Find<QComboBox>(QStringLiteral("edit3"))->setEditText(start);

        f->window->btGoClick();

        QCOMPARE(f->Messages(), messages);
        const QStringList expected =
            start == "x" ? QStringList{"a.txt", "b.txt", "c.txt"} : QStringList{"P1.txt", "P2.txt", "P3.txt"};
        QCOMPARE(TWindowFixture::NamesIn(f->dir / "src"), expected);
    }

    // Cancel stops the whole command: what was renamed stays where it is, to be taken back.
    void cancelledRunMovesNothing() {
        LoadBatch(f->dir / "src");
        MoveTo(f->dir.MakeDir("dest"));
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 2; };
        f->window->btGoClick();
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("中止しました。 2個のファイルの名前を変更しました。")});
        QCOMPARE(TWindowFixture::NamesIn(f->dir / "src"), QStringList({"P1.txt", "P2.txt", "c.txt"}));
        QVERIFY(TWindowFixture::NamesIn(f->dir / "dest").isEmpty());
        QVERIFY(f->Action("Undo1")->isEnabled());
        QVERIFY(Button("btret")->isEnabled());
    }

    // The destination's own M2.txt, which the user agreed to replace, survives a move that cannot
    // complete: the source folder turned read-only while the question was open (a card's lock
    // switch), the destination on another file system.
    void aReplacedFileStaysWhenTheSourceTurnsReadOnly() {
        const std::string source = f->dir.MakeDir("src");
        const auto sourceMount = Mount::Make(Mount::Kind::kBind, source);
        if (!sourceMount) QSKIP(Mount::Why().c_str());
        const std::string destination = f->dir.MakeDir("dest");
        const auto destinationMount = Mount::Make(Mount::Kind::kTmpfs, destination);
        if (!destinationMount) QSKIP(Mount::Why().c_str());
        LoadBatch(source);
        f->Find<QComboBox>(QStringLiteral("edit2"))->setEditText(QStringLiteral("M"));
        testsupport::TempDir::WriteFile(destination + "/M2.txt", "theirs");
        MoveTo(destination);
        f->dialogs->yesNoCancelAnswers.push_back(TAnswer::Yes);
        f->dialogs->whileAsking = [&sourceMount] { QVERIFY(sourceMount->SetReadOnly(true)); };

        f->window->btGoClick();

        QCOMPARE(f->Messages(), QStringList({kDone, LeftBehind(3)}));
        QCOMPARE(TWindowFixture::NamesIn(source), QStringList({"M1.txt", "M2.txt", "M3.txt"}));
        QCOMPARE(TWindowFixture::NamesIn(destination), QStringList{"M2.txt"});
        QCOMPARE(QString::fromStdString(testsupport::TempDir::ReadFile(destination + "/M2.txt")),
                 QStringLiteral("theirs"));
        QCOMPARE(QString::fromStdString(testsupport::TempDir::ReadFile(source + "/M2.txt")),
                 QStringLiteral("b.txt"));
    }

    // キャンセル in the progress dialog stops the move between two files: the files moved stay
    // moved and are counted, the others stay renamed where they are.
    void aCancelledMoveSaysHowManyWereMoved() {
        LoadBatch(f->dir / "src");
        f->window->btGoClick();
        MoveTo(f->dir.MakeDir("dest"));
        f->window->Busy().cancelAt = [](std::size_t step) { return step == 2; };
        f->window->MoveAfterRename();
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Messages(), QStringList{QStringLiteral("中止しました。 2個のファイルを移動しました。")});
        QCOMPARE(f->OnDisk("dest"), QStringList({"P1.txt", "P2.txt"}));
        QCOMPARE(f->OnDisk("src"), QStringList{"P3.txt"});
    }

    // A slot of the settings file names its folder as the user typed it: with or without "/", the
    // files go into that folder, and a slot that names no folder takes nothing.
    void aDestinationIsAlwaysAFolder_data() {
        QTest::addColumn<QString>("slot");  // under the temporary folder
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("inDestination");
        const QStringList all = {"P1.txt", "P2.txt", "P3.txt", "file.txt"};
        QTest::newRow("without a slash") << "dest" << QStringList{kDone} << all;
        QTest::newRow("with two slashes") << "dest//" << QStringList{kDone} << all;
        QTest::newRow("a file") << "dest/file.txt"
                                << QStringList{kDone, QStringLiteral("移動先フォルダは既に存在しません")}
                                << QStringList{"file.txt"};
    }
    void aDestinationIsAlwaysAFolder() {
        QFETCH(QString, slot);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, inDestination);
        f->dir.MakeFile("dest/file.txt");
        LoadBatch(f->dir / "src");
        f->window->MoveHistory.SetSlot(1, f->Path() + "/" + slot.toStdString());
        f->window->ShowMoveHistory();
        f->window->mnMoveOnClick();
        Button("bMHist1")->click();
        f->dialogs->calls.clear();

        f->window->btGoClick();

        QCOMPARE(f->Messages(), messages);
        QCOMPARE(f->OnDisk("dest"), inDestination);
        QCOMPARE(f->OnDisk("").filter(QStringLiteral(".txt")), QStringList());  // none beside the folder
    }

    // The table always shows a row: 開始 after loading a folder without files still runs the
    // move's checks.
    void anEmptyTableStillRunsTheMoveChecks() {
        LoadBatch(f->dir / "src");
        f->dir.MakeDir("empty");
        f->Load({"empty"});
        QVERIFY(f->window->Pairs.Empty());
        f->window->mnMoveOnClick();
        f->dialogs->calls.clear();
        f->window->btGoClick();
        QCOMPARE(f->Messages(), QStringList{kNoDestination});
    }

    // A destination on a card, chosen (by the browse dialog or a slot) while the card was
    // mounted: once the card is out, or another disk is mounted there, its folder is another one
    // and takes nothing.
    void aDestinationThatChangedSinceChosenIsRefused_data() {
        QTest::addColumn<bool>("bySlot");
        QTest::addColumn<bool>("otherDisk");
        QTest::newRow("browsed, card unmounted") << false << false;
        QTest::newRow("slot, card unmounted") << true << false;
        QTest::newRow("browsed, another disk mounted there") << false << true;
    }
    void aDestinationThatChangedSinceChosenIsRefused() {
        QFETCH(bool, bySlot);
        QFETCH(bool, otherDisk);
        const std::string card = f->dir.MakeDir("card");
        auto cardMount = Mount::Make(Mount::Kind::kExt4, card, std::size_t{4} << 20);
        if (!cardMount) QSKIP(Mount::Why().c_str());
        LoadBatch(f->dir / "src");
        if (bySlot) {
            f->window->MoveHistory.SetSlot(1, f->Path("card/"));
            f->window->ShowMoveHistory();
            f->window->mnMoveOnClick();
            Button("bMHist1")->click();
        } else {
            MoveTo(card);
        }
        QVERIFY(cardMount->Unmount());
        std::unique_ptr<Mount> other;
        if (otherDisk) {
            other = Mount::Make(Mount::Kind::kTmpfs, card);
            QVERIFY(other);
        }
        f->dialogs->calls.clear();

        f->window->btGoClick();

        QCOMPARE(f->Messages(), QStringList({kDone, Changed(card + "/")}));
        QCOMPARE(f->OnDisk("src"), QStringList({"P1.txt", "P2.txt", "P3.txt"}));
        QCOMPARE(f->OnDisk("card"), QStringList());
    }

    // The switch, the destination slots, and what the tool bar, the menu and the panel show.
    void switchSlotsAndTheirLook() {
        auto image = [this](const char* name) { return TFmMein::ImageIndexOf(Button(name)); };
        QCOMPARE(Panel(), kPanelOff);
        QCOMPARE(Button("btMoveOn")->toolTip(), QStringLiteral("ファイル移動機能切り替え"));
        QVERIFY(!f->Action("mnMoveFolder")->isEnabled());

        f->window->mnMoveOnClick();
        QVERIFY(f->Action("mnMoveOn")->isChecked());
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("移動先フォルダが未選択状態ですので、ご注意下さい。")});
        QCOMPARE(Panel(), QStringLiteral("変換後移動先 : "));
        QCOMPARE(Button("btMoveOn")->toolTip(), QStringLiteral("ファイル移動　有効"));
        QCOMPARE(image("btMoveOn"), 8);
        QVERIFY(f->Action("mnMoveFolder")->isEnabled());

        const std::string a = f->dir.MakeDir("a");
        const std::string b = f->dir.MakeDir("b");
        for (const std::string& folder : {a, b, a + "/"}) {
            f->dialogs->folderAnswers.emplace_back(QString::fromStdString(folder));
            f->window->mnMoveFolderClick();
        }
        // a/ came again with the same text: order and images unchanged.
        QCOMPARE(Panel(), QStringLiteral("変換後移動先 : ") + QString::fromStdString(a + "/"));
        QCOMPARE(f->Action("mMHist1")->text(), QStringLiteral("1 : ") + QString::fromStdString(b + "/"));
        QCOMPARE(f->Action("mMHist2")->text(), QStringLiteral("2 : ") + QString::fromStdString(a + "/"));
        QCOMPARE(f->Action("mMHist3")->text(), QStringLiteral("3 : "));
        QCOMPARE(Button("bMHist2")->toolTip(), QString::fromStdString(a + "/"));
        QCOMPARE(image("bMHist1"), 7);
        QCOMPARE(image("bMHist2"), 9);
        QCOMPARE(image("bMHist3"), 3);
        QCOMPARE(f->dialogs->calls.back().text, QStringLiteral("フォルダの参照"));

        f->Action("mMHist2")->trigger();
        QCOMPARE(f->window->MoveDestination, Cp932::FromUtf8(a + "/").value());
        QCOMPARE(image("bMHist1"), 9);
        QCOMPARE(image("bMHist2"), 7);
        f->dialogs->calls.clear();
        Button("bMHist3")->click();
        QCOMPARE(f->Messages(), QStringList{QStringLiteral("このボタンには、移動先フォルダが未指定です。")});

        // Unregistering slot 1 keeps the current destination.
        f->dialogs->inputAnswers = {QStringLiteral("abc"), QStringLiteral(" 1st")};
        f->window->N15Click();
        QCOMPARE(f->Action("mMHist1")->text(), QStringLiteral("1 : ") + QString::fromStdString(b + "/"));
        f->window->N15Click();
        QCOMPARE(f->dialogs->calls.back().title, QStringLiteral("登録解除したい移動先フォルダの番号は"));
        QCOMPARE(f->dialogs->calls.back().text, QStringLiteral("指定移動先削除"));
        QCOMPARE(f->Action("mMHist1")->text(), QStringLiteral("1 : ") + QString::fromStdString(a + "/"));
        QCOMPARE(f->Action("mMHist2")->text(), QStringLiteral("2 : "));
        QCOMPARE(image("bMHist1"), 9);  // no slot is current after a refresh
        QCOMPARE(f->window->MoveDestination, Cp932::FromUtf8(a + "/").value());

        f->dialogs->yesNoAnswers = {false, true};
        f->window->N16Click();
        QCOMPARE(image("bMHist1"), 9);
        f->window->N16Click();
        QCOMPARE(f->dialogs->calls.back().text, QStringLiteral("登録移動先を全て消去します"));
        QCOMPARE(f->Action("mMHist1")->text(), QStringLiteral("1 : "));
        QCOMPARE(image("bMHist1"), 3);

        f->Action("mnMoveOn")->trigger();  // the menu item toggles itself
        QVERIFY(!f->Action("mnMoveOn")->isChecked());
        QCOMPARE(Panel(), kPanelOff);
        QCOMPARE(Button("btMoveOn")->toolTip(), QStringLiteral("ファイル移動　無効"));
        QCOMPARE(image("btMoveOn"), 3);
        for (const char* name : {"btMoveFolder", "bMHist1", "bMHist3"})
            QVERIFY2(!Button(name)->isEnabled(), name);
        for (const char* name : {"mnMoveFolder", "mMHist2", "N15", "N16"})
            QCOMPARE(f->Action(name)->isEnabled(), QString(name).startsWith('N'));
    }
};

QUORBEL_QTEST_MAIN(MoveTest)
#include "Move_test.moc"

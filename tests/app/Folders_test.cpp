// The folder sources and the folder history: drops, history slots, re-reading, the next folder.
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <stdexcept>

#include "WindowFixture.h"
#include "support/QtTestMain.h"

class FoldersTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    // The history as relative UTF-8 texts ("" for an empty slot).
    QStringList History() const {
        QStringList texts;
        const std::string root = f->Path() + "/";
        for (const std::string& slot : f->window->FolderHistory) {
            texts << QString::fromStdString(
                Cp932::ToUtf8(slot.rfind(root, 0) == 0 ? slot.substr(root.size()) : slot).value());
        }
        return texts;
    }
    void LoadEach(std::initializer_list<const char*> folders) {
        for (const char* folder : folders) {
            f->dir.MakeFile(std::string(folder) + "/x.txt");
            f->Load({folder});
        }
    }
    QToolButton* Button(const char* name) const { return f->Find<QToolButton>(QLatin1String(name)); }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void dropSortsAndRecordsEachEntry() {
        f->dir.MakeFile("b/two.txt");
        f->dir.MakeFile("a/one.txt");
        f->dir.MakeFile("a/sub/three.txt");
        f->Drop({"b/two.txt", "a"});
        // The folder (sorted first) is recorded first, so the file's folder ends in slot 1.
        QCOMPARE(History(), QStringList({"b", "a", "", "", ""}));
        QCOMPARE(f->Listed(), QStringList({"a/one.txt", "b/two.txt"}));
        QCOMPARE(f->window->CurrentFolder, f->Path("b"));
        QCOMPARE(f->window->ReloadFolder, f->Path("b"));
        QCOMPARE(f->window->BrowseStartFolder, f->Path("b"));
        QCOMPARE(f->FileCount(), QStringLiteral("2"));
        QCOMPARE(Button("bthis1")->toolTip(), f->QtPath("b"));
        QCOMPARE(f->Action("his2")->text(), QStringLiteral("2 : ") + f->QtPath("a"));
        QCOMPARE(TFmMein::ImageIndexOf(Button("bthis2")), 2);
        QCOMPARE(TFmMein::ImageIndexOf(Button("bthis3")), 3);
    }

    void dropReplacesTheListAndKeepsDuplicates() {
        f->dir.MakeFile("a/one.txt");
        f->dir.MakeFile("c/other.txt");
        f->Drop({"c"});
        f->Drop({"a/one.txt", "a"});
        QCOMPARE(f->Listed(), QStringList({"a/one.txt", "a/one.txt"}));
        QCOMPARE(f->Grid()->RowCount(), 3);
        f->Drop({});  // nothing local in the drop: nothing happens
        QCOMPARE(f->Listed(), QStringList({"a/one.txt", "a/one.txt"}));
        QVERIFY(f->dialogs->calls.empty());
    }

    void dropFailureIsShownAtTheMessagePlace() {
        f->dir.MakeFile("a/one.txt");
        auto* drop = f->Find<TFileDrop>(QStringLiteral("FileDrop1"));
        // A handler that fails after the window's own one has listed the folder.
        connect(drop, &TFileDrop::OnFileDrop, f->window.get(),
                [] { throw std::runtime_error("ディスクの読み取りに失敗"); });
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(f->QtPath("a"))});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->window.get(), &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->window.get(), &event);
        QCOMPARE(f->Listed(), QStringList({"a/one.txt"}));
        QCOMPARE(f->dialogs->calls.size(), std::size_t{1});
        QVERIFY(f->dialogs->calls[0].kind == TRecordingDialogs::TKind::Message);
        QCOMPARE(f->dialogs->calls[0].text, QStringLiteral("ディスクの読み取りに失敗"));
        QCOMPARE(f->dialogs->calls[0].point, f->window->MessagePoint());
    }

    void historyOrder() {
        LoadEach({"1", "2", "3", "4", "5"});
        QCOMPARE(History(), QStringList({"5", "4", "3", "2", "1"}));
        f->Load({"3"});  // reopening keeps the order
        QCOMPARE(History(), QStringList({"5", "4", "3", "2", "1"}));
        QCOMPARE(f->window->CurrentFolder, f->Path("3"));
        LoadEach({"6"});  // a sixth drops slot 5
        QCOMPARE(History(), QStringList({"6", "5", "4", "3", "2"}));
    }

    void recordingOffKeepsSlotsButFollowsTheFolder() {
        LoadEach({"1"});
        auto* check = f->Find<QCheckBox>(QStringLiteral("cbHistOn"));
        QAction* menu = f->Action("mnHistOn");
        menu->trigger();
        QVERIFY(!menu->isChecked());
        QVERIFY(!check->isChecked());
        LoadEach({"2"});
        QCOMPARE(History(), QStringList({"1", "", "", "", ""}));
        QCOMPARE(f->window->CurrentFolder, f->Path("2"));
        QCOMPARE(f->window->ReloadFolder, f->Path("2"));
        QCOMPARE(f->window->BrowseStartFolder, f->Path("2"));
        QCOMPARE(Button("btNow")->toolTip(), QStringLiteral("今と同じフォルダを開く\n") + f->QtPath("2"));
        check->click();
        QVERIFY(menu->isChecked());
        LoadEach({"3"});
        QCOMPARE(History(), QStringList({"3", "1", "", "", ""}));
    }

    void historySlotsAndReRead() {
        auto* reread = f->Find<QPushButton>(QStringLiteral("btNow2"));
        QCOMPARE(TFmMein::ImageIndexOf(Button("btNow")), 11);
        QVERIFY(!reread->isEnabled());
        Button("btNow")->click();  // nothing to re-read yet
        QVERIFY(f->dialogs->calls.empty());

        LoadEach({"1", "2"});
        QCOMPARE(TFmMein::ImageIndexOf(Button("btNow")), 10);
        QVERIFY(reread->isEnabled());
        f->Action("his2")->trigger();
        QCOMPARE(f->Listed(), QStringList({"1/x.txt"}));
        QCOMPARE(f->window->CurrentFolder, f->Path("1"));
        f->dir.MakeFile("1/y.txt");
        reread->click();
        QCOMPARE(f->Listed(), QStringList({"1/x.txt", "1/y.txt"}));
        Button("bthis4")->click();  // an empty slot does nothing
        QCOMPARE(f->Listed(), QStringList({"1/x.txt", "1/y.txt"}));
        QVERIFY(f->dialogs->calls.empty());
    }

    void vanishedHistoryFolder() {
        LoadEach({"1", "gone"});
        std::filesystem::remove_all(f->dir / "gone");
        Button("bthis1")->click();
        QCOMPARE(f->dialogs->Messages(),
                 std::vector<QString>({QStringLiteral("選択されたフォルダは、既に存在しません。")}));
        QCOMPARE(f->dialogs->calls.back().point, f->window->MessagePoint());
        QCOMPARE(History(), QStringList({"gone", "1", "", "", ""}));
        QCOMPARE(f->Listed(), QStringList({"gone/x.txt"}));  // the table stays as it was
    }

    void nextFolderWithMixedCaseSiblings() {
        for (const char* name : {"p/s1/a.txt", "p/S2/b.txt", "p/s3/c.txt", "p/.h/d.txt"})
            f->dir.MakeFile(name);
        auto* next = Button("tbNextOpen");
        QVERIFY(!next->isEnabled());
        f->Load({"p/s1"});
        QVERIFY(next->isEnabled());
        next->click();
        QCOMPARE(f->Listed(), QStringList({"p/S2/b.txt"}));
        QCOMPARE(f->window->CurrentFolder, f->Path("p/S2"));
        next->click();
        QCOMPARE(f->Listed(), QStringList({"p/s3/c.txt"}));
        next->click();
        QCOMPARE(f->dialogs->Messages(), std::vector<QString>({QStringLiteral("次のフォルダはありません")}));
        QCOMPARE(f->Listed(), QStringList({"p/s3/c.txt"}));
        f->window->CurrentFolder = f->Path("p/none");
        next->click();
        QCOMPARE(f->dialogs->Messages().back(), QStringLiteral("選択されたフォルダは、既に存在しません。"));
    }

    void clearAllAsksFirst() {
        LoadEach({"1", "2"});
        f->dialogs->yesNoAnswers = {false, true};
        Button("btHistClr")->click();
        QCOMPARE(History(), QStringList({"2", "1", "", "", ""}));
        f->Action("N6")->trigger();
        QCOMPARE(History(), QStringList({"", "", "", "", ""}));
        QVERIFY(!Button("btHistClr")->isEnabled());
        QCOMPARE(TFmMein::ImageIndexOf(Button("bthis1")), 3);
        QCOMPARE(f->Action("his1")->text(), QStringLiteral("1 : "));
        QCOMPARE(f->window->ReloadFolder, f->Path("2"));
        QCOMPARE(f->window->CurrentFolder, f->Path("2"));
        QCOMPARE(f->dialogs->calls.size(), std::size_t{2});
        QVERIFY(f->dialogs->calls[0].kind == TRecordingDialogs::TKind::YesNo);
        QCOMPARE(f->dialogs->calls[0].text, QStringLiteral("履歴を全て消去します"));
        QCOMPARE(f->dialogs->calls[0].point, f->window->MessagePoint());
        LoadEach({"3"});
        QVERIFY(Button("btHistClr")->isEnabled());
    }

    void deleteOneSlot_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("history");
        const QStringList unchanged = {"5", "4", "3", "2", "1"};
        QTest::newRow("0 changes nothing") << "0" << unchanged;
        QTest::newRow("6 changes nothing") << "6" << unchanged;
        QTest::newRow("abc changes nothing") << "abc" << unchanged;
        QTest::newRow("empty changes nothing") << "" << unchanged;
        QTest::newRow("2 moves the rest up") << "2" << QStringList({"5", "3", "2", "1", ""});
        QTest::newRow("5 empties the last") << "5" << QStringList({"5", "4", "3", "2", ""});
    }
    void deleteOneSlot() {
        QFETCH(QString, answer);
        QFETCH(QStringList, history);
        LoadEach({"1", "2", "3", "4", "5"});
        f->dialogs->inputAnswers = {answer};
        f->Action("mnHistCLR")->trigger();
        QCOMPARE(History(), history);
        const auto& call = f->dialogs->calls.back();
        QVERIFY(call.kind == TRecordingDialogs::TKind::Input);
        QCOMPARE(call.title, QStringLiteral("削除したい履歴の番号は"));
        QCOMPARE(call.text, QStringLiteral("指定履歴削除"));
    }

    void deleteOneSlotCancelled() {
        LoadEach({"1"});
        f->Action("mnHistCLR")->trigger();  // the recorder cancels
        QCOMPARE(History(), QStringList({"1", "", "", "", ""}));
    }
};

QUORBEL_QTEST_MAIN(FoldersTest)
#include "Folders_test.moc"

// The browse command: choosing a folder in the browse dialog and listing it.
#include <unistd.h>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "WindowFixture.h"
#include "support/QtTestMain.h"

class BrowseTest : public QObject {
    Q_OBJECT

private slots:
    void ChosenFolderIsListedAndRecorded_data() {
        QTest::addColumn<int>("expansion");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("with subfolders: every subfolder is an entry of its own")
            << 0 << QStringList{"a/s1/one.txt", "a/s2/two.txt", "a/x.txt"}
            << QStringList{"a", "a/s2", "a/s1"};
        QTest::newRow("files directly in it") << 1 << QStringList{"a/x.txt"} << QStringList{"a"};
    }
    void ChosenFolderIsListedAndRecorded() {
        QFETCH(int, expansion);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, history);
        TWindowFixture f;
        f.dir.MakeFile("a/x.txt");
        f.dir.MakeFile("a/s1/one.txt");
        f.dir.MakeFile("a/s2/two.txt");
        f.Radio("RG1")->SetItemIndex(expansion);
        f.dialogs->folderAnswers.emplace_back(f.QtPath("a"));

        f.Find<QToolButton>("btOpen")->click();

        QCOMPARE(f.dialogs->calls.size(), std::size_t{1});
        QCOMPARE(f.dialogs->calls[0].kind, TRecordingDialogs::TKind::Folder);
        QCOMPARE(f.dialogs->calls[0].text, QStringLiteral("フォルダの参照"));
        QCOMPARE(f.Listed(), listed);
        QStringList recorded;
        for (const std::string& slot : f.window->FolderHistory) {
            if (!slot.empty()) recorded << QString::fromStdString(slot.substr(f.Path().size() + 1));
        }
        QCOMPARE(recorded, history);
        QCOMPARE(f.window->CurrentFolder, f.Path("a"));
        QCOMPARE(f.window->ReloadFolder, f.Path("a"));
        QVERIFY(f.Find<QToolButton>("tbNextOpen")->isEnabled());
        QCOMPARE(f.FileCount(), QString::number(listed.size()));
    }

    void LinksBackToTheChosenFolderAreNotFollowed() {
        TWindowFixture f;
        f.dir.MakeFile("t/t.txt");
        f.dir.MakeFile("t/sub/s.txt");
        symlink("..", (f.dir / "t/sub/loop").c_str());
        symlink(".", (f.dir / "t/self").c_str());
        f.Radio("RG1")->SetItemIndex(0);
        f.dialogs->folderAnswers.emplace_back(f.QtPath("t"));
        f.Action("N1")->trigger();
        QCOMPARE(f.Listed(), QStringList({"t/sub/s.txt", "t/t.txt"}));
    }

    void CancelChangesNothing() {
        TWindowFixture f;
        f.dir.MakeFile("b/kept.txt");
        f.Load({"b"});
        const auto history = f.window->FolderHistory;
        f.Action("N1")->trigger();  // no answer queued: the user cancels
        QCOMPARE(f.dialogs->calls.size(), std::size_t{1});
        QCOMPARE(f.Listed(), QStringList{"b/kept.txt"});
        QCOMPARE(f.Column(1), QStringList{"kept.txt"});
        QVERIFY(f.window->FolderHistory == history);
        QCOMPARE(f.window->CurrentFolder, f.Path("b"));
    }

    void EmptyFolderIsNeitherRecordedNorReloaded() {
        TWindowFixture f;
        f.dir.MakeFile("b/kept.txt");
        f.dir.MakeDir("empty");
        f.Load({"b"});
        const auto history = f.window->FolderHistory;
        f.dialogs->folderAnswers.emplace_back(f.QtPath("empty"));
        f.Action("N1")->trigger();
        QCOMPARE(f.dialogs->Messages(),
                 std::vector<QString>{f.QtPath("empty") + QStringLiteral("にはファイルが見つかりません")});
        QVERIFY(f.window->FolderHistory == history);
        QCOMPARE(f.window->ReloadFolder, f.Path("b"));
        QCOMPARE(f.window->CurrentFolder, f.Path("empty"));
        QVERIFY(f.window->Pairs.Empty());
    }

    // The real dialog opens on the folder recorded last, rooted at the file-system root.
    void DialogOpensOnTheLastFolder() {
        TWindowFixture f;
        f.dir.MakeFile("last/in.txt");
        f.dir.MakeFile("next/other.txt");
        f.Load({"last"});
        QString shownOnOpen;
        f.dialogs->folderChooser = [&](TBrowseDlg& dialog) -> std::optional<QString> {
            QTimer::singleShot(0, &dialog, [&] {
                shownOnOpen = dialog.SelectedPath();
                dialog.SetSelectionPath(f.QtPath("next"));
                dialog.DialogWindow()->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
            });
            if (!dialog.Execute()) return std::nullopt;
            return dialog.SelectedPath();
        };
        f.Action("N1")->trigger();
        QCOMPARE(shownOnOpen, f.QtPath("last"));
        QCOMPARE(f.Listed(), QStringList{"next/other.txt"});
    }
};

QUORBEL_QTEST_MAIN(BrowseTest)
#include "Browse_test.moc"

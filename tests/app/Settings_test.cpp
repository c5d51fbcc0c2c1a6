// The settings file across a restart: what one window leaves at close, the next one shows at
// start; a saved place no screen shows; a file that cannot be written.
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <fstream>

#include "WindowFixture.h"
#include "app/ColumnLayout.h"
#include "app/InputHistories.h"
#include "app/WindowSettings.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

class SettingsTest : public QObject {
    Q_OBJECT
private:
    static QStringList Items(const TWindowFixture& f, const char* name) {
        auto* box = f.Find<QComboBox>(QLatin1String(name));
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }
    static bool Checked(const TWindowFixture& f, const char* name) {
        if (QAction* action = f.Action(name)) return action->isChecked();
        return f.Find<QCheckBox>(QLatin1String(name))->isChecked();
    }
    // A fresh window on the fixture's settings file, as the next start of the program.
    static void Restart(TWindowFixture& f) {
        f.window.reset();
        auto recorder = std::make_unique<TRecordingDialogs>();
        f.dialogs = recorder.get();
        f.window = std::make_unique<TFmMein>(f.dir / "quorbel.ini", f.dir / "journal", std::move(recorder));
    }

private slots:
    void restartBringsBackWhatWasSet() {
        TWindowFixture f;
        f.dir.MakeFile("pics/a.jpg");
        f.Load({"pics"});
        f.Action("mnHistOn")->trigger();  // recording off
        f.dialogs->folderAnswers.emplace_back(f.QtPath("pics"));
        f.window->mnMoveFolderClick();
        for (const char* name : {"cbDialog", "cbFormStyle", "CheckBox1", "CheckBox2", "CBRegex"})
            f.Find<QCheckBox>(QLatin1String(name))->toggle();
        f.Radio("RGDate")->SetItemIndex(2);
        f.Radio("RGDateSource")->SetItemIndex(1);
        f.Find<QComboBox>(QStringLiteral("cbLanguage"))->setCurrentIndex(2);
        auto* edit2 = f.Find<QComboBox>(QStringLiteral("edit2"));
        auto* edit6 = f.Find<QComboBox>(QStringLiteral("Edit6"));
        for (int i = 0; i < 12; ++i) {
            edit2->setEditText(QStringLiteral("先頭%1").arg(i));
            f.window->Histories().AddToHistory(edit2);
            edit6->setEditText(QStringLiteral("t%1").arg(i));
            f.window->Histories().AddToLimitedHistory(edit6, 10);
        }
        f.window->Columns().ColWidth = {0, 150, 160, 170};
        f.window->move(120, 70);
        const QStringList leading = Items(f, "edit2");
        const QStringList targets = Items(f, "Edit6");

        Restart(f);

        QVERIFY(f.dialogs->calls.empty());
        QCOMPARE(f.window->frameGeometry().topLeft(), QPoint(120, 70));
        QCOMPARE(f.window->FolderHistory[0], f.Path("pics"));
        QCOMPARE(f.Action("his1")->text(), QStringLiteral("1 : ") + f.QtPath("pics"));
        QVERIFY(!Checked(f, "mnHistOn"));
        QVERIFY(!Checked(f, "cbHistOn"));
        QCOMPARE(f.window->MoveHistory.Slot(1), f.Path("pics") + "/");
        QCOMPARE(f.Action("mMHist1")->text(), QStringLiteral("1 : ") + f.QtPath("pics") + "/");
        QCOMPARE(TFmMein::ImageIndexOf(f.Find<QToolButton>(QStringLiteral("bMHist1"))), 9);
        QVERIFY(f.window->MoveDestination.empty());  // the current destination is not kept
        QVERIFY(!Checked(f, "cbDialog"));
        QVERIFY(Checked(f, "cbFormStyle"));
        QVERIFY(f.window->windowFlags() & Qt::WindowStaysOnTopHint);  // as if clicked
        QVERIFY(!Checked(f, "CheckBox1"));
        QVERIFY(Checked(f, "CheckBox2"));
        QCOMPARE(f.Radio("RGDate")->ItemIndex(), 2);
        QCOMPARE(f.window->DateFormat, std::string("yymmdd"));
        QVERIFY(Checked(f, "CBRegex"));
        QCOMPARE(f.Radio("RGDateSource")->ItemIndex(), 1);
        // Saved for the next start; this window keeps the language it started in.
        QCOMPARE(f.Find<QComboBox>(QStringLiteral("cbLanguage"))->currentText(), QStringLiteral("English"));
        QCOMPARE(f.Find<QTabWidget>(QStringLiteral("PageControl1"))->tabText(3), QStringLiteral("動作設定"));
        QCOMPARE(Items(f, "edit2"), leading.mid(0, 10));  // twelve saved, ten read back
        QCOMPARE(Items(f, "Edit6"), targets);
        QCOMPARE(f.Find<QComboBox>(QStringLiteral("edit2"))->currentText(), QString());
        QVERIFY(f.Action("FHistClear")->isEnabled());
        QVERIFY(!f.Action("EHistClear")->isEnabled());
        QCOMPARE(f.window->Columns().ColWidth[1], 150);
        QCOMPARE(f.window->Columns().ColWidth[3], 170);
    }

    void savedPlaceOnlyWhereAScreenShowsIt_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("used");
        QTest::newRow("no file") << QString() << false;
        QTest::newRow("on the screen") << "[MeinForm]\nTop=30\nLeft=0x28\nWidth=600\nHeight=500\n" << true;
        QTest::newRow("beyond every screen") << "[MeinForm]\nTop=30\nLeft=30000\nWidth=600\nHeight=500\n"
                                             << false;
        QTest::newRow("no width") << "[MeinForm]\nTop=30\nLeft=40\nWidth=0\nHeight=500\n" << false;
    }
    void savedPlaceOnlyWhereAScreenShowsIt() {
        QFETCH(QString, content);
        QFETCH(bool, used);
        TWindowFixture f;
        if (!content.isNull()) {
            f.window.reset();  // which saves its own settings
            std::ofstream(f.dir / "quorbel.ini") << content.toStdString();
            Restart(f);
        }
        const QRect frame = f.window->frameGeometry();
        QCOMPARE(frame.topLeft(), used ? QPoint(40, 30) : QPoint(144, 89));
        if (used) QCOMPARE(frame.size(), QSize(600, 500));
        // Everything else at its default.
        QVERIFY(Checked(f, "mnHistOn") && Checked(f, "cbHistOn") && Checked(f, "cbDialog"));
        QVERIFY(!Checked(f, "cbFormStyle"));
    }

    // Sizes saved on a larger screen, or written by hand, open a window the screen holds, with
    // every column of the table in sight.
    void savedSizesFitTheScreenAndTheTable_data() {
        QTest::addColumn<QString>("content");
        QTest::newRow("window larger than every screen")
            << "[MeinForm]\nTop=0\nLeft=0\nWidth=100000\nHeight=100000\n";
        QTest::newRow("window of the largest int")
            << "[MeinForm]\nTop=20\nLeft=10\nWidth=2147483647\nHeight=2147483647\n";
        QTest::newRow("window reaching the screen from far left")
            << "[MeinForm]\nTop=0\nLeft=-2147483000\nWidth=2147483647\nHeight=700\n";
        QTest::newRow("column 1 beyond the table") << "[ColumSize]\n1=100000\n2=128\n3=300\n";
        QTest::newRow("columns of the largest int")
            << "[ColumSize]\n1=2147483647\n2=2147483647\n3=2147483647\n";
        QTest::newRow("negative columns") << "[ColumSize]\n1=-1\n2=-2147483648\n3=-5\n";
    }
    void savedSizesFitTheScreenAndTheTable() {
        QFETCH(QString, content);
        TWindowFixture f;
        f.window.reset();
        std::ofstream(f.dir / "quorbel.ini") << content.toStdString();
        Restart(f);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCoreApplication::processEvents();

        const QRect available = f.window->screen()->availableGeometry();
        const QRect frame = f.window->frameGeometry();
        QVERIFY2(frame.width() <= available.width() && frame.height() <= available.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
        QVERIFY(frame.intersects(available));
        // Each column at least as wide as the shortest header, the last one ending inside the table.
        TMyStringGrid* grid = f.Grid();
        const int readable =
            grid->horizontalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("パス"));
        for (int col = 1; col <= 3; ++col)
            QVERIFY2(grid->ColWidths(col) >= readable, qPrintable(QString::number(grid->ColWidths(col))));
        const QHeaderView* header = grid->horizontalHeader();
        QVERIFY(header->sectionViewportPosition(2) + header->sectionSize(2) <= grid->viewport()->width());
    }

    // The file holds the outer bounds, frame included: a shown window comes back at the same place
    // and size, however wide the frame.
    void aShownWindowComesBackAtItsOuterBounds() {
        TWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QSize frame = f.window->frameGeometry().size() - f.window->size();
        f.window->move(100, 60);
        f.window->resize(QSize(640, 520) - frame);
        QCoreApplication::processEvents();
        const QRect saved = f.window->frameGeometry();
        QCOMPARE(saved, QRect(100, 60, 640, 520));

        Restart(f);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->frameGeometry(), saved);
    }

    void aFileThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QStringList>("left");  // what the folder holds after the save (no temporary file)
        QTest::newRow("a file where its folder should be") << "file" << QStringList{"notafolder"};
        QTest::newRow("a read-only file system") << "read-only" << QStringList{"notafolder", "quorbel.ini"};
        QTest::newRow("a full file system") << "full" << QStringList{"filler", "notafolder", "quorbel.ini"};
    }
    void aFileThatCannotBeWrittenIsReported() {
        using testsupport::Mount;
        QFETCH(QString, obstacle);
        QFETCH(QStringList, left);
        testsupport::TempDir dir;
        const std::string folder = dir.MakeDir("config");
        std::unique_ptr<Mount> mount;
        if (obstacle != "file") {
            // Real mounts: root writes into folders whatever their mode.
            mount = Mount::Make(obstacle == "full" ? Mount::Kind::kTmpfs : Mount::Kind::kBind, folder);
            if (!mount) QSKIP(Mount::Why().c_str());
        }
        const std::string old = "[History]\n1=/home/太郎\n";
        const std::string blocker = dir.MakeFile("config/notafolder", "mine");
        const std::string path =
            obstacle == "file" ? blocker + "/quorbel.ini" : dir.MakeFile("config/quorbel.ini", old);
        auto recorder = std::make_unique<TRecordingDialogs>();
        TRecordingDialogs* dialogs = recorder.get();
        TFmMein window(path, dir / "journal", std::move(recorder));
        if (obstacle == "read-only") QVERIFY(mount->SetReadOnly(true));
        if (obstacle == "full") QVERIFY(mount->Fill());

        QVERIFY(!window.SettingsFile().Write());
        QCOMPARE(dialogs->Messages(),
                 std::vector<QString>{QStringLiteral("設定ファイル ") + QString::fromStdString(path) +
                                      QStringLiteral(" に書き込めませんでした。")});
        QCOMPARE(dialogs->calls.front().point, window.MessagePoint());
        QCOMPARE(testsupport::TempDir::ReadFile(blocker), std::string("mine"));
        if (obstacle != "file") QCOMPARE(testsupport::TempDir::ReadFile(path), old);
        QCOMPARE(TWindowFixture::NamesIn(folder), left);
    }
};

QUORBEL_QTEST_MAIN(SettingsTest)
#include "Settings_test.moc"

// Marking rows with the mouse, the keyboard and the popup items, and taking rows out of the list,
// with the pair list following the table row for row, before and after a run.
#include <QHeaderView>
#include <QMenu>
#include <QVariantMap>
#include <filesystem>

#include "WindowFixture.h"
#include "support/QtTestMain.h"

class RowsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    // Files f1.txt … fN.txt in folder f (or sN.txt in s), listed.
    void LoadNumbered(const std::string& folder, int count) {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names << QStringLiteral("%1%2.txt").arg(QString::fromStdString(folder)).arg(i);
        f->MakeFiles(folder, names);
        f->Load({folder});
    }
    QWidget* Viewport() const { return f->Grid()->viewport(); }
    QPoint CellPoint(int row) const {
        const QRect rect = f->Grid()->CellRect(1, row);
        return rect.isEmpty() ? QPoint(-1, -1) : Viewport()->mapFrom(f->Grid(), rect.center());
    }
    // One user action, as the table's rows read:
    //   click R / shift R / right R   mouse on the file name of row R
    //   header / below                 shift-click on the header row / below the last row
    //   ctrl+enter / enter             keys in the table
    //   N25 N23 N2 N21 N3              the popup handlers
    //   star R                         a "*" as a run leaves it
    //   load N                         a new list of N files s1.txt … sN.txt
    void Do(const QString& step) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QString& what = words[0];
        const int n = words.size() > 1 ? words[1].toInt() : 0;
        TMyStringGrid* grid = f->Grid();
        if (what == "click" || what == "shift" || what == "right") {
            const QPoint point = CellPoint(n);
            QVERIFY2(point.x() >= 0, qPrintable(step));
            const Qt::MouseButton button = what == "right" ? Qt::RightButton : Qt::LeftButton;
            QTest::mouseClick(Viewport(), button, what == "shift" ? Qt::ShiftModifier : Qt::NoModifier,
                              point);
            if (what == "right") {
                // The popup opens where the pointer is, and the user picks from it later.
                QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point, Viewport()->mapToGlobal(point));
                QApplication::sendEvent(Viewport(), &menuEvent);
                auto* menu = f->Find<QMenu>(QStringLiteral("PopupMenu1"));
                QVERIFY(menu->isVisible());
                menu->close();
            }
        } else if (what == "header") {
            QWidget* header = grid->horizontalHeader()->viewport();
            QTest::mouseClick(header, Qt::LeftButton, Qt::ShiftModifier, header->rect().center());
        } else if (what == "below") {
            QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::ShiftModifier,
                              QPoint(CellPoint(1).x(), Viewport()->height() - 2));
        } else if (what == "ctrl+enter" || what == "enter") {
            QTest::keyClick(grid, Qt::Key_Return, what == "enter" ? Qt::NoModifier : Qt::ControlModifier);
        } else if (what == "N25") {
            f->window->N25Click();
        } else if (what == "N23") {
            f->window->N23Click();
        } else if (what == "N2") {
            f->window->N2Click();
        } else if (what == "N21") {
            f->window->N21Click();
        } else if (what == "N3") {
            f->window->N3Click();
        } else if (what == "star") {
            grid->SetCells(0, n, RowMark::kUnprocessed);
        } else if (what == "load") {
            LoadNumbered("s", n);
        } else {
            QFAIL(qPrintable(step));
        }
    }
    // Row r of the table shows the file of entry r - 1, and the status bar counts the entries.
    void VerifyTableFollowsPairs() const {
        QStringList shown;
        for (int row = 1; row < f->Grid()->RowCount(); ++row) {
            if (!f->Grid()->Cells(1, row).isEmpty())
                shown << f->Grid()->Cells(3, row) + f->Grid()->Cells(1, row);
        }
        QStringList listed;
        for (const std::string& path : f->window->Pairs.OldPaths())
            listed << QString::fromStdString(Cp932::ToUtf8(path).value());
        QCOMPARE(shown, listed);
        QCOMPARE(f->FileCount(), QString::number(listed.size()));
        QVERIFY(f->Grid()->RowCount() >= 2);
        QCOMPARE(f->Grid()->Cells(0, 0), QString());
    }

private slots:
    void init() {
        f = std::make_unique<TWindowFixture>();
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
        f->window->resize(f->window->width(), 700);  // room for every row of the tables below
    }
    void cleanup() { f.reset(); }

    void rowCommands_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("marks");  // column 0 afterwards
        QTest::addColumn<QStringList>("names");  // column 1 afterwards
        QTest::addColumn<bool>("markCommands");  // N21 and N23 enabled
        const QStringList three = {"f1.txt", "f2.txt", "f3.txt"};
        const QStringList eight = {"f1.txt", "f2.txt", "f3.txt", "f4.txt",
                                   "f5.txt", "f6.txt", "f7.txt", "f8.txt"};
        // Marking.
        QTest::newRow("Ctrl+Enter on a single-row table")
            << 1 << QStringList{"click 1", "ctrl+enter"} << QStringList{""} << QStringList{"f1.txt"} << false;
        QTest::newRow("N25 on a single-row table")
            << 1 << QStringList{"click 1", "N25"} << QStringList{""} << QStringList{"f1.txt"} << false;
        QTest::newRow("shift-click on a single-row table")
            << 1 << QStringList{"click 1", "shift 1"} << QStringList{""} << QStringList{"f1.txt"} << false;
        QTest::newRow("Ctrl+Enter marks the current row")
            << 3 << QStringList{"click 2", "ctrl+enter"} << QStringList{"", "V", ""} << three << true;
        QTest::newRow("plain Enter marks nothing")
            << 3 << QStringList{"click 2", "enter"} << QStringList{"", "", ""} << three << false;
        QTest::newRow("unmarking the last V leaves N21 and N23 on")
            << 3 << QStringList{"click 2", "N25", "ctrl+enter"} << QStringList{"", "", ""} << three << true;
        QTest::newRow("N25 empties a *, enabling nothing")
            << 3 << QStringList{"star 2", "click 2", "N25"} << QStringList{"", "", ""} << three << false;
        QTest::newRow("shift-click toggles every row between, * stays")
            << 8 << QStringList{"click 3", "N25", "click 5", "N25", "star 6", "click 3", "shift 7"}
            << QStringList{"", "", "", "V", "", "*", "V", ""} << eight << true;
        QTest::newRow("shift-click before any row was selected marks nothing")
            << 8 << QStringList{"shift 3"} << QStringList(8, QString()) << eight << false;
        QTest::newRow("shift-click upwards")
            << 8 << QStringList{"click 7", "shift 3"} << QStringList{"", "", "V", "V", "V", "V", "V", ""}
            << eight << true;
        QTest::newRow("N25 after a shift-click toggles the top row of the range")
            << 8 << QStringList{"click 7", "shift 3", "N25"}
            << QStringList{"", "", "", "V", "V", "V", "V", ""} << eight << true;
        QTest::newRow("shift-click on the header stops at the first row")
            << 8 << QStringList{"click 3", "header"} << QStringList{"V", "V", "V", "", "", "", "", ""}
            << eight << true;
        QTest::newRow("shift-click below the rows marks nothing")
            << 8 << QStringList{"click 3", "below"} << QStringList(8, QString()) << eight << false;
        QTest::newRow("shift-click after a shorter list was loaded")
            << 8 << QStringList{"click 8", "load 3", "shift 2"} << QStringList{"", "V", "V"}
            << QStringList{"s1.txt", "s2.txt", "s3.txt"} << true;
        QTest::newRow("a right-click leaves the current row: N25 marks row 2")
            << 8 << QStringList{"click 2", "right 6", "N25"} << QStringList{"", "V", "", "", "", "", "", ""}
            << eight << true;
        QTest::newRow("N23 empties every mark, * too") << 3 << QStringList{"click 1", "N25", "star 2", "N23"}
                                                       << QStringList{"", "", ""} << three << false;
        // Removing.
        QTest::newRow("N2 removes the current row, the marks below move up with their rows")
            << 4 << QStringList{"click 3", "N25", "click 2", "N2"} << QStringList{"", "V", ""}
            << QStringList{"f1.txt", "f3.txt", "f4.txt"} << true;
        QTest::newRow("N2 on the last row leaves one blank row, and then does nothing")
            << 1 << QStringList{"click 1", "N2", "N2"} << QStringList{""} << QStringList{""} << false;
        QTest::newRow("N21 removes the marked rows")
            << 5 << QStringList{"click 2", "N25", "click 4", "N25", "star 5", "N21"}
            << QStringList{"", "", "*"} << QStringList{"f1.txt", "f3.txt", "f5.txt"} << false;
        QTest::newRow("N21 removing every row leaves one blank row")
            << 2 << QStringList{"click 1", "shift 2", "N21", "N21"} << QStringList{""} << QStringList{""}
            << false;
    }
    void rowCommands() {
        QFETCH(int, files);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, names);
        QFETCH(bool, markCommands);
        LoadNumbered("f", files);
        for (const QString& step : steps) {
            Do(step);
            if (QTest::currentTestFailed()) return;
        }
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), names);
        QCOMPARE(f->Enabled("N21"), markCommands);
        QCOMPARE(f->Enabled("N23"), markCommands);
        VerifyTableFollowsPairs();
        QVERIFY(f->dialogs->calls.empty());
    }

    void marksFollowTheirFilesThroughARun_data() {
        QTest::addColumn<QStringList>("files");  // in table order
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QStringList>("marked");
        QTest::addColumn<QStringList>("kept");  // column 1 after the run
        QTest::addColumn<QStringList>("marks");
        QTest::newRow("string replace")
            << QStringList{"a1.txt", "a2.txt", "a3.txt", "b1.txt", "b2.txt"} << "TabSheet2"
            << QVariantMap{{"Edit6", "b"}, {"Edit7", "c"}} << QStringList{"a2.txt", "b1.txt"}
            << QStringList{"b1.txt", "b2.txt"} << QStringList{"V", ""};
        QTest::newRow("case conversion")
            << QStringList{"A.TXT", "B.TXT", "c.txt", "D.TXT", "e.txt"} << "TabSheet3"
            << QVariantMap{{"CB11", true}} << QStringList{"c.txt", "D.TXT"} << QStringList{"c.txt", "e.txt"}
            << QStringList{"V", ""};
        QTest::newRow("digit alignment")
            << QStringList{"a1.txt", "a10.txt", "b10.txt", "b2.txt"} << "TabSheet3"
            << QVariantMap{{"CB7", true}} << QStringList{"a10.txt", "b2.txt"}
            << QStringList{"a1.txt", "b2.txt"} << QStringList{"", "V"};
    }
    void marksFollowTheirFilesThroughARun() {
        QFETCH(QStringList, files);
        QFETCH(QString, page);
        QFETCH(QVariantMap, settings);
        QFETCH(QStringList, marked);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, marks);
        f->MakeFiles("f", files);
        f->Load({"f"});
        QCOMPARE(f->Column(1), files);
        for (const QString& name : marked) {
            f->Grid()->SetRow(static_cast<int>(files.indexOf(name)) + 1);
            f->window->N25Click();
        }
        f->ShowPage(qPrintable(page));
        f->Set(settings);
        f->window->btGoClick();
        QCOMPARE(f->Column(1), kept);
        QCOMPARE(f->Column(0), marks);
        VerifyTableFollowsPairs();
    }

    void removingMarkedRowsAfterARun() {
        LoadNumbered("f", 6);
        f->ShowPage("TabSheet1");
        f->Set({{"edit2", "R"}, {"edit3", "1"}, {"cbDialog", false}});
        f->window->btGoClick();
        QVERIFY(!f->Enabled("N2"));
        for (const char* step : {"click 2", "N25", "click 4", "shift 5", "N21"})
            Do(step);
        QCOMPARE(f->Column(1), QStringList({"f1.txt", "f3.txt", "f6.txt"}));
        QCOMPARE(f->Column(2), QStringList({"R1.txt", "R3.txt", "R6.txt"}));
        QCOMPARE(f->window->Pairs.NewPaths(),
                 std::vector<std::string>({f->Path("f/R1.txt"), f->Path("f/R3.txt"), f->Path("f/R6.txt")}));
        VerifyTableFollowsPairs();
        QVERIFY(!f->Enabled("N21"));
        QVERIFY(!f->Enabled("N23"));

        // Each remaining row still reverts its own file.
        for (const char* step : {"click 1", "N3", "click 2", "N3", "click 3", "N3"})
            Do(step);
        QVERIFY(f->dialogs->calls.empty());
        QCOMPARE(f->OnDisk("f"), QStringList({"R2.txt", "R4.txt", "R5.txt", "f1.txt", "f3.txt", "f6.txt"}));
        for (const char* name : {"f1.txt", "f3.txt", "f6.txt"})
            QCOMPARE(testsupport::TempDir::ReadFile(f->dir / (std::string("f/") + name)), std::string(name));
        QCOMPARE(testsupport::TempDir::ReadFile(f->dir / "f/R4.txt"), std::string("f4.txt"));
        QCOMPARE(f->Column(1), QStringList({"R1.txt", "R3.txt", "R6.txt"}));
    }
};

QUORBEL_QTEST_MAIN(RowsTest)
#include "Rows_test.moc"

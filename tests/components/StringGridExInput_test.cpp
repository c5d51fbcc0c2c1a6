// The grid under the user's hands: editing cells, keys, clicks and column borders.
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "components/InplaceEditEx.h"
#include "components/MyStringGrid.h"
#include "components/StringGridEx.h"
#include "support/QtTestMain.h"
#include "support/SendMouse.h"
#include "support/ShownGrid.h"

using testsupport::SendMouse;

namespace {

QPoint CellCenterInViewport(const TStringGridEx& grid, int col, int row) {
    return grid.viewport()->mapFrom(&grid, grid.CellRect(col, row).center());
}

}  // namespace

class StringGridExInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        grid_ = testsupport::ShownGrid();
        QVERIFY(grid_ != nullptr);
    }
    void cleanup() { grid_.reset(); }

    void IntegerEditing() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goEditing);
        g.GridColumns()[1]->SetDataType(TGridDataType::dtInteger);
        g.SetCurrentCell(1, 1);

        QTest::keyClick(&g, Qt::Key_Minus);
        QVERIFY(g.EditorMode());
        QCOMPARE(g.InplaceEditor()->Text(), QString("-"));
        QCOMPARE(g.Cells(1, 1), QString("-0"));
        g.SetEditorMode(false);
        QCOMPARE(g.Cells(1, 1), QString("-0"));

        g.SetCurrentCell(1, 2);
        QTest::keyClick(&g, Qt::Key_Plus);
        QTest::keyClicks(g.InplaceEditor(), "007");
        QCOMPARE(g.Cells(1, 2), QString("7"));
        QTest::keyClick(g.InplaceEditor(), Qt::Key_Return);
        QVERIFY(!g.EditorMode());
        QCOMPARE(g.Cells(1, 2), QString("7"));

        // "1" then "." (an accepted key): the cell stays 1, the editor shows 1 with the caret after it.
        g.SetCurrentCell(1, 3);
        QTest::keyClick(&g, Qt::Key_1);
        TInplaceEditEx* editor = g.InplaceEditor();
        QTest::keyClick(editor, Qt::Key_Period);
        QCOMPARE(g.Cells(1, 3), QString("1"));
        QCOMPARE(editor->Text(), QString("1"));
        QCOMPARE(editor->SelStart(), 1);
        QCOMPARE(editor->SelLength(), 0);

        // Keys outside the accepted set never reach the text.
        QTest::keyClicks(editor, "a2x");
        QCOMPARE(editor->Text(), QString("12"));
        QCOMPARE(g.Cells(1, 3), QString("12"));

        // A string column takes the text as typed.
        g.SetEditorMode(false);
        g.SetCurrentCell(2, 1);
        QTest::keyClicks(&g, "+");
        QTest::keyClicks(g.InplaceEditor(), "007a");
        QCOMPARE(g.Cells(2, 1), QString("+007a"));
    }

    void EditorKeys() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goEditing);
        g.SetCells(1, 1, "old");
        g.SetCurrentCell(1, 1);

        // Escape takes back what was typed.
        QTest::keyClick(&g, Qt::Key_F2);
        QVERIFY(g.EditorMode());
        QTest::keyClicks(g.InplaceEditor(), "new");
        QCOMPARE(g.Cells(1, 1), QString("new"));
        QTest::keyClick(g.InplaceEditor(), Qt::Key_Escape);
        QVERIFY(!g.EditorMode());
        QCOMPARE(g.Cells(1, 1), QString("old"));

        // Single line: Enter with the caret at the end commits and moves right.
        QTest::keyClick(&g, Qt::Key_Return);
        QTest::keyClick(g.InplaceEditor(), Qt::Key_End);
        QTest::keyClicks(g.InplaceEditor(), "er");
        QTest::keyClick(g.InplaceEditor(), Qt::Key_Return);
        QVERIFY(!g.EditorMode());
        QCOMPARE(g.Cells(1, 1), QString("older"));
        QCOMPARE(g.Col(), 2);

        // Multi-line: Enter breaks the line, plain arrows stay inside, Ctrl+Down leaves, Ctrl+Enter closes.
        g.GridColumns()[2]->SetMultiLine(true);
        g.SetCells(2, 1, "ab");
        QTest::keyClick(&g, Qt::Key_F2);
        TInplaceEditEx* editor = g.InplaceEditor();
        QCOMPARE(editor->SelStart(), 2);
        QCOMPARE(editor->SelLength(), 0);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "cd");
        QCOMPARE(g.Cells(2, 1), QString("ab\ncd"));
        QTest::keyClick(editor, Qt::Key_Up);
        QVERIFY(g.EditorMode());
        QCOMPARE(g.Row(), 1);
        QTest::keyClick(editor, Qt::Key_Down, Qt::ControlModifier);
        QVERIFY(!g.EditorMode());
        QCOMPARE(g.Row(), 2);
        QTest::keyClick(&g, Qt::Key_Return);
        QVERIFY(g.EditorMode());
        QTest::keyClick(g.InplaceEditor(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!g.EditorMode());
        QCOMPARE(g.Row(), 2);

        // A column that may not be modified opens read-only.
        g.GridColumns()[3]->SetCanEdit(false);
        g.SetCurrentCell(3, 1);
        g.SetCells(3, 1, "fixed");
        g.SetEditorMode(true);
        QVERIFY(g.InplaceEditor()->isReadOnly());
        QTest::keyClicks(g.InplaceEditor(), "zz");
        QCOMPARE(g.Cells(3, 1), QString("fixed"));
    }

    void NoEditingWithoutTheOption() {
        TStringGridEx& g = *grid_;
        QTest::keyClick(&g, Qt::Key_A);
        QTest::keyClick(&g, Qt::Key_F2);
        QVERIFY(!g.EditorMode());
        QVERIFY(g.Cells(1, 1).isEmpty());
    }

    void ClickShiftClickAndRightClick() {
        TStringGridEx& g = *grid_;
        g.SetRowCount(10);
        QSignalSpy selected(&g, &TStringGridEx::CellSelected);
        // The window's shift-click handler runs after the grid handled the press.
        TGridRect seenByHandler;
        connect(&g, &TStringGridEx::MouseDown, this,
                [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { seenByHandler = g.Selection(); });

        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, CellCenterInViewport(g, 1, 3));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected[0], QVariantList({1, 3}));
        QCOMPARE(g.Row(), 3);
        QCOMPARE(seenByHandler, TGridRect({1, 3, 1, 3}));

        QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenterInViewport(g, 2, 7));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(g.Row(), 3);
        QCOMPARE(g.Selection(), TGridRect({1, 3, 2, 7}));
        QCOMPARE(seenByHandler, TGridRect({1, 3, 2, 7}));

        QTest::mouseClick(g.viewport(), Qt::RightButton, {}, CellCenterInViewport(g, 1, 6));
        QCOMPARE(g.Row(), 3);
        QCOMPARE(selected.count(), 1);

        // A plain click on the current cell is reported again.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, CellCenterInViewport(g, 1, 3));
        QCOMPARE(selected.count(), 2);
        QCOMPARE(g.Selection(), TGridRect({1, 3, 1, 3}));

        // Keyboard: arrows move the current cell, shift-arrows only the far corner.
        g.setFocus();
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(g.Row(), 4);
        QCOMPARE(selected.count(), 3);
        QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(g.Row(), 4);
        QCOMPARE(g.Selection(), TGridRect({1, 4, 1, 6}));
        QCOMPARE(selected.count(), 3);
    }

    void MouseCoordinates() {
        TStringGridEx& g = *grid_;
        MyStringGrid::ApplyFormDesign(g);
        g.SetColWidths(0, 16);
        g.SetRowHeights(0, 20);
        const QRect header = g.CellRect(2, 0);
        QCOMPARE(header.height(), 20);
        QCOMPARE(g.MouseCoord(header.center().x(), header.center().y()), TGridCoord({2, 0}));
        const QRect mark = g.CellRect(0, 3);
        QCOMPARE(mark.width(), 16);
        QCOMPARE(mark.height(), 17);
        QCOMPARE(g.MouseCoord(mark.center().x(), mark.center().y()), TGridCoord({0, 3}));
        int col = 0, row = 0;
        const QRect cell = g.CellRect(3, 4);
        g.MouseToCell(cell.center().x(), cell.center().y(), col, row);
        QCOMPARE(col, 3);
        QCOMPARE(row, 4);
        QCOMPARE(g.MouseCoord(-5, -5), TGridCoord());
    }

    void KeyDownCanStopTheGrid() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goEditing);
        int seen = 0;
        connect(&g, &TStringGridEx::KeyDown, this, [&](int key, Qt::KeyboardModifiers mods, bool& handled) {
            if (key == Qt::Key_Return && mods == Qt::ControlModifier) {
                ++seen;
                handled = true;
            }
            if (key == Qt::Key_Down) handled = true;
        });
        QTest::keyClick(&g, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(seen, 1);
        QVERIFY(!g.EditorMode());
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(g.Row(), 1);
    }

    void ColumnResizedOnlyForTheUser() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goColSizing);
        QSignalSpy resized(&g, &TStringGridEx::ColumnResized);
        g.SetColWidths(1, 100);
        g.SetDefaultColWidth(50);
        QCOMPARE(resized.count(), 0);

        QWidget* header = g.horizontalHeader()->viewport();
        const QRect r = g.CellRect(1, 0);
        const QPoint border = header->mapFrom(&g, QPoint(r.right(), r.center().y()));
        SendMouse(header, QEvent::MouseButtonPress, border, Qt::LeftButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseMove, border + QPoint(30, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseButtonRelease, border + QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
        QVERIFY(resized.count() >= 1);
        QCOMPARE(resized.last()[0].toInt(), 1);
        QCOMPARE(g.ColWidths(1), 80);
    }

private:
    std::unique_ptr<TStringGridEx> grid_;
};

QUORBEL_QTEST_MAIN(StringGridExInputTest)
#include "StringGridExInput_test.moc"

#include <QAccessible>
#include <QHeaderView>
#include <QImage>
#include <QSet>
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

// Rows 1.. hold the given names in column 1 and "m<name>" in column 0, "p<name>" in column 3.
void FillRows(TStringGridEx& grid, const QStringList& names) {
    grid.SetRowCount(static_cast<int>(names.size()) + 1);
    for (int i = 0; i < names.size(); ++i) {
        grid.SetCells(0, i + 1, "m" + names[i]);
        grid.SetCells(1, i + 1, names[i]);
        grid.SetCells(3, i + 1, "p" + names[i]);
    }
}

QStringList Column(const TStringGridEx& grid, int col) {
    QStringList texts;
    for (int row = 1; row < grid.RowCount(); ++row)
        texts << grid.Cells(col, row);
    return texts;
}

}  // namespace

class StringGridExTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        grid_ = testsupport::ShownGrid();
        QVERIFY(grid_ != nullptr);
    }
    void cleanup() { grid_.reset(); }

    void Defaults() {
        TStringGridEx& g = *grid_;
        QCOMPARE(g.ColCount(), 4);
        QCOMPARE(g.RowCount(), 5);
        QCOMPARE(g.DefaultRowHeight(), 20);
        QCOMPARE(g.RowHeights(0), 20);
        QCOMPARE(g.RowHeights(3), 20);
        QCOMPARE(g.GridColumns().Count(), 4);
        QCOMPARE(g.StripeColor(), g.Color());
        QCOMPARE(g.GridStyle(), TGridStyle::gsNormal);
        QCOMPARE(g.Row(), 1);
        QCOMPARE(g.Col(), 1);
    }

    void ColumnFromSource() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goEditing);
        FillRows(g, {"A", "B", "C", "D"});
        QStringList owned = {"a", "b", "c", "d"};
        QSet<int> asked;
        g.SetColumnSource(2, [&](int row) {
            asked.insert(row);
            return row <= owned.size() ? owned[row - 1] : QString();
        });
        g.SetCells(2, 0, "header");
        QCOMPARE(g.Cells(2, 0), QString("header"));
        QCOMPARE(Column(g, 2), owned);
        QVERIFY(g.Cells(2, g.RowCount()).isEmpty());
        QVERIFY(!asked.contains(0) && !asked.contains(g.RowCount()));

        // Row operations move the stored columns; the owner moves its own data in step.
        g.DeleteRows({2});
        owned.removeAt(1);
        g.MoveRow(1, 3);
        owned.move(0, 2);
        QCOMPARE(Column(g, 1), QStringList({"C", "D", "A"}));
        QCOMPARE(Column(g, 2), QStringList({"c", "d", "a"}));

        // Rows are found by their text in stored and sourced columns alike, never in the header.
        g.SetCells(1, 0, "A");
        QCOMPARE(g.RowsHolding(1, "A"), std::vector<int>({3}));
        QCOMPARE(g.RowsHolding(2, "d"), std::vector<int>({2}));
        QVERIFY(g.RowsHolding(1, "B").empty() && g.RowsHolding(9, "A").empty());

        // Its cells are not edited in place.
        g.SetCurrentCell(2, 1);
        g.SetEditorMode(true);
        QVERIFY(!g.EditorMode());

        // Painting a long grid asks only for the rows on screen.
        g.SetRowCount(100001);
        g.SetTopRow(50000);
        asked.clear();
        g.grab();
        QVERIFY(!asked.isEmpty() && asked.size() <= g.VisibleRowCount() + 2);

        // Without a source the column stores its cells again, empty at first.
        g.SetColumnSource(2, {});
        QVERIFY(g.Cells(2, 1).isEmpty());
        g.SetCells(2, 1, "stored");
        QCOMPARE(g.Cells(2, 1), QString("stored"));
        QCOMPARE(g.Cells(2, 0), QString("header"));
    }

    // A column's look colours single cells and gives them tips, asked only for the rows painted or
    // pointed at; rows it has nothing for keep the column's own look.
    void CellLooks() {
        TStringGridEx& g = *grid_;
        FillRows(g, {"A", "B", "C", "D"});
        g.SetCells(2, 1, "same");
        g.SetCells(2, 2, "WWWWWWWW");
        const QColor red(255, 0, 0);
        const QColor blue(0, 0, 255);
        QSet<int> asked;
        g.SetColumnLook(2, [&](int row) {
            asked.insert(row);
            if (row == 2) return TStringGridEx::TCellLook{blue, red, QStringLiteral("赤")};
            return TStringGridEx::TCellLook{};
        });
        const QImage image = g.grab().toImage();
        const auto inside = [&](int row, int dx) {
            const QRect r = g.CellRect(2, row);
            return image.pixelColor(r.left() + dx, r.top() + 1);
        };
        QCOMPARE(inside(2, 1), red);
        QCOMPARE(inside(1, 1), g.CellColor(2, 1));
        // Some pixel of the text is drawn in the look's colour.
        const QRect r = g.CellRect(2, 2);
        bool blueText = false;
        for (int x = r.left(); x < r.right() && !blueText; ++x)
            for (int y = r.top(); y < r.bottom() && !blueText; ++y)
                blueText = image.pixelColor(x, y) == blue;
        QVERIFY(blueText);
        QVERIFY(!asked.contains(0));
        QAbstractItemModel* model = g.model();
        QCOMPARE(model->data(model->index(1, 1), Qt::ToolTipRole).toString(), QStringLiteral("赤"));
        QVERIFY(!model->data(model->index(0, 1), Qt::ToolTipRole).isValid());
        QVERIFY(!model->data(model->index(1, 0), Qt::ToolTipRole).isValid());
        g.SetColumnLook(2, {});
        QVERIFY(!model->data(model->index(1, 1), Qt::ToolTipRole).isValid());
        QCOMPARE(g.grab().toImage().pixelColor(r.left() + 1, r.top() + 1), g.CellColor(2, 2));
    }

    void ClearRows() {
        TStringGridEx& g = *grid_;
        g.SetCells(1, 0, "header");
        g.SetRowCount(51);
        for (int row = 1; row <= 50; ++row)
            g.SetRowCells(row, {"V", "name", "new", "dir/"});
        g.SetCurrentCell(2, 40);
        g.ClearRows();
        QCOMPARE(g.RowCount(), 2);
        for (int col = 0; col < 4; ++col)
            QVERIFY(g.Cells(col, 1).isEmpty());
        QCOMPARE(g.Cells(1, 0), QString("header"));
        QCOMPARE(g.Row(), 1);

        g.SetRowCount(1);
        QCOMPARE(g.RowCount(), 1);
        g.ClearRows();
        QCOMPARE(g.RowCount(), 1);
        QCOMPARE(g.Cells(1, 0), QString("header"));
    }

    void DeleteRow() {
        TStringGridEx& g = *grid_;
        FillRows(g, {"A", "B", "C", "D", "E"});
        g.DeleteRow(3);
        QCOMPARE(g.RowCount(), 5);
        QCOMPARE(Column(g, 1), QStringList({"A", "B", "D", "E"}));
        QCOMPARE(Column(g, 0), QStringList({"mA", "mB", "mD", "mE"}));
        QCOMPARE(Column(g, 3), QStringList({"pA", "pB", "pD", "pE"}));

        g.DeleteRow(g.RowCount() - 1);
        QCOMPARE(Column(g, 1), QStringList({"A", "B", "D"}));
        // Rows outside the data rows are left alone.
        g.DeleteRow(0);
        g.DeleteRow(g.RowCount());
        g.DeleteRow(-1);
        QCOMPARE(Column(g, 1), QStringList({"A", "B", "D"}));
        // A row appended later starts empty: nothing of the deleted rows comes back.
        g.SetRowCount(5);
        QVERIFY(g.Cells(1, 4).isEmpty());
        QVERIFY(g.Cells(0, 4).isEmpty());
    }

    void DeleteRowsAtOnce() {
        TStringGridEx& g = *grid_;
        FillRows(g, {"A", "B", "C", "D", "E", "F"});
        g.SetCurrentCell(1, 6);
        // Unordered, repeated and out-of-range rows: only the data rows named go.
        g.DeleteRows({5, 2, 0, 2, 9, 6});
        QCOMPARE(g.RowCount(), 4);
        QCOMPARE(Column(g, 1), QStringList({"A", "C", "D"}));
        QCOMPARE(Column(g, 0), QStringList({"mA", "mC", "mD"}));
        QCOMPARE(Column(g, 3), QStringList({"pA", "pC", "pD"}));
        QCOMPARE(g.Row(), 3);  // the current row stays inside the table
        g.DeleteRows({1, 2, 3});
        QCOMPARE(g.RowCount(), 1);
        g.SetRowCount(3);
        QVERIFY(g.Cells(1, 1).isEmpty() && g.Cells(1, 2).isEmpty());
    }

    // A column that holds texts in a few rows only, as the marks do: the rows move, go and are
    // found alike above, at and below the last row holding one.
    void ColumnStoredInFewRows() {
        TStringGridEx& g = *grid_;
        g.SetRowCount(7);
        g.SetCells(0, 2, "V");
        g.MoveRow(5, 1);  // the mark moves down with the rows between
        g.MoveRow(6, 4);  // rows below the mark only
        QCOMPARE(Column(g, 0), QStringList({"", "", "V", "", "", ""}));
        g.MoveRow(3, 6);
        QCOMPARE(g.RowsHolding(0, "V"), std::vector<int>({6}));
        g.DeleteRows({1, 6});
        QCOMPARE(Column(g, 0), QStringList({"", "", "", ""}));
        g.SetCells(0, 4, "*");
        g.DeleteRow(2);
        QCOMPARE(g.RowsHolding(0, ""), std::vector<int>({1, 2}));
        QCOMPARE(g.RowsHolding(0, "*"), std::vector<int>({3}));
        g.SetRowCount(3);
        g.SetRowCount(5);
        QCOMPARE(Column(g, 0), QStringList({"", "", "", ""}));
    }

    void MoveRowByMethodAndByDrag() {
        TStringGridEx& g = *grid_;
        g.SetOptions(g.Options() | TGridOption::goRowMoving);
        FillRows(g, {"A", "B", "C", "D"});
        QSignalSpy moved(&g, &TStringGridEx::RowMoved);
        g.MoveRow(1, 3);
        QCOMPARE(Column(g, 1), QStringList({"B", "C", "A", "D"}));
        QCOMPARE(Column(g, 0), QStringList({"mB", "mC", "mA", "mD"}));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved[0], QVariantList({1, 3}));

        // The same move by dragging row 1's cell in column 0 onto row 3.
        FillRows(g, {"A", "B", "C", "D"});
        moved.clear();
        QWidget* header = g.verticalHeader()->viewport();
        const QPoint from = header->mapFrom(&g, g.CellRect(0, 1).center());
        const QPoint to = header->mapFrom(&g, g.CellRect(0, 3).center());
        SendMouse(header, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Column(g, 1), QStringList({"B", "C", "A", "D"}));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved[0], QVariantList({1, 3}));

        // Upwards, and a click without dragging moves nothing.
        g.MoveRow(4, 2);
        QCOMPARE(Column(g, 1), QStringList({"B", "D", "C", "A"}));
        moved.clear();
        SendMouse(header, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(moved.count(), 0);

        // Without the option the column-0 drag does nothing.
        g.SetOptions(g.Options() & ~TGridOptions(TGridOption::goRowMoving));
        SendMouse(header, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(header, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(moved.count(), 0);
    }

    void MoveRowCarriesTheCurrentCell() {
        TStringGridEx& g = *grid_;
        FillRows(g, {"A", "B", "C", "D"});
        g.SetRow(1);
        g.MoveRow(1, 3);
        QCOMPARE(g.Row(), 3);
        g.SetRow(2);
        g.MoveRow(1, 3);  // the rows between move up one
        QCOMPARE(g.Row(), 1);
    }

    void HeaderTextBeatsCaption() {
        TStringGridEx& g = *grid_;
        g.GridColumns()[1]->SetCaption("cap1");
        g.GridColumns()[2]->SetCaption("cap2");
        g.SetCells(1, 0, "text1");
        QCOMPARE(g.FixedText(1, 0), QString("text1"));
        QCOMPARE(g.FixedText(2, 0), QString("cap2"));
        QCOMPARE(g.model()->headerData(0, Qt::Horizontal).toString(), QString("text1"));
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal).toString(), QString("cap2"));
        g.GridColumns()[2]->SetCaption("");
        QCOMPARE(g.GridColumns()[2]->Caption(), QString(" "));
        // Captions belong to the header row only.
        g.SetCells(0, 2, "");
        QVERIFY(g.FixedText(0, 2).isEmpty());
    }

    void ColumnCountKeepsColumnsInStep() {
        TStringGridEx& g = *grid_;
        QFont font("DejaVu Sans");
        font.setPixelSize(15);
        g.setFont(font);
        g.SetColor(QColor(10, 20, 30));
        g.GridColumns()[1]->SetAlignment(TAlignment::taRightJustify);
        g.SetColCount(6);
        QCOMPARE(g.GridColumns().Count(), 6);
        for (int col : {4, 5}) {
            const TGridColumn* item = g.GridColumns()[col];
            QCOMPARE(item->Color(), QColor(10, 20, 30));
            QCOMPARE(item->Font(), font);
            QCOMPARE(item->FixCellFont(), font);
            QCOMPARE(item->Alignment(), TAlignment::taLeftJustify);
            QVERIFY(item->CanEdit());
            QVERIFY(item->Caption().isEmpty());
            QCOMPARE(item->DataType(), TGridDataType::dtString);
            QVERIFY(item->DisplayMask().isEmpty());
            QCOMPARE(item->ImeMode(), TImeMode::imDisable);
            QVERIFY(!item->Wordwrap());
            QVERIFY(!item->MultiLine());
            QCOMPARE(item->Index(), col);
        }
        // Existing items keep their settings.
        QCOMPARE(g.GridColumns()[1]->Alignment(), TAlignment::taRightJustify);

        g.SetColCount(3);
        QCOMPARE(g.GridColumns().Count(), 3);
        g.GridColumns().Add();
        QCOMPARE(g.ColCount(), 4);
        g.GridColumns().Delete(0);
        QCOMPARE(g.ColCount(), 3);
        QCOMPARE(g.GridColumns().Count(), 3);
        QCOMPARE(g.model()->columnCount(), 2);
    }

    void AssignCopiesColumns() {
        TStringGridEx other;
        other.SetColCount(3);
        other.GridColumns()[2]->SetCaption("x");
        other.GridColumns()[2]->SetDataType(TGridDataType::dtInteger);
        grid_->SetGridColumns(other.GridColumns());
        QCOMPARE(grid_->ColCount(), 3);
        QCOMPARE(grid_->GridColumns()[2]->Caption(), QString("x"));
        QCOMPARE(grid_->GridColumns()[2]->DataType(), TGridDataType::dtInteger);
    }

    void StripedAndColumnColours() {
        TStringGridEx& g = *grid_;
        g.SetRowCount(6);
        g.GridColumns()[2]->SetColor(QColor(200, 0, 0));
        QCOMPARE(g.CellColor(2, 3), QColor(200, 0, 0));
        QCOMPARE(g.CellColor(1, 3), g.Color());

        g.SetStripeColor(QColor(0, 0, 200));
        g.SetGridStyle(TGridStyle::gsStriped);
        QCOMPARE(g.CellColor(2, 2), QColor(0, 0, 200));
        QCOMPARE(g.CellColor(2, 3), g.Color());
        QCOMPARE(g.CellColor(1, 4), QColor(0, 0, 200));

        // What is painted: the stripe on even rows, also on the selected current cell.
        g.SetCurrentCell(2, 2);
        const QImage image = g.grab().toImage();
        auto sample = [&](int col, int row) {
            const QRect r = g.CellRect(col, row);
            return image.pixelColor(r.left() + r.width() / 2, r.top() + 3);
        };
        QCOMPARE(sample(2, 2), QColor(0, 0, 200));
        QCOMPARE(sample(2, 3), g.Color());
        QCOMPARE(sample(1, 4), QColor(0, 0, 200));
    }

    void BulkFillRaisesOneSignal() {
        TStringGridEx& g = *grid_;
        g.SetRowCount(1001);
        QStringList names;
        for (int i = 0; i < 1000; ++i)
            names << QString("f%1").arg(i);
        QSignalSpy changed(g.model(), &QAbstractItemModel::dataChanged);
        g.SetColumnCells(1, 1, names);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(g.Cells(1, 1000), QString("f999"));

        changed.clear();
        g.BeginUpdate();
        for (int row = 1; row <= 1000; ++row)
            g.SetCells(3, row, "d");
        g.EndUpdate();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(g.Cells(3, 500), QString("d"));
        // Texts past the last row are dropped, not stored.
        g.SetColumnCells(2, 999, {"a", "b", "c"});
        QCOMPARE(g.Cells(2, 1000), QString("b"));
        QVERIFY(g.Cells(2, 1001).isEmpty());
    }

    void DisplayMaskShowsTheDisplayForm() {
        TStringGridEx& g = *grid_;
        g.GridColumns()[1]->SetDisplayMask("#,##0.00");
        g.SetCells(1, 1, "1234.5");
        g.SetCells(1, 2, "1-2");
        QCOMPARE(g.DisplayText(1, 1), QString("1,234.50"));
        QCOMPARE(g.DisplayText(1, 2), QString("1-2"));
        QCOMPARE(g.Cells(1, 1), QString("1234.5"));
        QCOMPARE(g.model()->index(0, 0).data(Qt::DisplayRole).toString(), QString("1,234.50"));
    }

    void FormDesignOfTheRenameTable() {
        TMyStringGrid g;
        MyStringGrid::ApplyFormDesign(g);
        QCOMPARE(g.ColCount(), 4);
        QCOMPARE(g.ColWidths(0), 10);
        QCOMPARE(g.ColWidths(1), 132);
        QCOMPARE(g.ColWidths(2), 139);
        QCOMPARE(g.ColWidths(3), 222);
        QCOMPARE(g.DefaultColWidth(), 10);
        QCOMPARE(g.DefaultRowHeight(), 17);
        QVERIFY(!g.Options().testFlag(TGridOption::goEditing));
        QVERIFY(g.Options().testFlag(TGridOption::goRowMoving));
        QVERIFY(g.Options().testFlag(TGridOption::goRangeSelect));
        QVERIFY(g.Options().testFlag(TGridOption::goColSizing));
        QCOMPARE(g.GridColumns()[2]->Font().pixelSize(), 12);
        QCOMPARE(g.GridColumns()[3]->ImeMode(), TImeMode::imDisable);
    }

    void AccessibleTable() {
        TStringGridEx& g = *grid_;
        g.setAccessibleName("ファイル一覧");
        g.SetCells(1, 0, "元のファイル名");
        g.SetCells(1, 1, "a.txt");
        g.SetCells(0, 1, "V");
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&g);
        QVERIFY(table);
        QCOMPARE(table->text(QAccessible::Name), QString("ファイル一覧"));
        QAccessibleTableInterface* t = table->tableInterface();
        QVERIFY(t);
        QCOMPARE(t->rowCount(), 4);
        QCOMPARE(t->columnCount(), 3);
        QCOMPARE(t->cellAt(0, 0)->text(QAccessible::Name), QString("a.txt"));
        QCOMPARE(t->columnDescription(0), QString("元のファイル名"));
        QCOMPARE(t->rowDescription(0), QString("V"));
    }

private:
    std::unique_ptr<TStringGridEx> grid_;
};

QUORBEL_QTEST_MAIN(StringGridExTest)
#include "StringGridEx_test.moc"

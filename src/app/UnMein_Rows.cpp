// Marking rows and editing the list: every change of the rows is made to Pairs too, so that row i
// always shows the file of entry i - 1.
#include <QAction>
#include <QLabel>
#include <algorithm>

#include "app/UnMein.h"
#include "components/MyStringGrid.h"

bool TFmMein::TableLooksEmpty() const {
    return MySG->RowCount() <= MySG->FixedRows() + 1;
}

void TFmMein::EnableMarkCommands(bool enabled) {
    N21->setEnabled(enabled);
    N23->setEnabled(enabled);
}

void TFmMein::ShowFileCount() {
    StatusPanels[1]->setText(QString::number(Pairs.Size()));
}

void TFmMein::MarkUnprocessed(const std::vector<std::size_t>& indices) {
    if (indices.empty()) return;  // not even a repaint of a million rows
    MySG->BeginUpdate();
    for (const std::size_t index : indices)
        MySG->SetCells(0, static_cast<int>(index) + 1, RowMark::kUnprocessed);
    MySG->EndUpdate();
}

void TFmMein::N25Click() {
    if (TableLooksEmpty()) return;
    const int row = MySG->Selection().Top;
    if (MySG->Cells(0, row).isEmpty()) {
        MySG->SetCells(0, row, RowMark::kSelected);
        EnableMarkCommands(true);
    } else {
        MySG->SetCells(0, row, QString());  // a "*" goes too
    }
}

void TFmMein::MySGKeyDown(int key, Qt::KeyboardModifiers modifiers, bool& handled) {
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !modifiers.testFlag(Qt::ControlModifier)) return;
    N25Click();
    handled = true;
}

void TFmMein::MySGSelectCell(int /*col*/, int row) {
    LastSelectedRow = row;
}

void TFmMein::MySGMouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers modifiers, int x, int y) {
    if (TableLooksEmpty() || LastSelectedRow == 0 || !modifiers.testFlag(Qt::ShiftModifier)) return;
    const int pointed = MySG->MouseCoord(x, y).Y;
    if (pointed < 0) return;  // beside the cells
    // Only data rows, also when the row remembered lies beyond a shorter list loaded since.
    const int top = std::max(std::min(pointed, LastSelectedRow), MySG->FixedRows());
    const int bottom = std::min(std::max(pointed, LastSelectedRow), MySG->RowCount() - 1);
    MySG->BeginUpdate();
    for (int row = top; row <= bottom; ++row) {
        const QString& mark = MySG->Cells(0, row);
        if (mark.isEmpty()) {
            MySG->SetCells(0, row, RowMark::kSelected);
        } else if (mark == RowMark::kSelected) {
            MySG->SetCells(0, row, QString());
        }
    }
    MySG->EndUpdate();
    EnableMarkCommands(true);
}

void TFmMein::N23Click() {
    if (MySG->RowCount() > MySG->FixedRows())
        MySG->SetColumnCells(0, MySG->FixedRows(),
                             QStringList(MySG->RowCount() - MySG->FixedRows(), QString()));
    EnableMarkCommands(false);
}

void TFmMein::RemoveEntries(const std::vector<std::size_t>& indices) {
    if (indices.empty()) return;
    HaltPreview();
    std::vector<int> rows;
    rows.reserve(indices.size());
    for (const std::size_t index : indices)
        rows.push_back(static_cast<int>(index) + 1);
    MySG->DeleteRows(std::move(rows));
    Pairs.RemoveMany(indices);
    // The empty table keeps its one blank row.
    if (MySG->RowCount() == MySG->FixedRows()) MySG->SetRowCount(MySG->FixedRows() + 1);
    ShowFileCount();
    SchedulePreview();
}

void TFmMein::N2Click() {
    const int row = MySG->Row();
    if (row < 1 || static_cast<std::size_t>(row) > Pairs.Size()) return;  // the empty table's blank row
    RemoveEntries({static_cast<std::size_t>(row) - 1});
}

void TFmMein::N21Click() {
    if (TableLooksEmpty()) return;
    std::vector<std::size_t> marked;
    const int rows = std::min(MySG->RowCount() - 1, static_cast<int>(Pairs.Size()));
    for (int row = 1; row <= rows; ++row) {
        if (MySG->Cells(0, row) == RowMark::kSelected) marked.push_back(static_cast<std::size_t>(row) - 1);
    }
    RemoveEntries(marked);
    EnableMarkCommands(false);
}

void TFmMein::MySGRowMoved(int fromIndex, int toIndex) {
    if (fromIndex < 1 || toIndex < 1) return;
    const auto from = static_cast<std::size_t>(fromIndex - 1);
    const auto to = static_cast<std::size_t>(toIndex - 1);
    if (from >= Pairs.Size() || to >= Pairs.Size()) return;
    HaltPreview();
    Pairs.Move(from, to);
    SchedulePreview();
}

#include <algorithm>
#include <cassert>

#include "components/StringGridEx.h"
#include "components/StringGridEx_Parts.h"

namespace {

Qt::Alignment ToQt(TAlignment alignment) {
    switch (alignment) {
        case TAlignment::taRightJustify:
            return Qt::AlignRight | Qt::AlignVCenter;
        case TAlignment::taCenter:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case TAlignment::taLeftJustify:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

TStringGridModel::TStringGridModel(TStringGridEx* grid, int cols, int rows)
    : QAbstractTableModel(grid), grid_(grid), rows_(rows) {
    columns_.resize(static_cast<size_t>(cols));
}

const QString& TStringGridModel::Column::Stored(int row) const {
    static const QString kEmpty;
    return static_cast<size_t>(row) < cells.size() ? cells[static_cast<size_t>(row)] : kEmpty;
}

void TStringGridModel::Column::StoreUpTo(int row) {
    if (static_cast<size_t>(row) >= cells.size()) cells.resize(static_cast<size_t>(row) + 1);
}

template <class F>
void TStringGridModel::ForStoredColumns(F f) {
    for (Column& column : columns_) {
        if (!column.source) f(column.cells);
    }
}

int TStringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_ - 1;
}

int TStringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cols() - 1;
}

QVariant TStringGridModel::ColumnAlignment(int col) const {
    if (const TGridColumn* item = grid_->GridColumns().Find(col))
        return QVariant::fromValue(ToQt(item->Alignment()));
    return {};
}

QVariant TStringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return grid_->DisplayText(col, row);
        case Qt::EditRole:
            return Cell(col, row);
        case Qt::TextAlignmentRole:
            return ColumnAlignment(col);
        case Qt::ToolTipRole: {
            QString tip = grid_->CellLook(col, row).toolTip;
            return tip.isEmpty() ? QVariant() : QVariant(std::move(tip));
        }
        default:
            return {};
    }
}

bool TStringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || (role != Qt::EditRole && role != Qt::DisplayRole)) return false;
    grid_->SetCells(index.column() + 1, index.row() + 1, value.toString());
    return true;
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const int col = orientation == Qt::Horizontal ? section + 1 : 0;
    const int row = orientation == Qt::Horizontal ? 0 : section + 1;
    if (col >= Cols() || row >= rows_) return {};
    switch (role) {
        case Qt::DisplayRole:
            return grid_->FixedText(col, row);
        case Qt::TextAlignmentRole:
            return ColumnAlignment(col);
        default:
            return {};
    }
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (grid_->Options().testFlag(TGridOption::goEditing) && !HasSource(index.column() + 1))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QString TStringGridModel::Cell(int col, int row) const {
    if (col < 0 || col >= Cols() || row < 0 || row >= rows_) return {};
    const Column& column = columns_[static_cast<size_t>(col)];
    if (column.source && row > 0) return column.source(row);
    return column.Stored(row);
}

bool TStringGridModel::SetCell(int col, int row, const QString& text, bool notify) {
    if (col < 0 || col >= Cols() || row < 0 || row >= rows_) return true;
    Column& column = columns_[static_cast<size_t>(col)];
    if (column.source && row > 0) return false;
    if (!text.isEmpty() || !column.Stored(row).isEmpty()) {
        column.StoreUpTo(row);
        column.cells[static_cast<size_t>(row)] = text;
    }
    if (!notify) return true;
    if (row == 0) {
        if (col > 0) emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else if (col == 0) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        const QModelIndex i = index(row - 1, col - 1);
        emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
    return true;
}

void TStringGridModel::SetSource(int col, Source source) {
    if (col < 0 || col >= Cols()) return;
    Column& column = columns_[static_cast<size_t>(col)];
    column.source = std::move(source);
    // The header stays; the data rows are either asked for or stored (then empty).
    column.StoreUpTo(0);
    column.cells.resize(1);
    column.cells.shrink_to_fit();
    if (rows_ <= 1) return;
    if (col == 0) {
        emit headerDataChanged(Qt::Vertical, 0, rows_ - 2);
    } else {
        emit dataChanged(index(0, col - 1), index(rows_ - 2, col - 1), {Qt::DisplayRole, Qt::EditRole});
    }
}

bool TStringGridModel::HasSource(int col) const {
    return col >= 0 && col < Cols() && columns_[static_cast<size_t>(col)].source;
}

void TStringGridModel::SetColumn(int col, int firstRow, QStringList texts) {
    if (col < 0 || col >= Cols() || firstRow < 0 || firstRow >= rows_ || texts.isEmpty()) return;
    if (HasSource(col)) {
        assert(firstRow == 0 && texts.size() == 1 && "a column with a source stores its header only");
        if (firstRow == 0) SetCell(col, 0, texts.front(), true);
        return;
    }
    Column& column = columns_[static_cast<size_t>(col)];
    const int count = std::min(static_cast<int>(texts.size()), rows_ - firstRow);
    const int lastRow = firstRow + count - 1;
    column.StoreUpTo(lastRow);
    for (int i = 0; i < count; ++i)
        column.cells[static_cast<size_t>(firstRow) + static_cast<size_t>(i)] = std::move(texts[i]);
    if (firstRow == 0 && col > 0) emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    const int first = std::max(firstRow, 1);
    if (first > lastRow) return;
    if (col == 0) {
        emit headerDataChanged(Qt::Vertical, first - 1, lastRow - 1);
    } else {
        emit dataChanged(index(first - 1, col - 1), index(lastRow - 1, col - 1),
                         {Qt::DisplayRole, Qt::EditRole});
    }
}

void TStringGridModel::SetRows(int rows) {
    assert(rows >= 1);
    if (rows > rows_) {
        // New rows are empty, past the stored ones.
        beginInsertRows({}, rows_ - 1, rows - 2);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows - 1, rows_ - 2);
        ForStoredColumns([rows](std::vector<QString>& column) {
            if (column.size() > static_cast<size_t>(rows)) column.resize(static_cast<size_t>(rows));
        });
        rows_ = rows;
        endRemoveRows();
    }
}

void TStringGridModel::SetCols(int cols) {
    assert(cols >= 1);
    if (cols > Cols()) {
        beginInsertColumns({}, Cols() - 1, cols - 2);
        columns_.resize(static_cast<size_t>(cols));
        endInsertColumns();
    } else if (cols < Cols()) {
        beginRemoveColumns({}, cols - 1, Cols() - 2);
        columns_.resize(static_cast<size_t>(cols));
        endRemoveColumns();
    }
}

void TStringGridModel::NotifyRows(int firstRow, int lastRow, bool header) {
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, rows_ - 1);
    if (firstRow > lastRow) return;
    if (Cols() > 1)
        emit dataChanged(index(firstRow - 1, 0), index(lastRow - 1, Cols() - 2),
                         {Qt::DisplayRole, Qt::EditRole});
    // The header view visits every section of the range, painted or not: a million rows take
    // milliseconds, so only when column 0 did change.
    if (header) emit headerDataChanged(Qt::Vertical, firstRow - 1, lastRow - 1);
}

std::vector<int> TStringGridModel::RowsHolding(int col, const QString& text) const {
    std::vector<int> rows;
    if (col < 0 || col >= Cols()) return rows;
    const Column& column = columns_[static_cast<size_t>(col)];
    for (int row = 1; row < rows_; ++row) {
        if ((column.source ? column.source(row) : column.Stored(row)) == text) rows.push_back(row);
    }
    return rows;
}

void TStringGridModel::NotifyAll() {
    if (Cols() > 1) emit headerDataChanged(Qt::Horizontal, 0, Cols() - 2);
    NotifyRows(1, rows_ - 1);
}

void TStringGridModel::RemoveRow(int row) {
    if (row < 1 || row >= rows_) return;
    // The rows below take the place of the removed one; then the last, now surplus, row goes.
    ForStoredColumns([row](std::vector<QString>& column) {
        if (static_cast<size_t>(row) >= column.size()) return;
        std::rotate(column.begin() + row, column.begin() + row + 1, column.end());
        column.pop_back();
    });
    NotifyRows(row, rows_ - 1);
    SetRows(rows_ - 1);
}

void TStringGridModel::RemoveRows(const std::vector<int>& rows) {
    if (rows.empty()) return;
    assert(std::is_sorted(rows.begin(), rows.end()) &&
           std::adjacent_find(rows.begin(), rows.end()) == rows.end() && rows.front() >= 1 &&
           rows.back() < rows_);
    const int kept = rows_ - static_cast<int>(rows.size());
    ForStoredColumns([&rows](std::vector<QString>& column) {
        std::size_t next = 0;
        int to = rows.front();
        for (int row = rows.front(); static_cast<size_t>(row) < column.size(); ++row) {
            if (next < rows.size() && rows[next] == row) {
                ++next;
                continue;
            }
            column[static_cast<size_t>(to++)] = std::move(column[static_cast<size_t>(row)]);
        }
        column.resize(std::min(column.size(), static_cast<size_t>(to)));
    });
    NotifyRows(rows.front(), kept - 1);
    SetRows(kept);
}

void TStringGridModel::MoveRow(int from, int to) {
    if (from == to || from < 1 || to < 1 || from >= rows_ || to >= rows_) return;
    ForStoredColumns([from, to](std::vector<QString>& column) {
        const auto last = static_cast<size_t>(std::max(from, to));
        if (column.size() <= static_cast<size_t>(std::min(from, to))) return;  // all empty
        if (column.size() <= last) column.resize(last + 1);
        auto first = column.begin();
        if (from < to) {
            std::rotate(first + from, first + from + 1, first + to + 1);
        } else {
            std::rotate(first + to, first + from, first + from + 1);
        }
    });
    NotifyRows(std::min(from, to), std::max(from, to));
}

#pragma once

// Internal pieces of TStringGridEx: the cell model, the two headers (row 0 and column 0), the
// cell delegate and the corner cell. Not for use outside the grid.

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QWidget>
#include <functional>
#include <vector>

class TStringGridEx;

// The cells of the whole grid, column by column; rows 1.. and columns 1.. are the model's items,
// row 0 and column 0 its header data. A column with a source stores only its header cell and asks
// the source for the texts of its data rows.
class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TStringGridModel(TStringGridEx* grid, int cols, int rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The alignment of a column's cells, header included; null without a column item.
    QVariant ColumnAlignment(int col) const;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    using Source = std::function<QString(int row)>;

    int Cols() const { return static_cast<int>(columns_.size()); }
    int Rows() const { return rows_; }
    QString Cell(int col, int row) const;
    // Stores a text; notify = false leaves the repaint to the caller. False for a data cell of a
    // column with a source, which stores nothing.
    bool SetCell(int col, int row, const QString& text, bool notify);
    // An empty source makes the column store its cells again, all empty.
    void SetSource(int col, Source source);
    bool HasSource(int col) const;
    void SetColumn(int col, int firstRow, QStringList texts);
    void SetRows(int rows);
    void SetCols(int cols);
    // Data rows firstRow..lastRow (grid rows) changed, and with header their column 0 texts.
    void NotifyRows(int firstRow, int lastRow, bool header = true);
    // The data rows whose cell in col is text, ascending.
    std::vector<int> RowsHolding(int col, const QString& text) const;
    void NotifyAll();
    void RemoveRow(int row);
    // rows ascending, each a data row: removed in one pass, the others close up in order.
    void RemoveRows(const std::vector<int>& rows);
    void MoveRow(int from, int to);

private:
    struct Column {
        // [row] up to the last row stored; the rows after it are empty. A column of marks mostly
        // is: a million empty texts would take 24 MB. The header alone for a column with a source.
        std::vector<QString> cells;
        Source source;
        const QString& Stored(int row) const;
        void StoreUpTo(int row);
    };
    // The columns whose data rows are stored, the ones the row operations move.
    template <class F>
    void ForStoredColumns(F f);

    TStringGridEx* grid_;
    std::vector<Column> columns_;
    int rows_;
};

// Row 0 (horizontal) or column 0 (vertical). Paints its sections as the grid's fixed cells; the
// vertical one also drags rows when row moving is on.
class TGridHeader : public QHeaderView {
    Q_OBJECT
public:
    TGridHeader(Qt::Orientation orientation, TStringGridEx* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int RowAtClamped(int y) const;

    TStringGridEx* grid_;
    int pressRow_ = -1;  // model row pressed in the vertical header
    QPoint pressPos_;
    bool dragging_ = false;
};

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(TStringGridEx* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    // Keys go to the editor itself, which knows the grid's editing keys.
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TStringGridEx* grid_;
};

// The top-left cell (0, 0).
class TGridCorner : public QWidget {
    Q_OBJECT
public:
    explicit TGridCorner(TStringGridEx* grid);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TStringGridEx* grid_;
};

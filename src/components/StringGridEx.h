#pragma once

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

#include "components/GridColumns.h"
#include "components/GridTypes.h"

class TInplaceEditEx;
class TStringGridModel;
class TGridHeader;
class TGridDelegate;
class TGridCorner;

// A string grid on Qt's model/view with grid coordinates: row 0 is the fixed header row and
// column 0 the fixed column; data cells are rows 1..RowCount()-1, columns 1..ColCount()-1.
// Row 0 is shown as the horizontal header (its text, else the column's Caption) and column 0 as the
// vertical header (drag a row there to move it). Each column carries a TGridColumn with its
// alignment, colours, fonts, data type, display mask and editor settings.
//
// The cells live in one string model: nothing is allocated per cell or per row beyond its text,
// and painting touches only the visible rows. For bulk loads use SetColumnCells, or wrap many
// SetCells in BeginUpdate / EndUpdate. A column can instead take its texts from a source (see
// SetColumnSource) and then holds nothing per row at all.
//
// Selection follows the classic grid: the current cell (Row, Col) is one corner of the selection
// rectangle and a shift-click or shift-arrow moves only the far corner, so it does not raise
// CellSelected. Selected cells keep their colours; the current cell shows a focus frame while the
// grid has the focus. Mouse buttons other than the left one do not move the current cell.
// Keys the grid has no use for (Enter without goEditing, Escape, letters without goEditing …) are
// ignored and travel on to the parent widget.
class TStringGridEx : public QTableView {
    Q_OBJECT
public:
    explicit TStringGridEx(QWidget* parent = nullptr);
    ~TStringGridEx() override;

    // --- Cells -------------------------------------------------------------------------------
    // Text of a cell; an empty string outside the grid.
    QString Cells(int col, int row) const;
    // Storing into a data cell of a column with a source is a programming error: it asserts, and
    // without assertions the cell is left as its source has it.
    void SetCells(int col, int row, const QString& text);
    // Bulk fill: texts[i] goes to (col, firstRow + i); rows beyond RowCount() are not written.
    // One model signal for the whole range.
    void SetColumnCells(int col, int firstRow, QStringList texts);
    // The data rows whose cell in col is text, ascending, found in one pass over the column.
    std::vector<int> RowsHolding(int col, const QString& text) const;
    // texts[i] goes to (firstCol + i, row).
    void SetRowCells(int row, const QStringList& texts, int firstCol = 0);
    // While updates are open (nestable), SetCells raises no model signal; the last EndUpdate
    // repaints everything once. Row and column count changes still take effect at once.
    void BeginUpdate();
    void EndUpdate();

    // --- Columns that read their texts from elsewhere ------------------------------------------
    // The source gives the text of a data row (1..RowCount()-1) of the column when the row is
    // painted or read, so a long list costs the grid nothing per row. The column's header (row 0)
    // stays a stored cell, and its cells cannot be edited. Row operations (ClearRows, DeleteRow,
    // DeleteRows, MoveRow) move only the stored columns: the owner of the source changes its data
    // in step and the source answers for the rows as they are. An empty source makes the column
    // store its cells again, all empty.
    using TCellSource = std::function<QString(int row)>;
    void SetColumnSource(int col, TCellSource source);
    bool HasColumnSource(int col) const;
    // Repaints data rows firstRow..lastRow after their source changed.
    void RefreshRows(int firstRow, int lastRow);

    // --- Looks of single cells, without an object per cell ---------------------------------------
    // What a data cell shows beyond its text: an invalid colour or an empty tip keeps the column's.
    struct TCellLook {
        QColor text;
        QColor background;
        QString toolTip;
    };
    // The look gives the look of a data row of the column when the row is painted or its tip
    // asked for; an empty look gives every cell the column's. Repaint with RefreshRows.
    using TCellLookSource = std::function<TCellLook(int row)>;
    void SetColumnLook(int col, TCellLookSource look);
    TCellLook CellLook(int col, int row) const;

    // --- Size --------------------------------------------------------------------------------
    int RowCount() const;
    void SetRowCount(int count);  // at least FixedRows(); new rows are empty
    int ColCount() const;
    void SetColCount(int count);  // at least FixedCols(); keeps GridColumns in step
    int FixedRows() const { return 1; }
    int FixedCols() const { return 1; }
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int DefaultColWidth() const;
    void SetDefaultColWidth(int width);  // also resizes every column 1.. to it
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int height);  // every row, the header row included
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);

    // --- Current cell, selection, mouse ---------------------------------------------------------
    int Row() const;
    int Col() const;
    void SetRow(int row);  // raises CellSelected when the current cell changes
    void SetCol(int col);
    void SetCurrentCell(int col, int row);
    // The selected rectangle; the current cell alone without a range selection.
    TGridRect Selection() const;
    // Right/Bottom become the current cell and Left/Top the far corner; raises no CellSelected.
    void SetSelection(const TGridRect& rect);
    int TopRow() const;  // first data row on screen
    void SetTopRow(int row);
    int VisibleRowCount() const;  // data rows that fit the viewport completely
    // The cell under a point in this widget's coordinates (header row and fixed column included);
    // -1 for a coordinate outside the cells.
    TGridCoord MouseCoord(int x, int y) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    // The rectangle of a cell in this widget's coordinates; empty when not on screen.
    QRect CellRect(int col, int row) const;

    // --- Row operations ------------------------------------------------------------------------
    // Empties every non-fixed row and leaves the header and one blank row; nothing when the grid
    // has only its fixed rows.
    void ClearRows();
    // Rows below move up one place, the last row goes; nothing for a fixed row or outside.
    void DeleteRow(int row);
    // Deletes many rows at once, in time linear in the row count; rows that are no data rows are
    // ignored. The rows left close up in their order.
    void DeleteRows(std::vector<int> rows);
    // Takes row `from` out and inserts it at `to`, shifting the rows between; raises RowMoved.
    void MoveRow(int from, int to);

    // --- Options and looks ------------------------------------------------------------------
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    TGridColumns& GridColumns() { return *columns_; }
    const TGridColumns& GridColumns() const { return *columns_; }
    void SetGridColumns(const TGridColumns& columns);
    TGridStyle GridStyle() const { return gridStyle_; }
    void SetGridStyle(TGridStyle style);
    const QColor& StripeColor() const { return stripeColor_; }
    void SetStripeColor(const QColor& color);
    // The grid's colour: the background of data cells without a column colour of their own.
    QColor Color() const;
    void SetColor(const QColor& color);
    // Background of the fixed cells.
    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor& color);
    // Background of a data cell: StripeColor / grid colour in striped style, else the column's.
    QColor CellColor(int col, int row) const;
    // The text a data cell shows: its display form under the column's DisplayMask, else the text.
    QString DisplayText(int col, int row) const;
    // The text a fixed cell shows: its own text; in row 0 an empty text gives the column's Caption.
    QString FixedText(int col, int row) const;

    // --- In-place editing -------------------------------------------------------------------
    TInplaceEditEx* InplaceEditor() const;
    bool EditorMode() const;
    void SetEditorMode(bool on);  // opens the editor on the current cell / commits and closes it

signals:
    // A plain left click on a data cell (also on the current one), or the current cell changed by
    // keyboard or SetRow/SetCol/SetCurrentCell. Not raised for shift-clicks and row operations.
    void CellSelected(int col, int row);
    // A row was moved (dragged in column 0 or MoveRow): grid row indexes before and after.
    void RowMoved(int fromIndex, int toIndex);
    // The user dragged the border of a column (not raised for SetColWidths).
    void ColumnResized(int col, int oldWidth, int newWidth);
    // A key was pressed in the grid (not in its editor), before the grid handles it; set handled to
    // stop the grid's own handling. Connect directly.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers, bool& handled);
    // A mouse button was pressed on the grid (cells or headers), after the grid handled the press;
    // x, y in this widget's coordinates (use MouseCoord).
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    // Draws one cell: fixed cells in FixedColor with FixCellFont (header: text or Caption), data
    // cells in their cell colour and column font with their display form; insets 3 and 2 pixels.
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state);
    virtual TInplaceEditEx* CreateEditor(QWidget* parent);
    // The current column's CanEdit (true for a column without an item).
    virtual bool CanEditModify() const;
    // Whether a typed character may enter the current column (dtInteger: controls, blank, + - . 0-9).
    virtual bool CanEditAcceptKey(QChar key) const;
    // Prepares the editor for the cell (input method, font, line mode, wrap, colour), returns its text.
    virtual QString GetEditText(int col, int row);
    // Stores the editor's text; a dtInteger column normalises it or refuses it (see the .cpp).
    virtual void SetEditText(int col, int row, const QString& value);

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void updateGeometries() override;
    using QTableView::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    friend class TGridColumns;
    friend class TInplaceEditEx;
    friend class TGridHeader;
    friend class TGridDelegate;
    friend class TGridCorner;
    class StructureGuard;

    // Column-count invariant, grid side and collection side.
    void ColumnsCountChanged(int count);
    void ColumnSettingsChanged();
    void ApplyColCount(int count, bool touchColumns);

    // Current cell and selection bookkeeping.
    TGridCoord ClampToData(TGridCoord cell) const;
    void MoveCurrent(TGridCoord cell, bool alwaysNotify);
    void MoveAnchor(TGridCoord cell);
    void SyncSelection();
    void ScrollToCell(TGridCoord cell);
    bool NavTarget(int key, Qt::KeyboardModifiers modifiers, TGridCoord& target, bool& extend) const;
    bool Navigate(int key, Qt::KeyboardModifiers modifiers);
    TGridCoord CellAtViewport(const QPoint& pos, bool clamp) const;
    void PressCell(const QPoint& viewportPos, Qt::KeyboardModifiers modifiers, bool doubleClick);
    void EmitMouseDown(QWidget* source, const QPoint& pos, Qt::MouseButton button,
                       Qt::KeyboardModifiers modifiers);

    // Editing.
    void OpenEditor(bool caretToEnd);
    void HideEditor();
    void CancelEditor();
    bool EditorNavigate(int key, Qt::KeyboardModifiers modifiers);
    void EditorTextChanged();
    bool IsMultiLineColumn(int col) const;

    // Row moving (driven by the vertical header).
    void SetRowMoveMark(int row, bool below);
    int RowMoveMarkY(int viewportTop, int rowTop, int rowHeight) const;

    TStringGridModel* model_ = nullptr;
    TGridHeader* hHeader_ = nullptr;
    TGridHeader* vHeader_ = nullptr;
    TGridDelegate* delegate_ = nullptr;
    TGridCorner* corner_ = nullptr;
    std::unique_ptr<TGridColumns> columns_;
    TGridOptions options_;
    TGridStyle gridStyle_ = TGridStyle::gsNormal;
    QColor stripeColor_;
    QColor fixedColor_;
    int defaultRowHeight_ = 20;
    int headerHeight_ = 20;  // row 0
    int col0Width_ = 64;     // column 0
    int updateDepth_ = 0;
    std::vector<TCellLookSource> looks_;  // by column; shorter than the columns where none has one
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    bool quiet_ = false;         // model or program driven changes of Qt's current index
    bool settingWidth_ = false;  // program driven column width changes
    bool selecting_ = false;     // left button held after a press in the cells
    int rowMoveMark_ = -1;       // grid row under a row drag, for the drop mark
    bool rowMoveBelow_ = false;  // the mark goes below that row (dragging downwards)
    QPointer<TInplaceEditEx> editor_;
    TGridCoord editCell_;
    QString editOriginal_;
    bool editorLoading_ = false;
};

#include "components/StringGridEx.h"

#include <QAbstractButton>
#include <QScrollBar>
#include <algorithm>
#include <cassert>

#include "components/ComponentText.h"
#include "components/GridFormat.h"
#include "components/InplaceEditEx.h"
#include "components/StringGridEx_Parts.h"

using ComponentText::Tr;

namespace {
constexpr int kInitialCols = 4;
constexpr int kInitialRows = 5;
constexpr int kInitialColWidth = 64;
constexpr int kInitialRowHeight = 20;
}  // namespace

// Structural changes move Qt's current index on their own; the guard keeps the grid's own current
// cell and puts Qt's index and selection back in line with it afterwards.
class TStringGridEx::StructureGuard {
public:
    explicit StructureGuard(TStringGridEx& grid) : grid_(grid), wasQuiet_(grid.quiet_) { grid.quiet_ = true; }
    ~StructureGuard() {
        grid_.quiet_ = wasQuiet_;
        grid_.current_ = grid_.ClampToData(grid_.current_);
        grid_.anchor_ = grid_.ClampToData(grid_.anchor_);
        grid_.SyncSelection();
    }
    StructureGuard(const StructureGuard&) = delete;
    StructureGuard& operator=(const StructureGuard&) = delete;

private:
    TStringGridEx& grid_;
    bool wasQuiet_;
};

TStringGridEx::TStringGridEx(QWidget* parent)
    : QTableView(parent), columns_(std::make_unique<TGridColumns>(this)) {
    model_ = new TStringGridModel(this, kInitialCols, kInitialRows);
    hHeader_ = new TGridHeader(Qt::Horizontal, this);
    vHeader_ = new TGridHeader(Qt::Vertical, this);
    setHorizontalHeader(hHeader_);
    setVerticalHeader(vHeader_);
    delegate_ = new TGridDelegate(this);
    setItemDelegate(delegate_);
    corner_ = new TGridCorner(this);
    setModel(model_);

    fixedColor_ = palette().color(QPalette::Button);
    stripeColor_ = Color();
    columns_->Resize(kInitialCols);

    setShowGrid(false);
    setCornerButtonEnabled(false);
    // Assistive tools list the headers and Qt's corner button (under the grid's own corner cell).
    hHeader_->setAccessibleName(Tr("列見出し"));
    vHeader_->setAccessibleName(Tr("行見出し"));
    corner_->setAccessibleName(Tr("見出しの角"));
    for (QAbstractButton* button : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
        button->setAccessibleName(corner_->accessibleName());
    setWordWrap(false);
    setSelectionBehavior(SelectItems);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setDragDropMode(NoDragDrop);
    setAutoScroll(false);  // the grid scrolls to the cells it moves to itself
    for (QHeaderView* header : {static_cast<QHeaderView*>(hHeader_), static_cast<QHeaderView*>(vHeader_)}) {
        header->setMinimumSectionSize(1);
        header->setHighlightSections(false);
        header->setSectionsClickable(false);
        header->setSectionsMovable(false);
        header->setStretchLastSection(false);
    }
    vHeader_->setSectionResizeMode(QHeaderView::Fixed);
    SetDefaultColWidth(kInitialColWidth);
    SetDefaultRowHeight(kInitialRowHeight);
    SetOptions(TGridOption::goFixedVertLine | TGridOption::goFixedHorzLine | TGridOption::goVertLine |
               TGridOption::goHorzLine | TGridOption::goRangeSelect);
    connect(hHeader_, &QHeaderView::sectionResized, this, [this](int logical, int oldSize, int newSize) {
        if (!settingWidth_) emit ColumnResized(logical + 1, oldSize, newSize);
    });
    SyncSelection();
}

TStringGridEx::~TStringGridEx() {
    // Nothing may call back into the grid while Qt takes the child widgets down: the editor is
    // released without committing, the view lets go of the model, the items of the grid.
    if (editor_) QTableView::closeEditor(editor_, QAbstractItemDelegate::NoHint);
    editor_ = nullptr;
    setModel(nullptr);
    columns_->grid_ = nullptr;
}

// --- Cells ---------------------------------------------------------------------------------------

QString TStringGridEx::Cells(int col, int row) const {
    return model_->Cell(col, row);
}

void TStringGridEx::SetCells(int col, int row, const QString& text) {
    [[maybe_unused]] const bool stored = model_->SetCell(col, row, text, updateDepth_ == 0);
    assert(stored && "the cells of a column with a source are its source's");
    if (row == 0 && col == 0) corner_->update();
}

void TStringGridEx::SetColumnCells(int col, int firstRow, QStringList texts) {
    model_->SetColumn(col, firstRow, std::move(texts));
    if (col == 0 && firstRow == 0) corner_->update();
}

void TStringGridEx::SetRowCells(int row, const QStringList& texts, int firstCol) {
    for (int i = 0; i < texts.size(); ++i)
        SetCells(firstCol + i, row, texts[i]);
}

void TStringGridEx::SetColumnSource(int col, TCellSource source) {
    if (editor_ && editCell_.X == col) HideEditor();
    model_->SetSource(col, std::move(source));
}

void TStringGridEx::SetColumnLook(int col, TCellLookSource look) {
    if (col < 0) return;
    if (static_cast<std::size_t>(col) >= looks_.size()) looks_.resize(static_cast<std::size_t>(col) + 1);
    looks_[static_cast<std::size_t>(col)] = std::move(look);
}

TStringGridEx::TCellLook TStringGridEx::CellLook(int col, int row) const {
    if (col < 0 || static_cast<std::size_t>(col) >= looks_.size() || row < 1 || row >= RowCount()) return {};
    const TCellLookSource& look = looks_[static_cast<std::size_t>(col)];
    return look ? look(row) : TCellLook{};
}

bool TStringGridEx::HasColumnSource(int col) const {
    return model_->HasSource(col);
}

void TStringGridEx::RefreshRows(int firstRow, int lastRow) {
    // Stored cells did not change: column 0 is repainted only when it is read from a source.
    model_->NotifyRows(firstRow, lastRow, model_->HasSource(0));
}

std::vector<int> TStringGridEx::RowsHolding(int col, const QString& text) const {
    return model_->RowsHolding(col, text);
}

void TStringGridEx::BeginUpdate() {
    ++updateDepth_;
}

void TStringGridEx::EndUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    model_->NotifyAll();
    corner_->update();
}

// --- Size ----------------------------------------------------------------------------------------

int TStringGridEx::RowCount() const {
    return model_->Rows();
}

void TStringGridEx::SetRowCount(int count) {
    count = std::max(count, FixedRows());
    if (count == RowCount()) return;
    if (count < RowCount() && editCell_.Y >= count) HideEditor();
    StructureGuard guard(*this);
    model_->SetRows(count);
}

int TStringGridEx::ColCount() const {
    return model_->Cols();
}

void TStringGridEx::SetColCount(int count) {
    ApplyColCount(std::max(count, FixedCols()), true);
}

void TStringGridEx::ColumnsCountChanged(int count) {
    ApplyColCount(std::max(count, FixedCols()), false);
}

void TStringGridEx::ApplyColCount(int count, bool touchColumns) {
    if (count != ColCount()) {
        if (count < ColCount() && editCell_.X >= count) HideEditor();
        StructureGuard guard(*this);
        const bool wasSetting = settingWidth_;
        settingWidth_ = true;
        model_->SetCols(count);
        settingWidth_ = wasSetting;
    }
    if (touchColumns) columns_->Resize(count);
    ColumnSettingsChanged();
}

int TStringGridEx::ColWidths(int col) const {
    if (col == 0) return col0Width_;
    if (col < 0 || col >= ColCount()) return 0;
    return hHeader_->sectionSize(col - 1);
}

void TStringGridEx::SetColWidths(int col, int width) {
    width = std::max(width, 0);
    if (col == 0) {
        col0Width_ = width;
        vHeader_->setFixedWidth(width);
        TStringGridEx::updateGeometries();  // also runs from the constructor
        return;
    }
    if (col < 0 || col >= ColCount()) return;
    const bool wasSetting = settingWidth_;
    settingWidth_ = true;
    hHeader_->resizeSection(col - 1, width);
    settingWidth_ = wasSetting;
}

int TStringGridEx::DefaultColWidth() const {
    return hHeader_->defaultSectionSize();
}

void TStringGridEx::SetDefaultColWidth(int width) {
    const bool wasSetting = settingWidth_;
    settingWidth_ = true;
    hHeader_->setDefaultSectionSize(std::max(width, 1));
    for (int i = 0; i < hHeader_->count(); ++i)
        hHeader_->resizeSection(i, width);
    settingWidth_ = wasSetting;
    SetColWidths(0, width);
}

int TStringGridEx::DefaultRowHeight() const {
    return defaultRowHeight_;
}

void TStringGridEx::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(height, 1);
    vHeader_->setDefaultSectionSize(defaultRowHeight_);
    SetRowHeights(0, defaultRowHeight_);
}

int TStringGridEx::RowHeights(int row) const {
    if (row == 0) return headerHeight_;
    if (row < 0 || row >= RowCount()) return 0;
    return vHeader_->sectionSize(row - 1);
}

void TStringGridEx::SetRowHeights(int row, int height) {
    height = std::max(height, 0);
    if (row == 0) {
        headerHeight_ = height;
        hHeader_->setFixedHeight(height);
        TStringGridEx::updateGeometries();  // also runs from the constructor
    } else if (row < RowCount()) {
        vHeader_->resizeSection(row - 1, height);
    }
}

int TStringGridEx::TopRow() const {
    const int top = rowAt(0);
    return top < 0 ? FixedRows() : top + 1;
}

void TStringGridEx::SetTopRow(int row) {
    verticalScrollBar()->setValue(std::max(row, FixedRows()) - 1);
}

int TStringGridEx::VisibleRowCount() const {
    const int top = rowAt(0);
    if (top < 0) return 0;
    const int height = viewport()->height();
    int count = 0;
    for (int r = top; r < model_->rowCount(); ++r, ++count)
        if (rowViewportPosition(r) + rowHeight(r) > height) break;
    return count;
}

TGridCoord TStringGridEx::MouseCoord(int x, int y) const {
    const QPoint vp = viewport()->mapFrom(this, QPoint(x, y));
    const QRect vh = vHeader_->geometry();
    const QRect hh = hHeader_->geometry();
    TGridCoord cell;
    if (x >= vh.left() && x <= vh.right()) {
        cell.X = 0;
    } else if (vp.x() >= 0 && vp.x() < viewport()->width()) {
        const int c = columnAt(vp.x());
        cell.X = c < 0 ? -1 : c + 1;
    }
    if (y >= hh.top() && y <= hh.bottom()) {
        cell.Y = 0;
    } else if (vp.y() >= 0 && vp.y() < viewport()->height()) {
        const int r = rowAt(vp.y());
        cell.Y = r < 0 ? -1 : r + 1;
    }
    if (cell.X < 0 || cell.Y < 0) return {};
    return cell;
}

void TStringGridEx::MouseToCell(int x, int y, int& col, int& row) const {
    const TGridCoord cell = MouseCoord(x, y);
    col = cell.X;
    row = cell.Y;
}

QRect TStringGridEx::CellRect(int col, int row) const {
    QRect r;
    if (col == 0) {
        r.setLeft(vHeader_->x());
        r.setWidth(vHeader_->width());
    } else if (col > 0 && col < ColCount()) {
        r.setLeft(viewport()->x() + columnViewportPosition(col - 1));
        r.setWidth(columnWidth(col - 1));
    } else {
        return {};
    }
    if (row == 0) {
        r.setTop(hHeader_->y());
        r.setHeight(hHeader_->height());
    } else if (row > 0 && row < RowCount()) {
        r.setTop(viewport()->y() + rowViewportPosition(row - 1));
        r.setHeight(rowHeight(row - 1));
    } else {
        return {};
    }
    return r.intersects(rect()) ? r : QRect();
}

// --- Row operations ------------------------------------------------------------------------------

void TStringGridEx::ClearRows() {
    if (RowCount() == FixedRows()) return;
    HideEditor();
    StructureGuard guard(*this);
    // Only row 1 survives the shrink, so it is the only one that needs emptying.
    for (int col = 0; col < ColCount(); ++col)
        model_->SetCell(col, FixedRows(), QString(), false);
    model_->SetRows(FixedRows() + 1);
    model_->NotifyRows(FixedRows(), FixedRows());
}

void TStringGridEx::DeleteRow(int row) {
    if (row < FixedRows() || row >= RowCount()) return;
    HideEditor();
    StructureGuard guard(*this);
    model_->RemoveRow(row);
}

void TStringGridEx::DeleteRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](int row) { return row < FixedRows() || row >= RowCount(); });
    if (rows.empty()) return;
    HideEditor();
    StructureGuard guard(*this);
    model_->RemoveRows(rows);
}

void TStringGridEx::MoveRow(int from, int to) {
    if (from == to || from < FixedRows() || to < FixedRows() || from >= RowCount() || to >= RowCount())
        return;
    HideEditor();
    {
        StructureGuard guard(*this);
        model_->MoveRow(from, to);
        // The current cell travels with its row, as the rows between shift by one.
        auto follow = [from, to](int r) {
            if (r == from) return to;
            if (from < to && r > from && r <= to) return r - 1;
            if (from > to && r >= to && r < from) return r + 1;
            return r;
        };
        current_.Y = follow(current_.Y);
        anchor_.Y = follow(anchor_.Y);
    }
    emit RowMoved(from, to);
}

// --- Options and looks ---------------------------------------------------------------------------

void TStringGridEx::SetOptions(TGridOptions options) {
    options_ = options;
    hHeader_->setSectionResizeMode(options.testFlag(TGridOption::goColSizing) ? QHeaderView::Interactive
                                                                              : QHeaderView::Fixed);
    setTabKeyNavigation(options.testFlag(TGridOption::goTabs));
    setSelectionMode(options.testFlag(TGridOption::goRangeSelect) ? ContiguousSelection : SingleSelection);
    setEditTriggers(options.testFlag(TGridOption::goEditing)
                        ? EditTriggers(AnyKeyPressed | EditKeyPressed | DoubleClicked | SelectedClicked)
                        : EditTriggers(NoEditTriggers));
    if (!options.testFlag(TGridOption::goEditing)) HideEditor();
    if (!options.testFlag(TGridOption::goRangeSelect)) anchor_ = current_;
    SyncSelection();
    ColumnSettingsChanged();
}

void TStringGridEx::SetGridColumns(const TGridColumns& columns) {
    columns_->Assign(columns);
}

void TStringGridEx::SetGridStyle(TGridStyle style) {
    gridStyle_ = style;
    viewport()->update();
}

void TStringGridEx::SetStripeColor(const QColor& color) {
    stripeColor_ = color;
    viewport()->update();
}

QColor TStringGridEx::Color() const {
    return palette().color(QPalette::Base);
}

void TStringGridEx::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    viewport()->update();
}

void TStringGridEx::SetFixedColor(const QColor& color) {
    fixedColor_ = color;
    ColumnSettingsChanged();
}

QColor TStringGridEx::CellColor(int col, int row) const {
    if (gridStyle_ == TGridStyle::gsStriped) return row % 2 == 0 ? stripeColor_ : Color();
    if (const TGridColumn* item = columns_->Find(col)) return item->Color();
    return Color();
}

QString TStringGridEx::DisplayText(int col, int row) const {
    QString text = Cells(col, row);
    const TGridColumn* item = columns_->Find(col);
    if (text.isEmpty() || !item || item->DisplayMask().isEmpty()) return text;
    return GridFormat::DisplayForm(text, item->DisplayMask());
}

QString TStringGridEx::FixedText(int col, int row) const {
    QString text = Cells(col, row);
    if (row == 0 && text.isEmpty())
        if (const TGridColumn* item = columns_->Find(col)) return item->Caption();
    return text;
}

void TStringGridEx::ColumnSettingsChanged() {
    viewport()->update();
    hHeader_->viewport()->update();
    vHeader_->viewport()->update();
    corner_->update();
}

void TStringGridEx::updateGeometries() {
    QTableView::updateGeometries();
    // Our own corner cell sits over Qt's corner button.
    corner_->setGeometry(viewport()->x() - vHeader_->width(), viewport()->y() - hHeader_->height(),
                         vHeader_->width(), hHeader_->height());
    corner_->raise();
}

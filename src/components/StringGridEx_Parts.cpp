// Painting of TStringGridEx and its internal pieces: headers, cell delegate, corner cell.

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "components/InplaceEditEx.h"
#include "components/StringGridEx.h"
#include "components/StringGridEx_Parts.h"

namespace {

Qt::Alignment HorizontalAlignment(const TGridColumn* item) {
    if (!item) return Qt::AlignLeft;
    switch (item->Alignment()) {
        case TAlignment::taRightJustify:
            return Qt::AlignRight;
        case TAlignment::taCenter:
            return Qt::AlignHCenter;
        case TAlignment::taLeftJustify:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

// --- Cell drawing --------------------------------------------------------------------------------

void TStringGridEx::DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    const bool fixed = state.testFlag(TGridDrawStateFlag::gdFixed);
    const TGridColumn* item = columns_->Find(col);

    // A data cell is filled with its own colour, selected or not: only the focus frame marks the
    // current cell.
    const TCellLook look = fixed ? TCellLook{} : CellLook(col, row);
    painter.fillRect(rect, fixed                       ? fixedColor_
                           : look.background.isValid() ? look.background
                                                       : CellColor(col, row));
    const QColor line =
        fixed ? palette().color(QPalette::Mid) : palette().color(QPalette::Midlight).darker(112);
    if (options_.testFlag(fixed ? TGridOption::goFixedVertLine : TGridOption::goVertLine))
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), line);
    if (options_.testFlag(fixed ? TGridOption::goFixedHorzLine : TGridOption::goHorzLine))
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), line);

    const QString text = fixed ? FixedText(col, row) : DisplayText(col, row);
    if (!text.isEmpty()) {
        painter.setFont(item ? (fixed ? item->FixCellFont() : item->Font()) : font());
        painter.setPen(look.text.isValid() ? look.text
                                           : palette().color(fixed ? QPalette::ButtonText : QPalette::Text));
        const int inset = fixed ? 3 : 2;
        int flags = static_cast<int>(HorizontalAlignment(item));
        QRect textRect;
        if (item && item->Wordwrap()) {
            flags |= Qt::AlignTop | Qt::TextWordWrap;
            textRect = rect.adjusted(inset, inset, -inset, -inset);
        } else {
            // Centred in the full height: CJK fonts are often taller than the classic row height
            // leaves after a vertical inset.
            flags |= Qt::AlignVCenter;
            textRect = rect.adjusted(inset, 0, -inset, 0);
        }
        painter.drawText(textRect, flags, text);
    }
    if (!fixed && state.testFlag(TGridDrawStateFlag::gdFocused)) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -3, -3));
    }
    painter.restore();
}

void TStringGridEx::SetRowMoveMark(int row, bool below) {
    rowMoveMark_ = row;
    rowMoveBelow_ = below;
    viewport()->update();
    vHeader_->viewport()->update();
}

int TStringGridEx::RowMoveMarkY(int viewportTop, int rowTop, int rowHeight) const {
    return viewportTop + rowTop + (rowMoveBelow_ ? rowHeight - 2 : 0);
}

void TStringGridEx::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (rowMoveMark_ < FixedRows() || rowMoveMark_ >= RowCount()) return;
    QPainter painter(viewport());
    const int y = RowMoveMarkY(0, rowViewportPosition(rowMoveMark_ - 1), rowHeight(rowMoveMark_ - 1));
    painter.fillRect(QRect(0, y, viewport()->width(), 2), palette().color(QPalette::Highlight));
}

// --- Headers -------------------------------------------------------------------------------------

TGridHeader::TGridHeader(Qt::Orientation orientation, TStringGridEx* grid)
    : QHeaderView(orientation, grid), grid_(grid) {}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const bool horizontal = orientation() == Qt::Horizontal;
    grid_->DrawCell(*painter, horizontal ? logicalIndex + 1 : 0, horizontal ? 0 : logicalIndex + 1, rect,
                    TGridDrawStateFlag::gdFixed);
}

void TGridHeader::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    const int mark = grid_->rowMoveMark_;
    if (orientation() != Qt::Vertical || mark < 1 || mark > count()) return;
    QPainter painter(viewport());
    const int y = grid_->RowMoveMarkY(0, sectionViewportPosition(mark - 1), sectionSize(mark - 1));
    painter.fillRect(QRect(0, y, viewport()->width(), 2), palette().color(QPalette::Highlight));
}

int TGridHeader::RowAtClamped(int y) const {
    if (count() == 0) return -1;
    const int row = logicalIndexAt(y);
    if (row >= 0) return row;
    if (y < 0) return std::max(logicalIndexAt(0), 0);
    const int last = logicalIndexAt(viewport()->height() - 1);
    return last < 0 ? count() - 1 : last;
}

void TGridHeader::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (grid_->focusPolicy() != Qt::NoFocus) grid_->setFocus(Qt::MouseFocusReason);
    if (orientation() == Qt::Horizontal) {
        QHeaderView::mousePressEvent(event);
    } else {
        pressRow_ = -1;
        dragging_ = false;
        if (event->button() == Qt::LeftButton && grid_->Options().testFlag(TGridOption::goRowMoving)) {
            pressRow_ = logicalIndexAt(pos.y());
            pressPos_ = pos;
        }
        event->accept();
    }
    grid_->EmitMouseDown(viewport(), pos, event->button(), event->modifiers());
}

void TGridHeader::mouseMoveEvent(QMouseEvent* event) {
    if (orientation() == Qt::Horizontal) {
        QHeaderView::mouseMoveEvent(event);
        return;
    }
    event->accept();
    if (pressRow_ < 0 || !event->buttons().testFlag(Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
    // Dragging past the edges scrolls one row per move.
    QScrollBar* bar = grid_->verticalScrollBar();
    if (pos.y() < 0) bar->setValue(bar->value() - 1);
    if (pos.y() >= viewport()->height()) bar->setValue(bar->value() + 1);
    const int target = RowAtClamped(pos.y());
    grid_->SetRowMoveMark(target + 1, target > pressRow_);
}

void TGridHeader::mouseReleaseEvent(QMouseEvent* event) {
    if (orientation() == Qt::Horizontal) {
        QHeaderView::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const int from = pressRow_;
    const bool dragged = dragging_;
    pressRow_ = -1;
    dragging_ = false;
    grid_->SetRowMoveMark(-1, false);
    if (!dragged || from < 0) return;
    const int target = RowAtClamped(event->position().toPoint().y());
    if (target >= 0 && target != from) grid_->MoveRow(from + 1, target + 1);
}

void TGridHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    if (orientation() == Qt::Horizontal) {
        QHeaderView::mouseDoubleClickEvent(event);
        grid_->EmitMouseDown(viewport(), event->position().toPoint(), event->button(), event->modifiers());
    } else {
        mousePressEvent(event);
    }
}

// --- Delegate ------------------------------------------------------------------------------------

TGridDelegate::TGridDelegate(TStringGridEx* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const TGridCoord cell{index.column() + 1, index.row() + 1};
    TGridDrawState state;
    if (option.state.testFlag(QStyle::State_Selected)) state |= TGridDrawStateFlag::gdSelected;
    if (cell == grid_->current_ && grid_->hasFocus()) state |= TGridDrawStateFlag::gdFocused;
    grid_->DrawCell(*painter, cell.X, cell.Y, option.rect, state);
}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                     const QModelIndex& /*index*/) const {
    TInplaceEditEx* editor = grid_->CreateEditor(parent);
    editor->grid_ = grid_;
    grid_->editor_ = editor;
    TStringGridEx* grid = grid_;
    connect(editor, &QPlainTextEdit::textChanged, grid, [grid, editor] {
        if (grid->editor_ == editor) grid->EditorTextChanged();
    });
    return editor;
}

void TGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<TInplaceEditEx*>(editor);
    // The cell follows the editor while typing; its updates must not flow back.
    if (edit->loaded_) return;
    grid_->editorLoading_ = true;
    edit->SetText(grid_->GetEditText(index.column() + 1, index.row() + 1));
    edit->SelectAll();
    edit->loaded_ = true;
    grid_->editorLoading_ = false;
}

void TGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                 const QModelIndex& index) const {
    auto* edit = static_cast<TInplaceEditEx*>(editor);
    grid_->SetEditText(index.column() + 1, index.row() + 1, edit->Text());
}

void TGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& /*index*/) const {
    editor->setGeometry(option.rect);
}

bool TGridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) return false;
    return QStyledItemDelegate::eventFilter(object, event);
}

// --- Corner cell ---------------------------------------------------------------------------------

TGridCorner::TGridCorner(TStringGridEx* grid) : QWidget(grid), grid_(grid) {}

void TGridCorner::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    grid_->DrawCell(painter, 0, 0, rect(), TGridDrawStateFlag::gdFixed);
}

void TGridCorner::mousePressEvent(QMouseEvent* event) {
    if (grid_->focusPolicy() != Qt::NoFocus) grid_->setFocus(Qt::MouseFocusReason);
    grid_->EmitMouseDown(this, event->position().toPoint(), event->button(), event->modifiers());
    event->accept();
}

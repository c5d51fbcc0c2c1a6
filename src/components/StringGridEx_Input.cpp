// Current cell, selection, keyboard and mouse of TStringGridEx.

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "components/StringGridEx.h"
#include "components/StringGridEx_Parts.h"

TGridCoord TStringGridEx::ClampToData(TGridCoord cell) const {
    cell.X = std::clamp(cell.X, FixedCols(), std::max(FixedCols(), ColCount() - 1));
    cell.Y = std::clamp(cell.Y, FixedRows(), std::max(FixedRows(), RowCount() - 1));
    return cell;
}

int TStringGridEx::Row() const {
    return current_.Y;
}

int TStringGridEx::Col() const {
    return current_.X;
}

void TStringGridEx::SetRow(int row) {
    if (row != current_.Y) MoveCurrent({current_.X, row}, false);
}

void TStringGridEx::SetCol(int col) {
    if (col != current_.X) MoveCurrent({col, current_.Y}, false);
}

void TStringGridEx::SetCurrentCell(int col, int row) {
    MoveCurrent({col, row}, false);
}

TGridRect TStringGridEx::Selection() const {
    if (!options_.testFlag(TGridOption::goRangeSelect))
        return {current_.X, current_.Y, current_.X, current_.Y};
    return {std::min(current_.X, anchor_.X), std::min(current_.Y, anchor_.Y), std::max(current_.X, anchor_.X),
            std::max(current_.Y, anchor_.Y)};
}

void TStringGridEx::SetSelection(const TGridRect& rect) {
    HideEditor();
    current_ = ClampToData({rect.Right, rect.Bottom});
    anchor_ = options_.testFlag(TGridOption::goRangeSelect) ? ClampToData({rect.Left, rect.Top}) : current_;
    SyncSelection();
}

void TStringGridEx::MoveCurrent(TGridCoord cell, bool alwaysNotify) {
    cell = ClampToData(cell);
    const bool changed = !(cell == current_);
    if (changed) HideEditor();
    current_ = cell;
    anchor_ = cell;
    SyncSelection();
    ScrollToCell(cell);
    if (changed || alwaysNotify) emit CellSelected(cell.X, cell.Y);
}

void TStringGridEx::MoveAnchor(TGridCoord cell) {
    if (!options_.testFlag(TGridOption::goRangeSelect)) {
        MoveCurrent(cell, false);
        return;
    }
    HideEditor();
    anchor_ = ClampToData(cell);
    SyncSelection();
    ScrollToCell(anchor_);
}

// Qt's current index and selection mirror the grid's own; they serve the editor and accessibility.
void TStringGridEx::SyncSelection() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection) return;
    const bool wasQuiet = quiet_;
    quiet_ = true;
    if (RowCount() > FixedRows() && ColCount() > FixedCols()) {
        selection->setCurrentIndex(model_->index(current_.Y - 1, current_.X - 1),
                                   QItemSelectionModel::NoUpdate);
        const TGridRect s = Selection();
        selection->select(
            QItemSelection(model_->index(s.Top - 1, s.Left - 1), model_->index(s.Bottom - 1, s.Right - 1)),
            QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clear();
    }
    quiet_ = wasQuiet;
    viewport()->update();
}

void TStringGridEx::ScrollToCell(TGridCoord cell) {
    if (RowCount() > FixedRows() && ColCount() > FixedCols()) scrollTo(model_->index(cell.Y - 1, cell.X - 1));
}

void TStringGridEx::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (quiet_ || !current.isValid()) return;
    // Qt moved the current index itself, e.g. an editor closed with "edit the next cell".
    const TGridCoord cell{current.column() + 1, current.row() + 1};
    if (cell == current_) return;
    current_ = cell;
    anchor_ = cell;
    SyncSelection();
    emit CellSelected(cell.X, cell.Y);
}

bool TStringGridEx::NavTarget(int key, Qt::KeyboardModifiers modifiers, TGridCoord& target,
                              bool& extend) const {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool tabs = options_.testFlag(TGridOption::goTabs);
    const bool isTab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (isTab && !tabs) return false;
    extend = modifiers.testFlag(Qt::ShiftModifier) && options_.testFlag(TGridOption::goRangeSelect) && !isTab;
    target = extend ? anchor_ : current_;
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
        case Qt::Key_Up:
            --target.Y;
            break;
        case Qt::Key_Down:
            ++target.Y;
            break;
        case Qt::Key_Left:
            --target.X;
            break;
        case Qt::Key_Right:
            ++target.X;
            break;
        case Qt::Key_PageUp:
            target.Y -= page;
            break;
        case Qt::Key_PageDown:
            target.Y += page;
            break;
        case Qt::Key_Home:
            (ctrl ? target.Y : target.X) = 0;
            break;
        case Qt::Key_End:
            (ctrl ? target.Y : target.X) = ctrl ? RowCount() : ColCount();
            break;
        case Qt::Key_Tab:
            if (++target.X >= ColCount() && target.Y + 1 < RowCount()) target = {FixedCols(), target.Y + 1};
            break;
        case Qt::Key_Backtab:
            if (--target.X < FixedCols() && target.Y - 1 >= FixedRows())
                target = {ColCount() - 1, target.Y - 1};
            break;
        default:
            return false;
    }
    target = ClampToData(target);
    return true;
}

bool TStringGridEx::Navigate(int key, Qt::KeyboardModifiers modifiers) {
    TGridCoord target;
    bool extend = false;
    if (!NavTarget(key, modifiers, target, extend)) return false;
    if (extend) {
        MoveAnchor(target);
    } else if (!(target == current_)) {
        MoveCurrent(target, false);
    } else if (!(anchor_ == current_)) {
        anchor_ = current_;
        SyncSelection();
    }
    return true;
}

void TStringGridEx::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    emit KeyDown(event->key(), event->modifiers(), handled);
    if (handled) {
        event->accept();
        return;
    }
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool editing = options_.testFlag(TGridOption::goEditing);
    if (editing && (key == Qt::Key_F2 || ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                                          !modifiers.testFlag(Qt::ControlModifier)))) {
        OpenEditor(IsMultiLineColumn(current_.X));
        event->accept();
        return;
    }
    if (Navigate(key, modifiers)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (editing && !text.isEmpty() && text[0].isPrint() &&
        !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        for (const QChar c : text) {
            if (!CanEditAcceptKey(c)) {
                event->accept();
                return;
            }
        }
        if (RowCount() > FixedRows() && ColCount() > FixedCols() &&
            edit(currentIndex(), AnyKeyPressed, event)) {
            event->accept();
            return;
        }
    }
    event->ignore();
}

TGridCoord TStringGridEx::CellAtViewport(const QPoint& pos, bool clamp) const {
    int r = rowAt(pos.y());
    int c = columnAt(pos.x());
    if (!clamp) return r < 0 || c < 0 ? TGridCoord{} : TGridCoord{c + 1, r + 1};
    const int rows = model_->rowCount();
    const int cols = model_->columnCount();
    if (rows == 0 || cols == 0) return {};
    // Outside the viewport the far corner steps one cell beyond the visible ones, which scrolls.
    if (r < 0) {
        if (pos.y() < 0) {
            r = std::max(rowAt(0) - 1, 0);
        } else {
            const int last = rowAt(viewport()->height() - 1);
            r = last < 0 ? rows - 1 : std::min(last + 1, rows - 1);
        }
    }
    if (c < 0) {
        if (pos.x() < 0) {
            c = std::max(columnAt(0) - 1, 0);
        } else {
            const int last = columnAt(viewport()->width() - 1);
            c = last < 0 ? cols - 1 : std::min(last + 1, cols - 1);
        }
    }
    return {c + 1, r + 1};
}

void TStringGridEx::PressCell(const QPoint& viewportPos, Qt::KeyboardModifiers modifiers, bool doubleClick) {
    const TGridCoord cell = CellAtViewport(viewportPos, false);
    if (cell.X < 0) return;
    const bool range = options_.testFlag(TGridOption::goRangeSelect);
    if (modifiers.testFlag(Qt::ShiftModifier) && range) {
        MoveAnchor(cell);
        selecting_ = true;
        return;
    }
    const bool wasCurrent = cell == current_;
    MoveCurrent(cell, true);
    selecting_ = range;
    if (options_.testFlag(TGridOption::goEditing) && (wasCurrent || doubleClick)) {
        selecting_ = false;
        OpenEditor(false);
    }
}

void TStringGridEx::EmitMouseDown(QWidget* source, const QPoint& pos, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers) {
    const QPoint p = source->mapTo(this, pos);
    emit MouseDown(button, modifiers, p.x(), p.y());
}

void TStringGridEx::mousePressEvent(QMouseEvent* event) {
    if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) PressCell(pos, event->modifiers(), false);
    EmitMouseDown(viewport(), pos, event->button(), event->modifiers());
    event->accept();
}

void TStringGridEx::mouseDoubleClickEvent(QMouseEvent* event) {
    if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) PressCell(pos, event->modifiers(), true);
    EmitMouseDown(viewport(), pos, event->button(), event->modifiers());
    event->accept();
}

void TStringGridEx::mouseMoveEvent(QMouseEvent* event) {
    if (selecting_ && event->buttons().testFlag(Qt::LeftButton)) {
        const TGridCoord cell = CellAtViewport(event->position().toPoint(), true);
        if (cell.X >= 0 && !(cell == anchor_)) MoveAnchor(cell);
    }
    event->accept();
}

void TStringGridEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) selecting_ = false;
    event->accept();
}

void TStringGridEx::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TStringGridEx::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

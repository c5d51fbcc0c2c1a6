// In-place editing of TStringGridEx.

#include <QCoreApplication>
#include <QKeyEvent>

#include "components/GridFormat.h"
#include "components/InplaceEditEx.h"
#include "components/StringGridEx.h"
#include "components/StringGridEx_Parts.h"

TInplaceEditEx* TStringGridEx::InplaceEditor() const {
    return editor_;
}

bool TStringGridEx::EditorMode() const {
    return editor_ != nullptr;
}

void TStringGridEx::SetEditorMode(bool on) {
    if (on) {
        OpenEditor(false);
    } else {
        HideEditor();
    }
}

TInplaceEditEx* TStringGridEx::CreateEditor(QWidget* parent) {
    return new TInplaceEditEx(parent);
}

bool TStringGridEx::IsMultiLineColumn(int col) const {
    const TGridColumn* item = columns_->Find(col);
    return item && item->MultiLine();
}

bool TStringGridEx::CanEditModify() const {
    if (HasColumnSource(current_.X)) return false;
    const TGridColumn* item = columns_->Find(current_.X);
    return !item || item->CanEdit();
}

bool TStringGridEx::CanEditAcceptKey(QChar key) const {
    const TGridColumn* item = columns_->Find(current_.X);
    if (!item || item->DataType() != TGridDataType::dtInteger) return true;
    return key.unicode() < 32 || key == u' ' || key == u'+' || key == u'-' || key == u'.' ||
           (key >= u'0' && key <= u'9');
}

QString TStringGridEx::GetEditText(int col, int row) {
    if (editor_) {
        if (const TGridColumn* item = columns_->Find(col)) {
            editor_->SetImeMode(item->ImeMode());
            editor_->setFont(item->Font());
            editor_->SetMultiLine(item->MultiLine());
            editor_->SetWordWrap(item->Wordwrap());
            editor_->SetAlignment(item->Alignment());
        } else {
            editor_->SetImeMode(TImeMode::imClose);
            editor_->setFont(font());
            editor_->SetMultiLine(false);
            editor_->SetWordWrap(false);
            editor_->SetAlignment(TAlignment::taLeftJustify);
        }
        QPalette p = editor_->palette();
        p.setColor(QPalette::Base, CellColor(col, row));
        editor_->setPalette(p);
        editor_->setReadOnly(!CanEditModify());
    }
    return Cells(col, row);
}

// The cell follows the editor at every change. A dtInteger column stores the normalised number;
// a text that is no number leaves the cell as it was, puts that value back into the editor and
// steps the caret one place left, which takes back the keystroke that broke it.
void TStringGridEx::SetEditText(int col, int row, const QString& value) {
    if (HasColumnSource(col)) return;  // never editable, so nothing to store
    const TGridColumn* item = columns_->Find(col);
    if (!item || item->DataType() != TGridDataType::dtInteger) {
        SetCells(col, row, value);
        return;
    }
    if (const std::optional<QString> number = GridFormat::NormalizeInteger(value)) {
        SetCells(col, row, *number);
        return;
    }
    if (editor_ && !editorLoading_) {
        const int caret = editor_->SelStart();
        editorLoading_ = true;  // the restored text is the cell's own; no need to store it again
        editor_->SetText(Cells(col, row));
        editor_->SetSelStart(std::max(caret - 1, 0));
        editorLoading_ = false;
    }
}

void TStringGridEx::EditorTextChanged() {
    if (editorLoading_ || !editor_ || editCell_.X < 0) return;
    SetEditText(editCell_.X, editCell_.Y, editor_->Text());
}

bool TStringGridEx::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (editor_ || !index.isValid()) return QTableView::edit(index, trigger, event);
    editCell_ = {index.column() + 1, index.row() + 1};
    editOriginal_ = Cells(editCell_.X, editCell_.Y);
    if (QTableView::edit(index, trigger, event) && editor_) return true;
    editCell_ = {};
    return false;
}

void TStringGridEx::OpenEditor(bool caretToEnd) {
    if (!options_.testFlag(TGridOption::goEditing) || RowCount() <= FixedRows() || ColCount() <= FixedCols())
        return;
    if (!editor_ && !edit(model_->index(current_.Y - 1, current_.X - 1), EditKeyPressed, nullptr)) return;
    if (!editor_) return;
    if (caretToEnd) {
        editor_->CaretToEnd();
    } else {
        editor_->SelectAll();
    }
}

void TStringGridEx::HideEditor() {
    if (!editor_) return;
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TStringGridEx::CancelEditor() {
    if (editor_) closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
}

void TStringGridEx::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor && editor == editor_) {
        if (hint == QAbstractItemDelegate::RevertModelCache)
            SetCells(editCell_.X, editCell_.Y, editOriginal_);
        editor_ = nullptr;
        editCell_ = {};
    }
    QTableView::closeEditor(editor, hint);
}

bool TStringGridEx::EditorNavigate(int key, Qt::KeyboardModifiers modifiers) {
    TGridCoord target;
    bool extend = false;
    if (!NavTarget(key, modifiers, target, extend)) return false;
    if (!extend && target == current_) return false;
    HideEditor();
    Navigate(key, modifiers);
    return true;
}

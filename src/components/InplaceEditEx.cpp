#include "components/InplaceEditEx.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include "components/StringGridEx.h"

TInplaceEditEx::TInplaceEditEx(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setContentsMargins(0, 0, 0, 0);
    document()->setDocumentMargin(1);
    SetImeMode(imeMode_);
}

void TInplaceEditEx::SetImeMode(TImeMode mode) {
    imeMode_ = mode;
    const bool off = mode == TImeMode::imDisable || mode == TImeMode::imClose;
    setAttribute(Qt::WA_InputMethodEnabled, !off);
    const bool latin = mode == TImeMode::imSAlpha || mode == TImeMode::imAlpha;
    setInputMethodHints(latin ? Qt::ImhPreferLatin : Qt::ImhNone);
}

void TInplaceEditEx::SetWordWrap(bool on) {
    wordWrap_ = on;
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(on ? QTextOption::WordWrap : QTextOption::NoWrap);
}

void TInplaceEditEx::SetAlignment(TAlignment alignment) {
    QTextOption option = document()->defaultTextOption();
    switch (alignment) {
        case TAlignment::taRightJustify:
            option.setAlignment(Qt::AlignRight);
            break;
        case TAlignment::taCenter:
            option.setAlignment(Qt::AlignHCenter);
            break;
        case TAlignment::taLeftJustify:
            option.setAlignment(Qt::AlignLeft);
            break;
    }
    document()->setDefaultTextOption(option);
}

void TInplaceEditEx::SetText(const QString& text) {
    setPlainText(text);
}

int TInplaceEditEx::SelStart() const {
    return textCursor().selectionStart();
}

void TInplaceEditEx::SetSelStart(int pos) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(pos, 0, static_cast<int>(toPlainText().size())));
    setTextCursor(cursor);
}

int TInplaceEditEx::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TInplaceEditEx::CaretToEnd() {
    moveCursor(QTextCursor::End);
}

void TInplaceEditEx::Deselect() {
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
}

// The caret stands at the start with nothing selected, or the whole text is selected.
bool TInplaceEditEx::LeftSide() const {
    const int length = static_cast<int>(toPlainText().size());
    return (SelStart() == 0 && SelLength() == 0) || SelLength() == length;
}

bool TInplaceEditEx::RightSide() const {
    const int length = static_cast<int>(toPlainText().size());
    const QTextCursor cursor = textCursor();
    return (cursor.position() == length && SelLength() == 0) || SelLength() == length;
}

void TInplaceEditEx::keyPressEvent(QKeyEvent* event) {
    if (!grid_) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    TStringGridEx* grid = grid_;
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    event->accept();

    if (key == Qt::Key_Escape) {
        grid->CancelEditor();
        return;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        // Commit, then let the grid treat the key (next cell with goTabs, else the next control).
        QKeyEvent copy(event->type(), key, event->modifiers(), event->text());
        grid->HideEditor();
        QCoreApplication::sendEvent(grid, &copy);
        return;
    }
    if (key == Qt::Key_F2) {
        if (multiLine_) CaretToEnd();
        return;
    }
    if (multiLine_) {
        if (enter && modifiers == Qt::ControlModifier) {
            grid->HideEditor();
            return;
        }
        if (enter) {
            if (!isReadOnly()) insertPlainText(QStringLiteral("\n"));
            return;
        }
        if (arrow && modifiers == Qt::NoModifier) {
            QPlainTextEdit::keyPressEvent(event);
            return;
        }
        if (arrow && modifiers == Qt::ControlModifier) {
            Deselect();
            grid->EditorNavigate(key, Qt::NoModifier);
            return;
        }
    } else if (enter) {
        // Enter commits; with the caret at the end it also moves on to the cell on the right.
        if (RightSide() && grid->EditorNavigate(Qt::Key_Right, Qt::NoModifier)) return;
        grid->HideEditor();
        return;
    }

    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            grid->EditorNavigate(key, modifiers);
            return;
        case Qt::Key_Left:
            if (LeftSide() && grid->EditorNavigate(key, modifiers)) return;
            break;
        case Qt::Key_Right:
            if (RightSide() && grid->EditorNavigate(key, modifiers)) return;
            break;
        default:
            break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        for (const QChar c : text)
            if (!grid->CanEditAcceptKey(c)) return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TInplaceEditEx::insertFromMimeData(const QMimeData* source) {
    if (multiLine_ || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.remove(u'\r');
    text.replace(u'\n', u' ');
    insertPlainText(text);
}

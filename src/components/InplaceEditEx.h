#pragma once

#include <QPlainTextEdit>
#include <QPointer>

#include "components/GridTypes.h"

class TStringGridEx;

// The in-place editor of TStringGridEx. Single-line: Enter commits and, with the caret at the end
// of the text (or everything selected), moves to the cell on the right; Left/Right at the edges
// and Up/Down/PageUp/PageDown go to the grid. MultiLine: Enter inserts a line break, Ctrl+Enter
// commits and closes, plain arrows move the caret and Ctrl+arrows move to the neighbouring cell.
// Escape restores the text the cell had when editing began and closes the editor.
class TInplaceEditEx : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TInplaceEditEx(QWidget* parent = nullptr);

    // imDisable and imClose turn the input method off; the alphanumeric modes ask for Latin input.
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode mode);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool on) { multiLine_ = on; }
    // Wraps long lines at word breaks instead of scrolling sideways.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    void SetAlignment(TAlignment alignment);

    QString Text() const { return toPlainText(); }
    // Replaces the text without moving the caret anywhere in particular (it ends at the start).
    void SetText(const QString& text);
    // Caret position and selection in characters.
    int SelStart() const;
    void SetSelStart(int pos);
    int SelLength() const;
    void SelectAll() { selectAll(); }
    // Removes the selection and puts the caret at the end of the text.
    void CaretToEnd();
    // Removes the selection, leaving the caret where it is.
    void Deselect();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    friend class TStringGridEx;
    friend class TGridDelegate;
    bool LeftSide() const;
    bool RightSide() const;

    QPointer<TStringGridEx> grid_;
    TImeMode imeMode_ = TImeMode::imDontCare;
    bool multiLine_ = false;
    bool wordWrap_ = false;
    bool loaded_ = false;  // the cell text is in; later model updates must not reload it
};

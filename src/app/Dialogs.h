#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QWidget;
class TBrowseDlg;

// Every message, question and input box of the main window goes through this interface, so that
// tests answer them. Message and question boxes stand with their top-left corner at the given
// screen point; input boxes and the folder chooser are centred on the screen.
class TDialogs {
public:
    enum class TAnswer { Yes, No, Cancel };

    virtual ~TDialogs() = default;

    // A plain box with the text and one OK button.
    virtual void ShowMessage(QWidget* owner, const QString& text, QPoint topLeft) = 0;
    // A warning box with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& text, QPoint topLeft) = 0;
    // A confirmation with Yes, No and Cancel.
    virtual TAnswer AskYesNoCancel(QWidget* owner, const QString& text, QPoint topLeft) = 0;
    // A one-line input box; nullopt when cancelled.
    virtual std::optional<QString> InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                            const QString& defaultText) = 0;
    // The About box: a title and rich text whose links open in the desktop's browser.
    virtual void ShowAbout(QWidget* owner, const QString& title, const QString& text) = 0;
    // Runs the window's browse dialog: the folder the user chose, nullopt when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* owner, TBrowseDlg& dialog) = 0;
};

#pragma once

#include "app/Dialogs.h"

// The real boxes, shown modally.
class TQtDialogs : public TDialogs {
public:
    void ShowMessage(QWidget* owner, const QString& text, QPoint topLeft) override;
    bool AskYesNo(QWidget* owner, const QString& text, QPoint topLeft) override;
    TAnswer AskYesNoCancel(QWidget* owner, const QString& text, QPoint topLeft) override;
    std::optional<QString> InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                    const QString& defaultText) override;
    void ShowAbout(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<QString> ChooseFolder(QWidget* owner, TBrowseDlg& dialog) override;
};

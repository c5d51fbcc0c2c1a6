#pragma once

#include "app/Dialogs.h"

// Answers every box with No, Cancel or nothing, so a benchmark never waits for a user.
class TSilentDialogs : public TDialogs {
public:
    void ShowMessage(QWidget*, const QString&, QPoint) override {}
    bool AskYesNo(QWidget*, const QString&, QPoint) override { return false; }
    TAnswer AskYesNoCancel(QWidget*, const QString&, QPoint) override { return TAnswer::Cancel; }
    std::optional<QString> InputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> ChooseFolder(QWidget*, TBrowseDlg&) override { return std::nullopt; }
};

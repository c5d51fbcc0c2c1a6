#pragma once

#include <vector>

#include "app/Dialogs.h"

// Keeps the plain messages and answers every question with No, Cancel or nothing, so a benchmark
// never waits for a user.
class TSilentDialogs : public TDialogs {
public:
    std::vector<QString> messages;

    void ShowMessage(QWidget*, const QString& text, QPoint) override { messages.push_back(text); }
    bool AskYesNo(QWidget*, const QString&, QPoint) override { return false; }
    TAnswer AskYesNoCancel(QWidget*, const QString&, QPoint) override { return TAnswer::Cancel; }
    std::optional<QString> InputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void ShowAbout(QWidget*, const QString&, const QString&) override {}
    std::optional<QString> ChooseFolder(QWidget*, TBrowseDlg&) override { return std::nullopt; }
};

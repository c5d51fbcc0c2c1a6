#pragma once

// The history of changes (ファイル → 変更履歴...): the commands kept in the run journal, newest first,
// with the date and time, the kind, the folder, the number of files and the state. 元に戻す hands the
// selected command to the window, which undoes it and shows the history anew.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/journal/RunJournalStore.h"

class QPushButton;
class QTreeWidget;

class TJournalDlg : public QDialog {
public:
    explicit TJournalDlg(QWidget* parent);

    // The commands to list (newest first); the selection stays on the same command where it can.
    void ShowCommands(const std::vector<RunJournal::Summary>& commands);
    // The command of the selected row; nullopt when none is selected.
    std::optional<std::uint64_t> SelectedId() const;
    // Selects the row of the command, as a click would.
    void Select(std::uint64_t id);
    // Called with the selected command when 元に戻す is clicked.
    std::function<void(std::uint64_t)> OnUndo;

    QTreeWidget* List() const { return list_; }
    QPushButton* UndoButton() const { return undo_; }

private:
    // 元に戻す is offered for a command that is finished and not undone.
    void SelectionChanged();
    QTreeWidget* list_ = nullptr;
    QPushButton* undo_ = nullptr;
};

// Taking the last command back: every file at once (undo), the file of the current row, or the
// files of the rows marked "V". Each works only on files the last command renamed, and the table
// shows afterwards the names the files really have.
#include <QAction>
#include <QCheckBox>

#include "app/DatesTaken.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "components/MyStringGrid.h"
#include "core/commands/Revert.h"
#include "core/commands/Undo.h"

void TFmMein::Undo1Click() {
    dates_->Forget();  // the files move
    Command::UndoLast(Pairs, {journal_.Folder(), runJournal_, cbDialog->isChecked()}, *host_);
}

void TFmMein::N3Click() {
    if (TableLooksEmpty()) return;
    const int row = MySG->Row();
    const auto index = static_cast<std::size_t>(row - 1);
    if (row < 1 || index >= Pairs.Size() || !Pairs.HasNewPaths()) return;  // a row without a file
    // The file moves: a reading of dates taken under way would read it at its old path.
    dates_->Forget();
    Command::Revert(Pairs, {index}, {journal_.Folder(), runJournal_}, *host_);
}

void TFmMein::N22Click() {
    if (TableLooksEmpty()) return;
    std::vector<int> marked;
    std::vector<std::size_t> entries;  // of the marked rows that hold a file
    for (int row = 1; row < MySG->RowCount(); ++row) {
        if (MySG->Cells(0, row) != RowMark::kSelected) continue;
        marked.push_back(row);
        const auto index = static_cast<std::size_t>(row - 1);
        if (index < Pairs.Size() && Pairs.HasNewPaths()) entries.push_back(index);
    }
    // A refusal ends the command there: the rows above are reverted, that one keeps its mark.
    dates_->Forget();  // the files move
    const std::size_t reverted = Command::Revert(Pairs, entries, {journal_.Folder(), runJournal_}, *host_);
    const int stop = reverted < entries.size() ? static_cast<int>(entries[reverted]) + 1 : MySG->RowCount();
    for (const int row : marked) {
        if (row < stop) MySG->SetCells(0, row, QString());
    }
    if (reverted == entries.size()) EnableMarkCommands(false);
}

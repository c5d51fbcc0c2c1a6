// The run journal from the window's side: the command a killed program left unfinished is offered
// back at start, and the history of changes undoes a kept command.
#include <QAction>
#include <QCheckBox>
#include <QToolButton>

#include "app/JournalDlg.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "core/commands/History.h"
#include "core/commands/Recovery.h"

void TFmMein::RecoverInterrupted() {
    Command::RecoverInterrupted(journal_, cbDialog->isChecked(), *host_);
}

void TFmMein::mnJournalClick() {
    if (JournalDlg1 == nullptr) {
        JournalDlg1 = new TJournalDlg(this);
        JournalDlg1->OnUndo = [this](std::uint64_t id) { UndoJournaled(id); };
    }
    JournalDlg1->ShowCommands(Command::ListJournal(journal_, *host_).commands);
    JournalDlg1->open();
}

void TFmMein::UndoJournaled(std::uint64_t id) {
    if (Command::UndoFromHistory(journal_, id, {cbDialog->isChecked(), runJournal_}, *host_)) {
        // The window's own record of that run no longer tells where its files are.
        Undo1->setEnabled(false);
        btret->setEnabled(false);
        N3->setEnabled(false);
        N22->setEnabled(false);
    }
    if (JournalDlg1 != nullptr) JournalDlg1->ShowCommands(Command::ListJournal(journal_, *host_).commands);
}

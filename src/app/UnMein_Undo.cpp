// Taking the last command back: every file at once (undo), the file of the current row, or the
// files of the rows marked "V". Each works only on files the last command renamed, and the table
// shows afterwards the names the files really have.
#include <QAction>
#include <QCheckBox>

#include "app/BusyRunner.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/journal/RunJournalRecord.h"
#include "core/run/UndoRevert.h"

namespace {

QString RevertRefusal(UndoRevert::Revert outcome) {
    using UndoRevert::Revert;
    switch (outcome) {
        case Revert::kDone:
            break;
        case Revert::kNotRenamed:
            return QStringLiteral("このファイルは変更されていないため、戻せません。");
        case Revert::kMissing:
            return QStringLiteral("対象ファイルが移動または削除されています。");
        case Revert::kTaken:
            return QStringLiteral("同じファイル名が存在するため、処理できません");
        case Revert::kRefused:
            return QStringLiteral("名前を元に戻せませんでした。");
    }
    return {};
}

}  // namespace

void TFmMein::Undo1Click() {
    // The journal is written while the files are looked at, for the undo of all of them (the plan
    // outlives the record, which reads it meanwhile). Without a question the files were looked at a
    // moment ago: the renames need not look again.
    const UndoRevert::UndoPlan whole = UndoRevert::PlanUndo(Pairs, {}, UndoRevert::Sources::kJustSeen);
    ForgetDatesTaken();  // the files move
    const auto record = NewRecord(RunJournal::Kind::kUndo, runJournal_);
    if (const auto batch = UndoRevert::UndoBatch(Pairs, whole); batch && record)
        record->PrepareMeanwhile(*batch);
    // Also when removed rows left nothing of the run: the user hears that nothing was undone.
    std::vector<std::size_t> missing;
    RunBusy({RunText::kRenaming, 0},
            [&missing, this](RunControl&) { missing = UndoRevert::MissingFiles(Pairs); });
    if (!missing.empty()) {
        MarkUnprocessed(missing);
        // Nothing has changed yet but the marks: No leaves the lists and the rows as they are.
        if (!dialogs_->AskYesNo(this,
                                QStringLiteral("移動または削除による不足ファイルがありますが、\r\n\r\n"
                                               "残っているファイルを元に戻しますか？"),
                                MessagePoint())) {
            Message(QStringLiteral("ユーザーによる中止"));
            return;
        }
    }
    if (!UndoRevert::AnyToUndo(Pairs, missing)) {
        Message(QStringLiteral("元に戻せませんでした。"));
        return;
    }
    UndoRevert::UndoPlan replanned;
    const UndoRevert::UndoPlan& plan = missing.empty() ? whole : replanned;
    RenameExecutor::PlannedOutcome undone;
    // Planned and renamed on the busy runner's thread, which only reads Pairs meanwhile.
    RunBusy({RunText::kRenaming, 0}, [&](RunControl& control) {
        if (!missing.empty())
            replanned = UndoRevert::PlanUndo(Pairs, missing, UndoRevert::Sources::kLookAgain);
        undone = UndoRevert::ExecuteUndo(Pairs, plan, &control, record.get());
    });
    if (RefuseUnrecorded(undone.outcome.unrecorded)) return;
    const UndoRevert::UndoResult result = UndoRevert::ApplyUndo(Pairs, missing, plan, undone.outcome);
    UndoRevert::Restamp(Pairs);
    ShowPairs();
    ReportStranded(undone.stranded);
    if (!result.refused.empty()) {
        // A refused file stays at its new name, owed to the next undo; its row is marked.
        MarkUnprocessed(result.refused);
        Message(UnprocessedMessage(QStringLiteral("元に戻せなかったため、 "), result.refused.size()));
    }
    if (result.stopped) {
        Message(RunText::Cancelled(result.done));
    } else if (result.refused.empty() && cbDialog->isChecked()) {
        Message(QStringLiteral("処理が終了しました"));
    }
}

std::size_t TFmMein::RevertEntries(const std::vector<std::size_t>& entries) {
    ForgetDatesTaken();  // the files move
    const auto record = NewRecord(RunJournal::Kind::kRevert, runJournal_);
    const UndoRevert::RevertResult result = UndoRevert::RevertEach(Pairs, entries, record.get());
    if (RefuseUnrecorded(result.unrecorded)) return 0;
    // The rows read the exchanged pairs.
    for (std::size_t k = 0; k < result.reverted; ++k) {
        const int row = static_cast<int>(entries[k]) + 1;
        MySG->RefreshRows(row, row);
    }
    if (result.stop != UndoRevert::Revert::kDone) Message(RevertRefusal(result.stop));
    return result.reverted;
}

void TFmMein::N3Click() {
    if (TableLooksEmpty()) return;
    const int row = MySG->Row();
    const auto index = static_cast<std::size_t>(row - 1);
    if (row < 1 || index >= Pairs.Size() || !Pairs.HasNewPaths()) return;  // a row without a file
    RevertEntries({index});
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
    const std::size_t reverted = RevertEntries(entries);
    const int stop = reverted < entries.size() ? static_cast<int>(entries[reverted]) + 1 : MySG->RowCount();
    for (const int row : marked) {
        if (row < stop) MySG->SetCells(0, row, QString());
    }
    if (reverted == entries.size()) EnableMarkCommands(false);
}

void TFmMein::ShowPairs() {
    RefillTable();
    MarkUnprocessed(Pairs.Unrenamed());
}

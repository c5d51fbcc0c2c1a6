// The run journal from the window's side: every command's journal is begun through NewRecord, a
// journal that cannot be written refuses the command, the command a killed program left unfinished
// is offered back at start, and the history of changes undoes a kept command.
#include <QAction>
#include <QCheckBox>
#include <QToolButton>
#include <cerrno>
#include <limits>
#include <set>

#include "app/BusyRunner.h"
#include "app/JournalDlg.h"
#include "app/UnMein.h"
#include "core/journal/RunJournalRecord.h"
#include "core/journal/RunJournalUndo.h"

namespace {

// The reason in the refusal: Japanese for the usual ones, else the system's own text.
QString ReasonOf(const std::error_code& error) {
    if (error == std::errc::no_space_on_device || error.value() == EDQUOT)
        return QStringLiteral("ディスクの空き容量が不足しています");
    if (error == std::errc::read_only_file_system) return QStringLiteral("書き込み禁止のドライブです");
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return QStringLiteral("アクセス権がありません");
    return QString::fromLocal8Bit(error.message());
}

}  // namespace

std::unique_ptr<RunJournal::Record> TFmMein::NewRecord(RunJournal::Kind kind, std::uint64_t target) const {
    if (journal_.Folder().empty()) return nullptr;
    return std::make_unique<RunJournal::Record>(journal_.Folder(), kind, target);
}

bool TFmMein::RefuseUnrecorded(const std::error_code& error) {
    if (!error) return false;
    Message(QStringLiteral("変更履歴を書き込めないため、処理を中止しました。（") + ReasonOf(error) +
            QStringLiteral("）"));
    return true;
}

RunJournal::Listing TFmMein::ListJournal(std::size_t limit) {
    RunJournal::Listing listing = journal_.List(limit);
    for (const RunJournal::Problem& problem : listing.problems) {
        Message(QStringLiteral("変更履歴のファイル ") + QString::fromStdString(problem.file) +
                QStringLiteral(" は読み込めないため、除外しました。"));
    }
    return listing;
}

void TFmMein::RecoverInterrupted() {
    if (journal_.Folder().empty()) return;
    // Each asked once, also when another start takes it up meanwhile. The listing is whole: a
    // command kept past the newest ones because nobody took it up yet is offered too.
    std::set<std::uint64_t> asked;
    while (const std::optional<RunJournal::Interrupted> interrupted = RunJournal::FindInterrupted(
               journal_, ListJournal(std::numeric_limits<std::size_t>::max()), asked)) {
        asked.insert(interrupted->Id());
        const QString question =
            QStringLiteral("前回の名前の変更は完了していません（") + QString::number(interrupted->files) +
            QStringLiteral("個のうち") + QString::number(interrupted->done) +
            QStringLiteral("個を変更済み）。\r\n変更済みのファイルを元の名前に戻しますか？");
        const bool takeBack = dialogs_->AskYesNo(this, question, MessagePoint());
        RunJournal::Recovered recovered;
        RunBusy({RunText::kRenaming, interrupted->done}, [&](RunControl& control) {
            recovered = RunJournal::Recover(journal_.Folder(), *interrupted, takeBack, &control);
        });
        if (recovered.taken) continue;  // another start took it up meanwhile
        if (takeBack) {
            ReportJournalUndo(recovered);
        } else {
            ReportLeft(recovered);
        }
    }
}

void TFmMein::ReportJournalUndo(const RunJournal::TakenBack& takenBack) {
    const RunJournal::UndoResult& result = takenBack.undo;
    if (RefuseUnrecorded(result.unrecorded)) return;
    ReportStranded(result.stranded);
    if (!result.refused.empty()) {
        Message(QStringLiteral("元に戻せなかったため、 ") + QString::number(result.refused.size()) +
                QStringLiteral("個のファイルが未処理になりました"));
    }
    if (!result.untried.empty()) {
        Message(RunText::Cancelled(result.done));
    } else if (result.refused.empty() && cbDialog->isChecked()) {
        Message(QStringLiteral("処理が終了しました"));
    }
    ReportLeft(takenBack);
}

void TFmMein::ReportLeft(const RunJournal::Left& left) {
    for (const RunJournal::Stranded& stranded : left.stayed) {
        Message(QStringLiteral("ファイル ") + QString::fromStdString(stranded.home) +
                QStringLiteral(" は同名ファイルがあるため、一時的な名前 ") +
                QString::fromStdString(stranded.path) + QStringLiteral(" のまま残っています"));
    }
    for (const RunJournal::Twice& twice : left.twice) {
        Message(QStringLiteral("ファイル ") + QString::fromStdString(twice.source) +
                QStringLiteral(" は移動先の ") + QString::fromStdString(twice.copy) +
                QStringLiteral(" にも残っています"));
    }
}

void TFmMein::mnJournalClick() {
    if (JournalDlg1 == nullptr) {
        JournalDlg1 = new TJournalDlg(this);
        JournalDlg1->OnUndo = [this](std::uint64_t id) { UndoJournaled(id); };
    }
    JournalDlg1->ShowCommands(ListJournal().commands);
    JournalDlg1->open();
}

void TFmMein::UndoJournaled(std::uint64_t id) {
    const RunJournal::Listing listing = ListJournal();
    const auto kept = std::find_if(listing.commands.begin(), listing.commands.end(),
                                   [id](const RunJournal::Summary& s) { return s.header.id == id; });
    const std::optional<RunJournal::Journal> journal = journal_.Read(id);
    if (kept == listing.commands.end() || !journal) {
        Message(QStringLiteral("変更履歴を読み込めませんでした。"));
    } else if (kept->state == RunJournal::State::kUndone) {
        Message(QStringLiteral("この処理は既に元に戻されています。"));
    } else if (kept->state == RunJournal::State::kRunning) {
        Message(QStringLiteral("この処理は実行中のため、元に戻せません。"));
    } else {
        UndoKeptCommand(*journal);
    }
    if (JournalDlg1 != nullptr) JournalDlg1->ShowCommands(ListJournal().commands);
}

void TFmMein::UndoKeptCommand(const RunJournal::Journal& journal) {
    // After a restart a name alone proves nothing: each file is looked for by its identity.
    RunJournal::UndoCheck check;
    bool leftBehind = false;  // under a temporary name by a take-back refused inside a cycle
    // A later move to another file system, taken back since, left copies of its files in place.
    const RunJournal::Listing listing = journal_.List();
    RunBusy({RunText::kRenaming, 0}, [&](RunControl&) {
        check = RunJournal::CheckUndo(journal, RunJournal::DoneEntries(journal),
                                      RunJournal::LaterCopies(journal_, listing, journal));
        const RunJournal::OnDisk left = RunJournal::LeftBehind(journal);
        leftBehind = !left.stranded.empty() || !left.removableCopies.empty() || !left.twice.empty();
    });
    if (!check.missing.empty() &&
        !dialogs_->AskYesNo(this,
                            QStringLiteral("移動または削除による不足ファイルがありますが、\r\n\r\n"
                                           "残っているファイルを元に戻しますか？"),
                            MessagePoint())) {
        Message(QStringLiteral("ユーザーによる中止"));
        return;
    }
    if (check.take.empty() && !leftBehind) {
        Message(QStringLiteral("元に戻せませんでした。"));
        return;
    }
    RunJournal::TakenBack result;
    RunBusy({RunText::kRenaming, check.take.size()}, [&](RunControl& control) {
        result = RunJournal::UndoFromHistory(journal, check, journal_.Folder(), &control);
    });
    // The window's own record of that run no longer tells where its files are.
    if (journal.header.id == runJournal_ && !result.undo.unrecorded && !check.take.empty()) {
        Undo1->setEnabled(false);
        btret->setEnabled(false);
        N3->setEnabled(false);
        N22->setEnabled(false);
    }
    ReportJournalUndo(result);
}

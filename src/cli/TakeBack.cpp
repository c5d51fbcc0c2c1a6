#include "cli/TakeBack.h"

#include <unistd.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <set>

#include "cli/History.h"
#include "cli/Journaled.h"
#include "cli/Report.h"
#include "cli/TerminalHost.h"
#include "core/commands/Common.h"
#include "core/commands/History.h"
#include "core/commands/Recovery.h"
#include "core/commands/RunTexts.h"
#include "core/journal/RunJournalRecovery.h"
#include "core/journal/RunJournalUndo.h"
#include "core/list/MyFileOperation.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

bool Undoable(RunJournal::State state) {
    return state != RunJournal::State::kUndone && state != RunJournal::State::kRunning;
}

// The files the undo of journal would take back, and those it would find gone.
int ShowUndo(RunJournal::Store& store, const RunJournal::Listing& listing, const RunJournal::Summary& kept,
             const Request& request) {
    // As the undo from the history refuses.
    std::optional<RunJournal::Journal> journal = store.Read(kept.header.id);
    std::string refusal = Command::HistoryRefusal(journal.has_value(), kept.state);
    Report report(request.json, false);
    if (!refusal.empty()) {
        report.Summary(refusal, kExitRefused);
        return kExitRefused;
    }
    const RunJournal::UndoCheck check = RunJournal::CheckUndo(
        *journal, RunJournal::DoneEntries(*journal), RunJournal::LaterCopies(store, listing, *journal));
    const auto show = [&](std::size_t k, Status status, RenamePreview::State state) {
        const RunJournal::Entry& entry = journal->entries[k];
        report.NativeFile(entry.newPath, MyFileOperation::SplitAtLastDelimiter(entry.oldPath).name, status,
                          RunTexts::PreviewReason(state));
    };
    for (const std::size_t k : check.take)
        show(k, Status::kRenamed, RenamePreview::State::kRenamed);
    for (const std::size_t k : check.missing)
        show(k, Status::kMissing, RenamePreview::State::kMissing);
    int code = kExitDone;
    if (check.take.empty()) {
        refusal = Command::Text::NothingUndone();
        code = kExitRefused;
    } else if (!check.missing.empty()) {
        code = kExitSomeFailed;
    }
    report.Summary(refusal, code);
    return code;
}

}  // namespace

int Undo(const Request& request, const std::string& journalFolder) {
    if (!HasJournalFolder(journalFolder)) return kExitRefused;
    RunJournal::Store store(journalFolder);
    TerminalHost host(request.answer);
    const RunJournal::Listing listing = Command::ListJournal(store, host);
    const auto kept = std::find_if(
        listing.commands.begin(), listing.commands.end(), [&request](const RunJournal::Summary& command) {
            return request.undoId ? command.header.id == *request.undoId : Undoable(command.state);
        });
    if (kept == listing.commands.end()) {
        TellError(request.undoId ? Translate::Fill(_("変更履歴に ID %1 の処理はありません。"),
                                                   {std::to_string(*request.undoId)})
                                 : std::string(_("元に戻せる処理が変更履歴にありません。")));
        return kExitRefused;
    }
    if (!request.apply) return ShowUndo(store, listing, *kept, request);
    const std::uint64_t before = store.NewestId();
    Command::UndoFromHistory(store, kept->header.id, {.tellDone = false}, host);
    return ReportJournaled(store, before, request, host);
}

int Recover(const Request& request, const std::string& journalFolder) {
    if (!HasJournalFolder(journalFolder)) return kExitRefused;
    RunJournal::Store store(journalFolder);
    TerminalHost host(request.answer);
    // As the window asks about them at its start: all of them, newest first.
    const RunJournal::Listing listing =
        Command::ListJournal(store, host, std::numeric_limits<std::size_t>::max());
    std::set<std::uint64_t> passed;
    std::string listed;
    while (const std::optional<RunJournal::Interrupted> interrupted =
               RunJournal::FindInterrupted(store, listing, passed)) {
        passed.insert(interrupted->Id());
        const RunJournal::Journal& command =
            interrupted->command ? *interrupted->command : *interrupted->takeBack;
        AppendCommand(listed, request.json, "interrupted", command.header, interrupted->files,
                      RunJournal::State::kInterrupted, &interrupted->done);
    }
    if (passed.empty()) {
        if (!request.json) TellError(_("中断された処理はありません。"));
        return kExitDone;
    }
    if (!request.apply) {
        std::fwrite(listed.data(), 1, listed.size(), stdout);
        return kExitDone;
    }
    // Taking back or leaving the files of a command is the user's choice, made once for all.
    if (!request.answer && isatty(STDIN_FILENO) == 0) {
        TellError(
            _("中断された処理の変更済みのファイルを元に戻すには --yes、そのままにするには --no "
              "を付けてください。"));
        return kExitRefused;
    }
    const std::uint64_t before = store.NewestId();
    Command::RecoverInterrupted(store, false, host);
    const int code = ReportJournaled(store, before, request, host);
    // Files left as they are write no journal: that is no refusal.
    return code == kExitRefused ? kExitDone : code;
}

}  // namespace Cli

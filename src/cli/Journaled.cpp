#include "cli/Journaled.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Report.h"
#include "core/commands/RunTexts.h"
#include "core/journal/RunJournalFormat.h"
#include "core/list/MyFileOperation.h"

namespace Cli {
namespace {

Status StatusOf(std::string_view oldPath, std::string_view newPath, RunJournal::Outcome outcome) {
    switch (outcome) {
        case RunJournal::Outcome::kDone:
            return oldPath == newPath ? Status::kUnchanged : Status::kRenamed;
        case RunJournal::Outcome::kSkipped:
            return Status::kCollision;
        case RunJournal::Outcome::kFailed:
            return Status::kFailed;
        case RunJournal::Outcome::kUntried:
            break;
    }
    return Status::kUntried;
}

std::string ReasonOf(Status status) {
    switch (status) {
        case Status::kCollision:
            return RunTexts::PreviewReason(RenamePreview::State::kCollision);
        case Status::kFailed:
            return RunTexts::PreviewReason(RenamePreview::State::kRefused);
        default:
            return {};
    }
}

}  // namespace

std::uint64_t NewestJournal(RunJournal::Store& store) {
    const RunJournal::Listing listing = store.List(1);
    return listing.commands.empty() ? 0 : listing.commands.front().header.id;
}

int ReportJournaled(RunJournal::Store& store, std::uint64_t before, const Request& request,
                    const TerminalHost& host) {
    // A listing reads each journal it lists: only as far back as the command wrote.
    std::vector<std::uint64_t> written;
    for (std::size_t limit = 2;; limit *= 2) {
        const RunJournal::Listing listing = store.List(limit);
        written.clear();
        for (const RunJournal::Summary& command : listing.commands) {
            if (command.header.id > before) written.push_back(command.header.id);
        }
        if (listing.commands.size() < limit || listing.commands.back().header.id <= before) break;
    }
    std::sort(written.begin(), written.end());
    Report report(request.json, true);
    std::string bytes;
    for (const std::uint64_t id : written) {
        const std::optional<RunJournal::Journal> journal = store.ReadWithoutEntries(id, bytes);
        if (!journal) continue;
        const std::vector<RunJournal::Outcome> none;
        const std::vector<RunJournal::Outcome>& outcomes =
            journal->closing ? journal->closing->outcomes : none;
        RunJournal::Format::VisitEntries(
            bytes, [&](std::size_t k, std::string_view oldPath, std::string_view newPath) {
                const Status status = StatusOf(
                    oldPath, newPath, k < outcomes.size() ? outcomes[k] : RunJournal::Outcome::kUntried);
                report.NativeFile(oldPath, MyFileOperation::SplitAtLastDelimiter(newPath).name, status,
                                  ReasonOf(status));
            });
    }
    const Counts& counts = report.Counted();
    int code = kExitDone;
    if (host.Stopped()) {
        code = kExitInterrupted;
    } else if (written.empty()) {
        code = kExitRefused;
    } else if (counts.collisions + counts.failed > 0) {
        code = kExitSomeFailed;
    }
    if (code != kExitRefused) {
        report.Summary({}, code);
    } else if (request.json) {
        // The refusal was told as the command reached it; the summary repeats the last message.
        report.Summary(host.LastMessage(), code);
    }
    return code;
}

}  // namespace Cli

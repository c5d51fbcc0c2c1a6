#include "cli/Journaled.h"

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

// samePaths: the entry's old and new paths are one.
Status StatusOf(bool samePaths, RunJournal::Outcome outcome) {
    switch (outcome) {
        case RunJournal::Outcome::kDone:
            return samePaths ? Status::kUnchanged : Status::kRenamed;
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

// Lines read ahead stop at this many bytes: the rest of a huge run is read at its end.
constexpr std::size_t kAheadBytes = std::size_t{16} << 20;

}  // namespace

ReportAhead::ReportAhead(std::string journalFolder, std::uint64_t before, bool json)
    : journalFolder_(std::move(journalFolder)), before_(before), json_(json) {}

void ReportAhead::Start() {
    if (!reading_.Joinable() && read_.empty()) reading_ = Platform::HelperThread([this] { Read(); });
}

void ReportAhead::Read() {
    const RunJournal::Store store(journalFolder_);
    std::string bytes;
    std::size_t total = 0;
    for (const std::uint64_t id : store.IdsAfter(before_)) {
        // A journal not yet begun, or one being closed, may not read whole: it is read at the end.
        if (total >= kAheadBytes || !store.ReadWithoutEntries(id, bytes)) break;
        Lines& lines = read_.emplace_back();
        lines.id = id;
        lines.whole = true;
        RunJournal::Format::VisitEntries(bytes, [&](std::size_t, std::string_view oldPath,
                                                    std::string_view newPath) {
            if (total + lines.text.size() >= kAheadBytes) {
                lines.whole = false;
                return;
            }
            AppendFileStart(lines.text, json_, oldPath, MyFileOperation::SplitAtLastDelimiter(newPath).name);
            lines.ends.push_back(lines.text.size());
            lines.same.push_back(oldPath == newPath);
        });
        total += lines.text.size();
    }
}

const ReportAhead::Lines* ReportAhead::Of(std::uint64_t id) {
    if (reading_.Joinable()) reading_.Join();
    for (const Lines& lines : read_) {
        if (lines.id == id) return &lines;
    }
    return nullptr;
}

int ReportJournaled(RunJournal::Store& store, std::uint64_t before, const Request& request,
                    const TerminalHost& host, ReportAhead* ahead) {
    const std::vector<std::uint64_t> written = store.IdsAfter(before);
    bool told = false;  // of a journal that could be read
    Report report(request.json, true);
    std::string bytes;
    for (const std::uint64_t id : written) {
        const std::optional<RunJournal::Journal> journal = store.ReadWithoutEntries(id, bytes);
        if (!journal) continue;
        told = true;
        const std::vector<RunJournal::Outcome> none;
        const std::vector<RunJournal::Outcome>& outcomes =
            journal->closing ? journal->closing->outcomes : none;
        const auto outcomeOf = [&](std::size_t k) {
            return k < outcomes.size() ? outcomes[k] : RunJournal::Outcome::kUntried;
        };
        const ReportAhead::Lines* lines = ahead != nullptr ? ahead->Of(id) : nullptr;
        const std::size_t readAhead = lines != nullptr ? lines->ends.size() : 0;
        for (std::size_t k = 0, start = 0; k < readAhead; start = lines->ends[k++]) {
            const Status status = StatusOf(lines->same[k], outcomeOf(k));
            report.StartedFile(std::string_view(lines->text).substr(start, lines->ends[k] - start), status,
                               ReasonOf(status));
        }
        if (lines != nullptr && lines->whole) continue;
        RunJournal::Format::VisitEntries(
            bytes, [&](std::size_t k, std::string_view oldPath, std::string_view newPath) {
                if (k < readAhead) return;
                const Status status = StatusOf(oldPath == newPath, outcomeOf(k));
                report.NativeFile(oldPath, MyFileOperation::SplitAtLastDelimiter(newPath).name, status,
                                  ReasonOf(status));
            });
    }
    const Counts& counts = report.Counted();
    int code = kExitDone;
    if (host.Stopped()) {
        code = kExitInterrupted;
    } else if (!told) {
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

#include "core/commands/RunSteps.h"

#include <utility>

#include "core/commands/Common.h"

namespace Command {

RenameExecutor::Outcome RunPlanned(Host& host, const std::vector<std::string>& oldPaths,
                                   const std::vector<std::string>& newPaths, const RenamePlanner::Plan& plan,
                                   RenameExecutor::Look look, const std::vector<Platform::EntryId>* ids,
                                   RenameExecutor::Recorder* record) {
    RenameExecutor::PlannedOutcome planned;
    host.Busy(Work::kRenaming, newPaths.size(), [&](RunControl& control) {
        planned = RenameExecutor::ExecutePlan(oldPaths, newPaths, plan, look, &control, ids, record);
    });
    TellStranded(planned.stranded, host);
    return std::move(planned.outcome);
}

void ReportRun(Host& host, const RenameExecutor::Outcome& executed, std::size_t renamed, Text::Left collided,
               std::string_view done, bool tellDone) {
    const auto markAndCount = [&host](const std::vector<std::size_t>& entries, Text::Left why) {
        if (entries.empty()) return;
        host.MarkUnprocessed(entries);
        host.Tell(Text::Unprocessed(why, entries.size()));
    };
    markAndCount(executed.skipped, collided);
    markAndCount(executed.failed, Text::Left::kNotRenamed);
    if (!executed.untried.empty()) {
        host.Tell(Text::Cancelled(renamed));
        return;
    }
    if (executed.skipped.empty() && executed.failed.empty() && tellDone) host.Tell(std::string(done));
}

}  // namespace Command

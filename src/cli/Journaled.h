#pragma once

// What a command run with --apply did, told from the journals it wrote: each file with the
// outcome its journal closed it with, then the counts. The journal is what the window's 変更履歴
// shows too, so both faces tell the same story of a run.

#include <cstdint>

#include "cli/Args.h"
#include "cli/TerminalHost.h"
#include "core/journal/RunJournalStore.h"

namespace Cli {

// The newest command kept in store (0 for none), to tell the journals a command writes after it.
std::uint64_t NewestJournal(RunJournal::Store& store);

// Reports the files of every journal newer than before, oldest first, and returns the exit status:
// 130 when Ctrl-C stopped the command, 2 when some file was not renamed, 1 when no journal was
// written (the command refused, or the user said no), else 0.
int ReportJournaled(RunJournal::Store& store, std::uint64_t before, const Request& request,
                    const TerminalHost& host);

}  // namespace Cli

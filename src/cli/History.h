#pragma once

// The history of changes as the window's 変更履歴 lists it, newest first, one command a line:
// its ID (for undo), date and time, kind, folder, file count and state.

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/Args.h"
#include "core/journal/RunJournal.h"

namespace Cli {

int ShowHistory(const Request& request, const std::string& journalFolder);

// One command's line (or JSON object, of the given type) as the history shows it; done: the files
// found changed, for an interrupted command.
void AppendCommand(std::string& out, bool json, std::string_view type, const RunJournal::Header& header,
                   std::size_t files, RunJournal::State state, const std::size_t* done = nullptr);

// A journal folder is known (HOME or XDG_STATE_HOME is set); else says so.
bool HasJournalFolder(const std::string& journalFolder);

}  // namespace Cli

#pragma once

// undo [ID] and recover: taking back a command of the journal, shown first (the files that would
// go back, the interrupted commands) and done with --apply, through the core's own commands.

#include <string>

#include "cli/Args.h"

namespace Cli {

// The command ID, or the newest that can be undone: the window's undo from 変更履歴.
int Undo(const Request& request, const std::string& journalFolder);

// Each command a killed program left unfinished, as the window asks about them at its start.
int Recover(const Request& request, const std::string& journalFolder);

}  // namespace Cli

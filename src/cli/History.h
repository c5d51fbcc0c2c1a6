#pragma once

// The history of changes as the window's 変更履歴 lists it, newest first, one command a line:
// its ID (for undo), date and time, kind, folder, file count and state.

#include <string>

#include "cli/Args.h"

namespace Cli {

int ShowHistory(const Request& request, const std::string& journalFolder);

}  // namespace Cli

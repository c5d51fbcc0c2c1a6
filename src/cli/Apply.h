#pragma once

// A run made with --apply: the listed files go through the core's command of the run, as the
// window's 開始 sends them, journaled like the window's runs; then each file is told as its journal
// closed it.

#include <string>

#include "cli/Args.h"
#include "cli/Selection.h"

namespace Cli {

// The exit status: 0 when every file was renamed (or kept its name), 1 when the run refused and
// changed nothing, 2 when some file was not renamed, 130 after Ctrl-C.
int ApplyRun(const Request& request, Selection& selection, const std::string& journalFolder);

}  // namespace Cli

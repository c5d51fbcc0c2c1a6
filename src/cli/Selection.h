#pragma once

// The files a command line run works on, listed as the window lists them: folders expanded (with
// their subfolders on request), filtered by extension and sorted in one of the window's orders.

#include <string>
#include <vector>

#include "cli/Args.h"
#include "core/list/PairList.h"

namespace Cli {

struct Selection {
    PairList pairs;
    // Told on stderr: why nothing is listed, or a note (files whose names the program cannot
    // hold). Paths in it are escaped for a terminal.
    std::vector<std::string> messages;
    int exitCode = kExitDone;  // not kExitDone: nothing to work on
};

Selection Select(const Request& request);

// The dates the listed files were taken, read once for the list (a sort and the names may need
// them); false when Ctrl-C stopped the reading.
bool ReadDatesTaken(PairList& pairs);

// A native path as an argument names it: absolute, without "." or "..". A ".." after a link leads
// to the parent of the link's target, as the file system reads it.
std::string AbsolutePath(const std::string& native);

// A code page 932 path of the core, native and escaped for a terminal line.
std::string Shown(const std::string& path);

}  // namespace Cli

#pragma once

// The string rename as one command: the checks of the target and the replacement, the list
// narrowed to the files the replacement changes, and their renames in list order (a name freed by
// an earlier rename can be taken by a later one). The target holds wildcards, or is a regular
// expression.

#include <string>

#include "core/commands/Host.h"
#include "core/commands/KeptRun.h"
#include "core/commands/RunSteps.h"

namespace Command {

struct StringRun {
    std::string target = {};       // code page 932; empty is refused
    std::string replacement = {};  // code page 932
    bool regex = false;
    bool includeExtension = false;
    bool caseSensitive = false;
};

RunOutcome RunString(const RunContext& context, const StringRun& run, Host& host);

}  // namespace Command

#pragma once

// The sequential run as one command: the checks of its inputs, the names composed and refused as a
// whole when a file is missing or a name is taken (or, when the user agrees, renamed in another
// order where only files of the list hold the names), the journal, the renames, and the report.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/commands/Host.h"
#include "core/commands/RunSteps.h"
#include "core/names/SequentialNames.h"

namespace Command {

struct SequentialRun {
    SequentialNames::Options names = {};
    // Makes the list's dates taken ready (PairList::DatesTaken) when the names need them; false
    // when the user stopped the reading. Null: they are ready, or the modification dates stand in.
    std::function<bool()> readDatesTaken = {};
    // For tests: called between the checks and the renames.
    std::function<void()> afterChecks = {};
};

struct SequentialOutcome {
    // The files were renamed, some at least: the state after a run follows.
    bool ran = false;
    // The user stopped the run (or the reading of the dates): nothing follows it, not even the move.
    bool cancelled = false;
    // Once the names were given out: the number of the last file ("" without numbering).
    std::optional<std::string> lastNumberText = {};
    std::uint64_t journal = 0;  // the run's journal, 0 for none
};

// Renames every listed file to its sequential name. Refused runs say why and change nothing.
SequentialOutcome RunSequential(const RunContext& context, const SequentialRun& run, Host& host);

}  // namespace Command

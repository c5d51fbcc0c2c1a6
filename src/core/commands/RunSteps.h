#pragma once

// What the runs over the listed files work on, and the steps they share: a planned run and the
// report of what became of the files.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/Common.h"
#include "core/commands/Host.h"
#include "core/run/RenameExecutor.h"

class BackgroundRelease;
class PairList;

namespace Command {

// The listed files and how the face wants them handled.
struct RunContext {
    PairList& pairs;
    // Where the journals are kept; empty: commands are not journaled.
    std::string journalFolder = {};
    // Frees a list the run replaces off the caller's thread; null: freed on the spot.
    BackgroundRelease* release = nullptr;
    // Called before the first file is renamed, for what reads the files at their old paths.
    std::function<void()> filesMove = {};
    // Whether a run that went well says so (the completion messages).
    bool tellDone = true;
};

// Carries out a plan of the pairs oldPaths -> newPaths as busy work, tells of every file left under
// a temporary name, and returns the outcome. ids: the files, when known; record: the journal.
RenameExecutor::Outcome RunPlanned(Host& host, const std::vector<std::string>& oldPaths,
                                   const std::vector<std::string>& newPaths, const RenamePlanner::Plan& plan,
                                   RenameExecutor::Look look, const std::vector<Platform::EntryId>* ids,
                                   RenameExecutor::Recorder* record);
// Marks the entries a run left unrenamed and tells of them: the collisions (skipped) as collided
// says, then the refusals of the file system, then a stop; with none of them, done when
// tellDone. renamed: the files the run renamed, for the stop.
void ReportRun(Host& host, const RenameExecutor::Outcome& executed, std::size_t renamed, Text::Left collided,
               std::string_view done, bool tellDone);

}  // namespace Command

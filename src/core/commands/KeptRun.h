#pragma once

// The runs that keep only the files whose names change (string, regular expression, case and width,
// digits): the files planned from the list, the journal, the renames without replacing anything,
// the list narrowed to the kept files, and the report of the files left unrenamed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/Host.h"
#include "core/commands/RunSteps.h"
#include "core/journal/RunJournal.h"
#include "core/run/RenameExecutor.h"

namespace Command {

// The files a run keeps: their former indices, old paths and new paths, and the positions of new
// names no file can take (not tried, counted as failures).
struct KeptFiles {
    std::vector<std::size_t> indices;
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
    std::vector<std::size_t> unusable = {};
};

// The kept files of a core plan that lists them by index, old path and new path.
template <class Plan>
KeptFiles KeptFrom(Plan planned) {
    return {std::move(planned.oldIndices), std::move(planned.oldPaths), std::move(planned.newPaths)};
}

// How a run of kept files ended.
struct RunOutcome {
    enum class End {
        kRefused,  // said why; nothing changed
        kNoFile,   // no file to rename (said); the list is empty now
        kRan,      // the kept files were renamed, or tried
    };
    End end = End::kRefused;
    std::uint64_t journal = 0;  // the run's journal, 0 for none
};

struct KeptRun {
    // Plans the kept files from the listed paths, on the busy thread.
    using Plan = std::function<KeptFiles(const std::vector<std::string>& listed)>;
    Plan plan = {};
    Text::Left collided = Text::Left::kCollided;  // how the report says names were taken
    RunJournal::Kind kind = RunJournal::Kind::kString;
    // Of two files meant for one name, the first tried gets it.
    RenameExecutor::Order order = RenameExecutor::Order::FirstToLast;
    // When files of the run hold new names of others: ask whether to rename in turn.
    bool offerOrder = false;
};

// Plans the kept files and renames them without replacing anything, in the order given where it can
// matter. Then the list holds the kept files (each keeps its date taken), and the files not renamed
// are marked and reported. kNoFile tells nothing: each run has its own words for it.
RunOutcome RunKeptFiles(const RunContext& context, const KeptRun& run, Host& host);

}  // namespace Command

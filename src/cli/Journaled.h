#pragma once

// What a command run with --apply did, told from the journals it wrote: each file with the
// outcome its journal closed it with, then the counts. The journal is what the window's 変更履歴
// shows too, so both faces tell the same story of a run.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/TerminalHost.h"
#include "core/journal/RunJournalStore.h"
#include "core/platform/HelperThread.h"

namespace Cli {

// The lines of the report read ahead from the journals while the renames go on: a journal holds
// every file's paths before the first rename, and only what became of each file waits for the end.
class ReportAhead {
public:
    ReportAhead(std::string journalFolder, std::uint64_t before, bool json);

    // Once the renames have begun (later calls do nothing): reads the journals written since
    // before on a helper thread.
    void Start();

    // The files of journal id read ahead, as the first files of its count; each line's part before
    // its status, and whether its paths are the same. Waits for the reading.
    struct Lines {
        std::uint64_t id = 0;
        std::string text;
        std::vector<std::size_t> ends;  // where each file's part ends in text
        std::vector<bool> same;
        bool whole = false;  // every file of the journal
    };
    const Lines* Of(std::uint64_t id);

private:
    void Read();

    std::string journalFolder_;
    std::uint64_t before_;
    bool json_;
    std::vector<Lines> read_;
    Platform::HelperThread reading_;  // last: ended before what it fills in
};

// Reports the files of every journal newer than before (Store::NewestId before the command), oldest first,
// and returns the exit status: 130 when Ctrl-C stopped the command, 2 when some file was not renamed, 1 when
// no journal was written (the command refused, or the user said no), else 0. ahead (optional): lines read
// before.
int ReportJournaled(RunJournal::Store& store, std::uint64_t before, const Request& request,
                    const TerminalHost& host, ReportAhead* ahead = nullptr);

}  // namespace Cli

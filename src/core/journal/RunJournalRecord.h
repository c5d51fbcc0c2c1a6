#pragma once

// The journal of one command while it runs: begun before the command's first change, told of the
// temporary names it is about to use, and closed with what became of every file. A recorder of the
// rename executor, and of the commands that carry out their files themselves (the move). The
// executor's paths are code page 932 texts; the journal keeps them native.

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/journal/RunJournal.h"
#include "core/journal/RunJournalStore.h"
#include "core/platform/DestinationFolder.h"
#include "core/platform/HelperThread.h"
#include "core/run/RenameExecutor.h"

namespace RunJournal {

class Record final : public RenameExecutor::Recorder {
public:
    // folder: where the journals are kept; target: the command an undo, revert or recovery acts on;
    // workFolder (native): the folder the history names, empty for the folder of the first file.
    Record(std::string folder, Kind kind, std::uint64_t target = 0, std::string workFolder = {});
    // Stays where it is: a preparation meanwhile works on it.
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    // The executor's batch, each file in the order it is tried; End with its outcome.
    std::error_code Begin(const RenameExecutor::RecordedPairs& pairs) override;
    // Writes the batch's paths ahead (a draft no listing shows), so that Begin only adds the files'
    // identities. A draft that cannot be written is Begin's failure.
    void Prepare(const RenameExecutor::RecordedPairs& pairs) override;
    // Prepare on a thread of its own while the caller goes on (the folder is read, the order
    // checked); Begin, or the end of the record, waits for it. The lists must stay as they are
    // until then.
    void PrepareMeanwhile(const RenameExecutor::RecordedPairs& pairs);
    void End(const RenameExecutor::Outcome& outcome) override;
    // The cycles' files set aside, recorded and synced before they are used.
    std::error_code Temporaries(const std::vector<RenameExecutor::Stranded>& names) override;

    // A command's own files, in the order they are carried out.
    std::error_code Begin(const std::vector<Entry>& entries);
    // Temporary names, recorded and synced before they are used.
    std::error_code AddNotes(const std::vector<Note>& notes);
    // Records the temporary names of moves into folder (native), move k being entry first + k.
    Platform::NameRecorder MoveNames(std::string folder, std::size_t first = 0);
    // One outcome per entry. A closing that cannot be written leaves the command to be found
    // interrupted at the next start, where the user is asked.
    void End(const std::vector<Outcome>& outcomes);

    // The command's id once begun, also after End; 0 when nothing was begun.
    std::uint64_t Id() const { return id_; }
    bool Running() const { return writer_.Running(); }

private:
    // Takes the id of a command the writer has begun.
    std::error_code Started(const std::error_code& ec);
    // Writes the draft of pairs; ahead: of a Begin that comes later.
    void Draft(const RenameExecutor::RecordedPairs& pairs, bool ahead);
    // Whether pairs are the batch Prepare was given.
    bool Prepared(const RenameExecutor::RecordedPairs& pairs) const;

    Writer writer_;
    Kind kind_;
    std::uint64_t target_;
    std::string workFolder_;
    std::uint64_t id_ = 0;
    // Of the executor's batch: how many pairs, and in which order they were tried.
    std::size_t size_ = 0;
    RenameExecutor::Order order_ = RenameExecutor::Order::FirstToLast;
    // Of which lists Prepare wrote the draft (known by their elements, which a move of the lists
    // keeps), and how that went.
    struct Ready {
        const void* from = nullptr;
        const void* to = nullptr;
        const void* entries = nullptr;
        std::size_t size = 0;
        RenameExecutor::Order order = RenameExecutor::Order::FirstToLast;
        std::error_code drafted;
    };
    std::optional<Ready> ready_;
    Platform::HelperThread preparing_;  // last: ended before what it fills in
};

// What the journal keeps of a move's outcome (an error of DestinationFolder::Move).
Outcome OutcomeOfMove(const std::error_code& error);

// The native form of a code page 932 path for the journal; a text with none (which no rename can
// take either) is kept as it is.
std::string NativePath(std::string_view cp932);

}  // namespace RunJournal

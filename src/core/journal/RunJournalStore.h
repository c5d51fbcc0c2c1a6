#pragma once

// The folder of run journals: one file per command, named after its id, the newest 100 kept and at
// most 200 MB in all. A Writer records one command; a Store lists and reads what is kept. The
// folder is a parameter, so that tests never touch the user's own. Paths are native.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/journal/RunJournal.h"
#include "core/journal/RunJournalFormat.h"
#include "core/platform/JournalFile.h"

namespace RunJournal {

inline constexpr std::size_t kKeptCommands = 100;
inline constexpr std::uint64_t kKeptBytes = 200'000'000;

// $XDG_STATE_HOME/quorbel/journal, with ~/.local/state standing in for an unset, empty or relative
// XDG_STATE_HOME; empty when no home folder is known either.
std::string FolderFor(const std::optional<std::string>& xdgStateHome, const std::optional<std::string>& home);
// The same from this process's environment (the user database when HOME is unset).
std::string DefaultFolder();

// Records one command. Begin before the first change; then notes of the temporary names as they
// are about to be used; Close with every entry's outcome when the command ends. The file stays
// locked from Begin to Close: a writer that goes without closing (a crash, a kill) leaves a command
// that a later start finds interrupted.
class Writer {
public:
    explicit Writer(std::string folder) : folder_(std::move(folder)) {}

    // Writes the journal of a command and syncs it with its folder; the first change may follow.
    // On failure nothing is written and the reason is returned: the command must not run. Prunes
    // the older journals beyond what is kept.
    std::error_code Begin(Kind kind, const std::string& workFolder, const std::vector<Entry>& entries,
                          std::uint64_t target = 0);
    // The same in two steps, so that the larger part is written while the command still looks at
    // its files: Draft with the entries' paths, under a hidden name that no listing shows, then
    // Begin with the files' identities (idOf(k) of the k-th entry). A failed Draft is the failed
    // Begin; a draft never begun is dropped by Discard or the destructor. flush: the draft is flushed
    // now, ahead of a Begin that comes later, rather than by Begin.
    std::error_code Draft(Kind kind, const std::string& workFolder, const Format::EntriesEncoder& entries,
                          std::uint64_t target = 0, bool flush = true);
    std::error_code Begin(const Format::IdOf& idOf);
    void Discard();
    bool Drafted() const { return file_.Drafted(); }
    // Takes up an interrupted command of another process to close it as found: its lock is taken
    // and a torn tail cut off. resource_unavailable_try_again while its process lives,
    // operation_not_permitted when it is closed already, bad_message when it cannot be read.
    std::error_code Resume(std::uint64_t id);
    // Appends notes and syncs them: a temporary name may be used once this returns.
    std::error_code AddNotes(const std::vector<Note>& notes);
    // Appends the closing record, syncs it and gives up the lock, also when it fails.
    std::error_code Close(const std::vector<Outcome>& outcomes);

    bool Running() const { return file_.IsOpen(); }
    std::uint64_t Id() const { return id_; }

private:
    // Writes the draft under id, or the next free one.
    std::error_code WriteDraft(std::uint64_t id);

    std::string folder_;
    Platform::LockedFile file_;
    std::string draft_;  // the draft's bytes, until it is begun
    bool flush_ = true;
    std::uint64_t id_ = 0;
    std::size_t entries_ = 0;
    bool asFound_ = false;
};

// A kept command as the history shows it.
struct Summary {
    Header header;
    std::size_t files = 0;
    State state = State::kInterrupted;
};

// A file that is no journal this program can read: damaged, cut short or not a journal at all. It
// is set aside as "<name>.damaged", so that it is reported once and pruned like the others.
struct Problem {
    std::string file;
    Format::Verdict verdict = Format::Verdict::kDamaged;
};

struct Listing {
    std::vector<Summary> commands;  // newest first
    std::vector<Problem> problems;  // found by this listing
};

class Store {
public:
    explicit Store(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const { return folder_; }

    // The newest `limit` readable commands, newest first. Files of a later version are passed over
    // silently; a command is undone by an undo or recovery among those read that closed with every
    // file done.
    Listing List(std::size_t limit = kKeptCommands);
    // The ids of the commands newer than after, oldest first, by their files' names alone: none is
    // read, so a command still writing its journal is left as it is.
    std::vector<std::uint64_t> IdsAfter(std::uint64_t after) const;
    // The newest id a name kept holds (0 for none): every journal begun later gets a greater one.
    std::uint64_t NewestId() const;
    // One command in full; nullopt when it is gone or cannot be read.
    std::optional<Journal> Read(std::uint64_t id) const;
    // The same without its entries, and the file's bytes for Format::VisitEntries: a report of a
    // large run need not hold every entry at once.
    std::optional<Journal> ReadWithoutEntries(std::uint64_t id, std::string& bytes) const;

private:
    std::optional<Journal> ReadAs(std::uint64_t id, Format::Entries entries, std::string& bytes) const;

    std::string folder_;
    std::set<std::string> reported_;  // so that a file that could not be set aside is reported once
};

}  // namespace RunJournal

#pragma once

// What the commands share: a command's journal, and the texts of outcomes that more than one
// command tells. Texts are UTF-8, the program's own; a code page 932 path goes into one through
// Text::Path.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/commands/Host.h"
#include "core/journal/RunJournal.h"
#include "core/run/RenameExecutor.h"

namespace RunJournal {
class Record;
}

namespace Command {

// A new command's journal, kept in folder; null when folder is empty (commands not journaled).
// target: the command an undo, revert or recovery acts on.
std::unique_ptr<RunJournal::Record> NewRecord(const std::string& folder, RunJournal::Kind kind,
                                              std::uint64_t target = 0);

namespace Text {

std::string MissingFiles();
std::string UserCancelled();
std::string NothingUndone();
std::string Undone();
// The completion message of the runs that keep only the files they rename.
std::string Done();

// What the face shows while the work is under way.
std::string Working(Work what);

// A code page 932 path as the faces show it.
std::string Path(std::string_view cp932);
// The journal could not be written, and why: in words for the usual reasons, else the system's text.
std::string Unrecorded(const std::error_code& error);
// A rename stopped by the user, after renamed files.
std::string Cancelled(std::size_t renamed);
// A move stopped by the user, after moved files.
std::string MoveCancelled(std::size_t moved);

// Why files were left as they were.
enum class Left {
    kCollided,        // the run's new names were taken
    kDigitsCollided,  // the digit alignment's new names were taken
    kNotRenamed,      // the file system refused
    kNotUndone,       // an undo could not take them back
    kUnsaid,          // no reason given
};
// "N個のファイルが未処理になりました" with its reason.
std::string LeftCount(Left why, std::size_t count);
// LeftCount and the line about the "*" marks.
std::string Unprocessed(Left why, std::size_t count);
// The first line of the missing-file message, and the two the window's missing-file box adds.
std::string MissingFile(std::string_view path);
std::string MissingMaybeMoved();
std::string MissingListAgain();

}  // namespace Text

// Tells the journal's refusal; false for none.
bool RefuseUnrecorded(const std::error_code& error, Host& host);
// Names each file a planned rename left under a temporary name, and where it is.
void TellStranded(const std::vector<RenameExecutor::Stranded>& stranded, Host& host);

}  // namespace Command

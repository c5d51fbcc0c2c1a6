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

inline constexpr std::string_view kMissingFiles =
    "移動または削除による不足ファイルがありますが、\r\n\r\n残っているファイルを元に戻しますか？";
inline constexpr std::string_view kUserCancelled = "ユーザーによる中止";
inline constexpr std::string_view kNothingUndone = "元に戻せませんでした。";
inline constexpr std::string_view kUndone = "処理が終了しました";
inline constexpr std::string_view kNotUndoneLead = "元に戻せなかったため、 ";

// A code page 932 path as the faces show it.
std::string Path(std::string_view cp932);
// The journal could not be written, and why: Japanese for the usual reasons, else the system's text.
std::string Unrecorded(const std::error_code& error);
// A rename stopped by the user, after renamed files.
std::string Cancelled(std::size_t renamed);
// A move stopped by the user, after moved files.
std::string MoveCancelled(std::size_t moved);
// "lead N個のファイルが未処理になりました" and the line about the "*" marks.
std::string Unprocessed(std::string_view lead, std::size_t count);
// The first line of the missing-file message, and the two the window's missing-file box adds.
std::string MissingFile(std::string_view path);
inline constexpr std::string_view kMissingMaybeMoved = "既に移動または削除された可能性があります";
inline constexpr std::string_view kMissingListAgain = "再度リストを作成して下さい。";
// The completion message of the runs that keep only the files they rename.
inline constexpr std::string_view kDone = "処理は完了しました";

}  // namespace Text

// Tells the journal's refusal; false for none.
bool RefuseUnrecorded(const std::error_code& error, Host& host);
// Names each file a planned rename left under a temporary name, and where it is.
void TellStranded(const std::vector<RenameExecutor::Stranded>& stranded, Host& host);

}  // namespace Command

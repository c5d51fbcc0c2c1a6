#include "core/commands/Common.h"

#include <cerrno>

#include "core/journal/RunJournalRecord.h"
#include "core/text/Cp932.h"

namespace Command {

std::unique_ptr<RunJournal::Record> NewRecord(const std::string& folder, RunJournal::Kind kind,
                                              std::uint64_t target) {
    if (folder.empty()) return nullptr;
    return std::make_unique<RunJournal::Record>(folder, kind, target);
}

namespace Text {

std::string Path(std::string_view cp932) {
    return Cp932::ToUtf8Lossy(cp932);
}

std::string Unrecorded(const std::error_code& error) {
    std::string reason;
    bool quota = false;
#ifdef EDQUOT
    quota = error.value() == EDQUOT;
#endif
    if (error == std::errc::no_space_on_device || quota) {
        reason = "ディスクの空き容量が不足しています";
    } else if (error == std::errc::read_only_file_system) {
        reason = "書き込み禁止のドライブです";
    } else if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        reason = "アクセス権がありません";
    } else {
        reason = error.message();
    }
    return "変更履歴を書き込めないため、処理を中止しました。（" + reason + "）";
}

std::string Cancelled(std::size_t renamed) {
    return "中止しました。 " + std::to_string(renamed) + "個のファイルの名前を変更しました。";
}

std::string MoveCancelled(std::size_t moved) {
    return "中止しました。 " + std::to_string(moved) + "個のファイルを移動しました。";
}

std::string Unprocessed(std::string_view lead, std::size_t count) {
    return std::string(lead) + std::to_string(count) +
           "個のファイルが未処理になりました\r\n未処理のものは\"*\"マークが付けられています。";
}

std::string MissingFile(std::string_view path) {
    return "対象ファイル " + Path(path) + " が見つかりません。";
}

}  // namespace Text

bool RefuseUnrecorded(const std::error_code& error, Host& host) {
    if (!error) return false;
    host.Tell(Text::Unrecorded(error));
    return true;
}

void TellStranded(const std::vector<RenameExecutor::Stranded>& stranded, Host& host) {
    // Named with where it is, so it can be found; the journal keeps its temporary name.
    for (const RenameExecutor::Stranded& file : stranded)
        host.Tell(Text::Path(file.from) + " は一時的な名前 " + Text::Path(file.path) + " のまま残っています");
}

}  // namespace Command

#include "core/commands/Common.h"

#include <cerrno>

#include "core/journal/RunJournalRecord.h"
#include "core/text/Cp932.h"
#include "core/text/Translate.h"

namespace Command {

std::unique_ptr<RunJournal::Record> NewRecord(const std::string& folder, RunJournal::Kind kind,
                                              std::uint64_t target) {
    if (folder.empty()) return nullptr;
    return std::make_unique<RunJournal::Record>(folder, kind, target);
}

namespace Text {

std::string MissingFiles() {
    return std::string(_("移動または削除による不足ファイルがありますが、")) + "\r\n\r\n" +
           _("残っているファイルを元に戻しますか？");
}

std::string UserCancelled() {
    return _("ユーザーによる中止");
}

std::string NothingUndone() {
    return _("元に戻せませんでした。");
}

std::string Undone() {
    return _("処理が終了しました");
}

std::string Done() {
    return _("処理は完了しました");
}

std::string Working(Work what) {
    switch (what) {
        case Work::kRenaming:
            break;
        case Work::kMoving:
            return _("ファイルを移動しています…");
        case Work::kReadingDates:
            return _("撮影日時を読み込んでいます…");
    }
    return _("名前を変更しています…");
}

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
        reason = _("ディスクの空き容量が不足しています");
    } else if (error == std::errc::read_only_file_system) {
        reason = _("書き込み禁止のドライブです");
    } else if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        reason = _("アクセス権がありません");
    } else {
        reason = error.message();
    }
    // TRANSLATORS: %1 is why the history of changes could not be written.
    return Translate::Fill(_("変更履歴を書き込めないため、処理を中止しました。（%1）"), {reason});
}

std::string Cancelled(std::size_t renamed) {
    const std::string count = std::to_string(renamed);
    return Translate::Fill(P_("中止しました。 %1個のファイルの名前を変更しました。",
                              "中止しました。 %1個のファイルの名前を変更しました。", renamed),
                           {count});
}

std::string MoveCancelled(std::size_t moved) {
    const std::string count = std::to_string(moved);
    return Translate::Fill(P_("中止しました。 %1個のファイルを移動しました。",
                              "中止しました。 %1個のファイルを移動しました。", moved),
                           {count});
}

std::string LeftCount(Left why, std::size_t count) {
    const char* text = "";
    switch (why) {
        case Left::kCollided:
            text = P_("処理により同名ファイルができたため、 %1個のファイルが未処理になりました",
                      "処理により同名ファイルができたため、 %1個のファイルが未処理になりました", count);
            break;
        case Left::kDigitsCollided:
            text = P_("桁揃え処理により同名ファイルができたため、 %1個のファイルが未処理になりました",
                      "桁揃え処理により同名ファイルができたため、 %1個のファイルが未処理になりました", count);
            break;
        case Left::kNotRenamed:
            text = P_("名前を変更できなかったため、 %1個のファイルが未処理になりました",
                      "名前を変更できなかったため、 %1個のファイルが未処理になりました", count);
            break;
        case Left::kUnsaid:
            text = P_("%1個のファイルが未処理になりました", "%1個のファイルが未処理になりました", count);
            break;
        case Left::kNotUndone:
            text = P_("元に戻せなかったため、 %1個のファイルが未処理になりました",
                      "元に戻せなかったため、 %1個のファイルが未処理になりました", count);
            break;
    }
    return Translate::Fill(text, {std::to_string(count)});
}

std::string Unprocessed(Left why, std::size_t count) {
    return LeftCount(why, count) + "\r\n" + _("未処理のものは\"*\"マークが付けられています。");
}

std::string MissingFile(std::string_view path) {
    return Translate::Fill(_("対象ファイル %1 が見つかりません。"), {Path(path)});
}

std::string MissingMaybeMoved() {
    return _("既に移動または削除された可能性があります");
}

std::string MissingListAgain() {
    return _("再度リストを作成して下さい。");
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
        host.Tell(Translate::Fill(_("%1 は一時的な名前 %2 のまま残っています"),
                                  {Text::Path(file.from), Text::Path(file.path)}));
}

}  // namespace Command

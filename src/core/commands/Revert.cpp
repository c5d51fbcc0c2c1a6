#include "core/commands/Revert.h"

#include "core/commands/Common.h"
#include "core/journal/RunJournalRecord.h"
#include "core/run/UndoRevert.h"
#include "core/text/Translate.h"

namespace Command {
namespace {

std::string RefusalText(UndoRevert::Revert outcome) {
    using UndoRevert::Revert;
    switch (outcome) {
        case Revert::kDone:
            break;
        case Revert::kNotRenamed:
            return _("このファイルは変更されていないため、戻せません。");
        case Revert::kMissing:
            return _("対象ファイルが移動または削除されています。");
        case Revert::kTaken:
            return _("同じファイル名が存在するため、処理できません");
        case Revert::kRefused:
            return _("名前を元に戻せませんでした。");
    }
    return {};
}

}  // namespace

std::size_t Revert(PairList& pairs, const std::vector<std::size_t>& entries, const RevertOptions& options,
                   Host& host) {
    const auto record = NewRecord(options.journalFolder, RunJournal::Kind::kRevert, options.target);
    const UndoRevert::RevertResult result = UndoRevert::RevertEach(pairs, entries, record.get());
    if (RefuseUnrecorded(result.unrecorded, host)) return 0;
    if (result.reverted > 0) host.ListChanged();
    if (result.stop != UndoRevert::Revert::kDone) host.Tell(RefusalText(result.stop));
    return result.reverted;
}

}  // namespace Command

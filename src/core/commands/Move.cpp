#include "core/commands/Move.h"

#include "core/commands/Common.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/MyFileOperation.h"
#include "core/list/PairList.h"
#include "core/text/Translate.h"

namespace Command {
namespace {

std::string ReplaceQuestion() {
    return std::string(_("移動先に同名ファイルがあります。上書きしますか")) + "\r\n\r\n" +
           _("「はい」で上書き、") + "\r\n" + _("「いいえ」で同名以外のファイルを移動、") + "\r\n" +
           _("「キャンセル」で移動処理全てを取り消します");
}

// Tells why the move is refused; false for no refusal.
bool Refuse(MovePlan::Refusal refusal, const std::string& destination, Host& host) {
    switch (refusal) {
        case MovePlan::Refusal::kNone:
            return false;
        case MovePlan::Refusal::kNoDestination:
            host.Tell(_("移動先が未指定です。"));
            break;
        case MovePlan::Refusal::kDestinationGone:
            host.Tell(_("移動先フォルダは既に存在しません"));
            break;
        case MovePlan::Refusal::kDestinationChanged:
            host.Tell(Translate::Fill(
                _("移動先フォルダ %1 は、指定した後に取り外されたか別のフォルダに替わっています。"),
                {Text::Path(destination)}));
            break;
        case MovePlan::Refusal::kSameFolder:
            host.Tell(_("移動元と移動先が同じフォルダです。"));
            break;
    }
    return true;
}

}  // namespace

void MoveAfterRename(PairList& pairs, const MoveOptions& options, Host& host) {
    // The checks speak also for an empty list. The folder of the first file stands for the source.
    const std::string source =
        pairs.Empty() ? std::string() : MyFileOperation::FolderOf(pairs.OldPaths().front());
    if (Refuse(MovePlan::CheckDestination(source, options.destination, options.chosen), options.destination,
               host))
        return;
    MovePlan::Plan plan;
    // Each file is moved only while the file the command renamed stands at its new path.
    host.Busy(Work::kMoving, 0, [&](RunControl&) { plan = MovePlan::MakePlan(pairs, options.destination); });
    MovePlan::Answer answer = MovePlan::Answer::kReplace;
    if (plan.AsksToReplace()) {
        switch (host.Ask(Question::kReplace, ReplaceQuestion())) {
            case Answer::kYes:
                break;
            case Answer::kNo:
                answer = MovePlan::Answer::kKeep;
                break;
            case Answer::kCancel:
                return;
        }
    }
    MovePlan::Result result;
    const auto record = NewRecord(options.journalFolder, RunJournal::Kind::kMove);
    host.Busy(Work::kMoving, MovePlan::MoveCount(plan, answer),
              [&](RunControl& control) { result = MovePlan::Execute(plan, answer, &control, record.get()); });
    // The folder may have been swapped while the question was open.
    if (Refuse(result.refusal, options.destination, host) || RefuseUnrecorded(result.unrecorded, host))
        return;
    // A moved file is no longer where the command put it: reverting it must not touch the new name.
    pairs.MarkMovedAway(result.moved);
    if (!result.notMoved.empty()) {
        const std::size_t left = result.notMoved.size();
        host.Tell(Translate::Fill(P_("移動できなかったため、 %1個のファイルが移動元に残っています。",
                                     "移動できなかったため、 %1個のファイルが移動元に残っています。", left),
                                  {std::to_string(left)}));
    }
    if (!result.untried.empty()) host.Tell(Text::MoveCancelled(result.moved.size()));
}

}  // namespace Command

#include "core/commands/Move.h"

#include "core/commands/Common.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/MyFileOperation.h"
#include "core/list/PairList.h"

namespace Command {
namespace {

constexpr std::string_view kReplaceQuestion =
    "移動先に同名ファイルがあります。上書きしますか\r\n\r\n「はい」で上書き、\r\n"
    "「いいえ」で同名以外のファイルを移動、\r\n「キャンセル」で移動処理全てを取り消します";

// Tells why the move is refused; false for no refusal.
bool Refuse(MovePlan::Refusal refusal, const std::string& destination, Host& host) {
    switch (refusal) {
        case MovePlan::Refusal::kNone:
            return false;
        case MovePlan::Refusal::kNoDestination:
            host.Tell("移動先が未指定です。");
            break;
        case MovePlan::Refusal::kDestinationGone:
            host.Tell("移動先フォルダは既に存在しません");
            break;
        case MovePlan::Refusal::kDestinationChanged:
            host.Tell("移動先フォルダ " + Text::Path(destination) +
                      " は、指定した後に取り外されたか別のフォルダに替わっています。");
            break;
        case MovePlan::Refusal::kSameFolder:
            host.Tell("移動元と移動先が同じフォルダです。");
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
        switch (host.Ask(Question::kReplace, std::string(kReplaceQuestion))) {
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
        host.Tell("移動できなかったため、 " + std::to_string(result.notMoved.size()) +
                  "個のファイルが移動元に残っています。");
    }
    if (!result.untried.empty()) host.Tell(Text::MoveCancelled(result.moved.size()));
}

}  // namespace Command

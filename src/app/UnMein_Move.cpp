// Moving the renamed files after a sequential run: the switch, the destination and its three
// remembered slots, and the move itself.
#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <cassert>

#include "app/BusyRunner.h"
#include "app/ImageList.h"
#include "app/QtText.h"
#include "app/UnMein.h"
#include "components/BrowseDlg.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/MyFileOperation.h"
#include "core/run/MovePlan.h"

using QtText::ToQt;

namespace {

const QString kPanelDestination = QStringLiteral("変換後移動先 : ");

}  // namespace

void TFmMein::mnMoveOnClick() {
    mnMoveOn->setChecked(!mnMoveOn->isChecked());
}

void TFmMein::ShowMoveSwitch() {
    const bool on = mnMoveOn->isChecked();
    const QString hint = on ? QStringLiteral("ファイル移動　有効") : QStringLiteral("ファイル移動　無効");
    btMoveOn->setToolTip(hint);
    btMoveOn->setAccessibleName(hint);
    SetImageIndex(btMoveOn, on ? ImageList::kMoveOn : ImageList::kEmptySlot);
    if (on) {
        StatusPanels[2]->setText(kPanelDestination + ToQt(MoveDestination));
        if (MoveDestination.empty())
            Message(QStringLiteral("移動先フォルダが未選択状態ですので、ご注意下さい。"));
    } else {
        StatusPanels[2]->setText(QStringLiteral("変換後移動機能は、現在無効です。"));
    }
    btMoveFolder->setEnabled(on);
    mnMoveFolder->setEnabled(on);
    for (std::size_t i = 0; i < bMHist.size(); ++i) {
        bMHist[i]->setEnabled(on);
        mMHist[i]->setEnabled(on);
    }
}

void TFmMein::mnMoveFolderClick() {
    const auto chosen = dialogs_->ChooseFolder(this, *BrowseDlg1);
    if (!chosen) return;
    const auto folder = QtText::FromQt(*chosen);
    if (!folder) {
        Message(QStringLiteral("フォルダ ") + *chosen + QStringLiteral(" を開けません。"));
        return;
    }
    SetMoveDestination(*folder);
    AddToMoveHistory(MoveDestination);
}

void TFmMein::SetMoveDestination(const std::string& folder) {
    MoveDestination = MovePlan::FolderText(folder);
    moveDestinationId_ = MovePlan::FolderIdOf(MoveDestination);
    StatusPanels[2]->setText(kPanelDestination + ToQt(MoveDestination));
}

void TFmMein::AddToMoveHistory(const std::string& folder) {
    BrowseStartFolder = folder;
    if (!MoveHistory.Add(folder)) return;
    ShowMoveHistory();
    SetImageIndex(bMHist[0], ImageList::kCurrentDestination);
}

void TFmMein::ShowMoveHistory() {
    for (std::size_t i = 0; i < bMHist.size(); ++i) {
        const std::string& slot = MoveHistory.Slot(static_cast<int>(i) + 1);
        const QString folder = ToQt(slot);
        mMHist[i]->setText(QStringLiteral("%1 : ").arg(i + 1) + QtText::EscapeAmpersands(folder));
        bMHist[i]->setToolTip(folder);
        bMHist[i]->setAccessibleDescription(folder);
        SetImageIndex(bMHist[i], slot.empty() ? ImageList::kEmptySlot : ImageList::kRegisteredSlot);
    }
}

void TFmMein::bMHist1Click(QObject* sender) {
    std::size_t index = 0;
    while (index < bMHist.size() && sender != bMHist[index] && sender != mMHist[index])
        ++index;
    assert(index < bMHist.size() && "only the destination buttons and menu items share this handler");
    const std::string& slot = MoveHistory.Slot(static_cast<int>(index) + 1);
    if (slot.empty()) {
        Message(QStringLiteral("このボタンには、移動先フォルダが未指定です。"));
        return;
    }
    for (std::size_t i = 0; i < bMHist.size(); ++i) {
        if (i == index) {
            SetImageIndex(bMHist[i], ImageList::kCurrentDestination);
        } else if (ImageIndexOf(bMHist[i]) == ImageList::kCurrentDestination) {
            SetImageIndex(bMHist[i], ImageList::kRegisteredSlot);
        }
    }
    SetMoveDestination(slot);
}

void TFmMein::N15Click() {
    // Cancel counts as an empty answer, which is no slot.
    const auto answer = dialogs_->InputBox(this, QStringLiteral("登録解除したい移動先フォルダの番号は"),
                                           QStringLiteral("指定移動先削除"), QString());
    const QByteArray text = answer.value_or(QString()).toUtf8();
    if (MoveHistory.Unregister(
            MoveDestinations::LeadingNumber(std::string_view(text.constData(), text.size()))))
        ShowMoveHistory();
}

void TFmMein::N16Click() {
    if (!dialogs_->AskYesNo(this, QStringLiteral("登録移動先を全て消去します"), MessagePoint())) return;
    MoveHistory.Clear();
    ShowMoveHistory();
}

bool TFmMein::RefuseMove(MovePlan::Refusal refusal) {
    switch (refusal) {
        case MovePlan::Refusal::kNone:
            return false;
        case MovePlan::Refusal::kNoDestination:
            Message(QStringLiteral("移動先が未指定です。"));
            break;
        case MovePlan::Refusal::kDestinationGone:
            Message(QStringLiteral("移動先フォルダは既に存在しません"));
            break;
        case MovePlan::Refusal::kDestinationChanged:
            Message(QStringLiteral("移動先フォルダ ") + ToQt(MoveDestination) +
                    QStringLiteral(" は、指定した後に取り外されたか別のフォルダに替わっています。"));
            break;
        case MovePlan::Refusal::kSameFolder:
            Message(QStringLiteral("移動元と移動先が同じフォルダです。"));
            break;
    }
    return true;
}

void TFmMein::MoveAfterRename() {
    // The table always shows a row, so the checks speak also for an empty list. The folder of the
    // first row stands for the source folder.
    const std::string source =
        Pairs.Empty() ? std::string() : MyFileOperation::FolderOf(Pairs.OldPaths().front());
    if (RefuseMove(MovePlan::CheckDestination(source, MoveDestination, moveDestinationId_))) return;
    MovePlan::Plan plan;
    // Each file is moved only while the file the run renamed stands at its new path.
    RunBusy({RunText::kMoving, 0},
            [&plan, this](RunControl&) { plan = MovePlan::MakePlan(Pairs, MoveDestination); });
    MovePlan::Answer answer = MovePlan::Answer::kReplace;
    if (plan.AsksToReplace()) {
        const QString question = QStringLiteral(
            "移動先に同名ファイルがあります。上書きしますか\r\n\r\n「はい」で上書き、\r\n「いいえ」で同名以外"
            "のファイルを移動、"
            "\r\n「キャンセル」で移動処理全てを取り消します");
        switch (dialogs_->AskYesNoCancel(this, question, MessagePoint())) {
            case TDialogs::TAnswer::Yes:
                break;
            case TDialogs::TAnswer::No:
                answer = MovePlan::Answer::kKeep;
                break;
            case TDialogs::TAnswer::Cancel:
                return;
        }
    }
    MovePlan::Result result;
    ForgetDatesTaken();  // the files move
    const auto record = NewRecord(RunJournal::Kind::kMove);
    RunBusy({RunText::kMoving, MovePlan::MoveCount(plan, answer)},
            [&](RunControl& control) { result = MovePlan::Execute(plan, answer, &control, record.get()); });
    // The folder may have been swapped while the question was open.
    if (RefuseMove(result.refusal) || RefuseUnrecorded(result.unrecorded)) return;
    // A moved file is no longer where the run put it: reverting it must not touch the new name.
    Pairs.MarkMovedAway(result.moved);
    if (!result.notMoved.empty()) {
        Message(QStringLiteral("移動できなかったため、 ") + QString::number(result.notMoved.size()) +
                QStringLiteral("個のファイルが移動元に残っています。"));
    }
    if (!result.untried.empty()) Message(RunText::MoveCancelled(result.moved.size()));
}

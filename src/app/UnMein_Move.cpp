// Moving the renamed files after a sequential run: the switch, the destination and its three
// remembered slots, and the move itself.
#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <cassert>

#include "app/DatesTaken.h"
#include "app/ImageList.h"
#include "app/QtText.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "components/BrowseDlg.h"
#include "core/commands/Move.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/LoadTexts.h"
#include "core/list/MyFileOperation.h"
#include "core/run/MovePlan.h"

using QtText::ToQt;
using QtText::Tr;

namespace {

QString PanelDestination(const std::string& folder) {
    return Tr("変換後移動先 : %1").arg(ToQt(folder));
}

}  // namespace

void TFmMein::mnMoveOnClick() {
    mnMoveOn->setChecked(!mnMoveOn->isChecked());
}

void TFmMein::ShowMoveSwitch() {
    const bool on = mnMoveOn->isChecked();
    const QString hint = on ? Tr("ファイル移動　有効") : Tr("ファイル移動　無効");
    btMoveOn->setToolTip(hint);
    btMoveOn->setAccessibleName(hint);
    SetImageIndex(btMoveOn, on ? ImageList::kMoveOn : ImageList::kEmptySlot);
    if (on) {
        StatusPanels[2]->setText(PanelDestination(MoveDestination));
        if (MoveDestination.empty()) Message(Tr("移動先フォルダが未選択状態ですので、ご注意下さい。"));
    } else {
        StatusPanels[2]->setText(Tr("変換後移動機能は、現在無効です。"));
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
        Message(QString::fromStdString(LoadTexts::CannotOpen(chosen->toStdString())));
        return;
    }
    SetMoveDestination(*folder);
    // The new destination goes first into the history, unless the history holds it already.
    BrowseStartFolder = MoveDestination;
    if (!MoveHistory.Add(MoveDestination)) return;
    ShowMoveHistory();
    SetImageIndex(bMHist[0], ImageList::kCurrentDestination);
}

void TFmMein::SetMoveDestination(const std::string& folder) {
    MoveDestination = MovePlan::FolderText(folder);
    moveDestinationId_ = MovePlan::FolderIdOf(MoveDestination);
    StatusPanels[2]->setText(PanelDestination(MoveDestination));
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
        Message(Tr("このボタンには、移動先フォルダが未指定です。"));
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
    const auto answer =
        dialogs_->InputBox(this, Tr("登録解除したい移動先フォルダの番号は"), Tr("指定移動先削除"), QString());
    const QByteArray text = answer.value_or(QString()).toUtf8();
    if (MoveHistory.Unregister(
            MoveDestinations::LeadingNumber(std::string_view(text.constData(), text.size()))))
        ShowMoveHistory();
}

void TFmMein::N16Click() {
    if (!dialogs_->AskYesNo(this, Tr("登録移動先を全て消去します"), MessagePoint())) return;
    MoveHistory.Clear();
    ShowMoveHistory();
}

void TFmMein::MoveAfterRename() {
    dates_->Forget();  // the files move
    Command::MoveAfterRename(Pairs, {MoveDestination, moveDestinationId_, journal_.Folder()}, *host_);
}

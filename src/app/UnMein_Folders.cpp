// The folder sources (browse, drop, history slots, re-read, next folder) and the folder history
// commands.
#include <QAction>
#include <QCheckBox>
#include <QToolButton>
#include <utility>

#include "app/DatesTaken.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/BrowseDlg.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"
#include "core/list/MyFileOperation.h"
#include "core/settings/FolderHistory.h"
#include "core/text/Cp932.h"
#include "core/text/LightStr.h"

using QtText::Tr;

using QtText::ToQt;

namespace {

QString FolderGone() {
    return Tr("選択されたフォルダは、既に存在しません。");
}

}  // namespace

void TFmMein::ClearFileList() {
    CaseRunFlag = false;
    HaltPreview();
    dates_->Forget();
    ClearTable();
    released_.Drop(std::exchange(Pairs, PairList{}));  // freed off this thread
}

void TFmMein::N1Click() {
    const auto chosen = dialogs_->ChooseFolder(this, *BrowseDlg1);
    if (chosen) OpenChosenFolder(*chosen);
}

void TFmMein::OpenChosenFolder(const QString& chosen) {
    const auto folder = QtText::FromQt(chosen);
    if (!folder) {
        Message(Tr("フォルダ %1 を開けません。").arg(chosen));
        return;
    }
    if (LoadChosenFolder(*folder)) tbNextOpen->setEnabled(true);
}

void TFmMein::BrowseDlg1Show() {
    BrowseDlg1->SetSelectionPath(ToQt(BrowseStartFolder));
}

void TFmMein::FileDrop1FileDrop(TFileDrop* sender, int num, const QStringList& files, int x, int y) {
    Q_UNUSED(sender);
    Q_UNUSED(num);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (files.isEmpty()) return;
    raise();
    activateWindow();
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& file : files) {
        const auto path = QtText::FromQt(file);
        if (!path) {
            // Out of stand-in codes for its characters: the name cannot be handled safely.
            Message(Tr("フォルダ %1 を開けません。").arg(file));
            return;
        }
        entries.push_back(*path);
    }
    Cp932::SortNoCase(entries);
    LoadFileList(entries);
}

void TFmMein::his1Click(int slot) {
    const std::string& text = slot == 0 ? ReloadFolder : FolderHistory.at(static_cast<std::size_t>(slot - 1));
    if (LightStr::Trim(text).empty()) return;
    const std::string folder = MyFileOperation::AddBackslash(text);
    if (!MyFileOperation::FolderExists(folder)) {
        Message(FolderGone());
        return;
    }
    const std::string current = MyFileOperation::RemoveBackslash(folder);
    LoadFileList({folder}, &current);
}

void TFmMein::tbNextOpenClick() {
    const std::string folder = MyFileOperation::RemoveBackslash(CurrentFolder);
    if (folder.empty()) return;
    if (!MyFileOperation::FolderExists(folder)) {
        Message(FolderGone());
        return;
    }
    const auto next = ::FolderHistory::NextSiblingFolder(folder);
    if (!next) {
        Message(Tr("次のフォルダはありません"));
        return;
    }
    LoadFileList({*next});
}

void TFmMein::N6Click() {
    if (!dialogs_->AskYesNo(this, Tr("履歴を全て消去します"), MessagePoint())) return;
    ::FolderHistory::Clear(FolderHistory);
    ShowFolderHistory();
    btHistClr->setEnabled(false);
}

void TFmMein::mnHistCLRClick() {
    const auto answer = dialogs_->InputBox(this, Tr("削除したい履歴の番号は"), Tr("指定履歴削除"), QString());
    if (!answer) return;
    const QByteArray text = answer->toUtf8();
    const auto number = ::FolderHistory::ParseSlotNumber(std::string_view(text.constData(), text.size()));
    if (number && ::FolderHistory::DeleteSlot(FolderHistory, *number)) ShowFolderHistory();
}

void TFmMein::mnHistOnClick() {
    // The menu item has toggled its own check mark; the check box follows it.
    cbHistOn->setChecked(mnHistOn->isChecked());
}

void TFmMein::cbHistOnClick() {
    mnHistOn->setChecked(cbHistOn->isChecked());
}

// Loading files into the rename table, the extension filter options, and recording the folders
// a load processes.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>
#include <cassert>
#include <thread>
#include <utility>

#include "app/BusyRunner.h"
#include "app/ImageList.h"
#include "app/InputHistories.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "app/WindowTexts.h"
#include "components/MyStringGrid.h"
#include "core/list/FileList.h"
#include "core/list/LoadTexts.h"
#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

using QtText::Tr;

using QtText::ToQt;

FileList::LoadOptions TFmMein::ReadLoadOptions() const {
    FileList::LoadOptions options;
    options.recursive = RG1->ItemIndex() == 0;
    options.extensions = ReadExtFilter();
    options.filterMode = RG2->ItemIndex();
    return options;
}

bool TFmMein::LoadFileList(const std::vector<std::string>& entries, const std::string* current) {
    return RunLoad([&entries, options = ReadLoadOptions()](
                       RunControl& control) { return FileList::PlanLoad(entries, options, &control); },
                   current);
}

bool TFmMein::LoadChosenFolder(const std::string& folder) {
    return RunLoad(
        [&folder, options = ReadLoadOptions()](RunControl& control) {
            return FileList::PlanChosenFolderLoad(folder, options, &control);
        },
        &folder);
}

bool TFmMein::RunLoad(const std::function<FileList::LoadPlan(RunControl&)>& makePlan,
                      const std::string* current) {
    // The list shown is only kept while the next one is read, for a load that is cancelled, and is
    // packed meanwhile: a reload of a million files would otherwise hold two lists of strings. The
    // table shows nothing until the load ends.
    const std::vector<int> selected = MySG->RowsHolding(0, RowMark::kSelected);
    const std::vector<int> unprocessed = MySG->RowsHolding(0, RowMark::kUnprocessed);
    ClearTable();
    PairList kept = std::exchange(Pairs, PairList{});
    FileList::LoadPlan plan;
    RunBusy({Tr("ファイル一覧を作成しています…"), 0}, [&](RunControl& control) {
        const std::jthread packing([&kept] { kept.Pack(); });
        plan = makePlan(control);
    });
    // Cancelled: the old list stays as it was, and so does the folder it came from.
    if (plan.outcome == FileList::LoadPlan::Outcome::kCancelled) {
        Pairs = std::move(kept);
        Pairs.Unpack();
        RefillTable();
        for (const auto& [rows, mark] :
             {std::pair{&selected, RowMark::kSelected}, {&unprocessed, RowMark::kUnprocessed}}) {
            for (const int row : *rows)
                MySG->SetCells(0, row, mark);
        }
        return false;
    }
    released_.Drop(std::move(kept));
    return ShowLoadPlan(std::move(plan), current);
}

bool TFmMein::ShowLoadPlan(FileList::LoadPlan plan, const std::string* current) {
    using Outcome = FileList::LoadPlan::Outcome;
    assert(plan.outcome != Outcome::kCancelled && "a cancelled load shows the list it kept");
    if (current != nullptr) CurrentFolder = *current;
    ClearFileList();
    RecordFolders(plan.recordedFolders);

    switch (plan.outcome) {
        case Outcome::kCancelled:
            break;
        case Outcome::kCannotOpen:
            Message(QString::fromStdString(LoadTexts::CannotOpen(Cp932::ToUtf8Lossy(plan.failedFolder))));
            return true;
        case Outcome::kNoFiles:
            Message(QString::fromStdString(LoadTexts::NoFiles(Cp932::ToUtf8Lossy(CurrentFolder))));
            break;
        case Outcome::kAllFiltered:
            Message(QString::fromStdString(LoadTexts::AllFiltered(Cp932::ToUtf8Lossy(CurrentFolder))));
            break;
        case Outcome::kLoaded:
            Pairs.Load(std::move(plan.paths), std::move(plan.listings));
            ShowNewList();
            break;
    }
    // A file is never left out without a word.
    if (plan.unlisted > 0) Message(QString::fromStdString(LoadTexts::Unlisted(plan.unlisted)));
    return true;
}

std::vector<std::string> TFmMein::ReadExtFilter() const {
    // A text the codec cannot hold matches no file name either.
    return FileList::ReadExtFilter(QtText::FromQt(Edit5->currentText()).value_or(std::string()));
}

void TFmMein::SetFieldColour(QWidget* field, bool usable) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QPalette().color(usable ? QPalette::Base : QPalette::Button));
    field->setPalette(palette);
}

void TFmMein::RG1Click() {
    if (RG1->ItemIndex() == 1) {
        if (!MyFileOperation::RemoveBackslash(CurrentFolder).empty()) tbNextOpen->setEnabled(true);
    } else {
        tbNextOpen->setEnabled(false);
    }
}

void TFmMein::RG2Click() {
    const bool filtering = RG2->ItemIndex() == 1 || RG2->ItemIndex() == 2;
    Edit5->setEnabled(filtering);
    Label3->setEnabled(filtering);
    SetFieldColour(Edit5, filtering);
}

void TFmMein::Edit5Exit() {
    histories_->AddToHistory(Edit5);
}

void TFmMein::ShowNewList() {
    ShowPathList(Pairs.OldPaths(), kLoadMode);
    ShowFileCount();
    btGo->setEnabled(true);
    Undo1->setEnabled(false);
    btret->setEnabled(false);
    N2->setEnabled(true);
    N25->setEnabled(true);
    N3->setEnabled(false);
    N22->setEnabled(false);
    PreviewNewList();
}

void TFmMein::RecordFolders(const std::vector<std::string>& folders) {
    // Recording one folder again right after itself changes nothing: the files of a chosen folder
    // record it once, not once each.
    const std::string* last = nullptr;
    for (const std::string& folder : folders) {
        if (last != nullptr && *last == folder) continue;
        last = &folder;
        BrowseStartFolder = folder;
        MakeCurrentFolder(folder);
        if (mnHistOn->isChecked() && ::FolderHistory::Record(FolderHistory, folder)) ShowFolderHistory();
    }
}

void TFmMein::MakeCurrentFolder(const std::string& folder) {
    ReloadFolder = folder;
    const QString hint = Tr("今と同じフォルダを開く\n%1").arg(ToQt(folder));
    btNow->setToolTip(hint);
    btNow->setAccessibleDescription(hint);
    btNow2->setToolTip(hint);
    btNow2->setAccessibleDescription(hint);
    SetImageIndex(btNow, ImageList::kReload);
    btNow2->setEnabled(true);
    CurrentFolder = folder;
    tbNextOpen->setEnabled(true);
}

void TFmMein::ShowFolderHistory() {
    for (std::size_t i = 0; i < FolderHistory.size(); ++i) {
        const QString folder = ToQt(FolderHistory[i]);
        his[i]->setText(QStringLiteral("%1 : ").arg(i + 1) + QtText::EscapeAmpersands(folder));
        bthis[i]->setToolTip(folder);
        bthis[i]->setAccessibleDescription(folder);
        SetImageIndex(bthis[i], FolderHistory[i].empty() ? ImageList::kEmptySlot : ImageList::kHistorySlot);
    }
    if (::FolderHistory::HasAny(FolderHistory)) btHistClr->setEnabled(true);
}

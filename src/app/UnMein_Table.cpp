// What the rename table shows of the path lists. Only the marks (column 0) are stored in the
// grid; the old name, new name and folder of a row are cut from its path when the row is painted
// or read, so a long list costs the table no text per row and the rows follow the entries of
// Pairs through removal and dragging by themselves.
#include "app/QtText.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/list/MyFileOperation.h"

namespace {

// The path of a grid row in list, if the list has one for it.
const std::string* PathOfRow(const std::vector<std::string>* list, int row) {
    if (!list || row < 1 || static_cast<std::size_t>(row) > list->size()) return nullptr;
    return &(*list)[static_cast<std::size_t>(row) - 1];
}

}  // namespace

void TFmMein::ConnectTableColumns() {
    using Shown = const std::vector<std::string>* TFmMein::*;
    const auto name = [this](Shown shown) {
        return [this, shown](int row) {
            const std::string* path = PathOfRow(this->*shown, row);
            return path ? QtText::ToQt(MyFileOperation::SplitAtLastDelimiter(*path).name) : QString();
        };
    };
    MySG->SetColumnSource(1, name(&TFmMein::shownOld_));
    // Until a run shows its new names, the preview's stand there.
    MySG->SetColumnSource(2, [this, newName = name(&TFmMein::shownNew_)](int row) {
        return shownNew_ != nullptr ? newName(row) : PreviewName(row);
    });
    MySG->SetColumnLook(2, [this](int row) { return PreviewLook(row); });
    MySG->SetColumnSource(3, [this](int row) {
        const std::string* path = PathOfRow(shownOld_, row);
        return path ? QtText::ToQt(MyFileOperation::SplitAtLastDelimiter(*path).folder) : QString();
    });
}

void TFmMein::ClearTable() {
    shownOld_ = nullptr;
    shownNew_ = nullptr;
    keptOld_.clear();
    keptNew_.clear();
    MySG->ClearRows();
    MySG->RefreshRows(1, 1);
}

void TFmMein::RefillTable() {
    ClearTable();
    ShowPathList(Pairs.OldPaths(), kLoadMode);
    ShowPathList(Pairs.NewPaths(), kNewNameMode);
    ShowFileCount();
}

void TFmMein::ShowPathList(const std::vector<std::string>& list, int mode) {
    if (list.empty()) return;
    const bool loadMode = mode == kLoadMode;
    const std::vector<std::string>* shown = &list;
    if (shown != &Pairs.OldPaths() && shown != &Pairs.NewPaths()) {
        std::vector<std::string>& kept = loadMode ? keptOld_ : keptNew_;
        kept = list;
        shown = &kept;
    }
    const int rows = static_cast<int>(list.size());
    if (loadMode) {
        shownOld_ = shown;
        MySG->SetRowCount(rows + 1);
    } else {
        shownNew_ = shown;
    }
    MySG->RefreshRows(1, rows);
}

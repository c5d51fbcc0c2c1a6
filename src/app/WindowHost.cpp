#include "app/WindowHost.h"

#include <algorithm>

#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "components/SwMsg.h"

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool TWindowHost::Busy(Command::Work what, std::size_t total, const std::function<void(RunControl&)>& work) {
    return window_.RunBusy({RunText::Working(what), total}, work);
}

Command::Answer TWindowHost::Ask(Command::Question which, const std::string& text) {
    const QString question = FromUtf8(text);
    if (which != Command::Question::kReplace) {
        return window_.dialogs_->AskYesNo(&window_, question, window_.MessagePoint()) ? Command::Answer::kYes
                                                                                      : Command::Answer::kNo;
    }
    switch (window_.dialogs_->AskYesNoCancel(&window_, question, window_.MessagePoint())) {
        case TDialogs::TAnswer::Yes:
            return Command::Answer::kYes;
        case TDialogs::TAnswer::No:
            return Command::Answer::kNo;
        case TDialogs::TAnswer::Cancel:
            break;
    }
    return Command::Answer::kCancel;
}

void TWindowHost::Tell(const std::string& text) {
    window_.Message(FromUtf8(text));
}

void TWindowHost::TellMissing(const std::string& text) {
    TSwMsg& box = *window_.SwMsg1;
    box.Msg1 = FromUtf8(text);
    box.Top = window_.MessageY();
    box.Left = window_.MessageX();
    box.Execute();
}

void TWindowHost::ListChanged() {
    window_.ShowPathList(window_.Pairs.NewPaths(), TFmMein::kNewNameMode);
}

void TWindowHost::ListReplaced(const Command::ListChange& change) {
    TMyStringGrid& grid = *window_.MySG;
    // Refilled, not edited: each "V" goes with its file, and no mark stays on a row that now shows
    // another file. Most runs start without any "V": then no list of marks is built.
    const bool carry = !change.unmark && change.keptFrom != nullptr;
    const std::vector<int> selected = carry ? grid.RowsHolding(0, RowMark::kSelected) : std::vector<int>();
    QStringList marks;
    bool anyMark = false;
    if (carry && !selected.empty()) {
        const std::vector<std::size_t>& kept = *change.keptFrom;
        marks.resize(static_cast<qsizetype>(kept.size()));
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (!std::binary_search(selected.begin(), selected.end(), static_cast<int>(kept[k]) + 1))
                continue;
            marks[static_cast<qsizetype>(k)] = RowMark::kSelected;
            anyMark = true;
        }
    }
    window_.RefillTable();
    if (anyMark) grid.SetColumnCells(0, 1, std::move(marks));
}

void TWindowHost::MarkUnprocessed(const std::vector<std::size_t>& entries) {
    window_.MarkUnprocessed(entries);
}

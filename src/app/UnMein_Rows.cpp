// Editing the table's rows: every change of the rows is made to the path lists too, so that row i
// always shows the files of entry i - 1.
#include <algorithm>

#include "app/UnMein.h"
#include "components/MyStringGrid.h"

namespace {

// Moves entry from to position to, shifting the entries between by one, as the grid moves a row.
void MoveEntry(std::vector<std::string>& list, std::size_t from, std::size_t to) {
    if (from < to) {
        std::rotate(list.begin() + static_cast<std::ptrdiff_t>(from),
                    list.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                    list.begin() + static_cast<std::ptrdiff_t>(to) + 1);
    } else {
        std::rotate(list.begin() + static_cast<std::ptrdiff_t>(to),
                    list.begin() + static_cast<std::ptrdiff_t>(from),
                    list.begin() + static_cast<std::ptrdiff_t>(from) + 1);
    }
}

}  // namespace

void TFmMein::MySGRowMoved(int fromIndex, int toIndex) {
    if (fromIndex < 1 || toIndex < 1 || fromIndex == toIndex) return;
    const auto from = static_cast<std::size_t>(fromIndex - 1);
    const auto to = static_cast<std::size_t>(toIndex - 1);
    // A run's new names and its record of what it renamed belong to its files: they travel with
    // them, before and after the run.
    for (std::vector<std::string>* list : {&OrgPathList, &NewPathList}) {
        if (from < list->size() && to < list->size()) MoveEntry(*list, from, to);
    }
    const auto follow = [from, to](std::size_t i) {
        if (i == from) return to;
        if (from < to && i > from && i <= to) return i - 1;
        if (from > to && i >= to && i < from) return i + 1;
        return i;
    };
    for (std::vector<std::size_t>* indices : {&LastRunOutcome.skipped, &LastRunOutcome.failed}) {
        std::transform(indices->begin(), indices->end(), indices->begin(), follow);
        std::sort(indices->begin(), indices->end());
    }
}

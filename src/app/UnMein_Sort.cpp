// Sorting the table's rows.
#include <QStringList>

#include "app/BusyRunner.h"
#include "app/DatesTaken.h"
#include "app/QtText.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/list/RowOrder.h"

using QtText::Tr;

void TFmMein::SortRows(RowOrder::Key key) {
    if (Pairs.Empty()) return;
    // Whatever becomes of the sort, the preview follows the rows as they then stand.
    const PreviewAfterwards reschedule{this};
    if (key == RowOrder::Key::kTaken && !dates_->Read()) return;
    std::optional<std::vector<std::size_t>> order;
    RunBusy({Tr("並べ替えています…"), key == RowOrder::Key::kName ? 0 : Pairs.Size()},
            [&](RunControl& control) { order = RowOrder::Order(Pairs, key, &control); });
    if (!order) return;

    // Each mark goes to the row its file goes to. Most lists carry none: then no list of marks is built.
    std::vector<std::size_t> rowOf(order->size());
    for (std::size_t k = 0; k < order->size(); ++k)
        rowOf[(*order)[k]] = k;
    QStringList marks;
    for (const QString& mark : {RowMark::kSelected, RowMark::kUnprocessed}) {
        for (const int row : MySG->RowsHolding(0, mark)) {
            if (row < 1 || static_cast<std::size_t>(row) > rowOf.size()) continue;
            if (marks.isEmpty()) marks.resize(static_cast<qsizetype>(rowOf.size()));
            marks[static_cast<qsizetype>(rowOf[static_cast<std::size_t>(row) - 1])] = mark;
        }
    }
    Pairs.Reorder(*order);
    RefillTable();
    if (!marks.isEmpty()) MySG->SetColumnCells(0, 1, std::move(marks));
}

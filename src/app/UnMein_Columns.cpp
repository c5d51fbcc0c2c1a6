// The column layout of the rename table: the table fills the client area between the option band
// and the status bar, columns 1 and 2 keep the widths the user gave them, column 3 takes the rest,
// and a client area made smaller than the minimum snaps back.
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/list/ColumnWidths.h"

void TFmMein::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    NameOverflowButtons();
    FormResize();
}

void TFmMein::FormResize() {
    // The tool bar and the status bar hold to the top and the bottom of the client area.
    const int clientWidth = clientArea_->width();
    const int clientHeight = clientArea_->height();
    ToolBar1->setGeometry(0, 0, clientWidth, ToolBar1->height());
    const int statusHeight = StatusBar1->height();
    StatusBar1->setGeometry(0, clientHeight - statusHeight, clientWidth, statusHeight);
    ColumnLayout();
}

namespace {

// The narrowest a column of the table gets from the layout: enough to show that it is there.
constexpr int kMinColWidth = 40;

// What the table's frame and a vertical scroll bar take from its width, so that the columns still
// fit beside the bar once the list is long enough to scroll.
int ScrollBarAllowance(const TMyStringGrid& grid) {
    return 2 * grid.frameWidth() + grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
}

}  // namespace

void TFmMein::ColumnLayout() {
    if (MinClientWidth == 0) return;  // start-up not finished
    const int clientWidth = clientArea_->width();
    const int clientHeight = clientArea_->height();
    const int col0 = MySG->ColWidths(0);
    const int bar = ScrollBarAllowance(*MySG);
    if (clientWidth >= MinClientWidth) {
        MySG->resize(clientWidth, MySG->height());
        const int extra = (clientWidth - MinClientWidth - col0) / 4;
        // Widths from the settings file or a drag may be anything: every column stays in sight.
        const int room = clientWidth - (col0 + bar);
        const auto [col1, col2] =
            ColumnWidths::Fit(ColWidth[1] != 0 ? ColWidth[1] : BaseColWidth + extra,
                              ColWidth[2] != 0 ? ColWidth[2] : BaseColWidth + extra, room, kMinColWidth);
        MySG->SetColWidths(1, col1);
        MySG->SetColWidths(2, col2);
        MySG->SetColWidths(3, room - (col1 + col2));
    }
    if (clientHeight >= MinClientHeight) {
        MySG->resize(MySG->width(), StatusBar1->y() - MySG->y());
    }
    if (clientWidth < MinClientWidth) {
        MySG->resize(MinClientWidth, MySG->height());
        MySG->SetColWidths(1, BaseColWidth);
        MySG->SetColWidths(2, BaseColWidth);
        MySG->SetColWidths(3, MinClientWidth - (col0 + 2 * BaseColWidth + bar));
    }
    for (int col = 1; col <= 3; ++col) {
        PrevColWidth[col] = ColWidth[col];
        ColWidth[col] = MySG->ColWidths(col);
    }
    // Snapping back resizes the window, which runs this layout again: last, so that the widths
    // above are already the remembered ones.
    if (clientWidth < MinClientWidth || clientHeight < MinClientHeight) {
        SetClientSize(std::max(clientWidth, MinClientWidth), std::max(clientHeight, MinClientHeight));
    }
}

void TFmMein::MySGDrawCell() {
    bool changed = false;
    for (int col = 1; col <= 3; ++col) {
        ColWidth[col] = MySG->ColWidths(col);
        changed = changed || ColWidth[col] != PrevColWidth[col];
    }
    if (changed) ColumnLayout();
}

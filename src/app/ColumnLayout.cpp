#include "app/ColumnLayout.h"

#include <QLayout>
#include <QMainWindow>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

#include "app/UnMeinForm.h"
#include "components/MyStringGrid.h"
#include "core/list/ColumnWidths.h"

TColumnLayout::TColumnLayout(TFmMeinForm& form, QMainWindow& window) : form_(form), window_(window) {}

void TColumnLayout::Start(int minClientWidth, int minClientHeight, int baseColWidth) {
    minClientWidth_ = minClientWidth;
    minClientHeight_ = minClientHeight;
    baseColWidth_ = baseColWidth;
}

void TColumnLayout::FormResize() {
    // The tool bar and the status bar hold to the top and the bottom of the client area.
    const int clientWidth = form_.clientArea_->width();
    const int clientHeight = form_.clientArea_->height();
    form_.ToolBar1->setGeometry(0, 0, clientWidth, form_.ToolBar1->height());
    const int statusHeight = form_.StatusBar1->height();
    form_.StatusBar1->setGeometry(0, clientHeight - statusHeight, clientWidth, statusHeight);
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

void TColumnLayout::ColumnLayout() {
    if (minClientWidth_ == 0) return;  // start-up not finished
    const int clientWidth = form_.clientArea_->width();
    const int clientHeight = form_.clientArea_->height();
    const int col0 = form_.MySG->ColWidths(0);
    const int bar = ScrollBarAllowance(*form_.MySG);
    if (clientWidth >= minClientWidth_) FitColumns(clientWidth, col0, bar);
    if (clientHeight >= minClientHeight_) {
        form_.MySG->resize(form_.MySG->width(), form_.StatusBar1->y() - form_.MySG->y());
    }
    if (clientWidth < minClientWidth_) {
        form_.MySG->resize(minClientWidth_, form_.MySG->height());
        form_.MySG->SetColWidths(1, baseColWidth_);
        form_.MySG->SetColWidths(2, baseColWidth_);
        form_.MySG->SetColWidths(3, minClientWidth_ - (col0 + 2 * baseColWidth_ + bar));
    }
    for (int col = 1; col <= 3; ++col) {
        prevColWidth_[col] = ColWidth[col];
        ColWidth[col] = form_.MySG->ColWidths(col);
    }
    // Snapping back resizes the window, which runs this layout again: last, so that the widths
    // above are already the remembered ones.
    if (clientWidth < minClientWidth_ || clientHeight < minClientHeight_) {
        SetClientSize(std::max(clientWidth, minClientWidth_), std::max(clientHeight, minClientHeight_));
    }
}

void TColumnLayout::FitColumns(int clientWidth, int col0, int bar) {
    form_.MySG->resize(clientWidth, form_.MySG->height());
    const int extra = (clientWidth - minClientWidth_ - col0) / 4;
    // Widths from the settings file or a drag may be anything: every column stays in sight.
    const int room = clientWidth - (col0 + bar);
    const auto [col1, col2] =
        ColumnWidths::Fit(ColWidth[1] != 0 ? ColWidth[1] : baseColWidth_ + extra,
                          ColWidth[2] != 0 ? ColWidth[2] : baseColWidth_ + extra, room, kMinColWidth);
    form_.MySG->SetColWidths(1, col1);
    form_.MySG->SetColWidths(2, col2);
    form_.MySG->SetColWidths(3, room - (col1 + col2));
}

void TColumnLayout::MySGDrawCell() {
    bool changed = false;
    for (int col = 1; col <= 3; ++col) {
        ColWidth[col] = form_.MySG->ColWidths(col);
        changed = changed || ColWidth[col] != prevColWidth_[col];
    }
    if (changed) ColumnLayout();
}

void TColumnLayout::SetClientSize(int width, int height) {
    // A hidden window lays out only when shown: lay out now so the client area tells its size.
    const auto layOut = [this] {
        window_.layout()->invalidate();
        window_.layout()->activate();
    };
    layOut();
    window_.resize(window_.width() + width - form_.clientArea_->width(),
                   window_.height() + height - form_.clientArea_->height());
    if (!window_.isVisible()) layOut();
}

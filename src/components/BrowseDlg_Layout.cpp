// Geometry of the browse dialog: the parts' rectangles, the window's size and its place on screen.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTreeView>

#include "components/BrowseDlg.h"
#include "components/BrowseDlg_Parts.h"

namespace BrowseDlg {

LayoutResult ComputeLayout(const LayoutInput& in) {
    LayoutResult out;
    const int advance = in.L + 2 + in.VertSpacing;
    auto usable = [&](int sideMargin) { return in.Width - 2 * sideMargin - FrameAllowance; };

    out.Text1 = QRect(in.TextHorzMargin, in.TopMargin, usable(in.TextHorzMargin), in.L);
    out.Text2 = QRect(in.TextHorzMargin, in.TopMargin + advance, usable(in.TextHorzMargin), in.L);

    int top = in.TopMargin;
    if (in.Text2Visible) {
        top = out.Text2.top() + advance;
    } else if (in.Text1Visible) {
        top = in.TopMargin + advance;
    }
    const int buttonTop = in.Height - (in.C + in.BtnHeight + in.BottomMargin + FrameAllowance);

    out.CustomEdit =
        QRect(in.CustomEditHorzMargin, top, usable(in.CustomEditHorzMargin), in.CustomEditHeight);
    const int treeTop = in.CustomEditShown ? top + in.CustomEditHeight + in.VertSpacing : top;
    out.Tree =
        QRect(in.TreeHorzMargin, treeTop, usable(in.TreeHorzMargin), buttonTop - treeTop - in.VertSpacing);

    const int cancelX = in.Width - in.BtnHorzMargin - in.CancelBtnWidth - FrameAllowance;
    const int okX = cancelX - in.BtnHorzSpacing - in.OKBtnWidth;
    out.CancelBtn = QRect(cancelX, buttonTop, in.CancelBtnWidth, in.BtnHeight);
    out.OKBtn = QRect(okX, buttonTop, in.OKBtnWidth, in.BtnHeight);
    out.CustomBtn =
        QRect(in.BtnHorzMargin, buttonTop, okX - in.BtnHorzMargin - in.BtnHorzSpacing, in.BtnHeight);
    return out;
}

}  // namespace BrowseDlg

namespace {

// Qt refuses negative sizes; a too-small dialog simply hides the part.
void PlacePart(QWidget* widget, const QRect& rect) {
    if (widget) widget->setGeometry(rect.x(), rect.y(), qMax(0, rect.width()), qMax(0, rect.height()));
}

}  // namespace

BrowseDlg::LayoutInput TBrowseDlg::CurrentLayoutInput() const {
    BrowseDlg::LayoutInput in;
    in.Width = width_;
    in.Height = height_;
    in.L = QFontMetrics(QApplication::font()).height();
    in.C = parts_->window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    in.TopMargin = topMargin_;
    in.VertSpacing = vertSpacing_;
    in.BottomMargin = bottomMargin_;
    in.TextHorzMargin = textHorzMargin_;
    in.CustomEditHorzMargin = customEditHorzMargin_;
    in.TreeHorzMargin = treeHorzMargin_;
    in.BtnHorzMargin = btnHorzMargin_;
    in.BtnHorzSpacing = btnHorzSpacing_;
    in.BtnHeight = btnHeight_;
    in.OKBtnWidth = okBtnWidth_;
    in.CancelBtnWidth = cancelBtnWidth_;
    in.Text1Visible = text1Visible_;
    in.Text2Visible = text2Visible_;
    const QWidget* edit = parts_->CustomEdit();
    in.CustomEditShown = edit && customEditVisible_;
    in.CustomEditHeight = edit ? edit->height() : 0;
    return in;
}

void TBrowseDlg::Relayout() {
    if (!parts_) return;
    const BrowseDlg::LayoutInput in = CurrentLayoutInput();
    const BrowseDlg::LayoutResult r = BrowseDlg::ComputeLayout(in);
    QWidget* window = parts_->window.data();

    // One repaint for the whole batch of moves.
    window->setUpdatesEnabled(false);
    window->setFixedSize(qMax(1, in.Width - BrowseDlg::FrameAllowance),
                         qMax(1, in.Height - in.C - BrowseDlg::FrameAllowance));
    parts_->text1->setVisible(text1Visible_);
    parts_->text2->setVisible(text2Visible_);
    PlacePart(parts_->text1, r.Text1);
    PlacePart(parts_->text2, r.Text2);
    if (QWidget* edit = parts_->CustomEdit()) {
        edit->setVisible(customEditVisible_);
        PlacePart(edit, r.CustomEdit);
    }
    PlacePart(parts_->tree, r.Tree);
    PlacePart(parts_->ok, r.OKBtn);
    PlacePart(parts_->cancel, r.CancelBtn);
    PlacePart(parts_->custom, r.CustomBtn);
    window->setUpdatesEnabled(true);
}

void TBrowseDlg::Place() {
    if (!parts_) return;
    QWidget* window = parts_->window.data();
    QPoint topLeft(x_, y_);
    if (screenCenter_) {
        const QWidget* owner = window->parentWidget();
        QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect();
        // Integer division rounds the halves toward zero, also for a dialog wider than the screen.
        topLeft = QPoint(area.x() + (area.width() - width_) / 2, area.y() + (area.height() - height_) / 2);
    }
    // For a window, move() places the outer frame, which is what X, Y and the centring describe.
    window->move(topLeft);
}

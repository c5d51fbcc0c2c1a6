// Every control connected to its handler, one function per concern.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "app/ColumnLayout.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/BrowseDlg.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"

void TFmMein::Wire() {
    WireWindow();
    WireFileList();
    WireFolders();
    WireRun();
    WireOtherRun();
    WireMove();
    WireRows();
    WireSort();
    WireHelp();
    WirePreview();
}

void TFmMein::WireWindow() {
    // The window sees every key first, as the form's key preview did.
    qApp->installEventFilter(this);
    connect(btEnd, &QToolButton::clicked, this, &TFmMein::btEndClick);
    connect(Exit1, &QAction::triggered, this, &TFmMein::btEndClick);
    connect(mnJournal, &QAction::triggered, this, &TFmMein::mnJournalClick);
    connect(cbFormStyle, &QCheckBox::toggled, this, &TFmMein::cbFormStyleClick);
    connect(MySG, &TStringGridEx::ColumnResized, this, [this] { columns_->MySGDrawCell(); });
    connect(MySG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(MySG->viewport()->mapToGlobal(pos)); });
}

void TFmMein::WireFileList() {
    connect(RG1, &TRadioGroup::Click, this, &TFmMein::RG1Click);
    connect(RG2, &TRadioGroup::Click, this, &TFmMein::RG2Click);
    // Edit5Exit runs from the event filter when Edit5 loses the focus.
}

void TFmMein::WireFolders() {
    connect(btOpen, &QToolButton::clicked, this, &TFmMein::N1Click);
    connect(N1, &QAction::triggered, this, &TFmMein::N1Click);
    // Direct: the handler runs while the dialog is being shown.
    connect(BrowseDlg1, &TBrowseDlg::OnShow, this, &TFmMein::BrowseDlg1Show, Qt::DirectConnection);
    connect(FileDrop1, &TFileDrop::OnFileDrop, this, &TFmMein::FileDrop1FileDrop);
    connect(FileDrop1, &TFileDrop::OnDropError, this, [this](const QString& text) { Message(text); });
    for (int n = 1; n <= 5; ++n) {
        connect(his[n - 1], &QAction::triggered, this, [this, n] { his1Click(n); });
        connect(bthis[n - 1], &QToolButton::clicked, this, [this, n] { his1Click(n); });
    }
    connect(btNow, &QToolButton::clicked, this, [this] { his1Click(0); });
    connect(btNow2, &QPushButton::clicked, this, [this] { his1Click(0); });
    connect(tbNextOpen, &QToolButton::clicked, this, &TFmMein::tbNextOpenClick);
    connect(N6, &QAction::triggered, this, &TFmMein::N6Click);
    connect(btHistClr, &QToolButton::clicked, this, &TFmMein::N6Click);
    connect(mnHistCLR, &QAction::triggered, this, &TFmMein::mnHistCLRClick);
    connect(mnHistOn, &QAction::triggered, this, &TFmMein::mnHistOnClick);
    connect(cbHistOn, &QCheckBox::toggled, this, &TFmMein::cbHistOnClick);
}

void TFmMein::WireRun() {
    connect(btGo, &QPushButton::clicked, this, &TFmMein::btGoClick);
    // Also when a run unchecks it.
    connect(CB1, &QCheckBox::toggled, this, &TFmMein::CB1Click);
    connect(RGDate, &TRadioGroup::Click, this, &TFmMein::RGDateClick);
}

void TFmMein::WireOtherRun() {
    // Also when a handler checks or unchecks another box, as the options keep each other in step.
    connect(CB11, &QCheckBox::toggled, this, &TFmMein::CB11Click);
    connect(CB7, &QCheckBox::toggled, this, &TFmMein::CB7Click);
    connect(RGTranc, &TRadioGroup::Click, this, &TFmMein::RGTrancClick);
    connect(CBExt1, &QCheckBox::toggled, this, &TFmMein::CBExt1Click);
    connect(CBExt2, &QCheckBox::toggled, this, &TFmMein::CBExt2Click);
}

void TFmMein::WireMove() {
    // The menu item toggles its own check mark; the tool button asks for the same toggle.
    connect(mnMoveOn, &QAction::toggled, this, &TFmMein::ShowMoveSwitch);
    connect(btMoveOn, &QToolButton::clicked, this, &TFmMein::mnMoveOnClick);
    connect(mnMoveFolder, &QAction::triggered, this, &TFmMein::mnMoveFolderClick);
    connect(btMoveFolder, &QToolButton::clicked, this, &TFmMein::mnMoveFolderClick);
    for (std::size_t i = 0; i < bMHist.size(); ++i) {
        QToolButton* button = bMHist[i];
        QAction* item = mMHist[i];
        connect(button, &QToolButton::clicked, this, [this, button] { bMHist1Click(button); });
        connect(item, &QAction::triggered, this, [this, item] { bMHist1Click(item); });
    }
    connect(N15, &QAction::triggered, this, &TFmMein::N15Click);
    connect(N16, &QAction::triggered, this, &TFmMein::N16Click);
}

void TFmMein::WireRows() {
    connect(Undo1, &QAction::triggered, this, &TFmMein::Undo1Click);
    connect(btret, &QToolButton::clicked, this, &TFmMein::Undo1Click);
    connect(N3, &QAction::triggered, this, &TFmMein::N3Click);
    connect(N22, &QAction::triggered, this, &TFmMein::N22Click);
    connect(N25, &QAction::triggered, this, &TFmMein::N25Click);
    connect(N23, &QAction::triggered, this, &TFmMein::N23Click);
    connect(N2, &QAction::triggered, this, &TFmMein::N2Click);
    connect(N21, &QAction::triggered, this, &TFmMein::N21Click);
    connect(MySG, &TStringGridEx::RowMoved, this, &TFmMein::MySGRowMoved);
    connect(MySG, &TStringGridEx::CellSelected, this, &TFmMein::MySGSelectCell);
    connect(MySG, &TStringGridEx::MouseDown, this, &TFmMein::MySGMouseDown);
    // Direct: the handler tells the grid whether the key was used.
    connect(MySG, &TStringGridEx::KeyDown, this, &TFmMein::MySGKeyDown, Qt::DirectConnection);
}

void TFmMein::WireSort() {
    connect(SortByName, &QAction::triggered, this, [this] { SortRows(RowOrder::Key::kName); });
    connect(SortByModified, &QAction::triggered, this, [this] { SortRows(RowOrder::Key::kModified); });
    connect(SortByTaken, &QAction::triggered, this, [this] { SortRows(RowOrder::Key::kTaken); });
}

void TFmMein::WireHelp() {
    connect(mnGuide, &QAction::triggered, this, &TFmMein::mnGuideClick);
    connect(mnAbout, &QAction::triggered, this, &TFmMein::mnAboutClick);
}

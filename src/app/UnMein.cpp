// Start-up and shut-down, message placement, the Enter key and the stay-on-top option.
#include "app/UnMein.h"

#include "app/BusyRunner.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <cassert>

#include "app/ImageList.h"
#include "app/QtText.h"
#include "app/WindowHost.h"
#include "components/BrowseDlg.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"
#include "components/SwMsg.h"
#include "core/commands/Common.h"

using QtText::Tr;

TFmMein::TFmMein(std::string iniPath, std::string journalFolder, std::unique_ptr<TDialogs> dialogs,
                 QWidget* parent)
    : QMainWindow(parent),
      busy_(std::make_unique<TBusyRunner>(this)),
      iniPath_(std::move(iniPath)),
      dialogs_(std::move(dialogs)),
      host_(std::make_unique<TWindowHost>(*this)),
      journal_(std::move(journalFolder)) {
    Q_INIT_RESOURCE(QuorbelIcons);
    assert(dialogs_ != nullptr);
    setObjectName(QStringLiteral("FmMein"));
    setWindowTitle(QStringLiteral("Quorbel v1.54"));
    setAccessibleName(windowTitle());
    ApplyWindowFont();

    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(clientArea_);
    // Creation order is the tab order.
    BuildMenus();
    BuildToolBar();
    BuildPages();
    BuildBand();
    BuildTable();
    BuildStatusBar();
    BuildPopupMenu();

    FileDrop1 = new TFileDrop(this);
    FileDrop1->setObjectName(QStringLiteral("FileDrop1"));
    BrowseDlg1 = new TBrowseDlg(this);
    BrowseDlg1->setObjectName(QStringLiteral("BrowseDlg1"));
    BrowseDlg1->SetSpecialRoot(TSpecialFolder::sfMyComputer);
    SwMsg1 = new TSwMsg(this);
    SwMsg1->setObjectName(QStringLiteral("SwMsg1"));
    SwMsg1->Msg2 = QString::fromStdString(Command::Text::MissingMaybeMoved());
    SwMsg1->Msg3 = QString::fromStdString(Command::Text::MissingListAgain());
    SwMsg1->SetPresenter([this](const QString& text, int left, int top) {
        dialogs_->ShowMessage(this, text, QPoint(left, top));
    });

    WireWindow();
    WireFileList();
    WireFolders();
    WireRun();
    WireOtherRun();
    WireHistories();
    WireMove();
    WireRows();
    WireSort();
    WireHelp();
    WirePreview();

    // The designed place and client size; the settings file may change both.
    move(144, 89);
    SetClientSize(513, 502);
    FormCreate();
}

TFmMein::~TFmMein() {
    // The preview's worker reads the lists, which go before the window's children do; a reading of
    // dates would tell a window that is gone.
    HaltPreview();
    ForgetDatesTaken();
    qApp->removeEventFilter(this);
    FormDestroy();
}

bool TFmMein::RunBusy(const TBusyRunner::Task& task, const std::function<void(RunControl&)>& work) {
    // Busy work reads the lists, and the commands change them afterwards.
    HaltPreview();
    return busy_->Run(task, [this, &work](RunControl& control) {
        // Lists let go of before are freed first: a million paths of a reload must not stay alive
        // while the next run builds its own.
        released_.Wait();
        work(control);
    });
}

void TFmMein::FormCreate() {
    // 1. The table and the input fields.
    MySG->SetColWidths(0, 16);
    for (QComboBox* combo : {edit2, edit3, Edit5, Edit6, Edit7, edit8}) {
        combo->clear();
        combo->clearEditText();
    }
    Edit4->clear();
    Edit9->setText(QStringLiteral("1"));
    StatusPanels[1]->clear();
    MySG->SetRowHeights(0, 20);
    MySG->SetCells(1, 0, Tr("元のファイル名"));
    MySG->SetCells(2, 0, Tr("変更後のファイル名"));
    MySG->SetCells(3, 0, Tr("パス"));
    ConnectTableColumns();
    ClearTable();

    // 2. The path lists and the history.
    Pairs.Load({});
    ::FolderHistory::Clear(FolderHistory);

    // 3. The settings; the clear commands of empty input histories are off.
    ReadSettings();
    FHistClear->setEnabled(edit2->count() > 0);
    EHistClear->setEnabled(edit8->count() > 0);
    ExtHistClear->setEnabled(Edit5->count() > 0);
    // The date format follows RGDate as the settings left it.
    SelectDateFormat();

    // 4. Staying on top follows cbFormStyle, set with the settings (its click handler runs then).

    // 5. The folder history and the move destinations into their menu items and buttons.
    ShowFolderHistory();
    ShowMoveHistory();

    // 6. From here on resizes run the column layout.
    MinClientHeight = 421;
    MinClientWidth = 513;
    BaseColWidth = 132;

    // 7.
    PageControl1->setCurrentWidget(TabSheet1);
}

void TFmMein::FormDestroy() {
    // A failed save has been reported; the program ends all the same. The path lists go with the
    // window.
    WriteSettings();
}

void TFmMein::closeEvent(QCloseEvent* event) {
    event->accept();
}

void TFmMein::btEndClick() {
    close();
}

void TFmMein::cbFormStyleClick() {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, cbFormStyle->isChecked());
    // Changing the window's flags hides it.
    if (visible) show();
    // The window may have a new native window now: attach the drop target anew.
    FileDrop1->SetControl(nullptr);
    FileDrop1->SetAccept(true);
}

bool TFmMein::FormKeyPress(QObject* receiver, int key, Qt::KeyboardModifiers modifiers) {
    Q_UNUSED(receiver);
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    // Ctrl+Enter is the table's mark toggle; Alt+Enter is no character at all.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
    focusNextPrevChild(true);
    return true;
}

bool TFmMein::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            // Popups (menus, drop-down lists) and dialogs are windows of their own: not ours.
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget == nullptr || widget->window() != this) break;
            // Enter in the menu bar's keyboard navigation opens the menu.
            if (qobject_cast<QMenuBar*>(widget) != nullptr) break;
            const auto* key = static_cast<QKeyEvent*>(event);
            if (FormKeyPress(watched, key->key(), key->modifiers())) return true;
            break;
        }
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Leaving the field, not opening its list or switching to another window.
            if (watched == Edit5 && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                Edit5Exit();
            }
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

int TFmMein::MessageX() const {
    const QRect frame = frameGeometry();
    return frame.left() + frame.width() / 5;
}

int TFmMein::MessageY() const {
    const QRect frame = frameGeometry();
    return frame.top() + frame.height() / 4;
}

void TFmMein::Message(const QString& text) {
    dialogs_->ShowMessage(this, text, MessagePoint());
}

int TFmMein::ImageIndexOf(const QToolButton* button) {
    return button->property("ImageIndex").toInt();
}

void TFmMein::SetImageIndex(QToolButton* button, int index) {
    if (ImageIndexOf(button) == index) return;
    button->setIcon(ImageList::Icon(index));
    button->setProperty("ImageIndex", index);
}

void TFmMein::SetClientSize(int width, int height) {
    // A hidden window lays out only when shown: lay out now so the client area tells its size.
    const auto layOut = [this] {
        layout()->invalidate();
        layout()->activate();
    };
    layOut();
    resize(this->width() + width - clientArea_->width(), this->height() + height - clientArea_->height());
    if (!isVisible()) layOut();
}

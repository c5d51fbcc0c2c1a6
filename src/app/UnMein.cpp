// Start-up and shut-down, the window's events, message placement, the Enter key and the stay-on-top
// option.
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

#include "app/ColumnLayout.h"
#include "app/DatesTaken.h"
#include "app/ImageList.h"
#include "app/InputHistories.h"
#include "app/WindowHost.h"
#include "app/WindowSettings.h"
#include "components/BrowseDlg.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"
#include "components/SwMsg.h"
#include "core/commands/Common.h"

TFmMein::TFmMein(std::string iniPath, std::string journalFolder, std::unique_ptr<TDialogs> dialogs,
                 QWidget* parent)
    : QMainWindow(parent),
      busy_(std::make_unique<TBusyRunner>(this)),
      dialogs_(std::move(dialogs)),
      host_(std::make_unique<TWindowHost>(*this)),
      journal_(std::move(journalFolder)),
      dates_(new TDatesTaken(
          Pairs, [this](const TBusyRunner::Task& task, const auto& work) { return RunBusy(task, work); },
          [this] {
              // The preview waiting for them goes on.
              if (preview_->Waiting()) SchedulePreview();
          },
          this)),
      columns_(std::make_unique<TColumnLayout>(static_cast<TFmMeinForm&>(*this), *this)),
      settings_(std::make_unique<TWindowSettings>(*this, std::move(iniPath))) {
    Q_INIT_RESOURCE(QuorbelIcons);
    assert(dialogs_ != nullptr);
    setObjectName(QStringLiteral("FmMein"));
    setWindowTitle(QStringLiteral("Quorbel v1.54"));
    setAccessibleName(windowTitle());
    BuildForm(this);
    SwMsg1->Msg2 = QString::fromStdString(Command::Text::MissingMaybeMoved());
    SwMsg1->Msg3 = QString::fromStdString(Command::Text::MissingListAgain());
    SwMsg1->SetPresenter([this](const QString& text, int left, int top) {
        dialogs_->ShowMessage(this, text, QPoint(left, top));
    });

    histories_ = new TInputHistories(*this, this);
    Wire();

    // The designed place and client size; the settings file may change both.
    move(144, 89);
    columns_->SetClientSize(513, 502);
    FormCreate();
}

TFmMein::~TFmMein() {
    // The preview's worker reads the lists, which go before the window's children do; a reading of
    // dates would tell a window that is gone.
    HaltPreview();
    dates_->Forget();
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
    // 1. The table (its header is the form's) and the input fields, empty as the form built them
    // (the increment shows 1).
    ConnectTableColumns();
    ClearTable();

    // 2. The path lists and the history.
    Pairs.Load({});
    ::FolderHistory::Clear(FolderHistory);

    // 3. The settings; the clear commands of empty input histories are off.
    settings_->Read();
    // The date format follows RGDate as the settings left it.
    SelectDateFormat();

    // 4. Staying on top follows cbFormStyle, set with the settings (its click handler runs then).

    // 5. The folder history and the move destinations into their menu items and buttons.
    ShowFolderHistory();
    ShowMoveHistory();

    // 6. From here on resizes run the column layout.
    columns_->Start(513, 421, 132);

    // 7.
    PageControl1->setCurrentWidget(TabSheet1);
}

void TFmMein::FormDestroy() {
    // A failed save has been reported; the program ends all the same. The path lists go with the
    // window.
    settings_->Write();
}

void TFmMein::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    settings_->ApplySavedOuterSize(false);
}

void TFmMein::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager places a new window's frame with a move: by then the frame is known, or
    // there is none, and later moves are the user's.
    if (isVisible()) settings_->ApplySavedOuterSize(true);
}

void TFmMein::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    NameOverflowButtons();
    columns_->FormResize();
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

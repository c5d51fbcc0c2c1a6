#include "components/BrowseDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>

#include "components/BrowseDlg_Parts.h"

namespace BrowseDlg {

QString SpecialFolderPath(TSpecialFolder folder) {
    switch (folder) {
        case TSpecialFolder::sfDesktop:
            return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        case TSpecialFolder::sfMyComputer:
            return QStringLiteral("/");
        case TSpecialFolder::sfTemplates: {
            // Qt knows no templates location; the XDG variable, else the usual folder.
            const QString fromEnv = qEnvironmentVariable("XDG_TEMPLATES_DIR");
            return fromEnv.isEmpty() ? QDir::homePath() + QStringLiteral("/Templates") : fromEnv;
        }
        case TSpecialFolder::sfFonts:
            return QStandardPaths::writableLocation(QStandardPaths::FontsLocation);
        case TSpecialFolder::sfAppData:
            return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        default:
            return QDir::homePath();
    }
}

QString ResolveRoot(const QString& root, TSpecialFolder specialRoot) {
    const QString path = root.isEmpty() ? SpecialFolderPath(specialRoot) : root;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isDir()) return QStringLiteral("/");
    return QDir::cleanPath(path);
}

QString StripMnemonic(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "&x" shows as "x", so "&&" shows as "&"; a lone trailing "&" shows nothing.
        if (caption[i] == QLatin1Char('&')) ++i;
        if (i < caption.size()) out += caption[i];
    }
    return out;
}

}  // namespace BrowseDlg

TBrowseDlg::TBrowseDlg(QObject* parent) : QObject(parent) {}

TBrowseDlg::~TBrowseDlg() {
    DestroyWindow();
}

QDialog* TBrowseDlg::DialogWindow() const {
    return parts_ ? parts_->window.data() : nullptr;
}

// --- Execute -----------------------------------------------------------------------------------

bool TBrowseDlg::Execute() {
    if (running_) throw EBrowseDlgError();
    running_ = true;
    // Also when a handler throws: no window and no running flag may outlive the call.
    struct Cleanup {
        TBrowseDlg* self;
        ~Cleanup() {
            self->DestroyWindow();
            self->running_ = false;
        }
    } cleanup{this};

    BuildWindow();  // selects the root; the owner hears of changes only from here on
    shown_ = true;
    Place();
    Relayout();
    TBrowseOKState state = TBrowseOKState::okUnchanged;
    emit OnShow(state);
    ApplyOKState(state);

    const bool accepted = parts_->window->exec() == QDialog::Accepted;
    return accepted && !selectedPath_.isEmpty();
}

// --- Selection ---------------------------------------------------------------------------------

QModelIndex TBrowseDlg::ProxyIndexOf(const QString& path) const {
    if (!QDir::isAbsolutePath(path)) return {};
    const QString clean = QDir::cleanPath(path);
    const bool underRoot = rootPath_ == QLatin1String("/") || clean == rootPath_ ||
                           clean.startsWith(rootPath_ + QLatin1Char('/'));
    const QFileInfo info(clean);
    const bool showable = info.isDir() || (info.isFile() && options_.testFlag(TBrowseOption::boIncludeFiles));
    // The file-system model would add any existing path on request, listed or not.
    if (!underRoot || !showable) return {};
    return parts_->filter->mapFromSource(parts_->model->index(clean));
}

void TBrowseDlg::SetSelectionPath(const QString& path) {
    if (!parts_) return;
    // Cleaning the path drops a trailing "/" from anything longer than the root "/".
    const QModelIndex index = ProxyIndexOf(path);
    if (!index.isValid()) return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        parts_->tree->expand(up);
    parts_->tree->setCurrentIndex(index);
    parts_->tree->scrollTo(index);
    parts_->followSelection = true;
}

bool TBrowseDlg::eventFilter(QObject* watched, QEvent* event) {
    // Any hand on the tree ends keeping a chosen folder in view.
    const QEvent::Type type = event->type();
    if (parts_ && (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress)) {
        parts_->followSelection = false;
    }
    return QObject::eventFilter(watched, event);
}

void TBrowseDlg::SelectionChanged() {
    if (!parts_) return;
    QModelIndex selected;
    for (const QModelIndex& index : parts_->tree->selectionModel()->selectedIndexes()) {
        if (index.column() == 0) selected = parts_->filter->mapToSource(index);
    }
    // Nothing selected (the user can deselect the item) is the only selection without a path.
    selectedPath_ = selected.isValid() ? parts_->model->filePath(selected) : QString();
    displayName_ = selected.isValid() ? parts_->model->data(selected, Qt::DisplayRole).toString() : QString();
    selectionChoosable_ = selected.isValid() && (parts_->model->isDir(selected) ||
                                                 !options_.testFlag(TBrowseOption::boReturnOnlyDirectory));
    const bool byUser = parts_->picking || parts_->tree->InUserInput();
    parts_->pathChosen = parts_->pathChosen || byUser;
    if (!parts_->pathChosen || byUser) SetCustomEditText(selectedPath_);
    UpdateOwnOKState();
    if (!shown_) return;
    TBrowseOKState state = TBrowseOKState::okUnchanged;
    emit OnChange(state);
    ApplyOKState(state);
}

void TBrowseDlg::UpdateOwnOKState() {
    if (parts_ && parts_->ok) parts_->ok->setEnabled(selectionChoosable_);
}

void TBrowseDlg::ApplyOKState(TBrowseOKState state) {
    if (!parts_ || state == TBrowseOKState::okUnchanged) return;
    parts_->ok->setEnabled(state == TBrowseOKState::okEnabled);
}

// --- Custom edit -------------------------------------------------------------------------------

QString TBrowseDlg::LiveCustomEditText() const {
    if (parts_ && parts_->edit) return parts_->edit->text();
    if (parts_ && parts_->combo) return parts_->combo->currentText();
    return customEditText_;
}

void TBrowseDlg::SetCustomEditText(const QString& text) {
    customEditText_ = text;
    if (parts_ && parts_->edit) parts_->edit->setText(text);
    if (parts_ && parts_->combo) parts_->combo->setEditText(text);
}

void TBrowseDlg::CustomEditActivated(int index) {
    if (!parts_ || !parts_->combo) return;
    customEditText_ = parts_->combo->currentText();
    if (index < 0) return;
    parts_->picking = true;
    SetSelectionPath(parts_->combo->itemText(index));
    if (!parts_) return;
    parts_->picking = false;
    emit OnCustomEditChange();
}

// --- Commands ----------------------------------------------------------------------------------

void TBrowseDlg::OKClicked() {
    if (!parts_) return;
    const QString typed = LiveCustomEditText();
    if (parts_->CustomEdit() && !typed.isEmpty() && typed != selectedPath_) {
        SetSelectionPath(typed);
        if (!parts_) return;
        // A typed folder the tree cannot show must not quietly become another folder.
        if (selectedPath_ != QDir::cleanPath(typed)) {
            QApplication::beep();
            QLineEdit* line = parts_->edit ? parts_->edit : parts_->combo->lineEdit();
            line->setFocus();
            line->selectAll();
            return;
        }
    }
    if (auto* box = qobject_cast<QCheckBox*>(parts_->custom)) customBtnChecked_ = box->isChecked();
    emit OnOKBtnClick();
    if (parts_) parts_->window->accept();
}

void TBrowseDlg::Cancelled() {
    if (!parts_) return;
    emit OnCancelBtnClick();
    if (parts_) parts_->window->Dismiss();
}

// --- Properties --------------------------------------------------------------------------------

void TBrowseDlg::CheckClosed(const char* propertyName) const {
    if (running_) throw EBrowseDlgPropertyError(propertyName);
}

void TBrowseDlg::SetCaption(const QString& value) {
    caption_ = value;
    if (!parts_) return;
    parts_->window->setWindowTitle(value);
    parts_->window->setAccessibleName(value);
}

namespace {

void SetButtonCaption(QAbstractButton* button, const QString& caption) {
    if (!button) return;
    button->setText(caption);
    button->setAccessibleName(BrowseDlg::StripMnemonic(caption));
}

void SetLineText(QLabel* label, const QString& text) {
    if (!label) return;
    label->setText(text);
    label->setAccessibleName(text);
}

}  // namespace

void TBrowseDlg::SetOKBtnCaption(const QString& value) {
    okBtnCaption_ = value;
    if (parts_) SetButtonCaption(parts_->ok, value);
}

void TBrowseDlg::SetCancelBtnCaption(const QString& value) {
    cancelBtnCaption_ = value;
    if (parts_) SetButtonCaption(parts_->cancel, value);
}

void TBrowseDlg::SetCustomBtnCaption(const QString& value) {
    customBtnCaption_ = value;
    if (parts_) SetButtonCaption(parts_->custom, value);
}

void TBrowseDlg::SetText1(const QString& value) {
    text1_ = value;
    if (parts_) SetLineText(parts_->text1, value);
}

void TBrowseDlg::SetText2(const QString& value) {
    text2_ = value;
    if (parts_) SetLineText(parts_->text2, value);
}

bool TBrowseDlg::CustomBtnChecked() const {
    if (parts_) {
        if (auto* box = qobject_cast<QCheckBox*>(parts_->custom)) return box->isChecked();
    }
    return customBtnChecked_;
}

void TBrowseDlg::SetCustomBtnChecked(bool value) {
    customBtnChecked_ = value;
    if (!parts_) return;
    if (auto* box = qobject_cast<QCheckBox*>(parts_->custom)) box->setChecked(value);
}

void TBrowseDlg::SetCustomBtnEnabled(bool value) {
    customBtnEnabled_ = value;
    if (parts_ && parts_->custom) parts_->custom->setEnabled(value);
}

void TBrowseDlg::SetCustomBtnVisible(bool value) {
    customBtnVisible_ = value;
    if (parts_ && parts_->custom) parts_->custom->setVisible(value);
}

void TBrowseDlg::SetCustomEditItems(const QStringList& value) {
    customEditItems_ = value;
    if (!parts_ || !parts_->combo) return;
    // Replacing the entries must not change what the box shows.
    const QString shown = parts_->combo->currentText();
    parts_->combo->clear();
    parts_->combo->addItems(value);
    parts_->combo->setEditText(shown);
}

void TBrowseDlg::SetScreenCenter(bool value) {
    screenCenter_ = value;
    Place();
}

void TBrowseDlg::SetX(int value) {
    x_ = value;
    if (!screenCenter_) Place();
}

void TBrowseDlg::SetY(int value) {
    y_ = value;
    if (!screenCenter_) Place();
}

void TBrowseDlg::SetCustomBtnType(TCustomBtnType value) {
    CheckClosed("CustomBtnType");
    customBtnType_ = value;
}

void TBrowseDlg::SetCustomEditType(TCustomEditType value) {
    CheckClosed("CustomEditType");
    customEditType_ = value;
}

void TBrowseDlg::SetOptions(TBrowseOptions value) {
    CheckClosed("Options");
    options_ = value;
}

void TBrowseDlg::SetRoot(const QString& value) {
    CheckClosed("Root");
    root_ = value;
}

void TBrowseDlg::SetSpecialRoot(TSpecialFolder value) {
    CheckClosed("SpecialRoot");
    specialRoot_ = value;
}

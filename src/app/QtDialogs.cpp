#include "app/QtDialogs.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "components/BrowseDlg.h"
#include "components/PlacedMessageBox.h"

namespace {

void CentreOnScreen(QWidget& box, QWidget* owner) {
    QScreen* screen =
        owner != nullptr && owner->screen() != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    box.ensurePolished();
    box.adjustSize();
    QRect frame = box.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    box.move(frame.topLeft());
}

}  // namespace

void TQtDialogs::ShowMessage(QWidget* owner, const QString& text, QPoint topLeft) {
    ShowPlacedMessage(owner, text, topLeft);
}

bool TQtDialogs::AskYesNo(QWidget* owner, const QString& text, QPoint topLeft) {
    return AskPlaced(owner, text, topLeft, QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) ==
           QMessageBox::Yes;
}

TDialogs::TAnswer TQtDialogs::AskYesNoCancel(QWidget* owner, const QString& text, QPoint topLeft) {
    switch (AskPlaced(owner, text, topLeft, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                      QMessageBox::Question)) {
        case QMessageBox::Yes:
            return TAnswer::Yes;
        case QMessageBox::No:
            return TAnswer::No;
        default:
            return TAnswer::Cancel;
    }
}

std::optional<QString> TQtDialogs::InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                            const QString& defaultText) {
    QInputDialog box(owner);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setAccessibleName(title);
    box.setAccessibleDescription(prompt);
    CentreOnScreen(box, owner);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue();
}

void TQtDialogs::ShowAbout(QWidget* owner, const QString& title, const QString& text) {
    // Shows the application's icon; the link in the text opens in the browser.
    QMessageBox::about(owner, title, text);
}

std::optional<QString> TQtDialogs::ChooseFolder(QWidget* owner, TBrowseDlg& dialog) {
    Q_UNUSED(owner);  // the dialog is owned by the window already
    if (!dialog.Execute()) return std::nullopt;
    return dialog.SelectedPath();
}

#include "components/PlacedMessageBox.h"

#include <QApplication>

namespace {

QMessageBox::StandardButton RunPlaced(QWidget* parent, const QString& text, QPoint topLeft,
                                      QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, buttons, parent);
    // Windows' message boxes show "\r\n" as one line break; Qt would show two.
    box.setText(QString(text).replace("\r\n", "\n"));
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
    box.ensurePolished();
    box.adjustSize();
    box.move(topLeft);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void ShowPlacedMessage(QWidget* parent, const QString& text, QPoint topLeft) {
    RunPlaced(parent, text, topLeft, QMessageBox::Ok, QMessageBox::NoIcon);
}

QMessageBox::StandardButton AskPlaced(QWidget* parent, const QString& text, QPoint topLeft,
                                      QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
    return RunPlaced(parent, text, topLeft, buttons, icon);
}

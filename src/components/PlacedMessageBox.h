#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>

class QWidget;

// Message boxes whose top-left corner stands at a given screen point. The boxes have no icon and
// expose their text to assistive technology as their accessible description.
void ShowPlacedMessage(QWidget* parent, const QString& text, QPoint topLeft);
QMessageBox::StandardButton AskPlaced(QWidget* parent, const QString& text, QPoint topLeft,
                                      QMessageBox::StandardButtons buttons, QMessageBox::Icon icon);

#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace testsupport {

// A mouse event sent straight to target, for moves with a button held (drags), which QTest cannot
// send to a widget.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, modifiers);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace testsupport

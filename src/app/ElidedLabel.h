#pragma once

// A status panel that never cuts a character in half: a text longer than the panel ends in "…",
// and the whole text is the panel's tip.

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QToolTip>

class TElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The panel may be narrower than its text: the bar gives the room, the text follows it.
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect room = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
        painter.drawText(room, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && !text().isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
            return true;
        }
        return QLabel::event(event);
    }
};

#include "components/SwMsg.h"

#include "components/PlacedMessageBox.h"

TSwMsg::TSwMsg(QObject* parent) : QObject(parent) {}

QString TSwMsg::Text() const {
    const QString sep1 = !Msg1.isEmpty() && (!Msg2.isEmpty() || !Msg3.isEmpty()) ? "\r\n" : "";
    const QString sep2 = !Msg2.isEmpty() && !Msg3.isEmpty() ? "\r\n" : "";
    return Msg1 + sep1 + Msg2 + sep2 + Msg3;
}

void TSwMsg::Execute() const {
    if (presenter_) {
        presenter_(Text(), Left, Top);
    } else {
        ShowPlacedMessage(nullptr, Text(), QPoint(Left, Top));
    }
}

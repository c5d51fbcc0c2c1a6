#include "components/NewCtrls.h"
#include "components/ComponentText.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QUrl>
#include <exception>

using ComponentText::Tr;

TFileDrop::TFileDrop(QObject* owner) : QObject(owner) {
    auto* form = qobject_cast<QWidget*>(owner);
    if (form && form->isWindow()) Attach();
}

TFileDrop::~TFileDrop() {
    Detach();
}

void TFileDrop::SetAccept(bool accept) {
    accept_ = accept;
    if (attached_) attached_->setAcceptDrops(accept);
}

void TFileDrop::SetControl(QWidget* control) {
    Detach();
    if (controlDestroyed_) disconnect(controlDestroyed_);
    control_ = control;
    if (control)
        controlDestroyed_ = connect(control, &QObject::destroyed, this, &TFileDrop::ControlDestroyed);
    Attach();
}

QWidget* TFileDrop::Target() const {
    if (control_) return control_;
    auto* form = qobject_cast<QWidget*>(parent());
    return form && form->isWindow() ? form : nullptr;
}

void TFileDrop::Attach() {
    QWidget* target = Target();
    if (!target) throw EFileDropError("Invalidate Window Handle in FileDrop");
    attached_ = target;
    previousAcceptDrops_ = target->acceptDrops();
    target->setAcceptDrops(accept_);
    // Drag events reach the child under the pointer first, and children such as line edits take
    // drops of their own; watching the whole application lets a drop anywhere in the target count.
    qApp->installEventFilter(this);
}

void TFileDrop::Detach() {
    if (qApp) qApp->removeEventFilter(this);
    // Give the widget back the drop setting it had, but only if it is still the one attached to.
    if (attached_ && attached_ == Target()) attached_->setAcceptDrops(previousAcceptDrops_);
    attached_ = nullptr;
}

void TFileDrop::ControlDestroyed() {
    // The widget is going: nothing to hand back, and no new target until Control is set again.
    if (qApp) qApp->removeEventFilter(this);
    attached_ = nullptr;
    control_ = nullptr;
    controlDestroyed_ = {};
    accept_ = false;
}

QStringList TFileDrop::LocalPaths(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) continue;
        QString path = url.toLocalFile();
        while (path.size() > 1 && path.endsWith(u'/'))
            path.chop(1);
        if (!path.isEmpty()) paths << path;
    }
    return paths;
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    if (!attached_ || !accept_ || !watched->isWidgetType()) return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver != attached_ && !attached_->isAncestorOf(receiver)) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (LocalPaths(drop->mimeData()).isEmpty()) return false;
    if (type == QEvent::Drop) {
        HandleDrop(receiver, drop);
    } else {
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
    }
    return true;
}

void TFileDrop::HandleDrop(QWidget* receiver, QDropEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QStringList files = LocalPaths(event->mimeData());
    const QPoint pos = receiver->mapTo(attached_, event->position().toPoint());
    // A failing handler must not take the window down with it; the drop is finished either way.
    QString failure;
    try {
        emit OnFileDrop(this, static_cast<int>(files.size()), files, pos.x(), pos.y());
        return;
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = Tr("ドロップされたファイルを処理できませんでした。");
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&TFileDrop::OnDropError))) {
        emit OnDropError(failure);
    } else {
        qWarning("File drop handler failed: %s", qUtf8Printable(failure));
    }
}

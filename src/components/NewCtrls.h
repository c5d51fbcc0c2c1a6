#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <stdexcept>

class QDropEvent;
class QMimeData;

// Raised when a TFileDrop has no window to attach to.
class EFileDropError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Makes a window accept files and folders dragged from the desktop and reports each drop once,
// with the full local paths in the order the drop carries them and the drop point in the target's
// coordinates. Non-visual; the target is Control(), or the owner window when Control() is none.
//
// Drops anywhere inside the target window count (also over child widgets that take text drops of
// their own, such as line edits), as with a window registered for dropped files. A drop that
// carries no local file or folder (a web link, plain text) is left alone.
class TFileDrop : public QObject {
    Q_OBJECT
public:
    // When the owner is a top-level widget the component attaches to it at once.
    explicit TFileDrop(QObject* owner = nullptr);
    ~TFileDrop() override;

    // Whether the target accepts drops; takes effect at once while attached. Default true.
    bool Accept() const { return accept_; }
    void SetAccept(bool accept);
    // The target widget; nullptr means the owner, which must then be a top-level widget. Setting
    // it (also to the same value) detaches and attaches anew. Throws EFileDropError with the text
    // "Invalidate Window Handle in FileDrop" when there is no target; the component stays detached.
    QWidget* Control() const { return control_; }
    void SetControl(QWidget* control);
    // The widget drops are taken from at the moment; nullptr when detached.
    QWidget* AttachedWidget() const { return attached_; }

    // The local paths a drop carries, in its order, without trailing "/" (except the root itself).
    static QStringList LocalPaths(const QMimeData* mime);

signals:
    // One drop: the component, the number of entries, their full paths, the drop point.
    void OnFileDrop(TFileDrop* sender, int num, const QStringList& files, int x, int y);
    // A handler of OnFileDrop failed with an exception; the text says why. The drop is finished
    // and the window goes on. Without a receiver the text goes to the error stream.
    void OnDropError(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Target() const;
    void Attach();
    void Detach();
    void ControlDestroyed();
    void HandleDrop(QWidget* receiver, QDropEvent* event);

    bool accept_ = true;
    QPointer<QWidget> control_;
    QPointer<QWidget> attached_;
    bool previousAcceptDrops_ = false;
    QMetaObject::Connection controlDestroyed_;
};

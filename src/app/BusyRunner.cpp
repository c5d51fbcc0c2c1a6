#include "app/BusyRunner.h"
#include "app/QtText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

using QtText::Tr;

namespace {

// How often the progress shown follows the work. The end of the work does not wait for a tick.
constexpr int kTickMs = 40;
// How long the window may wait for the work without running its events. It adds to whatever the
// window did just before and to the repaint just after, which together must stay well below 100 ms.
constexpr std::chrono::milliseconds kQuickWork{20};

// Shared by the worker, which calls Continue, and the window, which reads the count and cancels.
class TSharedControl final : public RunControl {
public:
    bool Continue(std::size_t done) override {
        done_.store(done, std::memory_order_relaxed);
        if (cancelAt && cancelAt(done)) cancelled_.store(true);
        if (!cancelled_.load()) return true;
        stopped_.store(true);
        return false;
    }
    std::size_t Done() const { return done_.load(std::memory_order_relaxed); }
    void Cancel() { cancelled_.store(true); }
    bool Stopped() const { return stopped_.load(); }

    std::function<bool(std::size_t)> cancelAt;

private:
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> stopped_{false};  // the work was told to stop
};

// While the work runs the user may only wait or cancel: input to anything but the progress dialog
// is dropped, and the window cannot be closed.
class TInputBlocker final : public QObject {
public:
    QPointer<QWidget> dialog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::Close:
                break;
            default:
                return false;
        }
        return !InDialog(watched);
    }

private:
    // Input reaches the window system's window first, then the widget under it or the dialog's
    // Escape shortcut: all of them must be the dialog's for its cancel to work.
    bool InDialog(QObject* watched) const {
        if (dialog == nullptr) return false;
        if (auto* window = qobject_cast<QWindow*>(watched)) return window == dialog->windowHandle();
        for (const QObject* object = watched; object != nullptr; object = object->parent()) {
            if (object == dialog) return true;
        }
        return false;
    }
};

QString LabelText(const TBusyRunner::Task& task, std::size_t done) {
    // Without a total, the count of what was found so far.
    if (task.total == 0) return task.label + QStringLiteral("\n%1").arg(done);
    return task.label + QStringLiteral("\n%1 / %2").arg(done).arg(task.total);
}

// Runs the window's events in loop until finished says so (the work quits loop as it ends), showing
// the progress dialog once the work has taken delay; the user can only cancel meanwhile.
void WaitWithEvents(QWidget* owner, const TBusyRunner::Task& task, std::chrono::milliseconds delay,
                    TSharedControl& control, QEventLoop& loop, const std::function<bool()>& finished) {
    TInputBlocker blocker;
    qApp->installEventFilter(&blocker);
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> dialog;
    QTimer ticks;
    bool ticking = false;  // a modal dialog's setValue lets events, and so ticks, in
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (ticking) return;
        if (finished()) {
            loop.quit();
            return;
        }
        ticking = true;
        if (!dialog && clock.elapsed() >= delay.count()) {
            const int maximum = static_cast<int>(std::min<std::size_t>(task.total, INT_MAX));
            dialog = std::make_unique<QProgressDialog>(LabelText(task, control.Done()), Tr("キャンセル"), 0,
                                                       maximum, owner);
            dialog->setObjectName(QStringLiteral("BusyDialog"));
            dialog->setWindowTitle(QApplication::applicationDisplayName());
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setMinimumDuration(0);
            dialog->setAutoClose(false);
            dialog->setAutoReset(false);
            QObject::connect(dialog.get(), &QProgressDialog::canceled, [&control] { control.Cancel(); });
            blocker.dialog = dialog.get();
            dialog->show();
        }
        if (dialog) {
            const std::size_t done = control.Done();
            if (task.total > 0) dialog->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
            dialog->setLabelText(LabelText(task, done));
        }
        ticking = false;
    });
    ticks.start(kTickMs);
    if (!finished()) loop.exec();
    ticks.stop();
    qApp->removeEventFilter(&blocker);
}

}  // namespace

TBusyRunner::TBusyRunner(QWidget* owner) : owner_(owner) {}

bool TBusyRunner::Run(const Task& task, const std::function<void(RunControl&)>& work) {
    TSharedControl control;
    control.cancelAt = cancelAt;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::exception_ptr failure;
    // The window's wait ends as soon as the work does: the worker quits it through the window's
    // events (a quit posted before the wait began is taken when it begins).
    QEventLoop loop;
    std::thread worker([&] {
        try {
            work(control);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex);
            finished = true;
        }
        ended.notify_all();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Most work is over before anyone could see the window pause: it needs no event loop.
    bool quick = false;
    {
        std::unique_lock lock(mutex);
        quick = ended.wait_for(lock, kQuickWork, [&finished] { return finished; });
    }
    if (!quick) {
        WaitWithEvents(owner_, task, delay, control, loop, [&] {
            const std::lock_guard lock(mutex);
            return finished;
        });
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return !control.Stopped();
}

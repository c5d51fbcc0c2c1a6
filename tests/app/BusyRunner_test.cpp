// Long work on a worker thread: the window keeps running its events, takes no input, shows a
// progress dialog once the work takes long, and stops the work between two steps on cancel.
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/BusyRunner.h"
#include "support/QtTestMain.h"

namespace {

// Steps 0, 1, 2 … until the control says stop, the limit is reached, or (with until) the flag is
// set; returns the steps done.
std::size_t Steps(RunControl& control, std::size_t limit, const std::atomic<bool>* until = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);  // never hang a test
    std::size_t done = 0;
    while (done < limit && control.Continue(done)) {
        if (until != nullptr && until->load()) break;
        if (std::chrono::steady_clock::now() > deadline) break;
        if (until != nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++done;
    }
    return done;
}

}  // namespace

class BusyRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void finishedAndCancelledWork() {
        QWidget owner;
        TBusyRunner runner(&owner);
        runner.delay = std::chrono::hours(1);
        std::size_t done = 0;
        QVERIFY(runner.Run({QStringLiteral("x"), 100}, [&done](RunControl& c) { done = Steps(c, 100); }));
        QCOMPARE(done, std::size_t{100});
        // The cancel point of a test: the work is told at step 5 and ends there, whole.
        runner.cancelAt = [](std::size_t step) { return step == 5; };
        QVERIFY(!runner.Run({QStringLiteral("x"), 100}, [&done](RunControl& c) { done = Steps(c, 100); }));
        QCOMPARE(done, std::size_t{5});
        // An error of the work reaches the caller.
        runner.cancelAt = nullptr;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 runner.Run({}, [](RunControl&) { throw std::runtime_error("disk"); }));
    }

    void dialogShowsProgressAndCancels() {
        // The user reads the dialog, then clicks its cancel button or presses Escape. Both come
        // through the window system, as real input does: the dialog's window first.
        for (const bool byKey : {false, true}) {
            QWidget owner;
            owner.show();
            TBusyRunner runner(&owner);
            runner.delay = std::chrono::milliseconds(0);
            QString label;
            bool modal = false;
            QTimer user;
            QObject::connect(&user, &QTimer::timeout, [&] {
                auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("BusyDialog"));
                if (dialog == nullptr || !dialog->isVisible() || dialog->value() < 3) return;
                label = dialog->labelText();
                modal = dialog->windowModality() == Qt::WindowModal;
                auto* cancel = dialog->findChild<QPushButton*>();
                QVERIFY(cancel != nullptr);
                if (byKey && !dialog->isActiveWindow()) {
                    dialog->activateWindow();  // keys go to the active window
                    return;
                }
                if (byKey) {
                    QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
                } else {
                    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {},
                                      cancel->mapTo(dialog, cancel->rect().center()));
                }
                user.stop();
            });
            user.start(10);
            std::size_t done = 0;
            const std::atomic<bool> never{false};
            QVERIFY2(!runner.Run({QStringLiteral("名前を変更しています…"), 100000},
                                 [&](RunControl& c) { done = Steps(c, 100000, &never); }),
                     byKey ? "Escape" : "click");
            QVERIFY2(label.startsWith(QStringLiteral("名前を変更しています…\n")), qPrintable(label));
            QVERIFY2(label.endsWith(QStringLiteral(" / 100000")), qPrintable(label));
            QVERIFY(modal);
            QVERIFY(done >= 3 && done < 100000);
            QVERIFY(owner.findChild<QProgressDialog*>() == nullptr);  // gone with the work
        }
    }

    void windowTakesNoInputWhileBusy() {
        QWidget owner;
        auto* button = new QPushButton(QStringLiteral("開始"), &owner);
        owner.show();
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        TBusyRunner runner(&owner);
        runner.delay = std::chrono::hours(1);
        std::atomic<bool> clicked{false};
        QTimer::singleShot(20, [&] {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
            clicked.store(true);
        });
        QVERIFY(runner.Run({QStringLiteral("x"), 0}, [&](RunControl& c) { Steps(c, SIZE_MAX, &clicked); }));
        QCOMPARE(clicks, 0);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }
};

QUORBEL_QTEST_MAIN(BusyRunnerTest)
#include "BusyRunner_test.moc"

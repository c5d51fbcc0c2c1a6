#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>

#include "core/run/RunControl.h"

class QWidget;

// Runs a long piece of work on a worker thread while the window goes on painting. Once the work has
// taken longer than the delay, a progress dialog shows what it is doing, how far it is, and offers
// to stop it. Meanwhile the window takes no input: the user can only wait or press the dialog's
// cancel button.
//
// The work gets a RunControl to call between two of its steps; once the user has cancelled it
// returns false and the work ends early, leaving things whole.
class TBusyRunner {
public:
    struct Task {
        QString label;          // what is being done, e.g. "名前を変更しています…"
        std::size_t total = 0;  // steps in all; 0 when unknown (a busy bar and the count so far)
    };

    explicit TBusyRunner(QWidget* owner);

    // True when the work ran to its end, false when it stopped because it was cancelled. An
    // exception thrown by the work is thrown again here.
    bool Run(const Task& task, const std::function<void(RunControl&)>& work);

    std::chrono::milliseconds delay{500};
    // For tests: asked at every step, like the user's cancel button; true cancels at that step.
    std::function<bool(std::size_t done)> cancelAt;

private:
    QWidget* owner_;
};

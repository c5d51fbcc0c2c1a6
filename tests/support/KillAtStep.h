#pragma once

// A crash at a chosen point of a command: a child process runs the command with a control that
// kills the child (SIGKILL: nothing flushed, no destructor run, no lock given back by hand) when it
// is asked before the given step. What the child left on disk is then the parent's to look at.

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <functional>

#include "core/run/RenameExecutor.h"
#include "core/run/RunControl.h"

namespace testsupport {

class KillBefore final : public RunControl {
public:
    explicit KillBefore(std::size_t step) : step_(step) {}
    bool Continue(std::size_t done) override {
        if (done >= step_) std::raise(SIGKILL);
        return true;
    }

private:
    std::size_t step_;
};

// Kills the process before the given step of a planned run, also inside a chain or a cycle, where
// the run's control is never asked. For the child of KilledInChild: the hook dies with it.
inline void KillBeforePlanStep(std::size_t step) {
    RenameExecutor::SetStepHookForTests([step](std::size_t s) {
        if (s == step) std::raise(SIGKILL);
    });
}

// Runs work in a child process, which work is expected to kill; true when it died of SIGKILL.
inline bool KilledInChild(const std::function<void()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return false;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace testsupport

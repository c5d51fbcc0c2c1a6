#pragma once

// How a long operation (a load, a run, an undo) tells how far it is and learns that it should stop.
// The operation calls Continue between two of its steps, never in the middle of one, so a stop
// never leaves a file half-renamed.

#include <cstddef>

class RunControl {
public:
    virtual ~RunControl() = default;
    // done: the steps finished so far. False: stop before the next step.
    virtual bool Continue(std::size_t done) = 0;

    // For an operation whose caller may take back what it lent (the preview of a list the window
    // changes) without waiting for a step that reads none of it. A thread of the operation reads
    // what was lent only between Enter and Leave; the thread that started the operation has
    // entered already. Enter returns whether to go on: false once the caller took back what it
    // lent, and then the thread reads none of it again (but still leaves).
    virtual bool Enter() { return true; }
    virtual void Leave() {}
};

// Runs work, which reads nothing the operation was lent, outside the lease; false when the
// operation must stop now, reading nothing lent again (work's result is then of no use).
template <class Work>
bool Apart(RunControl* control, const Work& work) {
    if (control == nullptr) {
        work();
        return true;
    }
    control->Leave();
    work();
    return control->Enter();
}

// True when control (optional) says stop before the next step; done: the steps finished so far.
inline bool StopAsked(RunControl* control, std::size_t done) {
    return control != nullptr && !control->Continue(done);
}

// For callers that neither watch nor stop.
class UnstoppableRun final : public RunControl {
public:
    bool Continue(std::size_t /*done*/) override { return true; }
};

// A thread of an operation that enters the lease for its life (see RunControl::Enter); false when
// it must read nothing lent.
class Entered {
public:
    explicit Entered(RunControl* control) : control_(control), go_(control == nullptr || control->Enter()) {}
    ~Entered() {
        if (control_ != nullptr) control_->Leave();
    }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
    explicit operator bool() const { return go_; }

private:
    RunControl* control_;
    bool go_;
};

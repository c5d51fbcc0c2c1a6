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
};

// True when control (optional) says stop before the next step; done: the steps finished so far.
inline bool StopAsked(RunControl* control, std::size_t done) {
    return control != nullptr && !control->Continue(done);
}

// For callers that neither watch nor stop.
class UnstoppableRun final : public RunControl {
public:
    bool Continue(std::size_t /*done*/) override { return true; }
};

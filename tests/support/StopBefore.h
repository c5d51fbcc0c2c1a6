#pragma once

#include <cstddef>

#include "core/run/RunControl.h"

namespace testsupport {

// Says stop when asked before the given step: the steps before it run, none after.
class StopBefore final : public RunControl {
public:
    explicit StopBefore(std::size_t step) : step_(step) {}
    bool Continue(std::size_t done) override { return done < step_; }

private:
    std::size_t step_;
};

}  // namespace testsupport

#pragma once

// Ctrl-C: once pressed, every long operation stops between two of its steps (a rename is never
// cut in half), and the program ends with the status 130. A second Ctrl-C ends it at once.

#include <cstddef>

#include "core/run/RunControl.h"

namespace Cli {

// Catches SIGINT from now on.
void CatchInterrupt();
bool Interrupted();

// Says stop once Ctrl-C was pressed.
class InterruptControl : public RunControl {
public:
    bool Continue(std::size_t /*done*/) override { return !Interrupted(); }
};

}  // namespace Cli

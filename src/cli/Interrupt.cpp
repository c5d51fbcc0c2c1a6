#include "cli/Interrupt.h"

#include <csignal>

namespace Cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int /*signal*/) {
    if (interrupted != 0) {
        // Asked twice: the user does not want to wait for the step under way.
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    interrupted = 1;
}

}  // namespace

void CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
}

bool Interrupted() {
    return interrupted != 0;
}

}  // namespace Cli

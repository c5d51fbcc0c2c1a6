#pragma once

// How the process keeps the memory it allocates.

namespace Platform {

// One heap for every thread. Lists of a million paths are built on worker threads and freed on
// another; with a heap per thread, what one thread frees stays reserved for it, and the next
// worker builds its lists in fresh memory beside it. Call before any other thread starts.
void KeepOneHeap();

}  // namespace Platform

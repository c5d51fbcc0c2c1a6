#pragma once

// How the process keeps the memory it allocates.

#include <cstddef>

namespace Platform {

// One heap for every thread. Lists of a million paths are built on worker threads and freed on
// another; with a heap per thread, what one thread frees stays reserved for it, and the next
// worker builds its lists in fresh memory beside it. Call before any other thread starts.
void KeepOneHeap();

// Memory for a large table looked into at random: in pages of the system's large size where it
// offers them, so that a look costs one miss of the cache rather than also a walk of the page
// tables. Freed with FreeTable.
void* AllocateTable(std::size_t bytes);
void FreeTable(void* table, std::size_t bytes);

// An allocator for containers of such tables; small ones stay on the heap.
template <class T>
struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <class U>
    explicit TableAllocator(const TableAllocator<U>& /*other*/) {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateTable(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreeTable(p, n * sizeof(T)); }
    friend bool operator==(const TableAllocator&, const TableAllocator&) = default;
};

}  // namespace Platform

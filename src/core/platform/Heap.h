#pragma once

// How the process keeps the memory it allocates.

#include <cstddef>
#include <cstdint>

namespace Platform {

// Sets how the heap keeps memory; call before any other thread starts.
// - One heap for every thread. Lists of a million paths are built on worker threads and freed on
//   another; with a heap per thread, what one thread frees stays reserved for it, and the next
//   worker builds its lists in fresh memory beside it.
// - Blocks from 16 MB up are mapped of their own and go back to the system when freed. Left to
//   itself the allocator raises that bound to the largest block freed so far, and from then on
//   carves such blocks from the heap, where what a preview of a million names frees stayed
//   resident: 76 MB more after one, and a higher peak for the next. Smaller blocks (the lists of
//   a hundred thousand files) come from the heap, whose freed memory is reused without a page
//   fault per page.
void SetUpHeap();

// Gives the pages of the heap's freed blocks back to the system. For work that repeats in the
// background and frees all it made: without it, what one turn freed stays resident among the
// blocks still in use, and the peaks of later turns stack on it.
void ReturnFreedMemory();

// Memory for a large table looked into at random: from 256 KB up mapped of its own, so that it
// goes back to the system when freed, and from 16 MB up in pages of the system's large size where
// it offers them, so that a look costs one miss of the cache rather than also a walk of the page
// tables. Freed with FreeTable, given the same size.
void* AllocateTable(std::size_t bytes);
void FreeTable(void* table, std::size_t bytes);

// The slots of an open-addressing table for entries: filled to three fifths at most. Not a power of
// two, so that the slots grow with the entries rather than in doublings: a table of 70,000 names
// took as many slots as one of 130,000.
constexpr std::size_t TableSlots(std::size_t entries) {
    return entries / 3 * 5 + 16;
}

// The home slot of a hash in a table of size slots: the mixed hash scaled to the size, as a mask
// would take its low bits from a power of two.
constexpr std::size_t SlotOf(std::size_t hash, std::size_t size) {
    __extension__ using Wide = unsigned __int128;
    const std::uint64_t mixed = static_cast<std::uint64_t>(hash) * 0x9e3779b97f4a7c15U;
    return static_cast<std::size_t>((static_cast<Wide>(mixed) * size) >> 64);
}

// The slot after at, the last followed by the first.
constexpr std::size_t NextSlot(std::size_t at, std::size_t size) {
    return at + 1 == size ? 0 : at + 1;
}

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

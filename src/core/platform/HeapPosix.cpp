#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>
#include <new>

#include "core/platform/Heap.h"

namespace Platform {

void SetUpHeap() {
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 1);
#endif
#ifdef M_MMAP_THRESHOLD
    // Fixed at 16 MB. A fresh page costs a fault, ~10 us on a virtual machine: with every list
    // mapped, a run of 100,000 files faulted ~4,000 pages (~40 ms); from the heap, ~330.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
#endif
}

void ReturnFreedMemory() {
    malloc_trim(0);
}

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

// Where a table of so many bytes lives; FreeTable gives it back the same way.
enum class TableMemory { kHeap, kMapped, kLargePages };
TableMemory TableMemoryFor(std::size_t bytes) {
    if (bytes < std::size_t{256} << 10) return TableMemory::kHeap;
    if (bytes < 8 * kLargePage) return TableMemory::kMapped;
    return TableMemory::kLargePages;
}

}  // namespace

void* AllocateTable(std::size_t bytes) {
    const TableMemory memory = TableMemoryFor(bytes);
    if (memory == TableMemory::kHeap) {
        void* p = std::malloc(bytes);
        if (p == nullptr && bytes != 0) throw std::bad_alloc();
        return p;
    }
    // Mapped of its own, so that its pages go back to the system when it is freed: from the heap,
    // lists made while it lived lie above it and keep its pages resident. A table of a few large
    // pages gains little from them, and its last page, touched in part, would be resident whole.
    if (memory == TableMemory::kMapped) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        return p;
    }
    const std::size_t whole = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* p = std::aligned_alloc(kLargePage, whole);
    if (p == nullptr) throw std::bad_alloc();
    // Advice only, and only for the pages the table fills: where large pages are off, the table
    // works as well, only slower.
    madvise(p, bytes / kLargePage * kLargePage, MADV_HUGEPAGE);
    return p;
}

void FreeTable(void* table, std::size_t bytes) {
    if (TableMemoryFor(bytes) == TableMemory::kMapped) {
        munmap(table, bytes);
        return;
    }
    std::free(table);
}

}  // namespace Platform

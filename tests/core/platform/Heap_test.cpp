#include "core/platform/Heap.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The process's resident memory in bytes.
long Resident() {
    long size = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return -1;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
constexpr bool kOwnAllocator = __has_feature(address_sanitizer);
#else
constexpr bool kOwnAllocator = false;
#endif

// The process's heap set up as the program's start does; skipped where resident memory cannot be
// told.
class Heap : public ::testing::Test {
protected:
    void SetUp() override {
        if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's allocator keeps memory its own way";
        if (Resident() < 0) GTEST_SKIP() << "no /proc/self/statm to read the resident memory from";
        Platform::SetUpHeap();
    }
};

// A large block freed goes back to the system, also once blocks of its size were freed before:
// the allocator would otherwise carve the next from its heap and keep it resident after it is freed.
TEST_F(Heap, LargeBlocksGoBackToTheSystemWhenFreed) {
    constexpr long kBlock = 32L << 20;  // the list of a million paths
    for (int round = 0; round < 3; ++round) {
        std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(kBlock)),
                                                          &std::free);
        ASSERT_NE(block, nullptr);
        // Every page touched, through volatile so that the writes stay.
        volatile char* pages = block.get();
        for (long at = 0; at < kBlock; at += 4096)
            pages[at] = 1;
        const long touched = Resident();
        block.reset();
        EXPECT_LT(Resident(), touched - kBlock / 2) << "round " << round;
    }
}

// A folder's table freed goes back to the system, also where lists made while it lived lie above
// it in the heap: a preview's peak grew by such holes.
TEST_F(Heap, TablesGoBackToTheSystemWhenFreed) {
    for (const long bytes : {1L << 20, 6L << 20, 32L << 20}) {
        auto* table = static_cast<volatile char*>(Platform::AllocateTable(static_cast<std::size_t>(bytes)));
        for (long at = 0; at < bytes; at += 4096)
            table[at] = 1;
        // Made after the table and still alive when it is freed.
        constexpr long kList = 200L << 10;
        const std::unique_ptr<char[]> list(new char[kList]);
        for (long at = 0; at < kList; at += 4096)
            list[at] = 1;
        const long touched = Resident();
        Platform::FreeTable(const_cast<char*>(table), static_cast<std::size_t>(bytes));
        EXPECT_LT(Resident(), touched - bytes / 2) << bytes << " bytes";
    }
}

// Many small blocks freed below one still in use: their pages go back once asked.
TEST_F(Heap, FreedBlocksGoBackToTheSystemWhenAsked) {
    constexpr long kBlocks = 160000;  // of 100 bytes: 16 MB, the names of a preview
    std::vector<std::unique_ptr<char[]>> blocks;
    blocks.reserve(kBlocks);
    for (long i = 0; i < kBlocks; ++i) {
        blocks.emplace_back(new char[100]);
        blocks.back()[0] = 1;
    }
    const std::unique_ptr<char[]> kept(new char[100]);
    kept[0] = 1;
    blocks.clear();
    const long freed = Resident();
    Platform::ReturnFreedMemory();
    EXPECT_LT(Resident(), freed - kBlocks * 100 / 2);
}

}  // namespace

#include "core/platform/HelperThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Each piece of work gets a thread the moment it is handed over, also while earlier work waits
// on later work; Join and a move over running work wait for it, and the waiting threads serve again.
TEST(HelperThread, EveryPieceOfWorkRunsAtOnceAndIsWaitedFor) {
    for (int round = 0; round < 3; ++round) {
        std::atomic<int> stage = 0;
        Platform::HelperThread first([&] {
            while (stage.load() < 1)
                std::this_thread::yield();
            stage = 2;
        });
        Platform::HelperThread second([&] { stage = 1; });
        first.Join();
        EXPECT_EQ(stage.load(), 2) << round;
        EXPECT_FALSE(first.Joinable());

        bool done = false;
        Platform::HelperThread slow([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            done = true;
        });
        slow = Platform::HelperThread([] {});
        EXPECT_TRUE(done) << "the work moved over was waited for";
    }
}

}  // namespace

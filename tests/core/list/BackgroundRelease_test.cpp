#include "core/list/BackgroundRelease.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Counts its destruction and notes whether it happened on the thread that made it.
struct Tracked {
    std::atomic<int>* destroyed = nullptr;
    std::atomic<int>* onMaker = nullptr;
    std::thread::id maker = std::this_thread::get_id();
    std::vector<std::string> payload = std::vector<std::string>(1000, std::string(40, 'x'));

    Tracked(std::atomic<int>* d, std::atomic<int>* o) : destroyed(d), onMaker(o) {}
    Tracked(Tracked&& other) noexcept
        : destroyed(std::exchange(other.destroyed, nullptr)),
          onMaker(other.onMaker),
          maker(other.maker),
          payload(std::move(other.payload)) {}
    Tracked& operator=(Tracked&&) = delete;
    ~Tracked() {
        if (destroyed == nullptr) return;  // moved from
        if (std::this_thread::get_id() == maker) ++*onMaker;
        ++*destroyed;
    }
};

TEST(BackgroundReleaseTest, DestroysWhatItIsGivenOffTheCallersThread) {
    std::atomic<int> destroyed{0};
    std::atomic<int> onMaker{0};
    {
        BackgroundRelease release;
        for (int i = 0; i < 50; ++i)
            release.Drop(Tracked(&destroyed, &onMaker));
        release.Wait();
        EXPECT_EQ(destroyed.load(), 50);
        // Dropped again after a wait, then left to the destructor.
        for (int i = 0; i < 50; ++i)
            release.Drop(Tracked(&destroyed, &onMaker));
    }
    EXPECT_EQ(destroyed.load(), 100);
    EXPECT_EQ(onMaker.load(), 0);
}

}  // namespace

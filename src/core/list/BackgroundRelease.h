#pragma once

// Frees what it is given on a thread of its own. A list of a million paths takes tens of
// milliseconds to free, one string after another; the window hands such lists over here instead of
// letting them go while it should be painting. Only for plain data that no other thread uses (no
// Qt objects).

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

class BackgroundRelease {
public:
    BackgroundRelease() = default;
    // Frees everything still waiting before it returns.
    ~BackgroundRelease();
    BackgroundRelease(const BackgroundRelease&) = delete;
    BackgroundRelease& operator=(const BackgroundRelease&) = delete;

    // Takes value over; it is destroyed soon, on the release thread.
    template <class T>
    void Drop(T&& value) {
        static_assert(!std::is_lvalue_reference_v<T>, "hand the value over with std::move");
        Push(std::make_shared<std::remove_cvref_t<T>>(std::forward<T>(value)));
    }

    // Returns once everything dropped so far is destroyed.
    void Wait();

private:
    void Push(std::shared_ptr<void> value);
    void Loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<void>> waiting_;
    bool busy_ = false;  // the thread is destroying a batch
    bool ending_ = false;
    std::thread thread_;  // started by the first Drop
};

#pragma once

// Work on a second thread while the caller goes on, like std::jthread, but run by a thread that
// waits between pieces of work. A thread made anew is placed by how busy each core has lately
// been: after the other core was busy, it often starts on the caller's own core and shares it for
// some milliseconds. A waiting thread that is woken goes to an idle core at once.

#include <functional>
#include <future>

namespace Platform {

class HelperThread {
public:
    HelperThread() = default;
    // Starts work at once, on a waiting thread or, when none waits, on a new one that waits
    // afterwards.
    explicit HelperThread(std::function<void()> work);
    // Waits for the work.
    ~HelperThread();
    HelperThread(HelperThread&& other) noexcept = default;
    // Waits for the work this one holds, then takes other's.
    HelperThread& operator=(HelperThread&& other) noexcept;
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    bool Joinable() const { return done_.valid(); }
    // Waits for the work to end; an exception that left it is thrown here.
    void Join();

private:
    std::future<void> done_;
};

}  // namespace Platform

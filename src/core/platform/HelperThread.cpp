#include "core/platform/HelperThread.h"

#include <cassert>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace Platform {
namespace {

// The threads of the process that wait for work. Every piece of work is given a thread of its own
// the moment it is handed over, so work that waits for other work never waits for a thread.
class Waiting {
public:
    ~Waiting() {
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
        handed_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    void Hand(std::packaged_task<void()> task) {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        if (idle_ > 0) {
            --idle_;
            handed_.notify_one();
        } else {
            threads_.emplace_back([this] { Serve(); });
        }
    }

private:
    void Serve() {
        std::unique_lock lock(mutex_);
        while (true) {
            handed_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            std::packaged_task<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
            ++idle_;
        }
    }

    std::mutex mutex_;
    std::condition_variable handed_;
    std::deque<std::packaged_task<void()>> tasks_;
    std::size_t idle_ = 0;  // threads waiting that no work was handed to yet
    bool quit_ = false;
    std::vector<std::thread> threads_;
};

Waiting& Threads() {
    static Waiting waiting;
    return waiting;
}

}  // namespace

HelperThread::HelperThread(std::function<void()> work) {
    // What the work holds goes before Join returns, as a thread's does.
    std::packaged_task<void()> task([work = std::move(work)]() mutable { std::exchange(work, nullptr)(); });
    done_ = task.get_future();
    Threads().Hand(std::move(task));
}

HelperThread::~HelperThread() {
    if (Joinable()) Join();
}

HelperThread& HelperThread::operator=(HelperThread&& other) noexcept {
    if (this != &other) {
        if (Joinable()) Join();
        done_ = std::move(other.done_);
    }
    return *this;
}

void HelperThread::Join() {
    assert(Joinable() && "work to wait for");
    done_.get();
}

}  // namespace Platform

#include "core/platform/HelperThread.h"

#include <cassert>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace Platform {

struct HelperThread::Task {
    std::function<void()> work;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

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

    void Hand(std::shared_ptr<HelperThread::Task> task) {
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
            const std::shared_ptr<HelperThread::Task> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task->work();
            task->work = nullptr;  // what it holds goes with the work, not with the next wait
            {
                const std::lock_guard ended(task->mutex);
                task->done = true;
            }
            task->ended.notify_all();
            lock.lock();
            ++idle_;
        }
    }

    std::mutex mutex_;
    std::condition_variable handed_;
    std::deque<std::shared_ptr<HelperThread::Task>> tasks_;
    std::size_t idle_ = 0;  // threads waiting that no work was handed to yet
    bool quit_ = false;
    std::vector<std::thread> threads_;
};

Waiting& Threads() {
    static Waiting waiting;
    return waiting;
}

}  // namespace

HelperThread::HelperThread(std::function<void()> work) : task_(std::make_shared<Task>()) {
    task_->work = std::move(work);
    Threads().Hand(task_);
}

HelperThread::~HelperThread() {
    if (Joinable()) Join();
}

HelperThread& HelperThread::operator=(HelperThread&& other) noexcept {
    if (this != &other) {
        if (Joinable()) Join();
        task_ = std::move(other.task_);
    }
    return *this;
}

void HelperThread::Join() {
    assert(Joinable() && "work to wait for");
    std::unique_lock lock(task_->mutex);
    task_->ended.wait(lock, [this] { return task_->done; });
    lock.unlock();
    task_.reset();
}

}  // namespace Platform

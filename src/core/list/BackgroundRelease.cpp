#include "core/list/BackgroundRelease.h"

BackgroundRelease::~BackgroundRelease() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BackgroundRelease::Push(std::shared_ptr<void> value) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(value));
        if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
    }
    changed_.notify_all();
}

void BackgroundRelease::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
}

void BackgroundRelease::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // ending, with nothing left
        std::vector<std::shared_ptr<void>> batch;
        batch.swap(waiting_);
        busy_ = true;
        lock.unlock();
        batch.clear();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

#include "app/PreviewController.h"

#include <utility>

#include "core/RunControl.h"
#include "core/platform/Heap.h"

namespace {

// Says stop once a newer computation is wanted, or none.
class Superseded final : public RunControl {
public:
    Superseded(const std::atomic<std::uint64_t>& wanted, std::uint64_t generation)
        : wanted_(wanted), generation_(generation) {}
    bool Continue(std::size_t /*done*/) override {
        return wanted_.load(std::memory_order_relaxed) == generation_;
    }

private:
    const std::atomic<std::uint64_t>& wanted_;
    std::uint64_t generation_;
};

}  // namespace

PreviewController::PreviewController(ReadJob read, QObject* parent)
    : QObject(parent), read_(std::move(read)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PreviewController::Start);
    worker_ = std::thread([this] { Work(); });
}

PreviewController::~PreviewController() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        ++wanted_;
    }
    wake_.notify_all();
    worker_.join();
}

void PreviewController::Schedule() {
    // A computation under way stops at its next step. What is shown stays until the new result
    // replaces it: the names do not blink at every key.
    ++wanted_;
    timer_.start(pause);
}

void PreviewController::Halt() {
    timer_.stop();
    std::unique_lock lock(mutex_);
    ++wanted_;
    pending_.reset();
    wake_.wait(lock, [this] { return !working_; });
    lock.unlock();
    Clear();
}

void PreviewController::Clear() {
    if (!shown_) return;
    shown_.reset();
    emit Changed();
}

void PreviewController::Start() {
    std::optional<Job> job = read_();
    if (!job) {
        Clear();
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(job);
        pendingGeneration_ = ++wanted_;
    }
    wake_.notify_all();
}

void PreviewController::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || pending_.has_value(); });
        if (quit_) return;
        const Job job = std::move(*pending_);
        pending_.reset();
        const std::uint64_t generation = pendingGeneration_;
        working_ = true;
        lock.unlock();

        Superseded control(wanted_, generation);
        auto result = std::make_shared<RenamePreview::Result>(
            RenamePreview::Forecast(*job.paths, job.inputs, job.datesTaken, &control));
        // The window's thread takes it, unless a newer computation is wanted by then.
        if (!result->stopped) {
            QMetaObject::invokeMethod(
                this, [this, generation, result = std::move(result)] { Show(generation, result); },
                Qt::QueuedConnection);
        }
        // A preview follows every pause in typing: each gives back what it freed, so that the next
        // does not peak on top of it.
        Platform::ReturnFreedMemory();

        lock.lock();
        working_ = false;
        wake_.notify_all();
    }
}

void PreviewController::Show(std::uint64_t generation, const std::shared_ptr<RenamePreview::Result>& result) {
    if (generation != wanted_.load()) return;
    shown_ = std::make_unique<RenamePreview::Result>(std::move(*result));
    ++finished_;
    emit Changed();
}

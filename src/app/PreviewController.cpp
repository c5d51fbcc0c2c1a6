#include "app/PreviewController.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <utility>

#include "core/platform/Heap.h"
#include "core/run/RunControl.h"

struct PreviewController::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<Job> pending;
    std::uint64_t pendingGeneration = 0;
    bool quit = false;
    // The computation wanted now: a computation of any other generation stops at its next step.
    std::atomic<std::uint64_t> wanted{0};
    // Held shared by each thread of a computation while it reads the job's lists; the window takes
    // it whole to have them back.
    std::shared_mutex lent;
};

namespace {

// Whether this thread holds its share of the lists (a thread that entered too late holds none).
thread_local bool holdsShare = false;

// Says stop once a newer computation is wanted, or none; lends the lists through Shared::lent.
template <class Shared>
class Lease final : public RunControl {
public:
    Lease(Shared& shared, std::uint64_t generation) : shared_(shared), generation_(generation) {}
    bool Continue(std::size_t /*done*/) override { return Wanted(); }
    bool Enter() override {
        // The window asks for the lists whole only after it stopped wanting this computation; a
        // thread entering meanwhile (a helper of a thread that holds a share) must not queue behind
        // it, whatever the lock's policy.
        while (!shared_.lent.try_lock_shared()) {
            if (!Wanted()) return false;
            std::this_thread::yield();
        }
        holdsShare = true;
        return Wanted();
    }
    void Leave() override {
        if (holdsShare) shared_.lent.unlock_shared();
        holdsShare = false;
    }
    bool Wanted() const { return shared_.wanted.load(std::memory_order_relaxed) == generation_; }

private:
    Shared& shared_;
    std::uint64_t generation_;
};

}  // namespace

PreviewController::PreviewController(ReadJob read, QObject* parent, Compute compute)
    : QObject(parent), read_(std::move(read)), shared_(std::make_shared<Shared>()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PreviewController::Start);
    // The worker holds what it shares with the controller: it may end after the controller did.
    worker_ = std::thread([this, shared = shared_, compute = std::move(compute)] {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->wake.wait(lock, [&] { return shared->quit || shared->pending.has_value(); });
            if (shared->quit) return;
            const Job job = std::move(*shared->pending);
            shared->pending.reset();
            const std::uint64_t generation = shared->pendingGeneration;
            lock.unlock();

            Lease<Shared> lease(*shared, generation);
            if (lease.Enter()) {
                auto result = std::make_shared<RenamePreview::Result>(
                    compute(*job.paths, job.inputs, job.datesTaken, &lease, job.listings));
                // The window's thread takes it, unless a newer computation is wanted by then. Asked
                // within the lease: a controller being destroyed no longer wants any.
                if (!result->stopped && lease.Wanted()) {
                    QMetaObject::invokeMethod(
                        this, [this, generation, result = std::move(result)] { Show(generation, result); },
                        Qt::QueuedConnection);
                }
            }
            lease.Leave();
            // A preview follows every pause in typing: each gives back what it freed, so that the
            // next does not peak on top of it.
            Platform::ReturnFreedMemory();
            lock.lock();
        }
    });
}

PreviewController::~PreviewController() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
    }
    shared_->wake.notify_all();
    TakeBack();
    // A step apart may still run: the worker ends after it, on its own.
    worker_.detach();
}

void PreviewController::TakeBack() {
    {
        const std::lock_guard lock(shared_->mutex);
        ++shared_->wanted;
        shared_->pending.reset();
    }
    const std::unique_lock all(shared_->lent);
}

void PreviewController::Schedule() {
    // A computation under way stops at its next step. What is shown stays until the new result
    // replaces it, marked out of date: the names do not blink at every key, nor pass for current.
    ++shared_->wanted;
    timer_.start(pause);
    if (stale_) return;
    stale_ = true;
    emit Changed();
}

void PreviewController::Halt() {
    timer_.stop();
    TakeBack();
    Clear();
}

void PreviewController::Clear() {
    if (!shown_ && !stale_ && !waiting_) return;
    shown_.reset();
    stale_ = false;
    waiting_ = false;
    emit Changed();
}

void PreviewController::Start() {
    std::optional<Job> job = read_();
    if (!job) {
        Clear();
        return;
    }
    if (job->waiting) {
        stale_ = true;
        waiting_ = true;
        emit Changed();
        return;
    }
    if (waiting_) {
        waiting_ = false;
        emit Changed();
    }
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->pending = std::move(job);
        shared_->pendingGeneration = ++shared_->wanted;
    }
    shared_->wake.notify_all();
}

void PreviewController::Show(std::uint64_t generation, const std::shared_ptr<RenamePreview::Result>& result) {
    if (generation != shared_->wanted.load()) return;
    shown_ = std::make_unique<RenamePreview::Result>(std::move(*result));
    stale_ = false;
    ++finished_;
    emit Changed();
}

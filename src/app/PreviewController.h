#pragma once

// Keeps the preview of the coming names (RenamePreview) up to date off the window's thread: once the
// inputs have been still for a pause, the newest inputs are previewed on a worker thread; a change
// meanwhile stops the computation between two of its steps, so typing never waits for it. The
// result is handed to the window's thread, which shows it.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/RenamePreview.h"

class PreviewController : public QObject {
    Q_OBJECT
public:
    // What to preview. The lists belong to the window, which must Halt the preview before it changes
    // them.
    struct Job {
        const std::vector<std::string>* paths = nullptr;
        RenamePreview::Inputs inputs;
        const std::vector<std::int64_t>* datesTaken = nullptr;
    };
    // Reads the job on the window's thread once the pause is over; nullopt: nothing to preview.
    using ReadJob = std::function<std::optional<Job>()>;

    PreviewController(ReadJob read, QObject* parent);
    ~PreviewController() override;
    PreviewController(const PreviewController&) = delete;
    PreviewController& operator=(const PreviewController&) = delete;

    // The inputs changed: a computation under way stops, and a new one starts after the pause; what
    // is shown stays until then.
    void Schedule();
    // Nothing is shown or computed until the next Schedule; returns once the worker no longer
    // reads the job's lists (at most one step of the computation later).
    void Halt();
    // The preview shown: null while none is.
    const RenamePreview::Result* Shown() const { return shown_.get(); }
    // The preview computations finished so far (for tests and benches).
    std::uint64_t Finished() const { return finished_; }

    std::chrono::milliseconds pause{150};

signals:
    // What Shown gives changed.
    void Changed();

private:
    void Start();
    void Work();
    void Show(std::uint64_t generation, const std::shared_ptr<RenamePreview::Result>& result);
    // Drops what is shown, telling the window when something was.
    void Clear();

    ReadJob read_;
    QTimer timer_;
    std::unique_ptr<RenamePreview::Result> shown_;
    std::uint64_t finished_ = 0;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    std::uint64_t pendingGeneration_ = 0;
    bool working_ = false;
    bool quit_ = false;
    // The computation wanted now: a computation of any other generation stops at its next step.
    std::atomic<std::uint64_t> wanted_{0};
    std::thread worker_;
};

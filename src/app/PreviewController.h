#pragma once

// Keeps the preview of the coming names (RenamePreview) up to date off the window's thread: once the
// inputs have been still for a pause, the newest inputs are previewed on a worker thread; a change
// meanwhile stops the computation between two of its steps, so typing never waits for it. The
// result is handed to the window's thread, which shows it; until then what is shown is marked out
// of date.
//
// The window lends the worker its lists. A step that reads none of them (a regular expression's
// match on a copy of a name, which may run up to the engine's limit) runs apart from that lease:
// the window takes its lists back, or closes, without waiting for it.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/run/RenamePreview.h"

class PreviewController : public QObject {
    Q_OBJECT
public:
    // What to preview. The lists belong to the window, which must Halt the preview before it changes
    // them.
    struct Job {
        const std::vector<std::string>* paths = nullptr;
        RenamePreview::Inputs inputs;
        const std::vector<std::int64_t>* datesTaken = nullptr;
        // The listings of the load, read in place of folders unchanged since.
        const MyFileOperation::FolderListings* listings = nullptr;
        // The inputs need what is not there yet (the dates taken, still being read): nothing is
        // computed, and what is shown stays out of date until the next Schedule.
        bool waiting = false;
    };
    // Reads the job on the window's thread once the pause is over; nullopt: nothing to preview.
    using ReadJob = std::function<std::optional<Job>()>;
    // The computation, RenamePreview::Forecast but in tests.
    using Compute = std::function<RenamePreview::Result(
        const std::vector<std::string>& paths, const RenamePreview::Inputs& inputs,
        const std::vector<std::int64_t>* datesTaken, RunControl* control,
        const MyFileOperation::FolderListings* listings)>;

    PreviewController(ReadJob read, QObject* parent, Compute compute = RenamePreview::Forecast);
    // Waits, like Halt, only for a step that reads the lists.
    ~PreviewController() override;
    PreviewController(const PreviewController&) = delete;
    PreviewController& operator=(const PreviewController&) = delete;

    // The inputs changed: a computation under way stops, and a new one starts after the pause; what
    // is shown is out of date at once, and stays shown until then.
    void Schedule();
    // Nothing is shown or computed until the next Schedule; returns once no thread of the
    // computation reads the job's lists (at once when it runs a step apart, else at most one step
    // later).
    void Halt();
    // The preview shown: null while none is.
    const RenamePreview::Result* Shown() const { return shown_.get(); }
    // What is shown (or nothing) is not the preview of the inputs as they are: a newer one is on
    // its way, or waits for what its job needs.
    bool Stale() const { return stale_; }
    // The last job read waits for what it needs.
    bool Waiting() const { return waiting_; }
    // The preview computations finished so far (for tests and benches).
    std::uint64_t Finished() const { return finished_; }

    std::chrono::milliseconds pause{150};

signals:
    // What Shown, Stale or Waiting give changed.
    void Changed();

private:
    struct Shared;
    void Start();
    void Show(std::uint64_t generation, const std::shared_ptr<RenamePreview::Result>& result);
    // Drops what is shown and its mark, telling the window when there was any.
    void Clear();
    // Says stop to the computation under way and returns once no thread of it reads the lists.
    void TakeBack();

    ReadJob read_;
    QTimer timer_;
    std::unique_ptr<RenamePreview::Result> shown_;
    bool stale_ = false;
    bool waiting_ = false;
    std::uint64_t finished_ = 0;
    // Shared with the worker, which may outlive the controller by a step apart.
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

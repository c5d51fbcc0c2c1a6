#include "core/names/DateReading.h"

#include <atomic>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

#include "core/run/RunControl.h"
#include "core/text/Cp932.h"

namespace PhotoDate {
namespace {

constexpr std::size_t kNoFile = std::numeric_limits<std::size_t>::max();
// Threads given up may stay inside the library this many at once; the next file waits for one of
// them to end. More would only share the CPUs with the window.
constexpr std::size_t kMostGivenUp = 2;
// How often a Wait asks its control.
constexpr std::chrono::milliseconds kWaitTick{40};

std::atomic<std::size_t> readsUnderWay{0};

}  // namespace

struct Reading::State {
    std::mutex mutex;
    std::condition_variable changed;
    const std::vector<std::string> paths;
    const ReadingSetup setup;
    const std::function<void()> finished;
    std::vector<Stamp> dates;
    std::size_t next = 0;  // the next file to read
    std::size_t done = 0;
    std::size_t givenUp = 0;
    std::size_t current = kNoFile;  // the file the reader reads
    std::chrono::steady_clock::time_point since;
    std::size_t reader = 0;  // the reader whose results count: one given up has an older number
    std::size_t stuck = 0;   // readers given up, still inside the library
    bool complete = false;
    bool letGo = false;

    State(std::vector<std::string> p, ReadingSetup s, std::function<void()> f)
        : paths(std::move(p)), setup(std::move(s)), finished(std::move(f)), dates(paths.size(), kNone) {}

    // Reads the files one after another until it is given up, let go of, or the list ends, which it
    // tells.
    static void Read(const std::shared_ptr<State>& s, std::size_t me) {
        std::unique_lock lock(s->mutex);
        std::string native;
        while (!s->letGo && s->reader == me) {
            if (s->next == s->paths.size()) {
                s->complete = true;
                // Under the lock: a reading being destroyed waits for the call, and none comes after.
                if (s->finished) s->finished();
                s->changed.notify_all();
                return;
            }
            const std::size_t file = s->next++;
            s->current = file;
            s->since = std::chrono::steady_clock::now();
            // Counted before the lock goes: once let go of, no thread starts a read uncounted.
            ++readsUnderWay;
            lock.unlock();
            std::optional<Platform::ImageDateTags> tags;
            if (Cp932::ToUtf8(s->paths[file], native)) tags = s->setup.readTags(native);
            lock.lock();
            --readsUnderWay;
            if (s->reader != me) {
                --s->stuck;
                s->changed.notify_all();
                return;
            }
            s->dates[file] = tags ? DateTaken(*tags) : kNone;
            ++s->done;
            s->current = kNoFile;
        }
    }

    // Gives up a file that takes too long, and starts a reader for the next.
    static void Watch(const std::shared_ptr<State>& s) {
        std::unique_lock lock(s->mutex);
        const auto bound = s->setup.longestRead;
        while (!s->letGo && !s->complete) {
            const std::size_t file = s->current;
            if (file == kNoFile) {
                s->changed.wait_for(lock, bound);
                continue;
            }
            if (s->changed.wait_until(lock, s->since + bound,
                                      [&] { return s->letGo || s->complete || s->current != file; }))
                continue;
            s->dates[file] = kNone;
            ++s->done;
            ++s->givenUp;
            ++s->stuck;
            ++s->reader;
            s->current = kNoFile;
            s->changed.wait(lock, [&] { return s->letGo || s->stuck < kMostGivenUp; });
            if (s->letGo) break;
            std::thread([s, me = s->reader] { Read(s, me); }).detach();
        }
    }
};

Reading::Reading(std::vector<std::string> paths, ReadingSetup setup, std::function<void()> finished)
    : state_(std::make_shared<State>(std::move(paths), std::move(setup), std::move(finished))),
      size_(state_->paths.size()) {
    std::thread([s = state_] { State::Read(s, 0); }).detach();
    std::thread([s = state_] { State::Watch(s); }).detach();
}

Reading::~Reading() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->letGo = true;
    }
    state_->changed.notify_all();
}

std::size_t Reading::Done() const {
    const std::lock_guard lock(state_->mutex);
    return state_->done;
}

bool Reading::Finished() const {
    const std::lock_guard lock(state_->mutex);
    return state_->complete;
}

bool Reading::Wait(RunControl& control) const {
    std::unique_lock lock(state_->mutex);
    for (;;) {
        const std::size_t done = state_->done;
        lock.unlock();
        const bool go = control.Continue(done);
        lock.lock();
        if (!go) return false;
        if (state_->changed.wait_for(lock, kWaitTick, [this] { return state_->complete; })) return true;
    }
}

const std::vector<Stamp>& Reading::Dates() const {
    const std::lock_guard lock(state_->mutex);
    return state_->dates;
}

std::size_t Reading::GivenUp() const {
    const std::lock_guard lock(state_->mutex);
    return state_->givenUp;
}

std::size_t ReadsUnderWay() {
    return readsUnderWay.load();
}

}  // namespace PhotoDate

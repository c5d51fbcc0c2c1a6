#include "app/DatesTaken.h"

#include <utility>

#include "app/WindowTexts.h"
#include "core/list/PairList.h"

TDatesTaken::TDatesTaken(PairList& pairs, BusyWork busy, std::function<void()> arrived, QObject* parent)
    : QObject(parent), pairs_(pairs), busy_(std::move(busy)), arrived_(std::move(arrived)) {}

void TDatesTaken::Start() {
    // A reading that ended while its list was set aside by a load, which was then cancelled.
    Arrived();
    if (pairs_.Empty() || pairs_.HasDatesTaken() || (pairs_.DatesTakenPending() && reading_)) return;
    // Where each file stands now: after a run, renamed files are at their new paths.
    std::vector<std::string> paths;
    paths.reserve(pairs_.Size());
    for (std::size_t i = 0; i < pairs_.Size(); ++i)
        paths.push_back(pairs_.CurrentPath(i));
    pairs_.BeginDatesTaken();
    reading_ = std::make_shared<PhotoDate::Reading>(std::move(paths), Setup, [this] {
        QMetaObject::invokeMethod(this, &TDatesTaken::Arrived, Qt::QueuedConnection);
    });
}

bool TDatesTaken::Read() {
    Start();
    if (const std::shared_ptr<PhotoDate::Reading> reading = reading_; reading && pairs_.DatesTakenPending()) {
        bool read = false;
        busy_({RunText::Working(Command::Work::kReadingDates), reading->Size()},
              [&](RunControl& control) { read = reading->Wait(control); });
        if (!read) return false;
        Arrived();
    }
    return pairs_.Empty() || pairs_.HasDatesTaken();
}

void TDatesTaken::Arrived() {
    // While a load sets the list aside it waits: it comes back when the load is cancelled.
    if (!reading_ || !reading_->Finished() || !pairs_.DatesTakenPending()) return;
    pairs_.ReceiveDatesTaken(reading_->Dates());
    reading_.reset();
    arrived_();
}

void TDatesTaken::Forget() {
    reading_.reset();
    if (pairs_.DatesTakenPending()) pairs_.ForgetDatesTaken();
}

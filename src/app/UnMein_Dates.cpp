// The dates the listed files were taken, which one of the orders and the sequential names use: read
// once per list on threads the window never waits for, and kept with the list.
#include <QString>

#include "app/UnMein.h"

void TFmMein::StartDatesTaken() {
    // A reading that ended while its list was set aside by a load, which was then cancelled.
    DatesTakenRead();
    if (Pairs.Empty() || Pairs.HasDatesTaken() || (Pairs.DatesTakenPending() && datesReading_)) return;
    // Where each file stands now: after a run, renamed files are at their new paths.
    std::vector<std::string> paths;
    paths.reserve(Pairs.Size());
    for (std::size_t i = 0; i < Pairs.Size(); ++i)
        paths.push_back(Pairs.CurrentPath(i));
    Pairs.BeginDatesTaken();
    datesReading_ = std::make_shared<PhotoDate::Reading>(std::move(paths), DateReading, [this] {
        QMetaObject::invokeMethod(this, &TFmMein::DatesTakenRead, Qt::QueuedConnection);
    });
}

bool TFmMein::ReadDatesTaken() {
    StartDatesTaken();
    if (const std::shared_ptr<PhotoDate::Reading> reading = datesReading_;
        reading && Pairs.DatesTakenPending()) {
        bool read = false;
        RunBusy({RunText::Working(Command::Work::kReadingDates), reading->Size()},
                [&](RunControl& control) { read = reading->Wait(control); });
        if (!read) return false;
        DatesTakenRead();
    }
    return Pairs.Empty() || Pairs.HasDatesTaken();
}

void TFmMein::DatesTakenRead() {
    // While a load sets the list aside it waits: it comes back when the load is cancelled.
    if (!datesReading_ || !datesReading_->Finished() || !Pairs.DatesTakenPending()) return;
    Pairs.ReceiveDatesTaken(datesReading_->Dates());
    datesReading_.reset();
    // The preview waiting for them goes on.
    if (preview_->Waiting()) SchedulePreview();
}

void TFmMein::ForgetDatesTaken() {
    datesReading_.reset();
    if (Pairs.DatesTakenPending()) Pairs.ForgetDatesTaken();
}

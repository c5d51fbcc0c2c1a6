#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/BusyRunner.h"
#include "core/names/DateReading.h"

class PairList;

// The dates the listed files were taken, which one of the orders and the sequential names use: read
// once per list on threads the window never waits for, and kept with the list.
class TDatesTaken : public QObject {
public:
    // Runs work behind the progress dialog; false when the user cancelled.
    using BusyWork = std::function<bool(const TBusyRunner::Task&, const std::function<void(RunControl&)>&)>;
    // pairs: the window's list, which must outlive this part; arrived: a reading's dates went to
    // the list, on the window's thread.
    TDatesTaken(PairList& pairs, BusyWork busy, std::function<void()> arrived, QObject* parent);

    // How they are read; tests put a slow library here.
    PhotoDate::ReadingSetup Setup;
    // Starts reading the date each listed file was taken, unless this list's dates are read or
    // being read.
    void Start();
    // The same, then waits for them behind the progress dialog; false when the user cancelled (the
    // reading goes on).
    bool Read();
    // The reading ended: its dates go to the list it was started for, if that list still waits for
    // them.
    void Arrived();
    // Lets go of a reading under way (a new list, or files about to move, which it would read at
    // their old paths).
    void Forget();

private:
    PairList& pairs_;
    BusyWork busy_;
    std::function<void()> arrived_;
    // The reading under way, if any; shared with a wait for it.
    std::shared_ptr<PhotoDate::Reading> reading_;
};

#pragma once

// The dates taken of a list of files, read on threads of their own that nobody ever waits for. The
// image library cannot be interrupted in the middle of a file, and a valid file can keep it busy for
// a minute (a PNG of many small chunks): a file not read within a time bound is given up, its date
// the fallback (none), and its thread left to finish the file on its own, the result dropped; a
// reading no longer wanted is let go of the same way. Files are read one after another.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/names/PhotoDate.h"
#include "core/platform/ImageDates.h"

class RunControl;

namespace PhotoDate {

// How a reading reads.
struct ReadingSetup {
    // The tags of the image at a native path.
    std::function<std::optional<Platform::ImageDateTags>(const std::string& path)> readTags =
        Platform::ReadImageDateTags;
    // A photo's tags are read in about a millisecond. This is longer than a sleeping disk takes to
    // wake up, so a photo does not lose its date to that; a file slower than this would hold 開始 up
    // as long again.
    std::chrono::milliseconds longestRead{5000};
};

class Reading {
public:
    // paths: code page 932. finished: called once, on a thread of the reading, when every file is
    // read or given up; never once the reading is destroyed.
    Reading(std::vector<std::string> paths, ReadingSetup setup, std::function<void()> finished = {});
    // Lets go of the files not yet read, waiting for none.
    ~Reading();
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    std::size_t Size() const { return size_; }
    // The files read or given up so far.
    std::size_t Done() const;
    bool Finished() const;
    // Returns once finished (true), or once control says stop, asked now and then with Done.
    bool Wait(RunControl& control) const;
    // Once finished: the date each file was taken, kNone for none (and for a file given up).
    const std::vector<Stamp>& Dates() const;
    // Once finished: the files given up for the time they took.
    std::size_t GivenUp() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    std::size_t size_;
};

// The reads of the library under way in this process, those given up and let go of too. While any
// is, the program must end without destroying the library's static data under it.
std::size_t ReadsUnderWay();

}  // namespace PhotoDate

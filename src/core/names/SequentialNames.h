#pragma once

// Composition of sequential names: folder name, leading text, original name, date, running
// number, trailing text and extension, each switched on or off. Pure apart from reading the
// disk for existence and modification dates; renames nothing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/list/FolderListings.h"
#include "core/platform/FileSystem.h"

namespace SequentialNames {

// The inputs of the sequential page, as code page 932 texts.
struct Options {
    std::string leadingText;              // edit2
    std::string startValue;               // edit3; empty = no number, its length is the number width
    std::string trailingText;             // edit8
    std::string incrementText;            // Edit9
    bool changeExtension = false;         // CB1
    std::string newExtension;             // Edit4
    bool keepName = false;                // CB2
    bool folderName = false;              // CB4
    bool resetPerFolder = false;          // CB5
    bool addDate = false;                 // CB12
    std::string dateFormat = "yyyymmdd";  // DateFormat
    bool dateSeparator = true;            // CheckBox1: "_" before the date
    bool dateAtEnd = false;               // CheckBox2: date after the number and the trailing text
    bool dateTaken = false;               // RGDateSource: the date a photo was taken, else its modification
};

// The four date formats, by the index of the date option.
std::optional<std::string> DateFormatFor(int index);

// Whole integer in the strict sense: leading blanks and a sign allowed, "$" hexadecimal too,
// nothing may follow the digits. nullopt when it is none (or out of range).
std::optional<std::int64_t> ReadStrictInteger(std::string_view text);
// Lenient reading: leading blanks skipped, an optional sign; where the text is not a whole number,
// the digits before the first wrong character count, without their sign; no digits give 0.
std::int64_t ReadLenientInteger(std::string_view text);
// The increment of a run: the lenient reading, where zero or less becomes 1.
std::int64_t Increment(std::string_view incrementText);

// True when the inputs allow a run.
bool CheckSequentialInputs(const Options& options);

// On when no leading text, no number, a new extension, and not both the name and the folder name.
bool ExtensionOnlyMode(const Options& options);

// The name of the folder that holds the file ("" for a file in the root).
std::string FolderNameOf(std::string_view path);

// The number padded with "0" to width characters; a negative number keeps its sign in front of
// the zeros ("-05" for -5 at width 3). A longer text is kept whole.
std::string PadNumber(std::int64_t number, std::size_t width);

// A date formatted with one of the date formats ("yyyy", "yy", "mm", "dd"; other characters stand
// for themselves).
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};
std::string FormatDate(const Date& date, std::string_view format);
// Reads back the date of a "yyyy/mm/dd h:mm:ss" text; nullopt for anything else ("Error").
std::optional<Date> ParseDateText(std::string_view text);

enum class Outcome {
    Composed,
    EmptyList,         // nothing to compose; no message
    MissingFile,       // a listed file no longer exists: detail = its path
    BadDate,           // a modification date could not be read: detail = the text that failed
    Collision,         // a new name is taken on disk, or two entries would get the same name
    NumberOutOfRange,  // a number would pass the largest 64-bit integer: detail = the entry's path
};

struct Result {
    Outcome outcome = Outcome::EmptyList;
    std::string detail;
    std::vector<std::string> newPaths;   // one per entry when composed; the entries so far otherwise
    std::vector<Platform::EntryId> ids;  // when composed, the identity of each entry's file
    std::string lastNumberText;          // the number given to the last entry ("" without numbering)
    std::size_t undatedPhotos = 0;       // entries given their modification date for want of a date taken
    // Of a Collision: every name was composed (ids and lastNumberText too), and the only names
    // taken are held on disk by other files; the run may still go through when those files are of
    // the list and move on.
    bool composedAll = false;
};

// Why the inputs cannot start a run, in the order they are checked: inputs not allowed
// (CheckSequentialInputs), then a character no file name may hold in the leading text, the trailing
// text or the new extension.
struct RunCheck {
    enum class Refusal { kNone, kInputs, kForbidden };
    Refusal refusal = Refusal::kNone;
    std::string forbidden;  // the character, for kForbidden
};
RunCheck CheckRun(const Options& options);

// The composition of a list's new names, one entry after another in list order, as
// BuildSequentialNames composes them.
class Composer {
public:
    // count: the entries of the list; datesTaken as for BuildSequentialNames.
    Composer(const Options& options, std::size_t count, const std::vector<std::int64_t>* datesTaken);
    ~Composer();
    Composer(const Composer&) = delete;
    Composer& operator=(const Composer&) = delete;

    // The new file name (no folder) of entry index at path into newName: Composed, or BadDate and
    // NumberOutOfRange with detail (the date text that failed, the path).
    Outcome Compose(std::size_t index, std::string_view path, std::string& newName, std::string& detail);
    // The number given to the last entry composed ("" without numbering).
    const std::string& LastNumber() const { return number_; }
    std::size_t UndatedPhotos() const { return undatedPhotos_; }

private:
    class Counters;
    const Options& options_;
    const std::vector<std::int64_t>* datesTaken_;
    bool extensionOnly_;
    bool numbering_;
    std::size_t width_;
    std::int64_t increment_;
    std::string newExtension_;
    std::unique_ptr<Counters> counters_;
    std::string number_;
    std::size_t undatedPhotos_ = 0;
};

// The check of the composed names, entry after entry in list order, as the run makes it: a name is
// refused when it differs from the old one other than in letter case and something stands at it on
// disk, or when an earlier entry was given the same path (compared without regard to case).
class NameCheck {
public:
    // count: the most entries checked. same(a, b): whether the new paths of entries a and b are one
    // without regard to case.
    NameCheck(std::size_t count, std::function<bool(std::size_t, std::size_t)> same);
    ~NameCheck();
    NameCheck(const NameCheck&) = delete;
    NameCheck& operator=(const NameCheck&) = delete;

    // True when entry index, named oldName in folder (with its "/") and given newName, is refused.
    // standsAt(newPath) tells whether anything stands at a path on disk.
    template <class StandsAt>
    bool Refuses(std::size_t index, std::string_view folder, std::string_view oldName,
                 std::string_view newName, const StandsAt& standsAt) {
        return Judge(index, folder, oldName, newName, standsAt) != Verdict::kFree;
    }
    // The same, telling why: a name given twice, or one that something on disk holds.
    enum class Verdict { kFree, kTaken, kTwice };
    template <class StandsAt>
    Verdict Judge(std::size_t index, std::string_view folder, std::string_view oldName,
                  std::string_view newName, const StandsAt& standsAt) {
        const bool taken = Taken(folder, oldName, newName, standsAt);
        if (!Insert(index, folder, newName)) return Verdict::kTwice;
        return taken ? Verdict::kTaken : Verdict::kFree;
    }
    // The two halves of Judge, for a caller that checks the names given twice while the disk is
    // still being read. Insert: false when an earlier entry has the same path without regard to case.
    bool Insert(std::size_t index, std::string_view folder, std::string_view newName);
    // Insert a few entries later, the place of the name fetched into the cache meanwhile: in a
    // check of a million names each insert otherwise waits for memory. Entries are inserted in the
    // order queued; refused receives each entry refused then. Finish inserts the rest.
    void Queue(std::size_t index, std::string_view folder, std::string_view newName,
               std::vector<std::size_t>& refused);
    void Finish(std::vector<std::size_t>& refused);
    template <class StandsAt>
    bool Taken(std::string_view folder, std::string_view oldName, std::string_view newName,
               const StandsAt& standsAt) {
        // Old and new path share the folder, so the names alone tell a change of case only.
        if (SameNameNoCase(oldName, newName)) return false;
        newPath_.assign(folder).append(newName);
        return standsAt(std::string_view(newPath_));
    }

private:
    class Table;
    static bool SameNameNoCase(std::string_view a, std::string_view b);
    std::unique_ptr<Table> table_;
    std::string newPath_;
};

// Composes the new full path of every entry of orgPaths in order. Checks first that every listed
// file still exists; stops at the first date that cannot be read, at the first number beyond the
// 64-bit range and at the first collision. With resetPerFolder every folder name has its own
// counter, wherever its files stand in the list. With dateTaken, datesTaken holds the date each entry
// was taken (PhotoDate stamps); an entry without one, or all without datesTaken, gets its modification
// date. meanwhile (optional) is given every new path once all are composed and none is given twice,
// on a thread of its own while the names are checked against the disk: work for a run that may yet
// be refused (its journal made ready). listings: of the folders, read before (a load's).
using Meanwhile = std::function<void(const std::vector<std::string>& newPaths)>;
Result BuildSequentialNames(const std::vector<std::string>& orgPaths, const Options& options,
                            const std::vector<std::int64_t>* datesTaken = nullptr,
                            const Meanwhile& meanwhile = {}, MyFileOperation::FolderListings listings = {});

// The start value offered after a run: lastNumberText read as an integer plus the increment, padded
// with "0" to the length of lastNumberText. nullopt when there is no last number or the next one
// would pass the largest 64-bit integer.
std::optional<std::string> ContinueNumbering(std::string_view lastNumberText, std::string_view incrementText);

}  // namespace SequentialNames

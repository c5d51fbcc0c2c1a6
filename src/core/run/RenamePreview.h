#pragma once

// What 開始 would do with the listed files and the inputs of the page it would run, told before
// anything happens on disk: for each row the name it would get, or that it stays as it is, meets
// another file at its new name, or cannot take it; or the refusal of the whole run. The names come
// from the runs' own functions, and the executor's own steps (RenameSteps.h) are taken on a model
// of the disk read once (DiskModel): what the preview tells is what the run does, as long as the
// disk does not change in between.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/names/RegexRename.h"
#include "core/names/SequentialNames.h"
#include "core/names/StringRename.h"

class RunControl;

namespace MyFileOperation {
class FolderListings;
}

namespace RenamePreview {

// The inputs of the page 開始 would run, as the run reads them.
struct SettingsPage {};  // the 動作設定 page, from which no run starts
struct NoRun {};         // the その他の処理 page with neither option: 開始 does nothing
struct Sequential {
    std::optional<SequentialNames::Options> options;  // nullopt: a text without a code page 932 form
};
struct StringPage {
    std::optional<std::string> target;  // nullopt: a text without a code page 932 form
    std::optional<std::string> replacement;
    bool regex = false;
    bool includeExtension = false;
    bool caseSensitive = false;
};
struct DigitAlignment {};
struct CaseConversion {
    int mode = 0;  // CaseConvert::ConversionMode
};
using Inputs = std::variant<NoRun, SettingsPage, Sequential, StringPage, DigitAlignment, CaseConversion>;

// Why the run would not start, or would stop before renaming anything.
struct SettingsPageRefused {};
struct SequentialStopped {
    SequentialNames::Outcome outcome = SequentialNames::Outcome::Collision;
    std::string detail;  // as the composition gives it
};
struct RegexStopped {
    RegexRename::StopReason reason = RegexRename::StopReason::kFailed;
    std::string path;  // of the file on whose name the engine gave up
};
// A run that keeps only the files whose names change would keep none: it says so and renames nothing.
struct NothingToRename {
    enum class Run : std::uint8_t { kString, kCase, kDigit };
    Run run = Run::kString;
};
using Refusal =
    std::variant<std::monostate, SettingsPageRefused, SequentialNames::RunCheck, SequentialStopped,
                 StringRename::Check, RegexRename::Check, RegexStopped, NothingToRename>;

// What becomes of a row.
enum class State : std::uint8_t {
    kUnchanged,  // the run leaves the file as it is
    kRenamed,    // the file gets the row's name
    kCollision,  // another file stands at the name, or takes it first
    // The name is held by a file of the list that the run renames too: renamed only when the user
    // agrees to the order the run then asks about.
    kReordered,
    // The run tries and fails:
    kUnusable,  // a name no file can have (empty, ".", "..", a character no name holds)
    kTooLong,   // longer than the file system takes
    kMissing,   // the file is gone
    kRefused,   // refused for another reason (the file listed twice, another name of the same file)
};
inline bool IsFailure(State state) {
    return state >= State::kUnusable;
}

// Per row its state and coming name, in a few bytes a row: the names one after another in one
// buffer.
class Rows {
public:
    std::size_t Size() const { return states_.size(); }
    State StateOf(std::size_t row) const { return states_[row]; }
    // The name the row would get: empty for an unchanged row.
    std::string_view NameOf(std::size_t row) const;
    std::size_t Count(State state) const;
    // The bytes held.
    std::size_t Bytes() const;

    // Rows are added in order.
    void Add(State state, std::string_view name = {});
    void Set(std::size_t row, State state) { states_[row] = state; }
    // Room for rows and for names of nameBytes bytes in all.
    void Reserve(std::size_t rows, std::size_t nameBytes = 0);

private:
    std::vector<State> states_;
    std::vector<std::uint32_t> ends_;  // where each row's name ends in names_
    std::string names_;
};

struct Result {
    Refusal refusal;  // std::monostate when the run would start
    // One per listed path; empty when the run is refused before it composes any name. A sequential
    // run refused because a name is taken keeps its names, the colliding rows marked. Where the run
    // would ask to rename in another order because files of the list hold the names, the rows tell
    // what it does on a yes, the rows that need the order kReordered.
    Rows rows;
    bool noRun = false;    // 開始 would do nothing at all
    bool stopped = false;  // the control said stop: nothing of this result holds
};

// Whether the names come from the dates the files were taken, which must be read first.
bool NeedsDatesTaken(const Inputs& inputs);

// The preview of inputs for the files of paths. datesTaken: the dates taken of the files
// (PairList::DatesTaken), required where NeedsDatesTaken, else may be null. control: asked between steps,
// each a few thousand rows or the reading of one folder, from two threads at once (the folders are read
// beside the composition); once it says stop, the preview reads nothing more of paths and returns with
// stopped set. listings (optional): of the folders as the list's load read them (PairList::Listings),
// read instead of a folder found unchanged since, and left as they are.
Result Forecast(const std::vector<std::string>& paths, const Inputs& inputs,
                const std::vector<std::int64_t>* datesTaken, RunControl* control = nullptr,
                const MyFileOperation::FolderListings* listings = nullptr);

}  // namespace RenamePreview

#pragma once

// The string rename with a regular expression as its target (PCRE2 syntax). Names are matched in
// their native UTF-8 form, so "." is one character of any script and the Unicode classes work;
// names enter and leave in the program's code page 932 form through the one codec. Every match in
// the processed part of a name is replaced. Nothing here looks at the disk.
//
// The replacement takes $n and ${n} (a group number), $name and ${name} (a named group), and $$ for
// a dollar sign; a "$" that starts none of these stands for itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class RunControl;

namespace RegexRename {

// Why the texts cannot start a run, in the order they are checked.
enum class Refusal {
    None,
    EmptyTarget,             // no target at all
    BadPattern,              // the engine refuses the pattern (or it holds \C)
    MissingGroup,            // the replacement names a group the pattern does not have
    ForbiddenInReplacement,  // the replacement's own text holds a character no file name may hold
};

// What is wrong with a pattern, in the kinds a person writing one meets.
enum class PatternError : std::uint8_t {
    kNone,
    kParentheses,  // a parenthesis or bracket without its partner
    kEscape,       // a backslash before what it cannot escape
    kSingleByte,   // \C, one byte of a character: it cuts characters apart, and names with them
    kQuantifier,   // a repeat with nothing to repeat, or bounds out of order or too large
    kLookbehind,   // a lookbehind whose length is not fixed
    kTooComplex,   // nested or large beyond what the engine takes
    kOther,
};

struct Check {
    Refusal refusal = Refusal::None;
    // MissingGroup: the reference as written; ForbiddenInReplacement: the character.
    std::string detail;
    PatternError error = PatternError::kNone;  // BadPattern
    std::size_t position = 0;  // BadPattern: the 1-based character of the pattern it points at
};

struct Prepared;

// Why the engine gave up on a name, though the pattern is valid.
enum class StopReason : std::uint8_t {
    kTooLong,  // a match took more steps than allowed: the pattern backtracks without end on it
    kFailed,   // anything else (no memory, a match that ends before it starts)
};

// A checked pattern and replacement, ready to replace in one name after another. Not to be shared
// between threads: it keeps the room its matches use.
class Replacer {
public:
    ~Replacer();
    Replacer(const Replacer&) = delete;
    Replacer& operator=(const Replacer&) = delete;

    enum class Result {
        kUnchanged,  // no match
        kReplaced,   // out holds the name with every match replaced
        kStopped,    // the engine gave up on the name (a pattern that runs away): see Stop
    };
    // name and out in UTF-8; a name that is not valid UTF-8 is matched around its bad bytes.
    Result Replace(std::string_view name, std::string& out);
    // Why the last kStopped stopped.
    StopReason Stop() const { return stop_; }

private:
    struct Engine;
    explicit Replacer(std::unique_ptr<Engine> engine);
    friend Prepared Prepare(std::string_view target, std::string_view replacement, bool caseSensitive);

    std::unique_ptr<Engine> engine_;
    StopReason stop_ = StopReason::kFailed;
};

struct Prepared {
    Check check;
    std::unique_ptr<Replacer> replacer;  // set when check found nothing
};

// Checks target and replacement (code page 932), in this order: an empty target, a pattern the
// engine refuses, a group the pattern lacks, a character no file name may hold in the replacement's
// own text (a group's text is not checked here).
Prepared Prepare(std::string_view target, std::string_view replacement, bool caseSensitive);

struct Options {
    bool includeExtension = false;  // the extension is part of the text searched and replaced
};

// The files whose names the replacement changes, in list order: oldIndices[k] is the index in the
// old list of the file that gets newPaths[k].
struct Preview {
    std::vector<std::size_t> oldIndices;
    std::vector<std::string> newPaths;
    // Positions k whose new name no file can take: the processed part replaced by nothing, "." or
    // "..", no code page 932 form; and, should a group ever bring one in, a "/" or a NUL (a name
    // holds neither, so a group cannot today). Not to be tried.
    std::vector<std::size_t> unusable;
    // The engine gave up on a name: why, and the name's index in the old list. Nothing else is planned.
    struct Stopped {
        StopReason reason = StopReason::kFailed;
        std::size_t index = 0;
    };
    std::optional<Stopped> stopped;
    bool cancelled = false;  // the control said stop; nothing is planned
};

// For each full path: the name with every match in its processed part replaced, in the same
// folder. A file whose processed part is unchanged is left out; without includeExtension the
// extension (from the last ".") is neither searched nor changed. control is asked before each name, and
// each match runs apart from the lease (Apart): it reads only a copy of its name.
Preview PreviewRenames(std::span<const std::string> oldPaths, Replacer& replacer, const Options& options,
                       RunControl* control = nullptr);
inline Preview PreviewRenames(const std::vector<std::string>& oldPaths, Replacer& replacer,
                              const Options& options, RunControl* control = nullptr) {
    return PreviewRenames(std::span<const std::string>(oldPaths), replacer, options, control);
}

}  // namespace RegexRename

#pragma once

// The string rename: a target text (plain, or with one kind of wildcard) replaced by a replacement
// text in every file name. The checks of the two texts and the new names are pure; nothing here
// looks at the disk or renames anything.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace StringRename {

// Why the texts cannot start a run, in the order they are checked.
enum class Refusal {
    None,
    EmptyTarget,             // no target at all
    StarAlone,               // the target is "*" alone
    QuestionAlone,           // the target is "?" alone
    StarAndQuestion,         // both wildcards in one target
    SeveralStars,            // a second "*" after the first
    ForbiddenInReplacement,  // the replacement holds a character no file name may hold
};

struct Check {
    Refusal refusal = Refusal::None;
    std::string forbidden;  // the character found, for ForbiddenInReplacement
};

// The first reason, if any, why target and replacement cannot be used. The target itself may hold
// any character; the replacement may be empty.
Check CheckInputs(std::string_view target, std::string_view replacement);

struct Options {
    bool includeExtension = false;  // the extension is part of the text searched and replaced
    bool caseSensitive = false;     // the target is found only in the letter case written
};

// The files that the replacement changes, in list order: oldIndices[k] is the index in the old
// list of the file that gets newPaths[k].
struct Preview {
    std::vector<std::size_t> oldIndices;
    std::vector<std::string> newPaths;
};

// For each full path: the replaced name in the same folder. A file is kept only when the replaced
// part differs from what it was and is not empty; without includeExtension the extension (from the
// last ".") is left out of the search and kept as it is.
Preview PreviewRenames(std::span<const std::string> oldPaths, std::string_view target,
                       std::string_view replacement, const Options& options);
inline Preview PreviewRenames(const std::vector<std::string>& oldPaths, std::string_view target,
                              std::string_view replacement, const Options& options) {
    return PreviewRenames(std::span<const std::string>(oldPaths), target, replacement, options);
}

// Copies of the entries of list at the given ascending indices, in order.
std::vector<std::string> PickEntries(const std::vector<std::string>& list,
                                     const std::vector<std::size_t>& indices);

}  // namespace StringRename

#pragma once

// Find and replace with the wildcards of the string rename, and the forbidden-character check of
// composed names. All texts are code page 932 byte strings; a double-byte character is never
// split. The functions never fail: no match gives the text back unchanged.

#include <cstdint>
#include <string>
#include <string_view>

namespace Strfunc {

// Replaces, left to right, every occurrence of first (second empty), or every span from an
// occurrence of first through the first occurrence of second after it (second given). Replaced
// text is never searched again.
std::string StrReplaceEach(std::string_view text, std::string_view first, std::string_view second,
                           std::string_view replacement, bool ignoreCase);

// Pattern with one `*` (only the first counts): 'X*' replaces from the first X to the end, '*Y'
// from the start through the first Y, 'X*Y' every span from an X through the next Y.
std::string StarReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                        bool ignoreCase);

// Pattern with `?`, each standing for exactly one byte (a double-byte character takes two).
// Replaces the leftmost match only; a pattern that also holds `*` matches nothing.
std::string QuestionReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase);

// The string rename's replace: plain (every occurrence), `*` or `?` pattern. A pattern that is
// `*` or `?` alone, or empty, leaves the text unchanged.
std::string WildcardReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase);

// WildcardReplace with one pattern over many texts: the pattern is read and folded once.
class WildcardReplacer {
public:
    WildcardReplacer(std::string_view pattern, std::string_view replacement, bool ignoreCase);
    std::string operator()(std::string_view text) const;

private:
    enum class Shape : std::uint8_t { kUnchanged, kQuestion, kStar, kEach };
    Shape shape_ = Shape::kUnchanged;
    std::string first_;   // folded: the pattern, or its part before the `*`
    std::string second_;  // folded: the part after the `*`
    std::string replacement_;
    bool ignoreCase_ = false;
};

// The first of \ / : * ? " < > | (tried in this order) that occurs in text as a character of its
// own, or empty when none does.
std::string FindForbiddenChar(std::string_view text);

}  // namespace Strfunc

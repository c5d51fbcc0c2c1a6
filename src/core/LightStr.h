#pragma once

// Small string primitives on code page 932 byte strings: the position search that every
// wildcard function rests on, and the cut-at-delimiter helpers. Offsets count bytes from 0.

#include <cstddef>
#include <string>
#include <string_view>

namespace LightStr {

constexpr std::size_t npos = std::string_view::npos;

// Byte offset of the first occurrence of `what` in `text` at or after `from`, byte for byte.
// A match never starts on the second byte of a double-byte character of `text`, and never ends
// between the two bytes of one (which only a `what` ending in a lone lead byte could do).
// `from` must be a character boundary of `text`. npos when not found or when either is empty.
std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from = 0);

// The position search: FindFrom over the whole text, with letters folded to upper case on both
// sides first when ignoreCase is set.
std::size_t StrPos(std::string_view text, std::string_view what, bool ignoreCase);

// The last n bytes of text (all of it when n is not less than its length).
std::string StrRight(std::string_view text, std::size_t n);

// The text before the first occurrence of delimiter; the whole text when it does not occur.
std::string StrBefore(std::string_view text, std::string_view delimiter, bool ignoreCase);

// The text after the first occurrence of delimiter; empty when it does not occur.
std::string StrAfter(std::string_view text, std::string_view delimiter, bool ignoreCase);

}  // namespace LightStr

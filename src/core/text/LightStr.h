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

// Control characters and the space: the blanks that trimming removes unless told otherwise.
constexpr std::string_view kBlanks =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10"
    "\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\x20";

// The text without the given blanks at either end. No blank is ever a trail byte (those begin at
// 0x40), so no character is cut.
std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks);

// The last n bytes of text (all of it when n is not less than its length).
std::string StrRight(std::string_view text, std::size_t n);

// The text before the first occurrence of delimiter; the whole text when it does not occur.
std::string StrBefore(std::string_view text, std::string_view delimiter, bool ignoreCase);

// The text after the first occurrence of delimiter; empty when it does not occur.
std::string StrAfter(std::string_view text, std::string_view delimiter, bool ignoreCase);

}  // namespace LightStr

#pragma once

// The program's text model: every text it reasons about is a byte string in code page 932
// (Shift-JIS with the vendor extensions). Positions and lengths count bytes. Text enters and
// leaves this form only through the codec below (file system, Qt and settings file all speak
// UTF-8), which is lossless: characters that code page 932 lacks, and bytes that are not valid
// UTF-8, get stand-in codes from the user-defined area 0xF040-0xF9FC for the life of the process:
// one double-byte code each while single codes last, then a pair of two codes (which the text
// functions see as two characters).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Cp932 {

// 0x81-0x9F and 0xE0-0xFC lead a double-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsLeadByte(char c) {
    return IsLeadByte(static_cast<unsigned char>(c));
}

// Length in bytes of the character that starts at pos: 2 for a lead byte with a byte after it,
// else 1. pos must be inside text.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

// True when pos is the second byte of a double-byte character (scanning from the start).
bool IsTrailByteAt(std::string_view text, std::size_t pos);

// UTF-8 (file names, Qt, settings file) to code page 932. Fails only when a stand-in is needed
// and all kStandInCapacity are taken; ToUtf8 of the result gives the input back byte for byte.
std::optional<std::string> FromUtf8(std::string_view utf8);

// Code page 932 to UTF-8, the exact inverse of FromUtf8. Fails on a byte sequence that no
// character or stand-in maps to (an unassigned code, a lead byte at the end).
std::optional<std::string> ToUtf8(std::string_view text);
// The same into out, whose room is kept for the next call: for loops over many paths. False on
// failure, out then unspecified.
bool ToUtf8(std::string_view text, std::string& out);

// Whether text is ASCII alone: bytes both forms share as they are, so it needs no conversion
// either way.
bool IsAscii(std::string_view text);

// As ToUtf8, with U+FFFD for what cannot be mapped: for display only, never for a path.
std::string ToUtf8Lossy(std::string_view text);

// Standard decoding of a legacy code page 932 file (no stand-in meaning; the user-defined area
// maps to the private-use characters U+E000-U+E757 as usual). Bytes that do not decode are
// kept as they are, so FromUtf8 of the result keeps them too.
std::string LegacyToUtf8(std::string_view text);

// The length of the well-formed UTF-8 character at pos of text, 0 when none starts there.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Letter case by Unicode's one-to-one case mapping, applied only where the result keeps the
// character's length: ASCII letters, full-width Latin, Greek, Cyrillic, Roman numerals and
// characters held by stand-ins. Lengths never change.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
void UpperInPlace(std::string& text);
void LowerInPlace(std::string& text);

// The one order of every sort: bytes compared with letters folded to lower case, ties broken by
// the raw bytes, so the order is total. Returns <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool LessNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) < 0;
}
// True when ToLower(a) == ToLower(b), without building either.
bool EqualNoCase(std::string_view a, std::string_view b);
// Sorts by that order; stable for equal texts.
void SortNoCase(std::vector<std::string>& texts);

// How many stand-ins are taken (for tests and diagnostics): the first kSingleStandIns are single
// codes, the others pairs of a first and a second code, kPairHalf of each kind.
std::size_t StandInsInUse();
constexpr std::size_t kSingleStandIns = std::size_t{6} * 188;  // six leads of 188 codes
constexpr std::size_t kPairHalf = std::size_t{2} * 188;
constexpr std::size_t kStandInCapacity = kSingleStandIns + kPairHalf * kPairHalf;

}  // namespace Cp932

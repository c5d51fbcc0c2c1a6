#pragma once

// Half-width ⇄ full-width conversion of Japanese text in code page 932: ASCII letters, digits and
// symbols, and katakana with their sound marks. Both functions take any byte sequence (a lead
// byte at the very end stands alone) and never split a double-byte character.

#include <string>
#include <string_view>

namespace HenkanJ {

// ASCII letters, digits and symbols, half-width punctuation and half-width katakana to full
// width. A kana followed by a sound mark it can take becomes the voiced or semi-voiced kana
// (ｶﾞ → ガ, ﾊﾟ → パ); any other sound mark after a kana becomes the full-width mark (ｳﾞ → ウ゛).
// Double-byte characters are copied unchanged.
std::string ToFullWidth(std::string_view text);

// Full-width digits, Latin letters and symbols to ASCII, full-width katakana and hiragana to
// half-width katakana, voiced kana as two bytes (ガ → ｶﾞ, が → ｶﾞ). Everything else, kanji and
// the full-width sound marks included, is copied unchanged.
std::string ToHalfWidth(std::string_view text);

}  // namespace HenkanJ

#pragma once

// Text helper of the digit alignment.

#include <string>
#include <string_view>

namespace HTMLfunc {

// The text without its trailing run of ASCII digits ("img001" → "img", "2020" → ""). Only bytes
// 0x30-0x39 count, and no second byte of a double-byte character lies in that range.
std::string StripTrailingDigits(std::string_view text);

}  // namespace HTMLfunc

#pragma once

// The drop-down histories of the input fields: most recent first, entries compared byte for byte
// (letter case counts).

#include <cstddef>
#include <string>
#include <vector>

namespace InputHistory {

// Puts text at the top of an unlimited history: a new text is inserted, an entry equal to it moves
// up. Returns false (and changes nothing) for an empty text.
bool AddToHistory(std::vector<std::string>& history, const std::string& text);

// The same for a history of at most limit entries: a new text pushes the oldest out.
bool AddToLimitedHistory(std::vector<std::string>& history, const std::string& text, std::size_t limit);

}  // namespace InputHistory

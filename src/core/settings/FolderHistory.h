#pragma once

// The five-slot folder history and the walk to the next sibling folder. Slot 1 (index 0) is the
// newest; texts are folder texts without trailing "/" ("/" for the root), compared exactly.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace FolderHistory {

constexpr int kSlotCount = 5;
using Slots = std::array<std::string, kSlotCount>;

// Puts folder into slot 1, moving the others down and dropping slot 5, unless some slot already
// holds it (then the order stays). Returns true when the slots changed.
bool Record(Slots& slots, const std::string& folder);

// Deletes slot number (1..5): the slots after it move up, slot 5 becomes empty. Returns false and
// changes nothing for any other number.
bool DeleteSlot(Slots& slots, int number);

// Empties every slot.
void Clear(Slots& slots);

// True when at least one slot holds a folder.
bool HasAny(const Slots& slots);

// The answer of the "which slot" input box read as a decimal integer (leading blanks and a sign
// allowed, nothing after the digits); nullopt when it is no such number.
std::optional<int> ParseSlotNumber(std::string_view answer);

// The folder after folder among its sorted siblings (full paths without trailing "/"); nullopt
// when folder is not among them (exact comparison) or is the last.
std::optional<std::string> NextAfter(const std::vector<std::string>& sortedSiblings, std::string_view folder);

// The next sibling folder of folder (given without trailing "/") on disk: the folders directly in
// its parent, hidden folders excluded, in the program's sort order.
std::optional<std::string> NextSiblingFolder(std::string_view folder);

}  // namespace FolderHistory

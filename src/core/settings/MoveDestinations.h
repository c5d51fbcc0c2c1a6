#pragma once

// The three remembered destinations of the move after renaming. Slot 1 is the newest; each slot
// holds a folder text with a trailing "/" or is empty. Texts are compared exactly.

#include <array>
#include <string>
#include <string_view>

namespace MoveDestinations {

constexpr int kSlotCount = 3;

class History {
public:
    using Slots = std::array<std::string, kSlotCount>;

    // number 1..3.
    const std::string& Slot(int number) const;
    const Slots& All() const { return slots_; }
    // Loading from the settings file: the text as stored.
    void SetSlot(int number, std::string folder);

    // Puts the folder (trimmed of blanks) into slot 1, moving the others down and dropping slot 3,
    // unless some slot already holds exactly that text. Returns true when the slots changed.
    bool Add(std::string_view folder);
    // Removes slot number: the slots after it move up and slot 3 becomes empty. Returns false and
    // changes nothing for a number outside 1..3.
    bool Unregister(int number);
    void Clear();

    friend bool operator==(const History&, const History&) = default;

private:
    Slots slots_;
};

// The leading whole number of an answer: leading blanks and a sign are allowed and text after the
// digits is ignored; an empty or non-numeric answer (and one too large for an int) gives 0.
int LeadingNumber(std::string_view answer);

}  // namespace MoveDestinations

#include "core/settings/MoveDestinations.h"

#include <cassert>
#include <charconv>

#include "core/text/LightStr.h"

namespace MoveDestinations {
namespace {

std::size_t IndexOf(int number) {
    assert(number >= 1 && number <= kSlotCount);
    return static_cast<std::size_t>(number - 1);
}

}  // namespace

const std::string& History::Slot(int number) const {
    return slots_[IndexOf(number)];
}

void History::SetSlot(int number, std::string folder) {
    slots_[IndexOf(number)] = std::move(folder);
}

bool History::Add(std::string_view folder) {
    const std::string_view text = LightStr::Trim(folder);
    for (const std::string& slot : slots_) {
        if (slot == text) return false;
    }
    for (std::size_t i = slots_.size() - 1; i > 0; --i)
        slots_[i] = std::move(slots_[i - 1]);
    slots_[0] = std::string(text);
    return true;
}

bool History::Unregister(int number) {
    if (number < 1 || number > kSlotCount) return false;
    for (std::size_t i = IndexOf(number); i + 1 < slots_.size(); ++i)
        slots_[i] = std::move(slots_[i + 1]);
    slots_.back().clear();
    return true;
}

void History::Clear() {
    for (std::string& slot : slots_)
        slot.clear();
}

int LeadingNumber(std::string_view answer) {
    std::size_t pos = answer.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return 0;
    bool negative = false;
    if (answer[pos] == '+' || answer[pos] == '-') {
        negative = answer[pos] == '-';
        ++pos;
    }
    const char* first = answer.data() + pos;
    const char* last = answer.data() + answer.size();
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end == first || value > 2147483647U) return 0;
    return negative ? -static_cast<int>(value) : static_cast<int>(value);
}

}  // namespace MoveDestinations

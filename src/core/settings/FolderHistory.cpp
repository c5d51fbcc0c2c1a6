#include "core/settings/FolderHistory.h"

#include <algorithm>
#include <charconv>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace FolderHistory {

bool Record(Slots& slots, const std::string& folder) {
    if (std::find(slots.begin(), slots.end(), folder) != slots.end()) return false;
    std::move_backward(slots.begin(), slots.end() - 1, slots.end());
    slots.front() = folder;
    return true;
}

bool DeleteSlot(Slots& slots, int number) {
    if (number < 1 || number > kSlotCount) return false;
    std::move(slots.begin() + number, slots.end(), slots.begin() + number - 1);
    slots.back().clear();
    return true;
}

void Clear(Slots& slots) {
    for (std::string& slot : slots)
        slot.clear();
}

bool HasAny(const Slots& slots) {
    return std::any_of(slots.begin(), slots.end(), [](const std::string& s) { return !s.empty(); });
}

std::optional<int> ParseSlotNumber(std::string_view answer) {
    while (!answer.empty() && (answer.front() == ' ' || answer.front() == '\t'))
        answer.remove_prefix(1);
    if (!answer.empty() && answer.front() == '+') {
        answer.remove_prefix(1);
        if (!answer.empty() && answer.front() == '-') return std::nullopt;
    }
    int value = 0;
    const char* end = answer.data() + answer.size();
    const auto [ptr, ec] = std::from_chars(answer.data(), end, value, 10);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<std::string> NextAfter(const std::vector<std::string>& sortedSiblings,
                                     std::string_view folder) {
    const auto it = std::find_if(
        sortedSiblings.begin(), sortedSiblings.end(),
        [&](const std::string& sibling) { return MyFileOperation::RemoveBackslash(sibling) == folder; });
    if (it == sortedSiblings.end() || std::next(it) == sortedSiblings.end()) return std::nullopt;
    return *std::next(it);
}

std::optional<std::string> NextSiblingFolder(std::string_view folder) {
    std::vector<std::string> siblings;
    MyFileOperation::EnumFolder(MyFileOperation::ParentFolder(folder), siblings, MyFileOperation::kFolders);
    Cp932::SortNoCase(siblings);
    return NextAfter(siblings, folder);
}

}  // namespace FolderHistory

#include "core/settings/InputHistory.h"

#include <algorithm>

namespace InputHistory {

bool AddToHistory(std::vector<std::string>& history, const std::string& text) {
    if (text.empty()) return false;
    const auto found = std::find(history.begin(), history.end(), text);
    if (found == history.end()) {
        history.insert(history.begin(), text);
    } else {
        // Entries above it move down by one; the top entry stays where it is.
        std::rotate(history.begin(), found, found + 1);
    }
    return true;
}

bool AddToLimitedHistory(std::vector<std::string>& history, const std::string& text, std::size_t limit) {
    if (!AddToHistory(history, text)) return false;
    if (history.size() > limit) history.resize(limit);
    return true;
}

}  // namespace InputHistory

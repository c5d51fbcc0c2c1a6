#include "core/text/LightStr.h"

#include "core/text/Cp932.h"

#include <cassert>

namespace LightStr {

namespace {

// True when the last character of text is a lead byte standing alone at its end: a match of
// such a text inside a longer one would end between the two bytes of a character.
bool EndsInLoneLeadByte(std::string_view text) {
    std::size_t i = 0;
    std::size_t last = 0;
    while (i < text.size()) {
        last = i;
        i += Cp932::CharLength(text, i);
    }
    return !text.empty() && Cp932::IsLeadByte(text[last]) && last + 1 == text.size();
}

}  // namespace

std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from) {
    if (text.empty() || what.empty() || from >= text.size()) return npos;
    assert(!Cp932::IsTrailByteAt(text, from));
    const bool endsInLead = EndsInLoneLeadByte(what);
    const char first = what.front();
    for (std::size_t pos = from; pos + what.size() <= text.size(); pos += Cp932::CharLength(text, pos)) {
        if (text[pos] != first || text.compare(pos, what.size(), what) != 0) continue;
        if (endsInLead && pos + what.size() != text.size()) continue;
        return pos;
    }
    return npos;
}

std::size_t StrPos(std::string_view text, std::string_view what, bool ignoreCase) {
    if (!ignoreCase) return FindFrom(text, what);
    return FindFrom(Cp932::ToUpper(text), Cp932::ToUpper(what));
}

std::string StrRight(std::string_view text, std::size_t n) {
    if (n >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - n));
}

std::string StrBefore(std::string_view text, std::string_view delimiter, bool ignoreCase) {
    const std::size_t pos = StrPos(text, delimiter, ignoreCase);
    if (pos == npos) return std::string(text);
    return std::string(text.substr(0, pos));
}

std::string StrAfter(std::string_view text, std::string_view delimiter, bool ignoreCase) {
    const std::size_t pos = StrPos(text, delimiter, ignoreCase);
    if (pos == npos) return {};
    return std::string(text.substr(pos + delimiter.size()));
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace LightStr

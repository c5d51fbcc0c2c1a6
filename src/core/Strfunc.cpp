#include "core/Strfunc.h"

#include "core/Cp932.h"
#include "core/LightStr.h"

#include <vector>

namespace Strfunc {

namespace {

std::string Folded(std::string_view text, bool ignoreCase) {
    return ignoreCase ? Cp932::ToUpper(text) : std::string(text);
}

// isStart[i] is true when a character of text starts at byte i; isStart[size] is true too.
std::vector<bool> CharStarts(std::string_view text) {
    std::vector<bool> isStart(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += Cp932::CharLength(text, i))
        isStart[i] = true;
    isStart[text.size()] = true;
    return isStart;
}

// Whether pattern matches text at pos: `?` takes any one byte, every other character of the
// pattern must equal a whole character of the text, and the match must end on a character
// boundary, so that neither a literal nor the replaced span cuts a double-byte character.
bool QuestionMatchAt(std::string_view text, std::string_view pattern, std::size_t pos,
                     const std::vector<bool>& isStart) {
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '?') {
            ++i;
            continue;
        }
        const std::size_t len = Cp932::CharLength(pattern, i);
        if (!isStart[pos + i] || text.compare(pos + i, len, pattern.substr(i, len)) != 0) return false;
        i += len;
    }
    return isStart[pos + pattern.size()];
}

}  // namespace

std::string StrReplaceEach(std::string_view text, std::string_view first, std::string_view second,
                           std::string_view replacement, bool ignoreCase) {
    const std::string foldedText = Folded(text, ignoreCase);
    const std::string foldedFirst = Folded(first, ignoreCase);
    const std::string foldedSecond = Folded(second, ignoreCase);

    std::string result;
    std::size_t done = 0;  // text before this offset is already in result
    while (true) {
        const std::size_t a = LightStr::FindFrom(foldedText, foldedFirst, done);
        if (a == LightStr::npos) break;
        std::size_t spanEnd = a + first.size();
        if (!second.empty()) {
            // The closing text is looked for after the opening one, so the two never overlap.
            const std::size_t b = LightStr::FindFrom(foldedText, foldedSecond, spanEnd);
            if (b == LightStr::npos) break;
            spanEnd = b + second.size();
        }
        result.append(text.substr(done, a - done));
        result.append(replacement);
        done = spanEnd;
    }
    result.append(text.substr(done));
    return result;
}

std::string StarReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                        bool ignoreCase) {
    const std::size_t star = pattern.find('*');  // 0x2A is never the second byte of a character
    if (star == std::string_view::npos) return std::string(text);
    const std::string_view before = pattern.substr(0, star);
    const std::string_view after = pattern.substr(star + 1);

    if (star == 0) {
        const std::size_t pos = LightStr::StrPos(text, after, ignoreCase);
        if (pos == LightStr::npos) return std::string(text);
        std::string result(replacement);
        result.append(text.substr(pos + after.size()));
        return result;
    }
    if (star + 1 == pattern.size()) {
        const std::size_t pos = LightStr::StrPos(text, before, ignoreCase);
        if (pos == LightStr::npos) return std::string(text);
        std::string result(text.substr(0, pos));
        result.append(replacement);
        return result;
    }
    return StrReplaceEach(text, before, after, replacement, ignoreCase);
}

std::string QuestionReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase) {
    if (pattern.empty() || pattern.find('*') != std::string_view::npos || pattern.size() > text.size()) {
        return std::string(text);
    }
    const std::string foldedText = ignoreCase ? Cp932::ToLower(text) : std::string(text);
    const std::string foldedPattern = ignoreCase ? Cp932::ToLower(pattern) : std::string(pattern);
    const std::vector<bool> isStart = CharStarts(text);

    for (std::size_t pos = 0; pos + pattern.size() <= text.size(); pos += Cp932::CharLength(text, pos)) {
        if (!QuestionMatchAt(foldedText, foldedPattern, pos, isStart)) continue;
        std::string result(text.substr(0, pos));
        result.append(replacement);
        result.append(text.substr(pos + pattern.size()));
        return result;
    }
    return std::string(text);
}

std::string WildcardReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase) {
    if (pattern == "*" || pattern == "?") return std::string(text);
    const bool hasStar = pattern.find('*') != std::string_view::npos;
    const bool hasQuestion = pattern.find('?') != std::string_view::npos;
    if (hasQuestion) return QuestionReplace(text, pattern, replacement, ignoreCase);
    if (hasStar) return StarReplace(text, pattern, replacement, ignoreCase);
    return StrReplaceEach(text, pattern, {}, replacement, ignoreCase);
}

std::string FindForbiddenChar(std::string_view text) {
    // 0x5C and 0x7C also occur as second bytes of double-byte characters; those do not count.
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    for (const char c : kForbidden) {
        if (LightStr::FindFrom(text, std::string_view(&c, 1)) != LightStr::npos) return {c};
    }
    return {};
}

}  // namespace Strfunc

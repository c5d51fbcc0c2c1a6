#include "core/text/Strfunc.h"

#include "core/text/Cp932.h"
#include "core/text/LightStr.h"

#include <vector>

namespace Strfunc {

namespace {

std::string Upper(std::string_view text, bool ignoreCase) {
    return ignoreCase ? Cp932::ToUpper(text) : std::string(text);
}

std::string Lower(std::string_view text, bool ignoreCase) {
    return ignoreCase ? Cp932::ToLower(text) : std::string(text);
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

// The replaces below take their texts folded as the public functions fold them (folding keeps
// every length): text itself, and folded, the text as searched.

std::string ReplaceEach(std::string_view text, std::string_view folded, std::string_view first,
                        std::string_view second, std::string_view replacement) {
    std::string result;
    std::size_t done = 0;  // text before this offset is already in result
    while (true) {
        const std::size_t a = LightStr::FindFrom(folded, first, done);
        if (a == LightStr::npos) break;
        std::size_t spanEnd = a + first.size();
        if (!second.empty()) {
            // The closing text is looked for after the opening one, so the two never overlap.
            const std::size_t b = LightStr::FindFrom(folded, second, spanEnd);
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

// before and after: the pattern's parts around its `*`.
std::string ReplaceStar(std::string_view text, std::string_view folded, std::string_view before,
                        std::string_view after, std::string_view replacement) {
    if (before.empty()) {
        const std::size_t pos = LightStr::FindFrom(folded, after);
        if (pos == LightStr::npos) return std::string(text);
        std::string result(replacement);
        result.append(text.substr(pos + after.size()));
        return result;
    }
    if (after.empty()) {
        const std::size_t pos = LightStr::FindFrom(folded, before);
        if (pos == LightStr::npos) return std::string(text);
        std::string result(text.substr(0, pos));
        result.append(replacement);
        return result;
    }
    return ReplaceEach(text, folded, before, after, replacement);
}

std::string ReplaceQuestion(std::string_view text, std::string_view folded, std::string_view pattern,
                            std::string_view replacement) {
    if (pattern.size() > text.size()) return std::string(text);
    const std::vector<bool> isStart = CharStarts(text);
    for (std::size_t pos = 0; pos + pattern.size() <= text.size(); pos += Cp932::CharLength(text, pos)) {
        if (!QuestionMatchAt(folded, pattern, pos, isStart)) continue;
        std::string result(text.substr(0, pos));
        result.append(replacement);
        result.append(text.substr(pos + pattern.size()));
        return result;
    }
    return std::string(text);
}

}  // namespace

std::string StrReplaceEach(std::string_view text, std::string_view first, std::string_view second,
                           std::string_view replacement, bool ignoreCase) {
    return ReplaceEach(text, Upper(text, ignoreCase), Upper(first, ignoreCase), Upper(second, ignoreCase),
                       replacement);
}

std::string StarReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                        bool ignoreCase) {
    const std::size_t star = pattern.find('*');  // 0x2A is never the second byte of a character
    if (star == std::string_view::npos) return std::string(text);
    return ReplaceStar(text, Upper(text, ignoreCase), Upper(pattern.substr(0, star), ignoreCase),
                       Upper(pattern.substr(star + 1), ignoreCase), replacement);
}

std::string QuestionReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase) {
    if (pattern.empty() || pattern.find('*') != std::string_view::npos) return std::string(text);
    return ReplaceQuestion(text, Lower(text, ignoreCase), Lower(pattern, ignoreCase), replacement);
}

std::string WildcardReplace(std::string_view text, std::string_view pattern, std::string_view replacement,
                            bool ignoreCase) {
    return WildcardReplacer(pattern, replacement, ignoreCase)(text);
}

WildcardReplacer::WildcardReplacer(std::string_view pattern, std::string_view replacement, bool ignoreCase)
    : replacement_(replacement), ignoreCase_(ignoreCase) {
    const std::size_t star = pattern.find('*');
    if (pattern.empty() || pattern == "*" || pattern == "?") return;  // kUnchanged
    if (pattern.find('?') != std::string_view::npos) {
        // A `?` pattern that also holds `*` matches nothing.
        if (star != std::string_view::npos) return;
        shape_ = Shape::kQuestion;
        first_ = Lower(pattern, ignoreCase);
    } else if (star != std::string_view::npos) {
        shape_ = Shape::kStar;
        first_ = Upper(pattern.substr(0, star), ignoreCase);
        second_ = Upper(pattern.substr(star + 1), ignoreCase);
    } else {
        shape_ = Shape::kEach;
        first_ = Upper(pattern, ignoreCase);
    }
}

std::string WildcardReplacer::operator()(std::string_view text) const {
    // The text as searched: folded the way the pattern was.
    std::string storage;
    if (ignoreCase_ && shape_ != Shape::kUnchanged)
        storage = shape_ == Shape::kQuestion ? Cp932::ToLower(text) : Cp932::ToUpper(text);
    const std::string_view folded = ignoreCase_ ? std::string_view(storage) : text;
    switch (shape_) {
        case Shape::kUnchanged:
            break;
        case Shape::kQuestion:
            return ReplaceQuestion(text, folded, first_, replacement_);
        case Shape::kStar:
            return ReplaceStar(text, folded, first_, second_, replacement_);
        case Shape::kEach:
            return ReplaceEach(text, folded, first_, {}, replacement_);
    }
    return std::string(text);
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

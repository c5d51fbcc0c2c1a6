#include "core/names/RegexRename.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <charconv>
#include <cstdint>
#include <utility>

#include "core/list/MyFileOperation.h"
#include "core/run/PlanLists.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"
#include "core/text/Strfunc.h"

namespace RegexRename {
namespace {

// Steps a match may take before the engine gives up on it. Far above what any pattern needs for a
// name of a few hundred characters; a pattern that backtracks without end reaches it in milliseconds.
constexpr std::uint32_t kMatchLimit = 1'000'000;
// The JIT's stack: room for deeply nested patterns, still bounded.
constexpr PCRE2_SIZE kJitStackStart = PCRE2_SIZE{32} * 1024;
constexpr PCRE2_SIZE kJitStackMax = PCRE2_SIZE{1024} * 1024;

// Why the engine gave up on a name.
StopReason StopReasonOf(int code) {
    switch (code) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_JIT_STACKLIMIT:
            return StopReason::kTooLong;
        default:
            return StopReason::kFailed;
    }
}

// The kind of a compile error, for a message of our own: the engine's texts are English and some
// name its internal options.
PatternError PatternErrorOf(int code) {
    switch (code) {
        case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
        case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
        case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
        case PCRE2_ERROR_MISSING_COMMENT_CLOSING:
        case PCRE2_ERROR_MISSING_CONDITION_CLOSING:
        case PCRE2_ERROR_MISSING_CALLOUT_CLOSING:
        case PCRE2_ERROR_PARENS_QUERY_R_MISSING_CLOSING:
        case PCRE2_ERROR_MISSING_NAME_TERMINATOR:
            return PatternError::kParentheses;
        case PCRE2_ERROR_END_BACKSLASH:
        case PCRE2_ERROR_END_BACKSLASH_C:  // a lower-case \c
        case PCRE2_ERROR_UNKNOWN_ESCAPE:
        case PCRE2_ERROR_ESCAPE_INVALID_IN_CLASS:
        case PCRE2_ERROR_UNSUPPORTED_ESCAPE_SEQUENCE:
        case PCRE2_ERROR_ESCAPE_INVALID_IN_VERB:
        case PCRE2_ERROR_BACKSLASH_O_MISSING_BRACE:
        case PCRE2_ERROR_BACKSLASH_G_SYNTAX:
        case PCRE2_ERROR_BACKSLASH_C_SYNTAX:
        case PCRE2_ERROR_BACKSLASH_K_SYNTAX:
        case PCRE2_ERROR_BACKSLASH_N_IN_CLASS:
        case PCRE2_ERROR_BACKSLASH_U_CODE_POINT_TOO_BIG:
        case PCRE2_ERROR_MISSING_OCTAL_OR_HEX_DIGITS:
        case PCRE2_ERROR_INVALID_OCTAL:
        case PCRE2_ERROR_INVALID_HEXADECIMAL:
        case PCRE2_ERROR_OCTAL_BYTE_TOO_BIG:
        case PCRE2_ERROR_CODE_POINT_TOO_BIG:
        case PCRE2_ERROR_MALFORMED_UNICODE_PROPERTY:
        case PCRE2_ERROR_UNKNOWN_UNICODE_PROPERTY:
            return PatternError::kEscape;
        case PCRE2_ERROR_BACKSLASH_C_CALLER_DISABLED:
        case PCRE2_ERROR_BACKSLASH_C_LIBRARY_DISABLED:
        case PCRE2_ERROR_LOOKBEHIND_INVALID_BACKSLASH_C:
            return PatternError::kSingleByte;
        case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
        case PCRE2_ERROR_QUANTIFIER_TOO_BIG:
        case PCRE2_ERROR_QUANTIFIER_INVALID:
            return PatternError::kQuantifier;
        case PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH:
        case PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED:
        case PCRE2_ERROR_LOOKBEHIND_TOO_LONG:
            return PatternError::kLookbehind;
        case PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP:
        case PCRE2_ERROR_PARENTHESES_STACK_CHECK:
        case PCRE2_ERROR_PATTERN_TOO_LARGE:
        case PCRE2_ERROR_PATTERN_TOO_COMPLICATED:
        case PCRE2_ERROR_PATTERN_STRING_TOO_LONG:
        case PCRE2_ERROR_HEAP_FAILED:
        case PCRE2_ERROR_TOO_MANY_CAPTURES:
        case PCRE2_ERROR_TOO_MANY_NAMED_SUBPATTERNS:
        case PCRE2_ERROR_QUERY_BARJX_NEST_TOO_DEEP:
        case PCRE2_ERROR_INTERNAL_CODE_OVERFLOW:
        case PCRE2_ERROR_INTERNAL_OVERRAN_WORKSPACE:
        case PCRE2_ERROR_INTERNAL_PARSED_OVERFLOW:
            return PatternError::kTooComplex;
        default:
            return PatternError::kOther;
    }
}

// The 1-based character of a UTF-8 text at a byte offset.
std::size_t CharacterAt(std::string_view utf8, std::size_t offset) {
    std::size_t characters = 1;
    for (std::size_t i = 0; i < offset && i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++characters;
    }
    // The offset may point past the last character (a missing closing parenthesis).
    return characters;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

// One piece of a replacement: its own text, or a reference to a group.
struct Piece {
    bool reference = false;
    std::string text;     // its own text (code page 932), or the reference's number or name
    std::string written;  // a reference as written ("$1", "${year}")
};

// Reads a code page 932 replacement; "{" and "}" can be the second byte of a double-byte character,
// so the text is walked a character at a time.
std::vector<Piece> ParseReplacement(std::string_view text) {
    std::vector<Piece> pieces;
    const auto own = [&pieces](std::string_view part) {
        if (pieces.empty() || pieces.back().reference) pieces.emplace_back();
        pieces.back().text.append(part);
    };
    const auto reference = [&pieces, text](std::size_t from, std::size_t to, std::string_view ref) {
        pieces.push_back({true, std::string(ref), std::string(text.substr(from, to - from))});
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '$') {
            const std::size_t length = Cp932::CharLength(text, i);
            own(text.substr(i, length));
            i += length;
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        std::size_t end = i + 1;
        if (IsDigit(next) || IsNameStart(next)) {
            while (end < text.size() && (IsDigit(next) ? IsDigit(text[end]) : IsNameChar(text[end])))
                ++end;
            reference(i, end, text.substr(i + 1, end - i - 1));
            i = end;
            continue;
        }
        if (next == '{') {
            std::size_t close = i + 2;
            while (close < text.size() && text[close] != '}')
                close += Cp932::CharLength(text, close);
            if (close < text.size()) {
                reference(i, close + 1, text.substr(i + 2, close - i - 2));
                i = close + 1;
                continue;
            }
        }
        // "$$", or a "$" that starts no reference: a dollar sign.
        own("$");
        i += next == '$' ? 2 : 1;
    }
    return pieces;
}

// The groups a reference names, in number order (a name several groups share names them all);
// empty when the pattern has none of that number or name.
std::vector<std::uint32_t> GroupsOf(const pcre2_code* code, std::string_view reference) {
    if (reference.empty()) return {};
    if (IsDigit(reference.front())) {
        std::uint32_t groups = 0;
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
        std::uint32_t number = 0;
        const auto [end, error] =
            std::from_chars(reference.data(), reference.data() + reference.size(), number);
        if (error != std::errc() || end != reference.data() + reference.size() || number > groups) return {};
        return {number};
    }
    const std::optional<std::string> name = Cp932::ToUtf8(reference);
    if (!name) return {};
    PCRE2_SPTR first = nullptr;
    PCRE2_SPTR last = nullptr;
    if (pcre2_substring_nametable_scan(code, reinterpret_cast<PCRE2_SPTR>(name->c_str()), &first, &last) < 0)
        return {};
    std::uint32_t entrySize = 0;
    pcre2_pattern_info(code, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    std::vector<std::uint32_t> groups;
    // Each entry of the name table starts with its group's number in two bytes, high byte first.
    for (PCRE2_SPTR entry = first; entry <= last; entry += entrySize)
        groups.push_back(static_cast<std::uint32_t>(entry[0] << 8 | entry[1]));
    return groups;
}

}  // namespace

struct Replacer::Engine {
    // A piece of the replacement for the engine: its own text in UTF-8, or the groups a reference
    // names, of which the first that took part in the match gives its text.
    struct Part {
        std::string text;
        std::vector<std::uint32_t> groups;
    };

    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    pcre2_match_data* matches = nullptr;
    std::vector<Part> parts;

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() {
        pcre2_match_data_free(matches);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }

    // Appends the replacement for the match the ovector holds.
    void Expand(std::string_view name, const PCRE2_SIZE* ovector, std::string& out) const {
        for (const Part& part : parts) {
            out.append(part.text);
            for (const std::uint32_t group : part.groups) {
                const PCRE2_SIZE from = ovector[std::size_t{2} * group];
                const PCRE2_SIZE to = ovector[std::size_t{2} * group + 1];
                if (from == PCRE2_UNSET) continue;  // a group that took no part gives nothing
                if (from < to) out.append(name.substr(from, to - from));
                break;
            }
        }
    }
};

Replacer::Replacer(std::unique_ptr<Engine> engine) : engine_(std::move(engine)) {}
Replacer::~Replacer() = default;

// Every match, left to right: after an empty match the next may not be empty at the same place, and
// where none is, the search goes on a character further (as Perl's global replace does).
Replacer::Result Replacer::Replace(std::string_view name, std::string& out) {
    const Engine& e = *engine_;
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(name.data());
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(e.matches);
    out.clear();
    bool replaced = false;
    std::size_t copied = 0;  // the name up to here is in out
    std::size_t offset = 0;
    std::uint32_t options = 0;
    for (;;) {
        const int result = pcre2_match(e.code, subject, name.size(), offset, options, e.matches, e.context);
        if (result == PCRE2_ERROR_NOMATCH) {
            if (options == 0) break;
            // Nothing but the empty match here: a character further (invalid bytes one at a time).
            options = 0;
            ++offset;
            while (offset < name.size() && (static_cast<unsigned char>(name[offset]) & 0xC0) == 0x80)
                ++offset;
            continue;
        }
        // A match that ends before it starts (\K in a lookahead) cannot be replaced.
        const int failure = result < 0 ? result : ovector[0] > ovector[1] ? PCRE2_ERROR_BADSUBSPATTERN : 0;
        if (failure != 0) {
            stop_ = StopReasonOf(failure);
            out.clear();
            return Result::kStopped;
        }
        out.append(name.substr(copied, ovector[0] - copied));
        e.Expand(name, ovector, out);
        copied = ovector[1];
        replaced = true;
        offset = ovector[1];
        const bool empty = ovector[0] == ovector[1];
        if (empty && offset == name.size()) break;
        options = empty ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    }
    if (!replaced) return Result::kUnchanged;
    out.append(name.substr(copied));
    return Result::kReplaced;
}

Prepared Prepare(std::string_view target, std::string_view replacement, bool caseSensitive) {
    Prepared prepared;
    Check& check = prepared.check;
    const std::optional<std::string> pattern = Cp932::ToUtf8(target);
    if (target.empty() || !pattern) {
        check.refusal = Refusal::EmptyTarget;
        return prepared;
    }
    auto engine = std::make_unique<Replacer::Engine>();
    // Names are matched as Unicode text; bytes of a name that are not UTF-8 match nothing. \C would
    // match a single byte of a character and cut names into bytes that are no text.
    std::uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C;
    if (!caseSensitive) options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE offset = 0;
    engine->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern->data()), pattern->size(), options,
                                 &error, &offset, nullptr);
    if (engine->code == nullptr) {
        check = {Refusal::BadPattern, {}, PatternErrorOf(error), CharacterAt(*pattern, offset)};
        return prepared;
    }
    // Without a JIT the engine interprets the pattern: slower, the same results.
    pcre2_jit_compile(engine->code, PCRE2_JIT_COMPLETE);

    // Every reference must name a group; then the replacement's own text is checked (what a group
    // brings in is the name's own text).
    std::string own;
    for (Piece& piece : ParseReplacement(replacement)) {
        if (!piece.reference) {
            own += piece.text;
            engine->parts.push_back({std::move(piece.text), {}});
            continue;
        }
        std::vector<std::uint32_t> groups = GroupsOf(engine->code, piece.text);
        if (groups.empty()) {
            check = {Refusal::MissingGroup, piece.written};
            return prepared;
        }
        engine->parts.push_back({{}, std::move(groups)});
    }
    if (std::string forbidden = Strfunc::FindForbiddenChar(own); !forbidden.empty()) {
        check = {Refusal::ForbiddenInReplacement, std::move(forbidden)};
        return prepared;
    }
    // The engine works in UTF-8.
    for (Replacer::Engine::Part& part : engine->parts) {
        std::optional<std::string> text = Cp932::ToUtf8(part.text);
        if (!text) {
            check.refusal = Refusal::EmptyTarget;
            return prepared;
        }
        part.text = std::move(*text);
    }

    engine->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(engine->context, kMatchLimit);
    engine->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (engine->jitStack != nullptr) pcre2_jit_stack_assign(engine->context, nullptr, engine->jitStack);
    engine->matches = pcre2_match_data_create_from_pattern(engine->code, nullptr);
    prepared.replacer.reset(new Replacer(std::move(engine)));
    return prepared;
}

Preview PreviewRenames(std::span<const std::string> oldPaths, Replacer& replacer, const Options& options,
                       RunControl* control) {
    Preview preview;
    PlanLists::ReserveEach(oldPaths.size(), preview.oldIndices, preview.newPaths);
    std::string name;
    std::string replaced;
    for (std::size_t i = 0; i < oldPaths.size(); ++i) {
        if (StopAsked(control, i)) {
            Preview cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        // A listed path is a full path, so its folder part already ends in the delimiter.
        const auto [folder, fileName] = MyFileOperation::SplitAtLastDelimiter(oldPaths[i]);
        // Without the extension: up to the last "." (never a second byte), nothing of ".profile".
        const std::size_t dot = fileName.rfind('.');
        const std::string_view processed =
            options.includeExtension || dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
        const std::string_view ext = fileName.substr(processed.size());
        if (!Cp932::ToUtf8(processed, name)) continue;  // not a name the codec gave out
        // The match reads only this copy of the name: a caller who takes its list back need not
        // wait for a match that runs up to the engine's limit.
        Replacer::Result result = Replacer::Result::kUnchanged;
        if (!Apart(control, [&] { result = replacer.Replace(name, replaced); })) {
            Preview cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        switch (result) {
            case Replacer::Result::kUnchanged:
                continue;
            case Replacer::Result::kStopped: {
                Preview stopped;
                stopped.stopped = Preview::Stopped{replacer.Stop(), i};
                return stopped;
            }
            case Replacer::Result::kReplaced:
                break;
        }
        if (replaced == name) continue;
        const std::optional<std::string> back = Cp932::FromUtf8(replaced);
        const std::string_view newProcessed = back ? std::string_view(*back) : processed;
        std::string newPath;
        newPath.reserve(folder.size() + newProcessed.size() + ext.size());
        newPath.append(folder).append(newProcessed).append(ext);
        const std::string_view newName = std::string_view(newPath).substr(folder.size());
        const bool usable = back && !replaced.empty() &&
                            replaced.find_first_of(std::string_view("/\0", 2)) == std::string::npos &&
                            newName != "." && newName != "..";
        if (!usable) preview.unusable.push_back(preview.newPaths.size());
        preview.oldIndices.push_back(i);
        preview.newPaths.push_back(std::move(newPath));
    }
    return preview;
}

}  // namespace RegexRename

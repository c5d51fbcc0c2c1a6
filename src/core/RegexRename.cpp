#include "core/RegexRename.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <utility>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"
#include "core/RunControl.h"
#include "core/Strfunc.h"

namespace RegexRename {
namespace {

// Steps a match may take before the engine gives up on it. Far above what any pattern needs for a
// name of a few hundred characters; a pattern that backtracks without end reaches it in milliseconds.
constexpr std::uint32_t kMatchLimit = 1'000'000;
// The JIT's stack: room for deeply nested patterns, still bounded.
constexpr PCRE2_SIZE kJitStackStart = PCRE2_SIZE{32} * 1024;
constexpr PCRE2_SIZE kJitStackMax = PCRE2_SIZE{1024} * 1024;

std::string ErrorText(int code) {
    std::array<PCRE2_UCHAR, 256> text{};
    const int length = pcre2_get_error_message(code, text.data(), text.size());
    if (length < 0) return "error " + std::to_string(code);
    return {reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(length)};
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

// A replacement cut into its own text and its group references.
struct Template {
    std::string literal;                  // the replacement's own text, "$$" read as "$"
    std::string engineForm;               // the same for the engine: "$$" for "$", "${ref}" for a group
    std::vector<std::string> written;     // each reference as written ("$1", "${year}")
    std::vector<std::string> references;  // each reference's number or name
};

// Reads a code page 932 replacement; "{" and "}" can be the second byte of a double-byte character,
// so the text is walked a character at a time.
Template ParseReplacement(std::string_view text) {
    Template t;
    const auto reference = [&t, text](std::size_t from, std::size_t to, std::string_view ref) {
        t.written.emplace_back(text.substr(from, to - from));
        t.references.emplace_back(ref);
        t.engineForm.append("${").append(ref).append("}");
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '$') {
            const std::size_t length = Cp932::CharLength(text, i);
            t.literal.append(text.substr(i, length));
            t.engineForm.append(text.substr(i, length));
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
        t.literal += '$';
        t.engineForm += "$$";
        i += next == '$' ? 2 : 1;
    }
    return t;
}

bool HasGroup(const pcre2_code* code, std::string_view reference) {
    if (reference.empty()) return false;
    std::uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    if (IsDigit(reference.front())) {
        if (reference.size() > 9) return false;
        for (const char c : reference) {
            if (!IsDigit(c)) return false;
        }
        return std::stoul(std::string(reference)) <= groups;
    }
    const std::optional<std::string> name = Cp932::ToUtf8(reference);
    if (!name) return false;
    const int number = pcre2_substring_number_from_name(code, reinterpret_cast<PCRE2_SPTR>(name->c_str()));
    // A name that several groups share is still a name the pattern has.
    return number >= 0 || number == PCRE2_ERROR_NOUNIQUESUBSTRING;
}

}  // namespace

struct Replacer::Engine {
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    pcre2_match_data* matches = nullptr;
    std::string replacement;  // UTF-8, in the engine's form

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() {
        pcre2_match_data_free(matches);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
};

Replacer::Replacer(std::unique_ptr<Engine> engine) : engine_(std::move(engine)) {}
Replacer::~Replacer() = default;

Replacer::Result Replacer::Replace(std::string_view name, std::string& out) {
    constexpr std::uint32_t kOptions =
        PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_UNSET_EMPTY | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH;
    const Engine& e = *engine_;
    // Room for the usual result; a longer one is told by the engine and made room for.
    out.resize(std::max(out.capacity(), 2 * name.size() + e.replacement.size() + 64));
    int result = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = out.size();
        result = pcre2_substitute(e.code, reinterpret_cast<PCRE2_SPTR>(name.data()), name.size(), 0, kOptions,
                                  e.matches, e.context, reinterpret_cast<PCRE2_SPTR>(e.replacement.data()),
                                  e.replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (result == PCRE2_ERROR_NOMEMORY) {
            out.resize(length + 1);
            continue;
        }
        if (result >= 0) out.resize(length);
        break;
    }
    if (result < 0) {
        stopMessage_ = ErrorText(result);
        out.clear();
        return Result::kStopped;
    }
    return result == 0 ? Result::kUnchanged : Result::kReplaced;
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
    // Names are matched as Unicode text; bytes of a name that are not UTF-8 match nothing.
    std::uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
    if (!caseSensitive) options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE offset = 0;
    engine->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern->data()), pattern->size(), options,
                                 &error, &offset, nullptr);
    if (engine->code == nullptr) {
        check = {Refusal::BadPattern, ErrorText(error), CharacterAt(*pattern, offset)};
        return prepared;
    }
    // Without a JIT the engine interprets the pattern: slower, the same results.
    pcre2_jit_compile(engine->code, PCRE2_JIT_COMPLETE);

    const Template t = ParseReplacement(replacement);
    for (std::size_t i = 0; i < t.references.size(); ++i) {
        if (HasGroup(engine->code, t.references[i])) continue;
        check = {Refusal::MissingGroup, t.written[i], 0};
        return prepared;
    }
    if (std::string forbidden = Strfunc::FindForbiddenChar(t.literal); !forbidden.empty()) {
        check = {Refusal::ForbiddenInReplacement, std::move(forbidden), 0};
        return prepared;
    }
    std::optional<std::string> engineForm = Cp932::ToUtf8(t.engineForm);
    if (!engineForm) {
        check.refusal = Refusal::EmptyTarget;
        return prepared;
    }
    engine->replacement = std::move(*engineForm);

    engine->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(engine->context, kMatchLimit);
    engine->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (engine->jitStack != nullptr) pcre2_jit_stack_assign(engine->context, nullptr, engine->jitStack);
    engine->matches = pcre2_match_data_create_from_pattern(engine->code, nullptr);
    prepared.replacer.reset(new Replacer(std::move(engine)));
    return prepared;
}

Preview PreviewRenames(const std::vector<std::string>& oldPaths, Replacer& replacer, const Options& options,
                       RunControl* control) {
    Preview preview;
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
        const std::string_view processed =
            options.includeExtension ? fileName
                                     : fileName.substr(0, MyFileOperation::NameWithoutExt(fileName).size());
        const std::string_view ext = fileName.substr(processed.size());
        if (!Cp932::ToUtf8(processed, name)) continue;  // not a name the codec gave out
        switch (replacer.Replace(name, replaced)) {
            case Replacer::Result::kUnchanged:
                continue;
            case Replacer::Result::kStopped: {
                Preview stopped;
                stopped.stopped = replacer.StopMessage();
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

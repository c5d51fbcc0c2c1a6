#include "core/text/Language.h"

#include <string_view>

namespace Language {

namespace {

bool IsEnglish(std::string_view name) {
    return name.starts_with("en") && (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

bool IsJapanese(std::string_view name) {
    return name.starts_with("ja") && (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

// The C locale in any of its spellings, which gettext never translates under.
bool IsCLocale(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

std::string_view FirstSet(const Environment& env) {
    for (const auto* value : {&env.lcAll, &env.lcMessages, &env.lang})
        if (*value && !(*value)->empty()) return **value;
    return {};
}

}  // namespace

Spoken Choose(Choice choice, const Environment& env) {
    if (choice == Choice::Japanese) return Spoken::Japanese;
    if (choice == Choice::English) return Spoken::English;
    const std::string_view locale = FirstSet(env);
    if (IsCLocale(locale)) return Spoken::Japanese;
    std::string_view list = env.language ? std::string_view(*env.language) : std::string_view();
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        if (IsEnglish(entry)) return Spoken::English;
        if (IsJapanese(entry)) return Spoken::Japanese;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return IsEnglish(locale) ? Spoken::English : Spoken::Japanese;
}

Choice ChoiceFromNumber(int number) {
    switch (number) {
        case 1:
            return Choice::Japanese;
        case 2:
            return Choice::English;
        default:
            return Choice::Automatic;
    }
}

}  // namespace Language

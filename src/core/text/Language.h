#pragma once

// Which language the program speaks. Its texts are written in Japanese, the language it speaks
// unless asked otherwise; an English catalogue translates them.

#include <optional>
#include <string>

namespace Language {

enum class Spoken { Japanese, English };

// The choice on the settings page, as the settings file keeps it.
enum class Choice { Automatic = 0, Japanese = 1, English = 2 };

// The environment variables that name the user's language, as gettext reads them.
struct Environment {
    std::optional<std::string> language;    // LANGUAGE: a colon-separated list
    std::optional<std::string> lcAll;       // LC_ALL
    std::optional<std::string> lcMessages;  // LC_MESSAGES
    std::optional<std::string> lang;        // LANG
};

// The choice of the settings page first; Automatic follows the environment as gettext would:
// LANGUAGE is ignored under the C and POSIX locales, its first entry naming English or Japanese
// wins, else the locale of messages (LC_ALL, LC_MESSAGES, LANG, the first one set) decides.
// Anything without an English name falls back to Japanese.
Spoken Choose(Choice choice, const Environment& env);

// A number from the settings file; a number that is no choice is Automatic.
Choice ChoiceFromNumber(int number);

}  // namespace Language

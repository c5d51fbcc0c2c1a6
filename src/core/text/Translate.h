#pragma once

// The program's texts through gettext (domain "quorbel"). The source texts are the Japanese ones,
// UTF-8 in the code; the English catalogue maps them. Until English is put to use, and whenever
// Japanese is, a text comes back as written.
//
//   _("text")                    a text shown as it stands
//   P_("text", "texts", count)   a text with a count in it (the same text twice in Japanese)
//   N_("text")                   marks a text in a table for extraction; translate it with _ where shown
//
// A text with a value in it holds %1, %2, ... (the window's QString::arg does the same), so a
// translation can move the value; Fill puts the values in.

#include <initializer_list>
#include <string>
#include <string_view>

#include "core/text/Language.h"

namespace Translate {

inline constexpr const char* kDomain = "quorbel";

const char* Text(const char* source);
const char* Plural(const char* source, const char* sourcePlural, unsigned long count);

// LANGUAGE, LC_ALL, LC_MESSAGES and LANG as the process sees them.
Language::Environment CurrentEnvironment();

// Where the catalogues of the running program are: `locale` beside the executable in a build
// folder, else the installed ones.
std::string CatalogueFolder();

// Makes every later text speak the given language, reading English from the catalogues in the
// folder (`<folder>/en/LC_MESSAGES/quorbel.mo`). Call it before any text is built.
void Use(Language::Spoken language, const std::string& catalogueFolder);

Language::Spoken InUse();

// The text with %1 .. %9 replaced by the values in their order, wherever a translation puts them.
std::string Fill(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace Translate

// gettext's own name for the look-up, which every translator's tool knows.
#define _(source) ::Translate::Text(source)  // NOLINT(bugprone-reserved-identifier)
#define P_(source, sourcePlural, count) ::Translate::Plural(source, sourcePlural, count)
#define N_(source) source

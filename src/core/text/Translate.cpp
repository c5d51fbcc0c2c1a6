#include "core/text/Translate.h"

#include <libintl.h>

#include <atomic>
#include <filesystem>

#include "core/platform/Messages.h"
#include "core/platform/SystemInfo.h"

#ifndef QUORBEL_LOCALE_DIR
#define QUORBEL_LOCALE_DIR "/usr/share/locale"
#endif

namespace Translate {

namespace {
std::atomic<Language::Spoken> spoken{Language::Spoken::Japanese};
}  // namespace

const char* Text(const char* source) {
    if (spoken.load(std::memory_order_relaxed) == Language::Spoken::Japanese) return source;
    return dgettext(kDomain, source);
}

const char* Plural(const char* source, const char* sourcePlural, unsigned long count) {
    if (spoken.load(std::memory_order_relaxed) == Language::Spoken::Japanese)
        return count == 1 ? source : sourcePlural;
    return dngettext(kDomain, source, sourcePlural, count);
}

Language::Environment CurrentEnvironment() {
    return {SystemInfo::EnvironmentValue("LANGUAGE"), SystemInfo::EnvironmentValue("LC_ALL"),
            SystemInfo::EnvironmentValue("LC_MESSAGES"), SystemInfo::EnvironmentValue("LANG")};
}

std::string CatalogueFolder() {
    const std::string executable = SystemInfo::ExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (slash != std::string::npos) {
        std::string beside = executable.substr(0, slash) + "/locale";
        std::error_code ec;
        if (std::filesystem::is_directory(beside, ec)) return beside;
    }
    return QUORBEL_LOCALE_DIR;
}

void Use(Language::Spoken language, const std::string& catalogueFolder) {
    bindtextdomain(kDomain, catalogueFolder.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // Japanese has no catalogue: asking for one leaves every text as written, also for the code
    // that calls gettext directly.
    Messages::SpeakFromCatalogue(language == Language::Spoken::English ? "en" : "ja");
    spoken.store(language, std::memory_order_relaxed);
}

Language::Spoken InUse() {
    return spoken.load(std::memory_order_relaxed);
}

std::string Fill(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string filled;
    filled.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t number = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '0') : 0;
        if (text[i] == '%' && number >= 1 && number <= values.size()) {
            filled += *(values.begin() + (number - 1));
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace Translate

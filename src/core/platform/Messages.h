#pragma once

// The process's language of messages, as gettext reads it.

namespace Messages {

// Makes gettext look up the given language's catalogues whatever the user's locale, the C locale
// included (under which gettext translates nothing).
void SpeakFromCatalogue(const char* language);

}  // namespace Messages

#include "core/platform/Messages.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace Messages {

void SpeakFromCatalogue(const char* language) {
    // gettext ignores LANGUAGE under the plain C locale; C.UTF-8 is built into the C library.
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
    if (current == nullptr || std::strcmp(current, "C") == 0 || std::strcmp(current, "POSIX") == 0)
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    setenv("LANGUAGE", language, 1);
}

}  // namespace Messages

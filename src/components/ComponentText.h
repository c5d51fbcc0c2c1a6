#pragma once

// The components' texts through the program's gettext catalogue (domain "quorbel"), which the
// program puts in the language in use before any component is built. Source texts are Japanese.

#include <libintl.h>

#include <QString>

namespace ComponentText {

inline QString Tr(const char* source) {
    return QString::fromUtf8(dgettext("quorbel", source));
}

}  // namespace ComponentText

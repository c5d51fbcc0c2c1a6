#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The window's crossing between its code page 932 texts and Qt's strings.
namespace QtText {

// For display: characters that cannot be shown become U+FFFD.
QString ToQt(std::string_view cp932);

// ToQt of every item, in order.
QStringList ToQtList(const std::vector<std::string>& items);

// Input and paths from Qt; nullopt only when the codec has no stand-in left for a character.
std::optional<std::string> FromQt(const QString& text);

// A text of the window in the language in use (see core/text/Translate.h), its source Japanese.
QString Tr(const char* source);
// The same for a text with a count in it: the source text with and without a plural.
QString TrN(const char* source, const char* sourcePlural, unsigned long count);

// Menu captions: "&" shown as itself instead of marking a mnemonic.
QString EscapeAmpersands(QString text);

}  // namespace QtText

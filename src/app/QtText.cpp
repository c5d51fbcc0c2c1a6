#include "app/QtText.h"

#include <algorithm>

#include "core/text/Cp932.h"
#include "core/text/Translate.h"

namespace QtText {

QString ToQt(std::string_view cp932) {
    // Most names are plain ASCII, which code page 932 shares; skip the codec for them.
    if (std::all_of(cp932.begin(), cp932.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return QString::fromLatin1(cp932.data(), static_cast<qsizetype>(cp932.size()));
    }
    const std::string utf8 = Cp932::ToUtf8Lossy(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QStringList ToQtList(const std::vector<std::string>& items) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        texts << ToQt(item);
    return texts;
}

std::optional<std::string> FromQt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Cp932::FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString EscapeAmpersands(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString Tr(const char* source) {
    return QString::fromUtf8(Translate::Text(source));
}

QString TrN(const char* source, const char* sourcePlural, unsigned long count) {
    return QString::fromUtf8(Translate::Plural(source, sourcePlural, count));
}

}  // namespace QtText

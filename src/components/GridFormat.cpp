#include "components/GridFormat.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace GridFormat {

namespace {

// Splits at ";" outside quotes.
QStringList SplitSections(const QString& mask) {
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

struct NumberToken {
    enum Kind { Digit, Point, Comma, Literal } kind;
    QChar digit;  // '0' or '#'
    QString text;
};

std::vector<NumberToken> TokenizeNumber(const QString& section) {
    std::vector<NumberToken> tokens;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'0' || c == u'#') {
            tokens.push_back({NumberToken::Digit, c, {}});
        } else if (c == u'.') {
            tokens.push_back({NumberToken::Point, {}, {}});
        } else if (c == u',') {
            tokens.push_back({NumberToken::Comma, {}, {}});
        } else if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            tokens.push_back({NumberToken::Literal, {}, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else {
            tokens.push_back({NumberToken::Literal, {}, QString(c)});
        }
    }
    return tokens;
}

QString FormatSection(const QString& section, double value, bool minus) {
    const std::vector<NumberToken> tokens = TokenizeNumber(section);
    int intPlaces = 0;
    int fracPlaces = 0;
    int firstIntZero = -1;
    int lastFracZero = 0;
    bool afterPoint = false;
    bool grouping = false;
    bool anyDigit = false;
    for (const NumberToken& t : tokens) {
        if (t.kind == NumberToken::Point) {
            if (afterPoint) continue;
            afterPoint = true;
        } else if (t.kind == NumberToken::Comma) {
            if (!afterPoint) grouping = true;
        } else if (t.kind == NumberToken::Digit) {
            anyDigit = true;
            if (afterPoint) {
                ++fracPlaces;
                if (t.digit == u'0') lastFracZero = fracPlaces;
            } else {
                if (t.digit == u'0' && firstIntZero < 0) firstIntZero = intPlaces;
                ++intPlaces;
            }
        }
    }
    if (!anyDigit) {
        QString out;
        for (const NumberToken& t : tokens)
            if (t.kind == NumberToken::Literal) out += t.text;
        return out;
    }
    const int intRequired = firstIntZero < 0 ? 0 : intPlaces - firstIntZero;

    // Round half away from zero before formatting.
    const double scale = std::pow(10.0, fracPlaces);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString digits = QString::number(rounded, 'f', fracPlaces);
    QString intDigits = digits.section(u'.', 0, 0);
    QString fracDigits = fracPlaces > 0 ? digits.section(u'.', 1, 1) : QString();
    while (fracDigits.size() > lastFracZero && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0" && intRequired == 0) intDigits.clear();
    while (intDigits.size() < intRequired)
        intDigits.prepend(u'0');

    QString out;
    if (minus) out += u'-';
    const int surplus = static_cast<int>(intDigits.size()) - intPlaces;
    int intSeen = 0;
    int fracSeen = 0;
    afterPoint = false;
    auto emitIntDigit = [&](int index) {
        out += intDigits[index];
        const int fromRight = static_cast<int>(intDigits.size()) - 1 - index;
        if (grouping && fromRight > 0 && fromRight % 3 == 0) out += u',';
    };
    for (const NumberToken& t : tokens) {
        switch (t.kind) {
            case NumberToken::Literal:
                out += t.text;
                break;
            case NumberToken::Comma:
                break;
            case NumberToken::Point:
                if (!afterPoint && !fracDigits.isEmpty()) out += u'.';
                afterPoint = true;
                break;
            case NumberToken::Digit:
                if (afterPoint) {
                    if (fracSeen < fracDigits.size()) out += fracDigits[fracSeen];
                    ++fracSeen;
                } else {
                    // Digits are aligned to the right; the first place also takes any surplus.
                    if (intSeen == 0)
                        for (int i = 0; i < surplus; ++i)
                            emitIntDigit(i);
                    if (intSeen + surplus >= 0) emitIntDigit(intSeen + surplus);
                    ++intSeen;
                }
                break;
        }
    }
    return out;
}

bool IsMaskPlaceholder(QChar c) {
    return c == u'0' || c == u'9' || c == u'#' || c == u'L' || c == u'l' || c == u'A' || c == u'a' ||
           c == u'C' || c == u'c';
}

}  // namespace

bool IsNumberText(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c.isDigit() && c.unicode() < 128) || c == u'+' || c == u'-' || c == u'.';
    });
}

QString FormatFloat(const QString& mask, double value) {
    const QStringList sections = SplitSections(mask);
    const int decimalsForZero = [&] {
        const qsizetype point = sections[0].indexOf(u'.');
        return point < 0 ? 0 : static_cast<int>(sections[0].size() - point - 1);
    }();
    const double scale = std::pow(10.0, decimalsForZero);
    const bool isZero = std::round(std::fabs(value) * scale) == 0.0;
    if (isZero && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatSection(sections[2], 0.0, false);
    if (value < 0 && !isZero) {
        if (sections.size() >= 2 && !sections[1].isEmpty()) return FormatSection(sections[1], value, false);
        return FormatSection(sections[0], value, true);
    }
    return FormatSection(sections[0], value, false);
}

QString FormatMaskText(const QString& editMask, const QString& text) {
    // Fields are split at unescaped ";": mask, save-literals flag, blank character.
    QStringList fields;
    QString current;
    for (qsizetype i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == u'\\' && i + 1 < editMask.size()) {
            current += editMask[i];
            current += editMask[++i];
        } else if (editMask[i] == u';') {
            fields << current;
            current.clear();
        } else {
            current += editMask[i];
        }
    }
    fields << current;
    const QString mask = fields[0];
    const bool saveLiterals = fields.size() < 2 || fields[1] != u"0";
    const QChar blank = fields.size() >= 3 && !fields[2].isEmpty() ? fields[2][0] : QChar(u'_');

    enum class Case { Keep, Upper, Lower } caseMode = Case::Keep;
    QString out;
    qsizetype pos = 0;
    auto literal = [&](QChar c) {
        out += c;
        if (saveLiterals && pos < text.size() && text[pos] == c) ++pos;
    };
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'>') {
            if (i + 1 < mask.size() && mask[i + 1] == u'<') {
                caseMode = Case::Keep;
                ++i;
            } else {
                caseMode = Case::Upper;
            }
        } else if (c == u'<') {
            caseMode = Case::Lower;
        } else if (c == u'!') {
            continue;
        } else if (c == u'\\') {
            if (i + 1 < mask.size()) literal(mask[++i]);
        } else if (c == u'_') {
            literal(u' ');
        } else if (IsMaskPlaceholder(c)) {
            if (pos < text.size()) {
                QChar ch = text[pos++];
                if (caseMode == Case::Upper) ch = ch.toUpper();
                if (caseMode == Case::Lower) ch = ch.toLower();
                out += ch;
            } else {
                out += blank;
            }
        } else {
            literal(c);
        }
    }
    return out;
}

QString DisplayForm(const QString& text, const QString& mask) {
    if (IsNumberText(text)) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        return ok ? FormatFloat(mask, value) : text;
    }
    return FormatMaskText(mask, text);
}

std::optional<QString> NormalizeInteger(const QString& text) {
    if (text == u"-") return QStringLiteral("-0");
    if (text.isEmpty()) return text;
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return QString::number(value);
}

}  // namespace GridFormat

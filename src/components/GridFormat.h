#pragma once

#include <QString>
#include <optional>

// Text forms used by the string grid: the display form of a cell under a column's DisplayMask and
// the normalisation of whole numbers typed into a dtInteger column.
//
// Display masks are a subset of the classic ones:
// - Number format, used when the text holds only "+", "-", "." and digits: up to three sections
//   "positive;negative;zero"; "0" a digit that is always shown, "#" a digit shown only when
//   significant, "." the decimal point (shown only with fractional digits), "," anywhere in the
//   integer part turns on thousands separators, text in '...' or "..." is copied, any other
//   character is copied. Values are rounded half away from zero. Exponent formats are not
//   supported (an "E" is copied like any other character).
// - Edit mask, for any other text: "mask;saveLiterals;blank". In the mask, 0 9 # L l A a C c each
//   take one character of the text, ">" upper-cases and "<" lower-cases what follows ("<>" ends
//   either), "\" makes the next character a literal, "_" stands for a blank, "!" is ignored, and
//   any other character is a literal. With saveLiterals "1" (the default) a text character equal
//   to the literal at its place is taken as that literal; with "0" the text holds no literals.
//   Places left without a text character show the blank character (default "_").
namespace GridFormat {

// True when the text is non-empty and holds only "+", "-", "." and the digits 0-9.
bool IsNumberText(const QString& text);

// The value formatted with a number format (see above).
QString FormatFloat(const QString& mask, double value);

// The text put through an edit mask (see above).
QString FormatMaskText(const QString& editMask, const QString& text);

// The display form of a cell text: a number text read as a number and formatted with the mask,
// any other text put through the mask as an edit mask. A number text that is no valid number
// (such as "1-2") is shown as it is.
QString DisplayForm(const QString& text, const QString& mask);

// The stored form of a text typed into a dtInteger cell: "-" alone becomes "-0", an empty text
// stays empty, a whole number (leading blanks and a sign allowed, 32-bit range) becomes its plain
// decimal form ("+007" → "7"); anything else is refused (nullopt).
std::optional<QString> NormalizeInteger(const QString& text);

}  // namespace GridFormat

#pragma once

#include <QColor>
#include <QString>
#include <optional>

// How a colour is written in the program's files: one of twenty identifiers
// ("clRed", "clMoneyGreen"...) when it is one of the standard colours, and
// otherwise "$" followed by eight upper-case hexadecimal digits of the value
// 0x00BBGGRR (red in the low byte).
namespace ColorText {

// The value 0x00BBGGRR of a colour (alpha ignored).
quint32 toValue(const QColor &color);
// The colour of a value; only the low 24 bits count.
QColor fromValue(quint32 value);

// The identifier of a standard colour, or "$00BBGGRR".
QString toText(const QColor &color);

// Reads a colour text: an identifier, letter case ignored (the twenty
// standard colours and the desktop's system colour names, which stand for
// fixed classic values), else an integer (see parseInteger). std::nullopt
// when the text is neither.
std::optional<QColor> fromText(const QString &text);

// Whole-number conversion with the toolkit's rules: leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$" or "0x";
// nothing may follow. Decimal values must fit in 32 signed bits; hexadecimal
// values up to FFFFFFFF wrap into them.
std::optional<qint32> parseInteger(const QString &text);

} // namespace ColorText

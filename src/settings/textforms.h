#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The text forms of settings values. Every parser ignores surrounding white space and answers
// nothing for text that does not convert, so the caller can fall back to its default.
namespace settings
{

QString formatBoolean(bool value); // "True" / "False"
// "True"/"False" in any letter case, or a decimal number (0 is false, any other number true).
std::optional<bool> parseBoolean(const QString &text);

// Fixed point, rounded to at most four decimals, no trailing zeros: "11", "10.5".
QString formatFontSize(double size);
// A positive decimal number, rounded to four decimals; zero, negative or non-finite is refused.
std::optional<double> parseFontSize(const QString &text);

// The shortest plain decimal text that reads back as the same single-precision value: "1200",
// "1234.5". Infinite and NaN values give "inf"/"nan", which parseSingle refuses.
QString formatSingle(float value);
// A finite decimal number within single-precision range.
std::optional<float> parseSingle(const QString &text);

// Decimal integers with an optional sign, within the type's range.
QString formatInt32(qint32 value);
std::optional<qint32> parseInt32(const QString &text);
std::optional<qint16> parseInt16(const QString &text);

} // namespace settings

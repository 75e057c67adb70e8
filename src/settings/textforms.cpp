#include "settings/textforms.h"

#include <charconv>
#include <cmath>
#include <string>

namespace settings
{

namespace
{

// The ASCII form of a number's text: trimmed, one leading '+' dropped (std::from_chars accepts
// only '-'); nothing when the text holds a character outside ASCII.
std::optional<std::string> numberText(const QString &text)
{
    QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('+')) && !trimmed.startsWith(QLatin1String("+-")))
        trimmed.remove(0, 1);
    std::string ascii;
    ascii.reserve(size_t(trimmed.size()));
    for (const QChar c : std::as_const(trimmed)) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
        ascii.push_back(char(c.unicode()));
    }
    return ascii;
}

template <typename Number> std::optional<Number> parseNumber(const QString &text)
{
    const std::optional<std::string> ascii = numberText(text);
    if (!ascii || ascii->empty())
        return std::nullopt;
    const char *first = ascii->data();
    const char *last = first + ascii->size();
    Number value{};
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

} // namespace

QString formatBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> parseBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = parseNumber<double>(text))
        return *number != 0.0;
    return std::nullopt;
}

QString formatFontSize(double size)
{
    QString text = QString::number(size, 'f', 4);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

std::optional<double> parseFontSize(const QString &text)
{
    const std::optional<double> number = parseNumber<double>(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::round(*number * 10000.0) / 10000.0;
    if (!std::isfinite(rounded) || rounded <= 0.0)
        return std::nullopt;
    return rounded;
}

QString formatSingle(float value)
{
    if (value == 0.0f)
        value = 0.0f; // no "-0"
    char buffer[128];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc())
        return QString::number(double(value), 'g', 9);
    return QString::fromLatin1(buffer, end - buffer);
}

std::optional<float> parseSingle(const QString &text)
{
    return parseNumber<float>(text);
}

QString formatInt32(qint32 value)
{
    return QString::number(value);
}

std::optional<qint32> parseInt32(const QString &text)
{
    return parseNumber<qint32>(text);
}

std::optional<qint16> parseInt16(const QString &text)
{
    return parseNumber<qint16>(text);
}

} // namespace settings

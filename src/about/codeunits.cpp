#include "about/codeunits.h"

namespace about
{

namespace
{

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<QString> decodeCodeUnits(QStringView list)
{
    QString text;
    if (list.isEmpty())
        return text;
    for (QStringView element : list.tokenize(u',')) {
        if (!element.startsWith(u"&H", Qt::CaseInsensitive))
            return std::nullopt;
        const QStringView digits = element.mid(2);
        if (digits.isEmpty() || digits.size() > 4)
            return std::nullopt;
        char16_t unit = 0;
        for (QChar digit : digits) {
            const int value = hexValue(digit);
            if (value < 0)
                return std::nullopt;
            unit = char16_t(unit * 16 + value);
        }
        text += QChar(unit);
    }
    return text;
}

} // namespace about

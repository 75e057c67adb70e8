#include "reference/colortable.h"

namespace reference
{

QString MakeColorTable(quint32 colour, bool first)
{
    const quint32 red = colour & 0xFF;
    const quint32 green = (colour >> 8) & 0xFF;
    const quint32 blue = (colour >> 16) & 0xFF;
    return (first ? QStringLiteral("{\\colortbl\\red") : QStringLiteral(";\\red")) +
           QString::number(red) + QStringLiteral("\\green") + QString::number(green) +
           QStringLiteral("\\blue") + QString::number(blue);
}

QString makeColorTableGroup(quint32 fontColor, quint32 tagColor, quint32 commentColor)
{
    return MakeColorTable(fontColor, true) + MakeColorTable(tagColor, false) +
           MakeColorTable(commentColor, false) + QStringLiteral(";}");
}

TableSpan findColorTable(const QString &rtf)
{
    const qsizetype p = rtf.indexOf(QLatin1String("{\\colortbl"));
    if (p < 0)
        return {};
    const qsizetype q = rtf.indexOf(u'}', p);
    if (q < 0)
        return {}; // an unclosed group: nothing to replace it up to
    return {p, q - p + 1};
}

QString replaceColorTable(const QString &rtf, const QString &table)
{
    const TableSpan span = findColorTable(rtf);
    if (span.length == 0)
        return rtf;
    QString result = rtf;
    result.replace(span.position, span.length, table);
    return result;
}

} // namespace reference

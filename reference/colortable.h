#pragma once

#include <QString>

namespace reference
{

// One entry of an RTF colour table for a colour laid out 0x00BBGGRR (bits above the 24th are
// ignored): "{\colortbl\redR\greenG\blueB" when first, else ";\redR\greenG\blueB".
QString MakeColorTable(quint32 colour, bool first);

// The whole table group for the text, tag and comment colours, entries 0, 1 and 2.
QString makeColorTableGroup(quint32 fontColor, quint32 tagColor, quint32 commentColor);

// Where the first "{\colortbl" group of rtf lies, up to the first "}" after it; length 0 when
// there is no such group.
struct TableSpan {
    qsizetype position = 0;
    qsizetype length = 0;
};
TableSpan findColorTable(const QString &rtf);

// rtf with its first "{\colortbl" group, up to the first "}" after it, replaced by table;
// unchanged when it has no such group.
QString replaceColorTable(const QString &rtf, const QString &table);

} // namespace reference

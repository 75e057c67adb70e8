#include "reference/colorize.h"

#include "markup/markupscan.h"
#include "reference/colortable.h"

#include <algorithm>

namespace reference
{

QString ColorizeRtf(const QString &rtf, quint32 fontColor, quint32 tagColor, quint32 commentColor)
{
    const QString table = makeColorTableGroup(fontColor, tagColor, commentColor);
    const TableSpan span = findColorTable(rtf);
    if (span.length == 0)
        return markup::markTagsAndComments(rtf);
    // The editor's table holds only control words, so it can be swapped while marking; an odd
    // table with markup characters in it is replaced first, at the cost of one more copy.
    const QStringView old = QStringView(rtf).mid(span.position, span.length);
    const bool plain = std::none_of(old.begin(), old.end(), [](QChar c) {
        return c == u'<' || c == u'>' || c == u'!' || c == u'-' || c == u'/';
    });
    if (!plain)
        return markup::markTagsAndComments(replaceColorTable(rtf, table));
    return markup::markTagsAndComments(rtf, markup::Splice{span.position, span.length, table});
}

} // namespace reference

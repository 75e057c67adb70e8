#pragma once

#include "markup/markupscan.h"

#include <QString>

namespace reference
{

// The three replacements that put colour switches into the RTF, applied in this order with
// Global set and IgnoreCase clear: tag starts ("\cf1 "), tag ends ("\cf0 "), comments ("\cf2 ").
struct MarkupReplacement {
    QStringView pattern;
    QStringView replacement;
};
inline constexpr MarkupReplacement kMarkupReplacements[3] = {
    {u"<([^(!--)])", u"\\cf1 <$1"},
    {u"([^(--)])>", u"$1>\\cf0 "},
    {u"<!--([\\s\\S]*?)(//|)-->", u"\\cf2 <!--$1\\cf2 $2-->\\cf0 "},
};

// markTagsAndComments (markupscan.h) gives the result of these replacements by direct
// scanning, in linear time.

// The colouring of an RTF document: its colour table replaced by the text, tag and comment
// colours (0x00BBGGRR), then the colour switches put around tags and comments. The scan cannot
// fail, so neither can this.
QString ColorizeRtf(const QString &rtf, quint32 fontColor, quint32 tagColor, quint32 commentColor);

} // namespace reference

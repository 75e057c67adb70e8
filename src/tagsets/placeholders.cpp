#include "tagsets/placeholders.h"

#include "about/versionstring.h"

namespace tagsets
{

QString ExpandPlaceholders(QString text, int writeCode, const QDateTime &now)
{
    text.replace(QStringLiteral("<$$#CHARSET#$$>"),
                 writeCode == 0 ? QStringLiteral("Shift_JIS") : QStringLiteral("EUC-JP"));
    text.replace(QStringLiteral("<$$#TLVERSION#$$>"), about::VersionString());
    text.replace(QStringLiteral("<$$#DATE#$$>"), now.date().toString(u"yyyy/MM/dd"));
    text.replace(QStringLiteral("<$$#TIME#$$>"), now.time().toString(u"HH:mm:ss"));
    return text;
}

} // namespace tagsets

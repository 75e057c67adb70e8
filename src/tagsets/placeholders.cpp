#include "tagsets/placeholders.h"

#include "about/versionstring.h"
#include "document/documentfile.h"

namespace tagsets
{

QString ExpandPlaceholders(QString text, int writeCode, const QDateTime &now)
{
    text.replace(QStringLiteral("<$$#CHARSET#$$>"), document::encodingName(writeCode));
    text.replace(QStringLiteral("<$$#TLVERSION#$$>"), about::VersionString());
    text.replace(QStringLiteral("<$$#DATE#$$>"), now.date().toString(u"yyyy/MM/dd"));
    text.replace(QStringLiteral("<$$#TIME#$$>"), now.time().toString(u"HH:mm:ss"));
    return text;
}

} // namespace tagsets

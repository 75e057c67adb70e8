#include "tagsets/placeholders.h"

#include "about/versionstring.h"
#include "codec/filetext.h"

namespace tagsets
{

QString ExpandPlaceholders(QString text, codec::TextCode writeCode, const QDateTime &now)
{
    text.replace(QStringLiteral("<$$#CHARSET#$$>"), codec::encodingName(writeCode));
    text.replace(QStringLiteral("<$$#TLVERSION#$$>"), about::VersionString());
    text.replace(QStringLiteral("<$$#DATE#$$>"), now.date().toString(u"yyyy/MM/dd"));
    text.replace(QStringLiteral("<$$#TIME#$$>"), now.time().toString(u"HH:mm:ss"));
    return text;
}

} // namespace tagsets

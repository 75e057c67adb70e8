#include "about/versionstring.h"

#include "version.h"

namespace about
{

QString VersionString(int major, int minor, int revision)
{
    QString text =
        QString::number(major) + u'.' + QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0'));
    if (revision > 999)
        text += QChar(u'a' + revision / 1000 - 1);
    return text;
}

QString VersionString()
{
    return VersionString(buildinfo::VersionMajor, buildinfo::VersionMinor,
                         buildinfo::VersionRevision);
}

} // namespace about

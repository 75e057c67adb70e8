#include "links/linktarget.h"

#include <QByteArray>

namespace links
{

namespace
{

bool isAsciiAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The length of the scheme before ':' (0 when the address has none).
qsizetype schemeLength(const QString &url)
{
    if (url.isEmpty() || !isAsciiAlpha(url[0]))
        return 0;
    for (qsizetype i = 1; i < url.size(); ++i) {
        const QChar c = url[i];
        if (c == u':')
            return i;
        if (!isAsciiAlpha(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return 0;
    }
    return 0;
}

QString percentDecoded(QStringView text)
{
    if (!text.contains(u'%'))
        return text.toString();
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

} // namespace

QStringList BaseLocation::folder() const
{
    QStringList segments = document.segments;
    if (!document.directory && !segments.isEmpty())
        segments.removeLast();
    return segments;
}

LinkTarget resolveLink(const QString &written, const BaseLocation &base)
{
    LinkTarget target;
    QString url = written;
    url.remove(u'\t').remove(u'\n').remove(u'\r');

    const qsizetype scheme = schemeLength(url);
    if (scheme == 1) {
        target.fault = LinkFault::DriveLetter;
        return target;
    }
    if (scheme > 1) {
        if (url.left(scheme).compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            target.fault = LinkFault::FileScheme;
        return target;
    }
    if (url.startsWith(QLatin1String("//")))
        return target; // another host
    qsizetype pathEnd = url.size();
    for (qsizetype i = 0; i < url.size(); ++i)
        if (url[i] == u'?' || url[i] == u'#') {
            pathEnd = i;
            break;
        }
    const QStringView path = QStringView(url).left(pathEnd);
    if (path.contains(u'\\')) {
        target.fault = LinkFault::Backslash;
        return target;
    }
    if (base.elsewhere)
        return target;
    const qsizetype hash = url.indexOf(u'#');
    if (hash >= 0)
        target.fragment = percentDecoded(QStringView(url).sliced(hash + 1));
    target.local = true;

    if (path.isEmpty()) {
        target.samePlace = true;
        target.place = base.document;
        target.writtenPart = QList<int>(base.document.segments.size(), -1);
        return target;
    }
    QStringList segments = path.startsWith(u'/') ? QStringList() : base.folder();
    QList<int> parts(segments.size(), -1);
    const QList<QStringView> pieces = path.split(u'/');
    bool directory = false;
    for (qsizetype k = path.startsWith(u'/') ? 1 : 0; k < pieces.size(); ++k) {
        const QString segment = percentDecoded(pieces[k]);
        const bool last = k + 1 == pieces.size();
        directory = true;
        if (segment == QLatin1String(".") || segment.isEmpty())
            continue;
        if (segment == QLatin1String("..")) {
            if (segments.isEmpty()) {
                target.local = false;
                target.fault = LinkFault::LeavesSite;
                return target;
            }
            segments.removeLast();
            parts.removeLast();
            continue;
        }
        segments.append(segment);
        parts.append(int(k));
        directory = last ? false : directory;
    }
    target.place = {segments, directory};
    target.writtenPart = parts;
    return target;
}

} // namespace links

#include "files/documentpath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace files
{

QString absoluteDocumentPath(const QString &path, const QString &currentFolder)
{
    if (path.isEmpty() || isAbsolutePath(path) || !isAbsolutePath(currentFolder))
        return path;
    const QStringList segments = (currentFolder + QLatin1Char('/') + path).split(QLatin1Char('/'));
    QStringList kept;
    bool climbs = false;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString &s = segments[i];
        const bool last = i + 1 == segments.size();
        if ((s.isEmpty() || s == QLatin1String(".")) && !last)
            continue;
        climbs = climbs || s == QLatin1String("..");
        kept << s;
    }
    const QString joined = QLatin1Char('/') + kept.join(QLatin1Char('/'));
    if (!climbs)
        return joined;
    // A ".." goes up from where a folder really is, which need not be where its name suggests
    // (a symbolic link): let the file system resolve the folder part, keep the name as given.
    const QString folder = folderOfPath(joined);
    const QString name = joined.mid(joined.lastIndexOf(QLatin1Char('/')) + 1);
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty() || name == QLatin1String(".."))
        return QDir::cleanPath(joined);
    return resolved == QLatin1String("/") ? resolved + name : resolved + QLatin1Char('/') + name;
}

QString folderOfPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString pathOfArgument(const QString &argument)
{
    if (!argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return argument;
    const QUrl url(argument, QUrl::StrictMode);
    const bool here = url.host().isEmpty() || url.host() == QLatin1String("localhost");
    if (!url.isValid() || !url.isLocalFile() || !here)
        return argument;
    return url.path(QUrl::FullyDecoded);
}

DocumentArguments documentArguments(const QStringList &arguments, const QString &currentFolder)
{
    if (arguments.isEmpty())
        return {};
    const auto absolute = [&currentFolder](const QString &argument) {
        return absoluteDocumentPath(pathOfArgument(argument), currentFolder);
    };
    const QString first = absolute(arguments.first());
    if (arguments.size() > 1 && !QFileInfo::exists(first)) {
        const QString joined = absolute(arguments.join(QLatin1Char(' ')));
        if (QFileInfo(joined).isFile())
            return {joined, {}};
    }
    return {first, arguments.mid(1)};
}

} // namespace files

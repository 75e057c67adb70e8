#include "livepreview/servedpath.h"

#include <QStringList>

namespace livepreview
{

std::optional<QString> servedFile(const QString &root, const QString &urlPath)
{
    if (root.isEmpty() || !urlPath.startsWith(QLatin1Char('/')) || urlPath.contains(QChar(u'\0')))
        return std::nullopt;
    QStringList kept;
    for (const QString &segment : urlPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String(".") || segment == QLatin1String(".."))
            return std::nullopt;
        kept << segment;
    }
    if (kept.isEmpty())
        return std::nullopt; // the folder itself: no listing of it
    QString folder = root;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return (folder == QLatin1String("/") ? QString() : folder) + QLatin1Char('/') +
           kept.join(QLatin1Char('/'));
}

} // namespace livepreview

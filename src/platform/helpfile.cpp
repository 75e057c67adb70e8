#include "platform/helpfile.h"

#include <QDir>
#include <QFileInfo>

namespace app
{

QString helpFilePath(const QString &programFolder)
{
    const QString compiled = programFolder + QStringLiteral("/Tavlen.chm");
    if (QFileInfo(compiled).isFile())
        return compiled;
    const QString page =
        QDir::cleanPath(programFolder + QStringLiteral("/../share/tavlen/help/index.html"));
    if (QFileInfo(page).isFile())
        return page;
    return compiled;
}

} // namespace app

#include "platform/helpfile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform
{

namespace
{

QString helpPagePath(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/tavlen/help/index.html"));
}

} // namespace

QString helpFilePath(const QString &programFolder)
{
    const QString compiled = programFolder + QStringLiteral("/Tavlen.chm");
    if (QFileInfo(compiled).isFile())
        return compiled;
    const QString page = helpPagePath(programFolder);
    if (QFileInfo(page).isFile())
        return page;
    return compiled;
}

QString aboutPageAddress(const QString &programFolder)
{
    QUrl address = QUrl::fromLocalFile(QFileInfo(helpPagePath(programFolder)).absoluteFilePath());
    address.setFragment(QStringLiteral("about"));
    return address.toString();
}

} // namespace platform

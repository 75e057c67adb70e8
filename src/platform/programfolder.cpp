#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform
{

QString resolveProgramFolder(const QString &executableFolder, const QString &dataFolder)
{
    // An installed program keeps what it ships in <prefix>/share/tavlen; its own folder
    // (/usr/bin) is never the user's, not even when root can write there.
    const bool installed =
        QFileInfo(executableFolder + QStringLiteral("/../share/tavlen/TagSets")).isDir();
    const QFileInfo program(executableFolder);
    if (!installed && program.isDir() && program.isWritable())
        return executableFolder;
    QDir().mkpath(dataFolder);
    return dataFolder;
}

QString programFolder()
{
    return resolveProgramFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Tavlen"));
}

} // namespace platform

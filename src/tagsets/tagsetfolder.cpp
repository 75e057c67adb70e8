#include "tagsets/tagsetfolder.h"

#include "files/systemreason.h"
#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

// The shipped tag sets live in the resources of the core library, which a static link keeps only
// when something refers to them.
static void initTagSetResources()
{
    Q_INIT_RESOURCE(tagsets);
}

namespace tagsets
{

namespace
{

const QString shippedFolder = QStringLiteral(":/tagsets");

// Creates path with bytes; false, leaving nothing behind, when the file exists or a write fails.
bool createNewFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        file.remove();
        return false;
    }
    file.close();
    return file.error() == QFileDevice::NoError;
}

} // namespace

QString tagSetFolderProblem(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    if (::access(name.constData(), F_OK) != 0)
        return QString();
    const QString shown = QDir::toNativeSeparators(folder);
    DIR *listing = ::opendir(name.constData());
    int error = listing ? 0 : errno;
    if (listing)
        ::closedir(listing);
    if (error == 0 && ::faccessat(AT_FDCWD, name.constData(), R_OK | X_OK, AT_EACCESS) != 0)
        error = errno;
    if (error != 0)
        return QStringLiteral("タグセットのフォルダー %1 の中身を読み取れません（%2）"
                              "タグセットの一覧には何も表示されず、ここへは保存しません。")
            .arg(shown, files::systemReason(error, files::FileAccess::Read));
    if (::faccessat(AT_FDCWD, name.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return QStringLiteral("タグセットのフォルダー %1 に書き込めません（%2）"
                              "タグセットを保存できません。")
            .arg(shown, files::systemReason(errno));
    return QString();
}

QStringList seedShippedTagSets(const QString &folder)
{
    initTagSetResources();
    QStringList copied;
    const QStringList names = QDir(shippedFolder).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile shipped(shippedFolder + u'/' + name);
        if (!shipped.open(QIODevice::ReadOnly))
            continue;
        if (createNewFile(folder + u'/' + name, shipped.readAll()))
            copied << name;
    }
    return copied;
}

QString resolveTagSetFolder(const QString &programFolder, const QString &dataFolder)
{
    const QString folder =
        platform::resolveProgramFolder(programFolder, dataFolder) + QStringLiteral("/TagSets");
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        seedShippedTagSets(folder);
    return folder;
}

QString tagSetFolder()
{
    return resolveTagSetFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Tavlen"));
}

} // namespace tagsets

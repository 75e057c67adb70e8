#include "files/leftovers.h"

#include "files/atomicwrite.h"
#include "files/documentpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files
{
namespace
{

bool isRandomPart(QStringView part)
{
    if (part.isEmpty() || part.size() > 7)
        return false;
    for (const QChar c : part) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool letter = c >= u'a' && c <= u'z';
        if (!digit && !letter)
            return false;
    }
    return true;
}

// Removes path if it is this user's regular file and nobody holds its lock.
bool removeIfAbandoned(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {
    };
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
    const bool abandoned = ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = abandoned && ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

bool isWriteLeftoverName(const QString &fileName)
{
    const QString marker = QString::fromLatin1(TemporaryMarker);
    const QString suffix = QString::fromLatin1(TemporarySuffix);
    if (!fileName.endsWith(suffix))
        return false;
    const qsizetype at = fileName.lastIndexOf(marker);
    if (at <= 0)
        return false; // the marker must follow a file name
    const qsizetype start = at + marker.size();
    return isRandomPart(
        QStringView(fileName).sliced(start, fileName.size() - suffix.size() - start));
}

int removeWriteLeftovers(const QStringList &folders)
{
    int removed = 0;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString canonical = QDir(folder).canonicalPath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen.insert(canonical);
        const QStringList names =
            QDir(canonical).entryList({QStringLiteral("*") + QString::fromLatin1(TemporarySuffix)},
                                      QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : names) {
            if (isWriteLeftoverName(name) &&
                removeIfAbandoned(QFile::encodeName(canonical + QLatin1Char('/') + name)))
                ++removed;
        }
    }
    return removed;
}

QStringList foldersOf(std::span<const QString> files)
{
    QStringList folders;
    for (const QString &file : files) {
        if (isAbsolutePath(file)) // a relative entry names no folder that can be known
            folders << QFileInfo(file).absolutePath();
    }
    return folders;
}

} // namespace files

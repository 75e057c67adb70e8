#include "document/atomicwrite.h"

#include "document/systemreason.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace document
{
namespace
{

// Retries writes cut short by a signal or by the system taking fewer bytes than offered.
bool writeAll(int fd, QByteArrayView bytes, int *error)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (written == 0) {
            *error = ENOSPC;
            return false;
        }
        p += written;
        left -= written;
    }
    return true;
}

// Opens a new file beside target with a name no other file has, and locks it for as long as it
// is open, which tells the start-up clean-up that a live writer still owns it.
int createTemporary(const QByteArray &target, QByteArray *tempPath, int *error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = target + TemporaryMarker.data() +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36) +
                    TemporarySuffix.data();
        const int fd = ::open(tempPath->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB); // a new file: nobody else holds it
            return fd;
        }
        if (errno != EEXIST) {
            *error = errno;
            return -1;
        }
    }
    *error = EEXIST;
    return -1;
}

void syncFolder(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is done; a folder that cannot be synced changes nothing
        ::close(fd);
    }
}

} // namespace

std::optional<QString> writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    // Write through a symbolic link to the file it names, as an editor saving in place would.
    const QFileInfo info(path);
    const QString resolved = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray target = QFile::encodeName(resolved);
    if (target.isEmpty() || target.contains('\0'))
        return QStringLiteral("ファイル名が正しくありません。");

    struct stat old {
    };
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return QStringLiteral("通常のファイルではありません。");
    // A file its owner made read-only (or the system made unchangeable) is not replaced behind
    // its back just because the folder would allow a new file in its place.
    if (replacing && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return systemReason(errno);

    int error = 0;
    QByteArray tempPath;
    const int fd = createTemporary(target, &tempPath, &error);
    if (fd < 0)
        return systemReason(error);

    bool ok = writeAll(fd, bytes, &error);
    if (ok && replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keep the owner where the system allows it; an ordinary user cannot, and the file then
        // belongs to the one who saved it, as a new file would.
        [[maybe_unused]] const int kept = ::fchown(fd, old.st_uid, old.st_gid);
    }
    if (ok && replacing && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error = errno;
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && ::rename(tempPath.constData(), target.constData()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempPath.constData());
        return systemReason(error);
    }
    syncFolder(target);
    return std::nullopt;
}

} // namespace document

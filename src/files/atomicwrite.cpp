#include "files/atomicwrite.h"

#include "files/descriptor.h"
#include "files/fileidentity.h"
#include "files/fileio.h"
#include "files/inplacewrite.h"
#include "files/recoveryfolder.h"
#include "files/systemreason.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files
{
namespace
{

constexpr qsizetype kLongestRandomPart = 7;

long nameLimitOf(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
}

// Opens a new file beside target with a name no other file has, and locks it for as long as it
// is open, which tells the start-up clean-up that a live writer still owns it. A replacement
// starts readable by its writer only (mode 0600), so nobody reads the new bytes before the old
// file's permissions are copied; a new file gets the usual ones.
Descriptor createTemporary(const QByteArray &target, mode_t mode, QByteArray *tempPath, int *error)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray fileName = target.sliced(slash + 1);
    const long nameLimit = nameLimitOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray random = QByteArray::number(QRandomGenerator::global()->generate(), 36)
                                      .right(kLongestRandomPart);
        *tempPath = folder + temporaryFileName(fileName, random, nameLimit);
        Descriptor fd(::open(tempPath->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.valid()) {
            ::flock(fd.get(), LOCK_EX | LOCK_NB); // a new file: nobody else holds it
            return fd;
        }
        if (errno != EEXIST) {
            *error = errno;
            return fd;
        }
    }
    *error = EEXIST;
    return Descriptor();
}

// Why replacing by renaming stopped: nothing done yet and the file must be written in place, or
// a failure to report.
struct RenameOutcome {
    bool inPlace = false;
    std::optional<QString> failure;
};

// Writes bytes to a new file beside target and renames it over target. With old (the file being
// replaced) the new file first takes on everything the old one has; where that cannot be done,
// or the folder takes no new file, the outcome asks for writing in place instead.
RenameOutcome replaceByRenaming(const QByteArray &target, QByteArrayView bytes,
                                const struct stat *old)
{
    int error = 0;
    QByteArray tempPath;
    Descriptor fd = createTemporary(target, old ? 0600 : 0666, &tempPath, &error);
    if (!fd.valid()) {
        const bool folderRefuses = error == EACCES || error == EPERM;
        return {old && folderRefuses, systemReason(error)};
    }
    bool ok = writeAll(fd.get(), bytes, &error);
    if (ok && old) {
        const Descriptor oldFd(
            ::open(target.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!oldFd.valid() || !copyFileIdentity(oldFd.get(), target.constData(), *old, fd.get(),
                                                tempPath.constData())) {
            ::unlink(tempPath.constData());
            return {true, std::nullopt};
        }
    }
    if (ok && ::fsync(fd.get()) != 0) {
        error = errno;
        ok = false;
    }
    // Renamed while still open and locked: until the rename, the start-up clean-up of another
    // copy of the program sees a live writer and leaves the file alone. The bytes are on the
    // disk (fsync), so closing has nothing left to report.
    if (ok && ::rename(tempPath.constData(), target.constData()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempPath.constData());
        return {false, systemReason(error)};
    }
    fd.reset();
    syncFolderOf(target);
    return {};
}

} // namespace

QByteArray temporaryFileName(QByteArrayView fileName, QByteArrayView randomPart, long nameLimit)
{
    const qsizetype added = TemporaryMarker.size() + randomPart.size() + TemporarySuffix.size();
    qsizetype keep = std::min<qsizetype>(fileName.size(), nameLimit - added);
    // Cut between characters, so the shortened name still reads back as text.
    while (keep > 0 && keep < fileName.size() && (quint8(fileName[keep]) & 0xC0) == 0x80)
        --keep;
    const QByteArray name = keep > 0 ? fileName.first(keep).toByteArray() : QByteArray("t");
    return name + TemporaryMarker.toByteArray() + randomPart.toByteArray() +
           TemporarySuffix.toByteArray();
}

std::optional<QString> writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    // Write through a symbolic link to the file it names, as an editor saving in place would.
    // A chain of links is followed to its end; a loop is left to the system to report.
    QString resolved = path;
    for (int hops = 0; hops < 40 && QFileInfo(resolved).isSymLink(); ++hops)
        resolved = QFileInfo(resolved).symLinkTarget();
    const QByteArray target = QFile::encodeName(resolved);
    if (target.isEmpty() || target.contains('\0') || target.endsWith('/'))
        return QStringLiteral("ファイル名が正しくありません。");

    struct stat old {
    };
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return systemReason(EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        return notRegularFileReason();
    // A file its owner made read-only (or the system made unchangeable) is not replaced behind
    // its back just because the folder would allow a new file in its place.
    if (replacing && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return systemReason(errno);

    // A file with other names stays one file with all of them: it is written in place.
    if (replacing && old.st_nlink > 1)
        return overwriteInPlace(target, bytes, recoveryFolder());
    const RenameOutcome outcome = replaceByRenaming(target, bytes, replacing ? &old : nullptr);
    if (outcome.inPlace)
        return overwriteInPlace(target, bytes, recoveryFolder());
    return outcome.failure;
}

} // namespace files

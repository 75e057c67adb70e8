#include "files/recoveryfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <signal.h>
#include <sys/stat.h>

namespace files
{

QString recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tavlen/Recovery");
}

QString snapshotFileName(const QString &folder, const QString &id)
{
    return folder + QLatin1Char('/') + id + QStringLiteral(".snapshot");
}

QString lockFileName(const QString &folder, const QString &id)
{
    return folder + QLatin1Char('/') + id + QStringLiteral(".lock");
}

namespace
{

// Whether the lock file names a running process other than this one.
bool lockedByAnotherProcess(const QString &lockFile)
{
    QLockFile lock(lockFile);
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0 ||
        pid == QCoreApplication::applicationPid())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool sameFileOnDisk(const QString &a, const struct stat &b)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(a).constData(), &info) == 0 && info.st_dev == b.st_dev &&
           info.st_ino == b.st_ino;
}

} // namespace

bool heldByAnotherCopy(const QString &folder, const QString &path)
{
    struct stat target {
    };
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return false;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.snapshot")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString id = name.chopped(int(qstrlen(".snapshot")));
        if (!lockedByAnotherProcess(lockFileName(folder, id)))
            continue;
        QFile file(snapshotFileName(folder, id));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<QString> held = decodeSnapshotPath(file.read(kSnapshotHeadMax));
        if (held && !held->isEmpty() && (*held == path || sameFileOnDisk(*held, target)))
            return true;
    }
    return false;
}

bool LeftSnapshot::remove(QString *reason)
{
    QFile snapshotFile(file);
    if (snapshotFile.remove() || !snapshotFile.exists())
        return true;
    if (reason)
        *reason = snapshotFile.errorString();
    return false;
}

std::vector<LeftSnapshot> claimLeftSnapshots(const QString &folder)
{
    std::vector<LeftSnapshot> left;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.snapshot")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString id = name.chopped(int(qstrlen(".snapshot")));
        auto lock = std::make_unique<QLockFile>(lockFileName(folder, id));
        lock->setStaleLockTime(0); // a running copy's lock is never stale, however old
        if (!lock->tryLock(0))
            continue; // its writer is still running (or the lock cannot be had)
        QFile file(snapshotFileName(folder, id));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        std::optional<Snapshot> snapshot = decodeSnapshot(file.readAll());
        if (!snapshot)
            continue;
        left.push_back({file.fileName(), std::move(*snapshot), std::move(lock)});
    }
    std::sort(left.begin(), left.end(), [](const LeftSnapshot &a, const LeftSnapshot &b) {
        return a.snapshot.time > b.snapshot.time;
    });
    return left;
}

} // namespace files

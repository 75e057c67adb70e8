#include "document/recoveryfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace document
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

} // namespace document

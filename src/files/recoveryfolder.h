#pragma once

#include "files/snapshot.h"

#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

namespace files
{

// The per-user folder of snapshots of unsaved documents. Each running copy of the program
// writes "<id>.snapshot" and holds the lock file "<id>.lock" while it runs, so a snapshot whose
// lock is free was left behind by a copy that ended without closing normally.
QString recoveryFolder();
QString snapshotFileName(const QString &folder, const QString &id);
QString lockFileName(const QString &folder, const QString &id);

// A snapshot left behind by a copy of the program that is no longer running. Its lock is held
// by this copy for as long as the object lives, so no other copy offers it at the same time.
struct LeftSnapshot {
    QString file;
    Snapshot snapshot;
    std::unique_ptr<QLockFile> lock;

    // Deletes the snapshot; false when the file stays (the reason in *reason).
    bool remove(QString *reason = nullptr);
};

// Whether another running copy of the program keeps, in folder, a snapshot of unsaved changes to
// the file at path (the same file, under whatever name).
bool heldByAnotherCopy(const QString &folder, const QString &path);

// The snapshots in folder that no running copy holds, newest first. Files that are not
// snapshots are left alone and not returned.
std::vector<LeftSnapshot> claimLeftSnapshots(const QString &folder);

} // namespace files

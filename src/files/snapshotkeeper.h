#pragma once

#include "files/snapshot.h"

#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <thread>

namespace files
{

// Keeps a snapshot of the unsaved document in the recovery folder. Changes are coalesced: the
// snapshot is written once typing has paused for half a second, and at the latest a few seconds
// after the first change it has not seen. The file is written atomically on a worker thread, so
// a big document does not hold up typing. The copy holds its lock file for as long as it lives;
// an orderly end removes the snapshot, a crash leaves it for the next start.
class SnapshotKeeper : public QObject
{
    Q_OBJECT
public:
    // What to keep now, taken on this thread; nullopt when there is nothing unsaved.
    using Source = std::function<std::optional<Snapshot>()>;

    SnapshotKeeper(const QString &folder, Source source, QObject *parent = nullptr);
    ~SnapshotKeeper() override;

    // False when the folder or the lock file could not be made (then nothing is kept).
    bool enabled() const { return m_enabled; }
    QString folder() const { return m_folder; }
    // This copy's id in the folder: it holds the lock file of that name while enabled.
    QString id() const { return m_id; }
    QString snapshotFile() const;

    // Milliseconds of quiet before a write, and the longest a change waits for one.
    void setDelays(int idleMs, int maxWaitMs);

    // The document changed: a snapshot follows within the delays.
    void changed();
    // Writes the snapshot now, on this thread; the reason when it could not be written.
    std::optional<QString> writeNow();
    // The document was saved or given up: removes the snapshot and forgets pending changes.
    void discard();

Q_SIGNALS:
    // A snapshot could not be written; reported once until a write succeeds again.
    void writeFailed(const QString &reason);

private:
    void write();
    void finished(unsigned generation, const std::optional<QString> &failure);
    void waitForWriter();
    void report(const std::optional<QString> &failure);
    void removeFile();

    QString m_folder;
    QString m_id;
    Source m_source;
    std::unique_ptr<QLockFile> m_lock;
    bool m_enabled = false;
    QTimer m_idle;
    QTimer m_maxWait;
    std::thread m_writer;
    bool m_writing = false;
    bool m_writeAgain = false;
    unsigned m_generation = 0; // a write of an older generation no longer matters
    bool m_failureReported = false;
};

} // namespace files

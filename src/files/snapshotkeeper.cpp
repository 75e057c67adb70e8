#include "files/snapshotkeeper.h"

#include "files/atomicwrite.h"
#include "files/recoveryfolder.h"

#include <QDir>
#include <QFile>
#include <QUuid>

namespace files
{
namespace
{
constexpr int kIdleMs = 500;
constexpr int kMaxWaitMs = 5000;
} // namespace

SnapshotKeeper::SnapshotKeeper(const QString &folder, Source source, QObject *parent)
    : QObject(parent), m_folder(folder), m_id(QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_source(std::move(source))
{
    m_idle.setSingleShot(true);
    m_maxWait.setSingleShot(true);
    setDelays(kIdleMs, kMaxWaitMs);
    connect(&m_idle, &QTimer::timeout, this, &SnapshotKeeper::write);
    connect(&m_maxWait, &QTimer::timeout, this, &SnapshotKeeper::write);
    if (!QDir().mkpath(m_folder))
        return;
    QFile::setPermissions(m_folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_lock = std::make_unique<QLockFile>(lockFileName(m_folder, m_id));
    m_enabled = m_lock->tryLock(0);
}

SnapshotKeeper::~SnapshotKeeper()
{
    discard();
}

QString SnapshotKeeper::snapshotFile() const
{
    return snapshotFileName(m_folder, m_id);
}

void SnapshotKeeper::setDelays(int idleMs, int maxWaitMs)
{
    m_idle.setInterval(idleMs);
    m_maxWait.setInterval(maxWaitMs);
}

void SnapshotKeeper::changed()
{
    if (!m_enabled)
        return;
    m_idle.start();
    if (!m_maxWait.isActive())
        m_maxWait.start();
}

void SnapshotKeeper::write()
{
    m_idle.stop();
    m_maxWait.stop();
    if (m_writing) {
        m_writeAgain = true;
        return;
    }
    waitForWriter();
    std::optional<Snapshot> snapshot = m_source();
    if (!snapshot) {
        removeFile();
        return;
    }
    m_writing = true;
    const unsigned generation = m_generation;
    m_writer =
        std::thread([this, generation, path = snapshotFile(), snapshot = std::move(*snapshot)] {
            const std::optional<QString> failure =
                writeFileAtomically(path, encodeSnapshot(snapshot));
            QMetaObject::invokeMethod(
                this, [this, generation, failure] { finished(generation, failure); },
                Qt::QueuedConnection);
        });
}

void SnapshotKeeper::finished(unsigned generation, const std::optional<QString> &failure)
{
    waitForWriter();
    if (generation != m_generation)
        return; // discarded meanwhile
    report(failure);
    if (m_writeAgain) {
        m_writeAgain = false;
        changed();
    }
}

void SnapshotKeeper::waitForWriter()
{
    if (m_writer.joinable())
        m_writer.join();
    m_writing = false;
}

void SnapshotKeeper::report(const std::optional<QString> &failure)
{
    if (!failure) {
        m_failureReported = false;
        return;
    }
    if (!m_failureReported)
        Q_EMIT writeFailed(*failure);
    m_failureReported = true;
}

std::optional<QString> SnapshotKeeper::writeNow()
{
    if (!m_enabled)
        return QStringLiteral("復元用のフォルダーを使えません。\r\n%1").arg(m_folder);
    m_idle.stop();
    m_maxWait.stop();
    m_writeAgain = false;
    waitForWriter();
    ++m_generation;
    const std::optional<Snapshot> snapshot = m_source();
    if (!snapshot) {
        removeFile();
        return std::nullopt;
    }
    const std::optional<QString> failure =
        writeFileAtomically(snapshotFile(), encodeSnapshot(*snapshot));
    report(failure);
    return failure;
}

void SnapshotKeeper::discard()
{
    m_idle.stop();
    m_maxWait.stop();
    m_writeAgain = false;
    waitForWriter();
    ++m_generation;
    removeFile();
}

void SnapshotKeeper::removeFile()
{
    if (m_enabled)
        QFile::remove(snapshotFile());
}

} // namespace files

#include "files/scratchfiles.h"

#include "files/recoveryfolder.h"
#include "files/systemreason.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files
{
namespace
{

const QString RecordSuffix = QStringLiteral(".scratch");

// A record holds the file's path; once the file exists, a NUL and its device and inode follow.
QByteArray identityOf(const struct stat &info)
{
    return QByteArray::number(quint64(info.st_dev)) + ' ' +
           QByteArray::number(quint64(info.st_ino));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool writeRecord(const QString &record, const QByteArray &bytes, int flags)
{
    const int fd =
        ::open(QFile::encodeName(record).constData(), O_WRONLY | O_CLOEXEC | flags, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes);
    return ::close(fd) == 0 && written;
}

} // namespace

ScratchFiles::ScratchFiles(QString recordFolder, QString owner)
    : m_folder(std::move(recordFolder)), m_owner(std::move(owner))
{
}

ScratchFiles::~ScratchFiles()
{
    removeAllBut();
}

QString ScratchFiles::recordName(int serial) const
{
    return m_folder + QLatin1Char('/') + m_owner + QLatin1Char('.') + QString::number(serial) +
           RecordSuffix;
}

bool ScratchFiles::create(const QString &path, const QByteArray &bytes, QString *reason,
                          bool *nameTaken)
{
    *nameTaken = false;
    const QByteArray native = QFile::encodeName(path);
    // Recorded before it exists, so that no moment of its life goes unrecorded.
    QString record;
    if (!m_folder.isEmpty()) {
        record = recordName(++m_serial);
        if (!writeRecord(record, native, O_CREAT | O_TRUNC))
            record.clear(); // the folder cannot take it: the file goes when loaded, as before
    }
    const auto fail = [&](int error, bool created) {
        *reason = systemReason(error);
        if (created)
            ::unlink(native.constData());
        if (!record.isEmpty())
            QFile::remove(record);
        return false;
    };
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *nameTaken = errno == EEXIST;
        return fail(errno, false);
    }
    struct stat info {
    };
    if (!record.isEmpty() && ::fstat(fd, &info) == 0)
        writeRecord(record, QByteArray(1, '\0') + identityOf(info), O_APPEND);
    if (!writeAll(fd, bytes)) {
        const int error = errno;
        ::close(fd);
        return fail(error, true);
    }
    if (::close(fd) != 0)
        return fail(errno, true);
    m_files << path;
    m_recordsFor << record;
    return true;
}

void ScratchFiles::forget(qsizetype index)
{
    QFile::remove(m_files.at(index));
    if (!m_recordsFor.at(index).isEmpty())
        QFile::remove(m_recordsFor.at(index)); // after the file: a record never outlives it
    m_files.removeAt(index);
    m_recordsFor.removeAt(index);
}

bool ScratchFiles::remove(const QString &path)
{
    const qsizetype index = m_files.indexOf(path);
    if (index < 0)
        return false;
    forget(index);
    return true;
}

void ScratchFiles::removeAllBut(const QString &keep)
{
    for (qsizetype k = m_files.size() - 1; k >= 0; --k)
        if (m_files.at(k) != keep)
            forget(k);
}

int removeRecordedScratchFiles(const QString &folder)
{
    int removed = 0;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*") + RecordSuffix}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString owner = name.section(QLatin1Char('.'), 0, 0);
        QLockFile lock(lockFileName(folder, owner));
        lock.setStaleLockTime(0); // a running copy's lock is never stale, however old
        if (owner.isEmpty() || !lock.tryLock(0))
            continue; // its copy of the program still runs
        const QString record = folder + QLatin1Char('/') + name;
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray contents = file.readAll();
        file.close();
        const qsizetype nul = contents.indexOf('\0');
        struct stat info {
        };
        // Without an identity the file was never made (or made a moment before the end, which
        // cannot be told from someone else's file of that name): it is left alone.
        if (nul > 0 && ::lstat(contents.left(nul).constData(), &info) == 0 &&
            S_ISREG(info.st_mode) && identityOf(info) == contents.mid(nul + 1) &&
            ::unlink(contents.left(nul).constData()) == 0)
            ++removed;
        QFile::remove(record);
    }
    return removed;
}

} // namespace files

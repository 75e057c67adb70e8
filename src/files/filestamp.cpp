#include "files/filestamp.h"

#include "files/regularfile.h"

#include <QFile>

#include <xxhash.h>

#include <sys/stat.h>

#include <limits>
#include <variant>

namespace files
{

FileStamp stampOf(const QString &path)
{
    struct stat info {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    return stamp;
}

FileStamp stampOf(const QString &path, QByteArrayView content)
{
    FileStamp stamp = stampOf(path);
    stamp.hashed = true;
    stamp.contentHash = contentHash(content);
    return stamp;
}

quint64 contentHash(QByteArrayView bytes)
{
    return XXH3_64bits(bytes.data(), size_t(bytes.size()));
}

bool changedSince(const FileStamp &then, const QString &path)
{
    const FileStamp now = stampOf(path);
    const bool sameFile = now.exists == then.exists && now.size == then.size &&
                          now.device == then.device && now.inode == then.inode;
    if (!sameFile)
        return true;
    if (!now.exists || (now.modifiedNs == then.modifiedNs && now.changedNs == then.changedNs))
        return false;
    // Written since, but perhaps with the same bytes (old bytes put back after a save in place
    // was cut short): only other content is another program's change.
    if (!then.hashed)
        return now.modifiedNs != then.modifiedNs;
    const auto bytes = readRegularFile(path, std::numeric_limits<qint64>::max());
    const QByteArray *read = std::get_if<QByteArray>(&bytes);
    return !read || contentHash(*read) != then.contentHash;
}

} // namespace files

#include "files/regularfile.h"

#include "files/descriptor.h"
#include "files/systemreason.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files
{
namespace
{

QString openFailure(const QString &path, int error)
{
    if (error == ENOENT && path.contains(QChar::ReplacementCharacter))
        return QStringLiteral("ファイル名に UTF-8 として正しくないバイトが含まれています"
                              "（「\uFFFD」と表示した部分）。この名前のままでは開けません。"
                              "ファイル名を変えてから開いてください。");
    return systemReason(error, FileAccess::Read);
}

QString tooLarge(qint64 maxSize)
{
    return QStringLiteral("ファイルが大きすぎます（%1 バイトまで）。").arg(maxSize);
}

} // namespace

std::variant<QByteArray, QString> readRegularFile(const QString &path, qint64 maxSize)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.contains('\0'))
        return QStringLiteral("ファイル名が正しくありません。");
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return openFailure(path, errno);
    struct stat info {
    };
    if (::fstat(fd.get(), &info) != 0)
        return systemReason(errno, FileAccess::Read);
    if (S_ISDIR(info.st_mode))
        return systemReason(EISDIR, FileAccess::Read);
    if (!S_ISREG(info.st_mode))
        return notRegularFileReason();
    if (info.st_size > maxSize)
        return tooLarge(maxSize);

    // One byte more than the size: the read that finds the end needs no second buffer.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() > maxSize)
                return tooLarge(maxSize);
            bytes.resize(have + 65536); // the file grew while it was read
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + have, size_t(bytes.size() - have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemReason(errno, FileAccess::Read);
        }
        if (got == 0)
            break;
        have += got;
    }
    bytes.truncate(have);
    return bytes;
}

} // namespace files

#include "files/inplacewrite.h"

#include "files/descriptor.h"
#include "files/fileio.h"
#include "files/originalcopy.h"
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

bool readWhole(int fd, qsizetype size, QByteArray *bytes, int *error)
{
    bytes->resize(size);
    qsizetype have = 0;
    while (have < size) {
        const ssize_t got = ::pread(fd, bytes->data() + have, size_t(size - have), have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            *error = got < 0 ? errno : EIO; // shorter than it was a moment ago
            return false;
        }
        have += got;
    }
    return true;
}

// Makes the file open as fd hold exactly bytes: written from the start, cut to their length and
// flushed to the disk.
bool replaceContent(int fd, QByteArrayView bytes, int *error)
{
    if (::lseek(fd, 0, SEEK_SET) != 0 || !writeAll(fd, bytes, error) ||
        ::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0) {
        if (*error == 0)
            *error = errno;
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> overwriteInPlace(const QByteArray &target, QByteArrayView bytes,
                                        const QString &copyFolder)
{
    const Descriptor fd(::open(target.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return systemReason(errno);
    struct stat info {
    };
    if (::fstat(fd.get(), &info) != 0)
        return systemReason(errno);
    if (!S_ISREG(info.st_mode))
        return notRegularFileReason();
    int error = 0;
    QByteArray old;
    if (!readWhole(fd.get(), qsizetype(info.st_size), &old, &error))
        return systemReason(error, FileAccess::Read);

    auto kept = OriginalCopy::keep(copyFolder, QFile::decodeName(target), old);
    if (const QString *failure = std::get_if<QString>(&kept))
        return QStringLiteral("上書きする前の内容の控えを作れないため、保存しませんでした"
                              "（%1）。")
            .arg(*failure);
    OriginalCopy &copy = std::get<OriginalCopy>(kept);

    // Room for a longer text is claimed before a byte changes, so a full disk stops here.
    if (bytes.size() > old.size() &&
        ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        error = errno;
        copy.remove();
        return systemReason(error);
    }
    if (replaceContent(fd.get(), bytes, &error)) {
        copy.remove();
        return std::nullopt;
    }
    const QString reason = systemReason(error);
    int restoreError = 0;
    if (replaceContent(fd.get(), old, &restoreError)) {
        copy.remove();
        return reason;
    }
    return QStringLiteral("%1\r\n元の内容に戻すこともできませんでした。保存前の内容は %2 "
                          "に残してあり、次の起動時に元に戻せます。")
        .arg(reason, copy.file());
}

} // namespace files

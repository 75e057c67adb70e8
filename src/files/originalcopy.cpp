#include "files/originalcopy.h"

#include "files/fileio.h"
#include "files/regularfile.h"
#include "files/systemreason.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace files
{
namespace
{

constexpr QByteArrayView kMagic = "Tavlen original 1\n";
const QString kSuffix = QStringLiteral(".original");
// A copy holds a document, a tag set or the settings; documents stop at 512 MiB.
constexpr qint64 kMaxCopySize = 600LL * 1024 * 1024;

} // namespace

QByteArray encodeOriginal(const OriginalContent &content)
{
    QByteArray out = kMagic.toByteArray();
    out += "path=" + QUrl::toPercentEncoding(content.path) + '\n';
    out += "size=" + QByteArray::number(content.bytes.size()) + "\n\n";
    out += content.bytes;
    return out;
}

std::optional<OriginalContent> decodeOriginal(QByteArrayView data)
{
    if (!data.startsWith(kMagic))
        return std::nullopt;
    const qsizetype end = data.indexOf("\n\n");
    if (end < 0)
        return std::nullopt;
    const QList<QByteArray> lines =
        data.sliced(kMagic.size(), end - kMagic.size()).toByteArray().split('\n');
    if (lines.size() != 2 || !lines[0].startsWith("path=") || !lines[1].startsWith("size="))
        return std::nullopt;
    bool ok = false;
    const qint64 size = lines[1].mid(5).toLongLong(&ok);
    const QByteArrayView body = data.sliced(end + 2);
    const QString path = QUrl::fromPercentEncoding(lines[0].mid(5));
    if (!ok || size != body.size() || path.isEmpty())
        return std::nullopt;
    return OriginalContent{path, body.toByteArray()};
}

std::variant<OriginalCopy, QString> OriginalCopy::keep(const QString &folder, const QString &path,
                                                       QByteArrayView bytes)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("控えを置くフォルダー %1 を作成できません。").arg(folder);
    const QString file =
        folder + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) + kSuffix;
    const QByteArray name = QFile::encodeName(file);
    Descriptor fd(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid())
        return systemReason(errno);
    ::flock(fd.get(), LOCK_EX | LOCK_NB); // a new file: nobody else holds it
    int error = 0;
    bool ok = writeAll(fd.get(), encodeOriginal({path, bytes.toByteArray()}), &error);
    if (ok && ::fsync(fd.get()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(name.constData());
        return systemReason(error);
    }
    syncFolderOf(name);
    return OriginalCopy(file, std::move(fd));
}

void OriginalCopy::remove()
{
    ::unlink(QFile::encodeName(m_file).constData());
    m_fd.reset();
}

bool LeftOriginal::remove(QString *reason)
{
    if (::unlink(QFile::encodeName(file).constData()) == 0 || errno == ENOENT)
        return true;
    if (reason)
        *reason = systemReason(errno);
    return false;
}

std::vector<LeftOriginal> claimLeftOriginals(const QString &folder)
{
    std::vector<LeftOriginal> left;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*") + kSuffix},
                                                     QDir::Files | QDir::Hidden, QDir::Time);
    for (const QString &name : names) {
        const QString file = folder + QLatin1Char('/') + name;
        Descriptor fd(::open(QFile::encodeName(file).constData(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {
        };
        if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue; // not ours, or its writer is still at work
        auto data = readRegularFile(file, kMaxCopySize);
        const QByteArray *bytes = std::get_if<QByteArray>(&data);
        std::optional<OriginalContent> content = bytes ? decodeOriginal(*bytes) : std::nullopt;
        if (content)
            left.push_back({file, std::move(*content), std::move(fd)});
    }
    return left;
}

} // namespace files

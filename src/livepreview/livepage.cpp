#include "livepreview/livepage.h"

#include "livepreview/servedpath.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace livepreview
{

namespace
{

QString nextHost()
{
    static int count = 0;
    return QStringLiteral("page%1").arg(++count);
}

// The page's own name in its address: a document never saved is shown under this one.
const QString UnsavedName = QStringLiteral("untitled.html");

// The file at path opened for reading, when it is a regular file; without waiting on a pipe or a
// device that sits in the folder.
QFile *openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto *file = new QFile;
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        delete file;
        return nullptr;
    }
    return file;
}

QByteArray mimeTypeOf(const QString &path)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}

} // namespace

LivePage::LivePage(QObject *parent) : QObject(parent), m_host(nextHost())
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &LivePage::linkedFileChanged);
}

void LivePage::setPage(const QString &folder, const QString &fileName, const QByteArray &bytes,
                       const QByteArray &charset)
{
    if (folder != m_folder) {
        if (!m_watcher.files().isEmpty())
            m_watcher.removePaths(m_watcher.files());
        m_served.clear();
    }
    m_folder = folder;
    m_fileName = fileName.isEmpty() ? UnsavedName : fileName;
    m_bytes = bytes;
    m_charset = charset;
}

QUrl LivePage::url() const
{
    QUrl url;
    url.setScheme(LiveScheme);
    url.setHost(m_host);
    url.setPath(QLatin1Char('/') + m_fileName);
    return url;
}

QVariantMap LivePage::serve(const QString &path)
{
    if (path == QLatin1Char('/') + m_fileName) {
        return {{QStringLiteral("mime"), QByteArray("text/html; charset=") + m_charset},
                {QStringLiteral("data"), m_bytes}};
    }
    const std::optional<QString> file = servedFile(m_folder, path);
    if (!file)
        return {};
    QFile *device = openRegularFile(*file);
    if (!device)
        return {};
    if (!m_served.contains(*file)) {
        m_served.insert(*file);
        m_watcher.addPath(*file);
    }
    return {{QStringLiteral("mime"), mimeTypeOf(*file)},
            {QStringLiteral("device"), QVariant::fromValue<QObject *>(device)}};
}

void LivePage::rewatch()
{
    const QStringList watched = m_watcher.files();
    for (const QString &file : std::as_const(m_served))
        if (!watched.contains(file) && QFileInfo::exists(file))
            m_watcher.addPath(file);
}

} // namespace livepreview

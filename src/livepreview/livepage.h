#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QVariantMap>

namespace livepreview
{

// The scheme of the live preview's addresses: tavlen-live://<page's host>/<path in the folder>.
inline constexpr QLatin1String LiveScheme{"tavlen-live"};

// What the live preview shows: the document's bytes as they would be saved, kept in memory, and
// the files of the document's folder its page uses, read from disk. The browser engine's scheme
// handler asks serve() for each address under the page's host. The files served are watched;
// when one changes on disk, linkedFileChanged is emitted.
class LivePage : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString host READ host CONSTANT)
public:
    explicit LivePage(QObject *parent = nullptr);

    // The page: the document's folder (empty for a document never saved: then only the page
    // itself is served), its file name, its bytes and their encoding's name.
    void setPage(const QString &folder, const QString &fileName, const QByteArray &bytes,
                 const QByteArray &charset);
    // The page's address.
    QUrl url() const;
    // The name of the page's encoding.
    QByteArray charset() const { return m_charset; }
    // This page's host in the addresses, one per page object.
    QString host() const { return m_host; }

    // The answer for the path of an address under this page's host: {"mime", "data"} for the page
    // itself, {"mime", "device"} (a QIODevice opened for reading, for the caller to own) for a
    // regular file in the folder's tree, an empty map for anything else.
    Q_INVOKABLE QVariantMap serve(const QString &path);

    // Watches again the files served that were replaced on disk (a program that saves by
    // renaming a new file over the old one ends the watch).
    void rewatch();

Q_SIGNALS:
    void linkedFileChanged(const QString &path);

private:
    QString m_host;
    QString m_folder;
    QString m_fileName;
    QByteArray m_bytes;
    QByteArray m_charset;
    QSet<QString> m_served;
    QFileSystemWatcher m_watcher;
};

} // namespace livepreview

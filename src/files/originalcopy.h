#pragma once

#include "files/descriptor.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace files
{

// A complete copy of a file's old bytes, kept in the recovery folder while the file itself is
// overwritten in place, so that an interruption at any moment leaves the old content somewhere.
// The copy is written and flushed to the disk before the file is touched, and its writer holds
// it locked (flock) while the object lives. The object's end leaves the copy on disk unless
// remove() was called: a copy left behind is offered back at the next start.
class OriginalCopy
{
public:
    // Writes the copy of bytes, the old content of the file at path, into folder (created when
    // missing). The reason when it could not be written completely; nothing is left then.
    static std::variant<OriginalCopy, QString> keep(const QString &folder, const QString &path,
                                                    QByteArrayView bytes);

    QString file() const { return m_file; }
    // The file was written completely (or put back as it was): the copy is not needed.
    void remove();

private:
    OriginalCopy(QString file, Descriptor fd) : m_file(std::move(file)), m_fd(std::move(fd)) {}
    QString m_file;
    Descriptor m_fd;
};

// The bytes of a copy file, and back; nullopt for anything else (a foreign or damaged file).
struct OriginalContent {
    QString path;
    QByteArray bytes;
};
QByteArray encodeOriginal(const OriginalContent &content);
std::optional<OriginalContent> decodeOriginal(QByteArrayView data);

// A copy that a writer which is no longer running left behind. This process holds its lock for
// as long as the object lives, so no other copy of the program offers it at the same time.
struct LeftOriginal {
    QString file;
    OriginalContent content;
    Descriptor lock;

    // Deletes the copy; false when it stays (the reason in *reason).
    bool remove(QString *reason = nullptr);
};

// The copies in folder that no running writer holds: this user's regular files of the copy's
// name form with a readable content. Anything else is left alone and not returned.
std::vector<LeftOriginal> claimLeftOriginals(const QString &folder);

} // namespace files

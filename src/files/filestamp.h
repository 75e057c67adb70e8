#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace files
{

// What a file on disk looked like at one moment: enough to notice that another program wrote,
// replaced or deleted it since. Two stamps of an unchanged file compare equal.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 device = 0;
    quint64 inode = 0;    // a file replaced by renaming another over it gets a new one
    qint64 changedNs = 0; // status change time: moves with every write, even one whose
                          // modification time was put back afterwards
    bool hashed = false;  // contentHash holds the hash of the bytes read or written
    quint64 contentHash = 0;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The stamp of the file at path now; exists is false when there is no file there.
FileStamp stampOf(const QString &path);
// The same, with the hash of content, the bytes just read from or written to the file.
FileStamp stampOf(const QString &path, QByteArrayView content);

// The hash kept in a stamp (xxHash, XXH3 64 bits).
quint64 contentHash(QByteArrayView bytes);

// Whether the file at path is no longer what then describes: deleted, replaced or another size.
// When it was only written or touched since (a new modification or status change time), the
// content decides if then has its hash: the file is read and the hashes compared.
bool changedSince(const FileStamp &then, const QString &path);

} // namespace files

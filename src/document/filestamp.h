#pragma once

#include <QString>
#include <QtGlobal>

namespace document
{

// What a file on disk looked like at one moment: enough to notice that another program wrote,
// replaced or deleted it since. Two stamps of an unchanged file compare equal.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 device = 0;
    quint64 inode = 0; // a file replaced by renaming another over it gets a new one

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The stamp of the file at path now; exists is false when there is no file there.
FileStamp stampOf(const QString &path);

} // namespace document

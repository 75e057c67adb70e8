#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace files
{

// Writes all of bytes to fd at its current offset, retrying writes cut short by a signal or by
// the system taking fewer bytes than offered. False with the errno value in *error otherwise.
bool writeAll(int fd, QByteArrayView bytes, int *error);

// Flushes the folder holding path (its entries: a new, renamed or removed name) to the disk. A
// folder that cannot be synced changes nothing for the caller, so nothing is reported.
void syncFolderOf(const QByteArray &path);

} // namespace files

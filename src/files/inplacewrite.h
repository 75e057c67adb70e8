#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace files
{

// Overwrites the regular file at target (no symbolic link) with exactly bytes while it stays the
// same file: same inode, links, owner, permissions, ACL and attributes. A complete copy of the
// old bytes is first written and flushed in copyFolder; then the file is overwritten, cut to the
// new length and flushed, and the copy removed. A failure while overwriting puts the old bytes
// back; when even that fails the copy stays, the reason says where, and the next start offers it.
// nullopt on success, else a Japanese reason.
std::optional<QString> overwriteInPlace(const QByteArray &target, QByteArrayView bytes,
                                        const QString &copyFolder);

} // namespace files

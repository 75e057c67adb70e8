#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace files
{

// Replaces the file at path with exactly bytes, or leaves it as it was. The bytes go to a new
// file in the same folder, every write is checked, the data is flushed to the disk, and only then
// does the new file take the old one's name, after taking on the old file's owner, group, mode,
// ACL and extended attributes. A file that has other hard links, or whose identity the new file
// cannot take on, or that lies in a folder which takes no new file, is written in place instead
// (overwriteInPlace: a synced copy of the old bytes in the recovery folder first). A symbolic
// link is written through to the file it names. On any failure the old file is as it was, no
// temporary file remains, and the result is the system's reason (a Japanese sentence naming the
// cause). A file that may not be written to (read-only, unchangeable) is refused rather than
// replaced. nullopt on success.
std::optional<QString> writeFileAtomically(const QString &path, QByteArrayView bytes);

// The temporary file is named <file name> + TemporaryMarker + 1 to 7 characters of [0-9a-z] +
// TemporarySuffix, and is locked (flock) while its writer has it open. A crash between writing
// and renaming leaves it behind; removeWriteLeftovers() recognises it by exactly this form.
inline constexpr QByteArrayView TemporaryMarker = ".tavlen-";
inline constexpr QByteArrayView TemporarySuffix = ".tmp";

// The temporary name for fileName (bytes, no folder) with randomPart, never longer than
// nameLimit bytes: a file name too long to carry the additions is shortened, between characters.
QByteArray temporaryFileName(QByteArrayView fileName, QByteArrayView randomPart, long nameLimit);

} // namespace files

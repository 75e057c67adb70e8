#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace document
{

// Replaces the file at path with exactly bytes, or leaves it as it was. The bytes go to a new
// file in the same folder, every write is checked, the data is flushed to the disk, and only then
// does the new file take the old one's name (keeping the old file's permissions). On any failure
// the old file is untouched, the temporary file is removed and the result is the system's reason
// (a Japanese sentence naming the cause). A file that may not be written to (read-only,
// unchangeable) is refused rather than replaced. nullopt on success.
std::optional<QString> writeFileAtomically(const QString &path, QByteArrayView bytes);

// The temporary file is named <file name> + TemporaryMarker + 1 to 7 characters of [0-9a-z] +
// TemporarySuffix, and is locked (flock) while its writer has it open. A crash between writing
// and renaming leaves it behind; removeWriteLeftovers() recognises it by exactly this form.
inline constexpr QByteArrayView TemporaryMarker = ".tavlen-";
inline constexpr QByteArrayView TemporarySuffix = ".tmp";

} // namespace document

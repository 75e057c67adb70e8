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
// (in the user's language where the system provides one). nullopt on success.
std::optional<QString> writeFileAtomically(const QString &path, QByteArrayView bytes);

} // namespace document

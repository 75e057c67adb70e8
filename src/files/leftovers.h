#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace files
{

// Whether fileName (without folder) has the exact form of the atomic writer's temporary file.
bool isWriteLeftoverName(const QString &fileName);

// Removes, in each folder (not below), the temporary files an earlier run of the atomic writer
// left when it was killed between writing and renaming: regular files of the writer's name form,
// owned by this user, that no live writer holds locked. Anything else is left alone. Returns how
// many were removed.
int removeWriteLeftovers(const QStringList &folders);

// The folders of the given files, empty entries skipped.
QStringList foldersOf(std::span<const QString> files);

} // namespace files

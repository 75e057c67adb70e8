#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace tagsets
{

// The file name up to, and not including, its last "."; the whole name when it has none.
QString TrimExtension(const QString &fileName);

// The entries of a tag set list: an empty entry, then the names of the tag sets in folder, sorted
// without regard to case. A tag set is a file (not a folder) whose name ends in ".tag" in any
// case. A missing folder gives the empty entry only.
QStringList ListTagSets(const QString &folder);

// A Japanese message naming each tag set file in folder whose name is no text in the system's
// file name encoding (its bad bytes shown as \xNN); ListTagSets leaves those out. Empty when
// there is none.
QString undecodableTagSetsProblem(const QString &folder);

// Empties list and fills it with ListTagSets(folder). Returns why the folder cannot serve (see
// tagSetFolderProblem) and which tag sets cannot be listed, empty when all is well; the caller
// tells the user.
QString ListTagSets(QComboBox &list, const QString &folder);
// The same with the tag set folder.
QString ListTagSets(QComboBox &list);

} // namespace tagsets

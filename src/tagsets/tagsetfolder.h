#pragma once

#include <QString>
#include <QStringList>

namespace tagsets
{

// The tag set folder: "TagSets" in the program's folder when that folder is writable and not an
// installed program's (one with ../share/tavlen/TagSets beside it), else "Tavlen/TagSets" in the
// user's data folder. Created, and filled with the tag sets that come with the program, when it
// does not exist yet.
QString tagSetFolder();

// The same choice for a given program folder and stand-in data folder (the one that would hold
// "TagSets").
QString resolveTagSetFolder(const QString &programFolder, const QString &dataFolder);

// Why the existing folder cannot serve as the tag set folder: its list cannot be read, or no tag
// set can be saved in it; a Japanese message naming the folder. Empty when it can (or when it does
// not exist).
QString tagSetFolderProblem(const QString &folder);

// Copies each tag set that comes with the program into folder unless a file of that name is
// already there; a user's file is never replaced. Returns the file names copied.
QStringList seedShippedTagSets(const QString &folder);

} // namespace tagsets

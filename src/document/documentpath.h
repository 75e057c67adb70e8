#pragma once

#include <QString>

namespace document
{

// Paths as the program records them: always absolute, "/" the only separator ("\" is an ordinary
// character of a file name), and two paths name the same entry only when they are equal.

inline bool isAbsolutePath(const QString &path)
{
    return path.startsWith(QLatin1Char('/'));
}

// path made absolute against currentFolder (an absolute path is returned as given). "." segments
// and repeated "/" are dropped; when the path climbs with "..", its folder is resolved on disk, as
// opening it would. An empty path stays empty, and a relative one stays relative when
// currentFolder is not absolute (it cannot be known then).
QString absoluteDocumentPath(const QString &path, const QString &currentFolder);

// Everything before the last "/"; "/" for a file in the root folder, empty when there is none.
QString folderOfPath(const QString &path);

} // namespace document

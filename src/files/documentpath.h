#pragma once

#include <QString>
#include <QStringList>

namespace files
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

// A command-line argument as a path: a local file:// URL (as file managers pass one) becomes the
// path it names, percent-encoding decoded; anything else is taken as it is.
QString pathOfArgument(const QString &argument);

// The document the command-line arguments name, and the arguments left unused. One argument is
// the path, spaces and all. Of several, the first is the document and the others are ignored;
// only when they read as one existing file once joined by spaces (a path with spaces that was
// not quoted) and the first alone names nothing are they that path. A relative path is taken
// against currentFolder.
struct DocumentArguments {
    QString path;
    QStringList ignored;
};
DocumentArguments documentArguments(const QStringList &arguments, const QString &currentFolder);

} // namespace files

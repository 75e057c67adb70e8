#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The files of a folder a folder-wide search reads, in a fixed order.
namespace site
{

// "*.htm;*.html;*.shtml"
QString defaultPatterns();
// The patterns of a ";"-separated list, blanks around each dropped.
QStringList splitPatterns(const QString &patterns);

struct WalkOptions {
    QString folder;
    QStringList patterns; // file name patterns ("*.htm"), letter case ignored
    bool subfolders = true;
    qint64 sizeLimit = 0; // bigger files are skipped
};

// One file to read, or one entry skipped with its reason.
struct WalkEntry {
    QString path;         // absolute
    QString relativePath; // from the folder, "/"-separated
    qint64 size = 0;
    QString skipReason; // empty for a file to read
};

// Calls visit for every regular file below options.folder whose name matches a pattern (the
// files of a folder in name order, then its subfolders), and for every entry it cannot take: an
// unreadable folder, a symbolic link that leads back into a folder already walked or nowhere, a
// pipe, device or socket, a name that is not UTF-8, a file over the size limit, a file already met
// under another name. Stops when visit returns false. A failure to open the folder itself is
// returned as a Japanese sentence.
std::optional<QString> walkFolder(const WalkOptions &options,
                                  const std::function<bool(WalkEntry &&)> &visit);

} // namespace site

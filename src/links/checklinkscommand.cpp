#include "links/checklinkscommand.h"

#include "links/linkcheck.h"

#include <QDir>
#include <QFileInfo>

namespace links
{

int runCheckLinks(const QString &argument, std::FILE *out, std::FILE *err)
{
    const QFileInfo given(argument);
    if (argument.isEmpty() || !given.exists()) {
        std::fprintf(err, "たぶれん: フォルダーもファイルも見つかりません: %s\n",
                     argument.toLocal8Bit().constData());
        return 2;
    }
    const bool folder = given.isDir();
    if (!folder && !given.isFile()) {
        std::fprintf(err, "たぶれん: 普通のファイルではないので調べません: %s\n",
                     argument.toLocal8Bit().constData());
        return 2;
    }
    // A file inside the current folder is checked within it, so its links may lead up to it;
    // any other file within its own folder.
    const QString file = QDir::cleanPath(given.absoluteFilePath());
    const QString current = QDir::cleanPath(QDir::currentPath());
    QString root = QDir::cleanPath(folder ? given.absoluteFilePath() : given.absolutePath());
    if (!folder && file.startsWith(current + u'/'))
        root = current;
    const QStringList pages = folder ? sitePages(root) : QStringList{file};
    const SiteCheck check = checkLinks(root, pages);

    // Paths as the user gave them: relative to the folder, or to the current folder for a
    // relative file name.
    const QDir shownFrom(folder ? root : current);
    for (const Finding &finding : check.findings) {
        const QString shown =
            folder || given.isRelative() ? shownFrom.relativeFilePath(finding.file) : finding.file;
        std::fprintf(out, "%s:%lld:%lld: %s\n", shown.toUtf8().constData(),
                     static_cast<long long>(finding.line), static_cast<long long>(finding.column),
                     findingMessage(finding).toUtf8().constData());
    }
    for (const QString &error : check.errors)
        std::fprintf(err, "たぶれん: %s\n", error.toUtf8().constData());
    std::fflush(out);
    if (!check.errors.isEmpty())
        return 2;
    return check.findings.empty() ? 0 : 1;
}

} // namespace links

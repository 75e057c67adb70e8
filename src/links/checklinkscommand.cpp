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
    const QString root = QDir::cleanPath(folder ? given.absoluteFilePath() : given.absolutePath());
    const QStringList pages =
        folder ? sitePages(root) : QStringList{QDir::cleanPath(given.absoluteFilePath())};
    const SiteCheck check = checkLinks(root, pages);

    // Paths as the user gave them: relative to the folder, or beside the file as written.
    const QString prefix = folder ? QString() : QFileInfo(argument).path();
    const QDir rootDir(root);
    for (const Finding &finding : check.findings) {
        QString shown = rootDir.relativeFilePath(finding.file);
        if (!folder && prefix != QLatin1String("."))
            shown = QDir::cleanPath(prefix + u'/' + shown);
        std::fprintf(out, "%s:%lld:%lld: %s\n", shown.toLocal8Bit().constData(),
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

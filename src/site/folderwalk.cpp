#include "site/folderwalk.h"

#include "files/systemreason.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fnmatch.h>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace site
{

namespace
{

using Identity = std::pair<dev_t, ino_t>;

struct Pending {
    QByteArray path;     // absolute, as the system names it
    QByteArray relative; // from the folder; empty for the folder itself
};

bool isUtf8(const QByteArray &name)
{
    return QUtf8StringView(name).isValidUtf8();
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.isEmpty() ? name : folder + '/' + name;
}

class Walker
{
public:
    Walker(const WalkOptions &options, const std::function<bool(WalkEntry &&)> &visit)
        : m_options(options), m_visit(visit)
    {
        for (const QString &pattern : options.patterns)
            m_patterns.push_back(pattern.toUtf8());
    }

    std::optional<QString> run()
    {
        const QByteArray root = QFile::encodeName(m_options.folder);
        struct stat info {
        };
        if (::stat(root.constData(), &info) != 0)
            return files::systemReason(errno, files::FileAccess::Read);
        if (!S_ISDIR(info.st_mode))
            return QStringLiteral("フォルダーではありません。");
        m_folders.insert({info.st_dev, info.st_ino});
        std::vector<Pending> stack{{root, {}}};
        while (!stack.empty()) {
            Pending next = std::move(stack.back());
            stack.pop_back();
            std::vector<Pending> subfolders;
            if (!readFolder(next, subfolders))
                return std::nullopt;
            if (next.relative.isEmpty() && m_rootUnreadable)
                return m_rootReason;
            for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
                stack.push_back(std::move(*it));
        }
        return std::nullopt;
    }

private:
    bool matches(const QByteArray &name) const
    {
        return std::any_of(m_patterns.begin(), m_patterns.end(), [&](const QByteArray &pattern) {
            return ::fnmatch(pattern.constData(), name.constData(), FNM_CASEFOLD) == 0;
        });
    }

    bool report(const QByteArray &path, const QByteArray &relative, QString reason, qint64 size = 0)
    {
        return m_visit(WalkEntry{QFile::decodeName(path), QString::fromUtf8(relative), size,
                                 std::move(reason)});
    }

    // Reads one folder: reports its files, collects its subfolders. False when visit said stop.
    bool readFolder(const Pending &folder, std::vector<Pending> &subfolders)
    {
        DIR *dir = ::opendir(folder.path.constData());
        if (!dir) {
            const QString reason = QStringLiteral("フォルダーを読めません。") +
                                   files::systemReason(errno, files::FileAccess::Read);
            if (folder.relative.isEmpty()) {
                m_rootUnreadable = true;
                m_rootReason = reason;
                return true;
            }
            return report(folder.path, folder.relative + '/', reason);
        }
        std::vector<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names) {
            const QByteArray path = folder.path + '/' + name;
            const QByteArray relative = joined(folder.relative, name);
            struct stat info {
            };
            if (::stat(path.constData(), &info) != 0) {
                const int error = errno;
                struct stat link {
                };
                if (!matches(name) && !(::lstat(path.constData(), &link) == 0 &&
                                        S_ISLNK(link.st_mode) && error == ELOOP))
                    continue;
                const QString reason =
                    error == ELOOP
                        ? QStringLiteral("シンボリックリンクが輪になっていて、たどれません。")
                    : error == ENOENT ? QStringLiteral("シンボリックリンクの先がありません。")
                                      : files::systemReason(error, files::FileAccess::Read);
                if (!report(path, relative, reason))
                    return false;
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                if (!m_options.subfolders)
                    continue;
                if (!isUtf8(name)) {
                    if (!report(path, relative + '/',
                                QStringLiteral("フォルダー名が UTF-8 ではないため、"
                                               "中を読みません。")))
                        return false;
                    continue;
                }
                if (!m_folders.insert({info.st_dev, info.st_ino}).second) {
                    if (!report(path, relative + '/',
                                QStringLiteral("すでにたどったフォルダーへ戻るリンクのため、"
                                               "たどりません。")))
                        return false;
                    continue;
                }
                subfolders.push_back({path, relative});
                continue;
            }
            if (!matches(name))
                continue;
            QString reason;
            if (!S_ISREG(info.st_mode))
                reason = files::notRegularFileReason();
            else if (!isUtf8(name))
                reason = QStringLiteral("ファイル名が UTF-8 ではないため、扱いません。");
            else if (info.st_size > m_options.sizeLimit)
                reason = QStringLiteral("ファイルが大きすぎます（%1 バイトまで）。")
                             .arg(m_options.sizeLimit);
            else if (!m_files.insert({info.st_dev, info.st_ino}).second)
                reason = QStringLiteral("同じファイルを別の名前ですでに扱いました。");
            if (!report(path, relative, reason, qint64(info.st_size)))
                return false;
        }
        return true;
    }

    const WalkOptions &m_options;
    const std::function<bool(WalkEntry &&)> &m_visit;
    std::vector<QByteArray> m_patterns;
    std::set<Identity> m_folders;
    std::set<Identity> m_files;
    bool m_rootUnreadable = false;
    QString m_rootReason;
};

} // namespace

QString defaultPatterns()
{
    return QStringLiteral("*.htm;*.html;*.shtml");
}

QStringList splitPatterns(const QString &patterns)
{
    QStringList list;
    for (const QString &piece : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = piece.trimmed();
        if (!pattern.isEmpty())
            list.append(pattern);
    }
    return list;
}

std::optional<QString> walkFolder(const WalkOptions &options,
                                  const std::function<bool(WalkEntry &&)> &visit)
{
    return Walker(options, visit).run();
}

} // namespace site

#include "tagsets/tagsetlist.h"

#include "tagsets/tagsetfolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

#include <dirent.h>

namespace tagsets
{

QString TrimExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

namespace
{

bool hasTagExtension(QByteArrayView fileName)
{
    return fileName.size() >= 4 && fileName.last(4).compare(".tag", Qt::CaseInsensitive) == 0;
}

// The length of the UTF-8 character at the start of bytes, 0 when none starts there.
qsizetype utf8CharacterLength(QByteArrayView bytes)
{
    const auto lead = uchar(bytes.front());
    const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length > bytes.size())
        return 0;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(bytes.first(length));
    return decoder.hasError() || decoded.isEmpty() ? 0 : length;
}

// The file name with each byte that is no part of a character written as \xNN, and control
// characters as well, so that any name can be shown.
QString shownFileName(QByteArrayView bytes)
{
    QString shown;
    while (!bytes.isEmpty()) {
        const qsizetype length = utf8CharacterLength(bytes);
        const QString character = length > 0 ? QString::fromUtf8(bytes.first(length)) : QString();
        if (length == 0 || character.front().category() == QChar::Other_Control) {
            shown += QStringLiteral("\\x") +
                     QString::number(uchar(bytes.front()), 16).rightJustified(2, u'0').toUpper();
            bytes = bytes.sliced(1);
        } else {
            shown += character;
            bytes = bytes.sliced(length);
        }
    }
    return shown;
}

struct Listing {
    QStringList names;       // tag set names, unsorted
    QStringList undecodable; // shown names of tag set files whose name is no text
};

// Reads the folder's own byte names: a name the system's file name encoding cannot turn into
// text and back would be listed under a name no file has.
Listing readListing(const QString &folder)
{
    Listing listing;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return listing;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray fileName(entry->d_name);
        if (!hasTagExtension(fileName))
            continue;
        const QString name = QFile::decodeName(fileName);
        // Files only (links to files count), hidden ones too: ".tag" alone is a tag set.
        if (QFile::encodeName(name) != fileName)
            listing.undecodable << shownFileName(fileName);
        else if (QFileInfo(folder + u'/' + name).isFile())
            listing.names << TrimExtension(name);
    }
    ::closedir(dir);
    return listing;
}

} // namespace

QStringList ListTagSets(const QString &folder)
{
    QStringList names = readListing(folder).names;
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    names.prepend(QString());
    return names;
}

QString undecodableTagSetsProblem(const QString &folder)
{
    QStringList shown = readListing(folder).undecodable;
    if (shown.isEmpty())
        return QString();
    shown.sort();
    return QStringLiteral(
               "タグセットのフォルダー %1 にある次のファイルは、名前を文字として読めないため"
               "一覧に表示していません。名前を付け直すと使えます。\n%2")
        .arg(QDir::toNativeSeparators(folder), shown.join(u'\n'));
}

QString ListTagSets(QComboBox &list, const QString &folder)
{
    list.clear();
    list.addItems(ListTagSets(folder));
    QStringList problems{tagSetFolderProblem(folder), undecodableTagSetsProblem(folder)};
    problems.removeAll(QString());
    return problems.join(u"\n\n");
}

QString ListTagSets(QComboBox &list)
{
    return ListTagSets(list, tagSetFolder());
}

} // namespace tagsets

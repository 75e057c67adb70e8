#include "tagsets/tagsetlist.h"

#include "tagsets/tagsetfolder.h"

#include <QComboBox>
#include <QDir>
#include <algorithm>

namespace tagsets
{

QString TrimExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QStringList ListTagSets(const QString &folder)
{
    QStringList names;
    const QDir dir(folder);
    // Files only (links to files count), hidden ones too: ".tag" alone is a tag set.
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QString &file : files) {
        if (file.right(4).compare(u".tag", Qt::CaseInsensitive) == 0)
            names << TrimExtension(file);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    names.prepend(QString());
    return names;
}

QString ListTagSets(QComboBox &list, const QString &folder)
{
    list.clear();
    list.addItems(ListTagSets(folder));
    return tagSetFolderProblem(folder);
}

QString ListTagSets(QComboBox &list)
{
    return ListTagSets(list, tagSetFolder());
}

} // namespace tagsets

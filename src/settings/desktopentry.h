#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace settings
{

// The text of a desktop entry file: groups ("[Desktop Entry]", "[Desktop Action edit]") of
// key=value lines in their order. Values are held unescaped.
struct DesktopEntry {
    struct Group {
        QString name;
        QList<std::pair<QString, QString>> entries;
    };
    QList<Group> groups;

    // The value of a key in a group, or "" when either is missing.
    QString value(const QString &group, const QString &key) const;
    // Sets a key, appending the group and the key when they are missing.
    void set(const QString &group, const QString &key, const QString &value);
};

// Reads the groups and keys of a desktop entry; comments and lines that are no entry are skipped.
DesktopEntry parseDesktopEntry(const QString &text);
// UTF-8 text, one blank line between groups, a line break after the last line.
QString formatDesktopEntry(const DesktopEntry &entry);

// The escapes of a desktop entry's string values: \s (a leading space), \n, \t, \r and \\.
QString escapeDesktopString(const QString &value);
QString unescapeDesktopString(const QString &text);

} // namespace settings

#pragma once

#include "settings/desktopentry.h"
#include "settings/registry.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace settings
{

// The shell's file-type registry mapped onto the freedesktop desktop:
// - ".ext" (default value, read only): the MIME type the shared MIME database gives the
//   extension;
// - "<type>\shell\<Verb>" and its "Command": a desktop entry that opens files of that MIME type,
//   named after the verb's caption, in $XDG_DATA_HOME/applications;
// - ".ext\OpenWithList\<App>\shell\<verb>" and its "command": a desktop entry named <App> with
//   the verb as its action, for the extension's MIME type.
// Both entries are hidden from menus (NoDisplay) and offered for their type only through
// [Added Associations] of $XDG_CONFIG_HOME/mimeapps.list, after the application that opens the
// type at the time (listed there too when it was not): they are among the "open with" choices
// and never the default application, whether the user chose a default or not. Where that
// application cannot be learnt (GLib's "gio" is missing), the entries are written but not offered.
// An entry is written once its command is known, and only when its text changes; removing a
// key takes away the entries at and below it, and removing a key inside an entry takes away the
// whole entry. Other keys are refused. After a change the desktop database cache is updated when
// update-desktop-database is installed.
class FreedesktopRegistry final : public Registry
{
public:
    FreedesktopRegistry(); // the folders of the XDG environment
    FreedesktopRegistry(QString applicationsDir, QString mimeAppsList);

    std::optional<QString> value(const QString &key, const QString &valueName) const override;
    bool setValue(const QString &key, const QString &valueName, const QString &text,
                  QString *reason) override;
    bool removeKey(const QString &key, QString *reason) override;

    QString applicationsDir() const { return m_applicationsDir; }
    QString mimeAppsList() const { return m_mimeAppsList; }

private:
    struct Entry;
    static std::optional<Entry> entryFor(const QString &key);
    DesktopEntry render(const Entry &e) const;
    static QString associationType(const Entry &e);
    bool store(Entry e, QString *reason);
    bool drop(const QString &fileName, const DesktopEntry &file, QString *reason);
    // What the other entries of ours for the type have put before themselves.
    QStringList aheadOfOthers(const QString &type) const;
    // Reads the text of mimeapps.list into text ("" when there is none yet); false, with the
    // reason, when it cannot be read.
    bool readMimeApps(QString &text, QString *reason) const;
    void refreshDatabase() const;

    QString m_applicationsDir;
    QString m_mimeAppsList;
    QHash<QString, QString> m_pendingCaptions; // by lower-case entry key, until the command comes
};

// The MIME type of files with this extension (".html"), or "" when the database knows none.
QString mimeTypeOfExtension(const QString &extension);

} // namespace settings

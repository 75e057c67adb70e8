#pragma once

#include "settings/registry.h"

namespace settings
{

// The command the shell runs to open a file in this program: the program's path in double
// quotes (with ", `, $ and \ escaped by a backslash and % doubled, as desktop entries want it),
// one space and the field code of the chosen file: "/opt/my tools/tavlen" %f
QString LaunchCommand(const QString &programPath);

// Writes (enabled) or removes the verb "&Tavlenで編集" of the file type that ".html" has. The
// file type is read afresh on every call; when there is none, nothing is written or removed and
// an enabled call fails. False, with a Japanese reason, when the registry refused a change.
bool SetRelation(Registry &root, bool enabled, const QString &launchCommand,
                 QString *reason = nullptr);

// Writes (enabled) or removes the program's entry in the open-with list of ".htm" files, with
// its verb "編集(&E)". Removing takes away what writing made, and an entry of an older name too.
bool SetDefaultEditor(Registry &root, bool enabled, const QString &launchCommand,
                      QString *reason = nullptr);

} // namespace settings

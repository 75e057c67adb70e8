#pragma once

#include <QString>

namespace platform
{

// The program's folder as the program uses it for its own files (tag sets, preview scratch
// files): the executable's folder when it is writable and not an installed program's (one with
// ../share/tavlen beside it), else "Tavlen" in the user's data folder, created when needed.
QString programFolder();

// The same choice for a given executable folder and stand-in data folder.
QString resolveProgramFolder(const QString &executableFolder, const QString &dataFolder);

} // namespace platform

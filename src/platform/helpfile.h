#pragma once

#include <QString>

namespace platform
{

// What the Help command hands to the shell: "Tavlen.chm" in the program's folder when there is
// one; otherwise the help page that comes with the program, <program folder>/../share/tavlen/
// help/index.html (an installed program, and the build tree, which lays the page out the same
// way). When neither exists the compiled help path is returned all the same.
QString helpFilePath(const QString &programFolder);

// The "about" section of that help page as a file address, for the author's page command when
// the build names no web address of its own.
QString aboutPageAddress(const QString &programFolder);

} // namespace platform

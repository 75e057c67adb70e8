#pragma once

#include <QStringList>

// The folder search, replacement and undo run from the command line, without a display.
namespace site
{

// Whether the program's arguments ask for a folder job rather than the window.
bool isFolderCommand(int argc, char **argv);

// Runs the folder job the arguments ask for, printing to the standard output and error, and
// returns the exit status: 0 something matched (or was written, or undone), 1 nothing did, 2 an
// error. Needs a QCoreApplication.
int runFolderCommand(const QStringList &arguments);

// The lines of the program's --help text that describe these options.
extern const char *const FolderCommandUsage;

} // namespace site

#pragma once

#include <QString>
#include <cstdio>

namespace links
{

// "tavlen --check-links DIR_OR_FILE": prints each finding as "PATH:LINE:COLUMN: message" on out
// (PATH relative to the folder given, or the file as given; a file inside the current folder is
// checked within it) and what could not be read on err.
// Returns 0 when the links are in order, 1 when something was found, 2 on an error.
int runCheckLinks(const QString &argument, std::FILE *out, std::FILE *err);

} // namespace links

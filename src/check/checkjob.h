#pragma once

#include <QString>

#include <cstdio>

namespace check
{

// The command-line page check: reads the file at path (its encoding detected as when opening),
// writes "PATH:LINE:COLUMN: message" for each finding to out and any failure to err. Returns 0
// when the page is clean, 1 when something was found, 2 when the file could not be read.
int runCheckHtml(const QString &path, std::FILE *out, std::FILE *err);

} // namespace check

#pragma once

#include <QString>

namespace about
{

// The program's version text: major "." two-digit minor, followed by a small letter (a for
// 1000-1999, b for 2000-2999, ...) when the revision is 1000 or more.
QString VersionString(int major, int minor, int revision);

// The version text of this build.
QString VersionString();

} // namespace about

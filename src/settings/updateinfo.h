#pragma once

#include "settings/settingsstore.h"

namespace settings
{

// The version record text: major, "." two-digit minor, "." four-digit revision: "1.00.0000".
QString UpdateInfoVersionText(int major, int minor, int revision);

// Records the running version and the program's folder in section UpdateInfo
// (CurrentVersion, then ApplicationPath). The folder is written without a trailing "/",
// except for the root folder itself.
void WriteUpdateInfo(SettingsStore &store, int major, int minor, int revision,
                     const QString &applicationPath);

} // namespace settings

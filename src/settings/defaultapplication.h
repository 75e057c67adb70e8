#pragma once

#include <QString>

namespace settings
{

// The desktop id of the application the desktop opens files of mimeType with on a double-click
// ("firefox-esr.desktop"), as GLib decides it: the one set as the default, else the first of those
// that list the type. Empty when there is none, or when GLib's "gio" tool is not installed.
QString defaultApplicationFor(const QString &mimeType);

} // namespace settings

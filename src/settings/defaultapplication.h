#pragma once

#include <QString>

#include <optional>

namespace settings
{

// The desktop id of the application the desktop opens files of mimeType with on a double-click
// ("firefox-esr.desktop"), as GLib decides it: the one set as the default, else the first of those
// that list the type; "" when there is none. Nothing when it cannot be known (GLib's "gio" tool
// is not installed or fails).
std::optional<QString> defaultApplicationFor(const QString &mimeType);

} // namespace settings

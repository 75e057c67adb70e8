#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace platform
{
struct Platform;
}

namespace settings
{

struct AppSettings;

// The options command: shows frmOption over the main window, takes its settings when it closes
// with OK, and applies the settings however it closed. A shell entry that could not be written
// or removed is reported once, after OK. apply shows the settings in the window and returns
// why a shell entry could not be changed, if one could not.
void OptionsCommand(QWidget &window, AppSettings &settings, platform::Platform &platform,
                    const std::function<std::optional<QString>()> &apply);

} // namespace settings

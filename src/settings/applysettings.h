#pragma once

#include "settings/appsettings.h"

#include <functional>
#include <optional>

namespace platform
{
class RichTextBox;
struct SharedState;
} // namespace platform

namespace settings
{

class Registry;

// What applying the settings reaches in the main window (non-owning; all outlive the call).
struct ApplyTargets {
    platform::RichTextBox &rtbMain;
    // Writes text into the status bar panel with this key.
    std::function<void(const QString &panel, const QString &text)> setPanelText;
    platform::SharedState &state;
    std::function<void()> DecorateText;
    std::function<void()> RefreshRecentMenu;
};

// Where the shell entries go and the command they run.
struct ShellTarget {
    Registry &registry;
    QString launchCommand;
};

// Shows the settings in the main window: the editor font on the whole text (the selection and
// the scroll position kept), the background, the colouring, the shell entries, the "ReadCode"
// and "WriteCode" panels and the recent-file menu, with "設定の反映処理中..." in the "Message"
// panel while it works. Returns the reason why a shell entry could not be written or removed,
// if one could not; everything else is applied in any case.
std::optional<QString> ApplySettings(const AppSettings &s, const ApplyTargets &t,
                                     ShellTarget shell);

} // namespace settings

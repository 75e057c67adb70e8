#pragma once

#include <QString>

#include <functional>

namespace platform
{

// What a part of the program may change in the main window besides the editor and the shared
// state. The window fills it in; every call acts at once.
struct WindowEffects {
    // The caption for the document at path; an empty path is a new document.
    std::function<void(const QString &path)> setCaption;
    // Whether the Save command can run.
    std::function<void(bool enabled)> setSaveEnabled;
    // Colours the editor's text afresh (a no-op while the window is busy).
    std::function<void()> recolour;
    // Shows the recent-file list in the File menu again.
    std::function<void()> refreshRecentMenu;
    // Writes text into the status bar panel with this key.
    std::function<void(const QString &panel, const QString &text)> setPanelText;
};

} // namespace platform

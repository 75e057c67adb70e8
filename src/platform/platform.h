#pragma once

namespace settings
{
class SettingsStore;
}

namespace platform
{

class DialogBackend;
class Prompter;
class ShellOpener;

// The outside world the main window talks to: real in the program, scripted in tests.
// Everything here outlives the window.
struct Platform {
    Prompter &prompter;
    DialogBackend &dialogs;
    ShellOpener &shell;
    settings::SettingsStore &store;
};

} // namespace platform

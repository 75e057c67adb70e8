#pragma once

#include "settings/settingsstore.h"

namespace settings
{

// The main window's stored placement (section Window), positions and sizes in twips. -1 (any
// negative value) means "nothing stored: keep the designed value".
struct WindowPlacement {
    bool Maximized = false;
    float Left = -1, Top = -1, Width = -1, Height = -1;
};

// Reads Maximized; when it is false, then Left, Top, Width and Height. When it is true the four
// numbers are not read and stay -1. Text that does not convert gives the key's default.
WindowPlacement ReadWindowPlacement(const SettingsStore &store);

enum class WindowState { Normal, Minimized, Maximized };

// The placement written at close: Left and Top unless minimized, then Width and Height unless
// minimized or maximized, and always Maximized. So a maximized window keeps the last normal size
// in the store, and a minimized one keeps all four numbers.
void WriteWindowPlacement(SettingsStore &store, WindowState state, float left, float top,
                          float width, float height);

} // namespace settings

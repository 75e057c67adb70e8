#pragma once

#include <QSize>

class QWidget;

namespace settings
{
class SettingsStore;
}

namespace app
{

// Puts the window where the stored placement says (twips): maximized, or at its position and
// size. A position entirely off every screen keeps the designed position; the size never goes
// below minimum.
void restorePlacement(QWidget &window, const settings::SettingsStore &store, QSize minimum);

// Stores the window's state, position and size (twips) for the next start.
void storePlacement(settings::SettingsStore &store, const QWidget &window);

} // namespace app

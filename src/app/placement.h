#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace settings
{
class SettingsStore;
}

namespace app
{

// Puts the window where the stored placement says (twips): maximized, or at its position and
// size, fitted onto the screen it lies on (see fitWithin). A position entirely off every screen
// keeps the designed position; the size is still fitted onto the primary screen and never goes
// below minimum.
void restorePlacement(QWidget &window, const settings::SettingsStore &store, QSize minimum);

// A window's outer rectangle (frame included, pixels) made to fit the available area of a
// screen: no wider or taller than the area (but not below minimum, frame included), then moved
// into it. When even the minimum does not fit, the top-left corner (caption, menu) stays inside.
QRect fitWithin(QRect frame, const QRect &available, QSize minimum);

// Stores the window's state, position and size (twips) for the next start.
void storePlacement(settings::SettingsStore &store, const QWidget &window);

} // namespace app

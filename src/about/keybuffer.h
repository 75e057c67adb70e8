#pragma once

#include <QChar>
#include <QtGlobal>

class QKeyEvent;

namespace about
{

// The character a released key enters into the key buffer: the character whose code is the
// key's Windows virtual-key code. Letters give their capital letter and the digits of the main
// keyboard their digit; keypad keys and modifiers give their own codes (keypad 7 is 0x67 'g',
// Shift 0x10), so they never pass for a digit or a letter. Keys without a code give U+0000.
QChar virtualKeyChar(const QKeyEvent &event);

// The same from a Qt key, its modifiers and the XKB key code of the physical key (0 when
// unknown). The key code lets a digit typed with Shift (Qt reports '&' or '\'') count as its
// digit, as the virtual-key code of the key does.
QChar virtualKeyChar(int qtKey, Qt::KeyboardModifiers modifiers, quint32 xkbKeycode);

// Enters a released key into the key buffer, which keeps the last three keys for the whole run
// (it outlives every version dialog). True when the buffer then spells the trigger "7qx",
// compared without regard to case.
bool enterReleasedKey(QChar key);

} // namespace about

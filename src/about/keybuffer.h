#pragma once

#include <QChar>
#include <QString>
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

// The last three keys released in the version dialog. The main window owns it for the whole run,
// so it outlives every version dialog and starts empty when the program starts.
class KeyBuffer
{
public:
    // Enters a released key. True when the buffer then spells the trigger "7qx", compared
    // without regard to case.
    bool enter(QChar key);

private:
    QString m_keys;
};

} // namespace about

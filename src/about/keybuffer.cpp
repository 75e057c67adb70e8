#include "about/keybuffer.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>

namespace about
{

namespace
{

// Windows virtual-key codes of the keys that are neither letters nor main-keyboard digits.
namespace vk
{
constexpr char16_t Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D, Shift = 0x10,
                   Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14, Kana = 0x15,
                   Kanji = 0x19, Escape = 0x1B, Convert = 0x1C, NonConvert = 0x1D, Space = 0x20,
                   Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26,
                   Right = 0x27, Down = 0x28, Select = 0x29, Print = 0x2A, Snapshot = 0x2C,
                   Insert = 0x2D, Delete = 0x2E, Help = 0x2F, LWin = 0x5B, Apps = 0x5D,
                   Sleep = 0x5F, Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Separator = 0x6C,
                   Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, NumLock = 0x90,
                   Scroll = 0x91, Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD,
                   OemPeriod = 0xBE, Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC,
                   Oem6 = 0xDD, Oem7 = 0xDE, Oem102 = 0xE2, OemAttn = 0xF0, OemCopy = 0xF2,
                   OemAuto = 0xF3;
}

char16_t keypadCode(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return char16_t(vk::Numpad0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk:
        return vk::Multiply;
    case Qt::Key_Plus:
        return vk::Add;
    case Qt::Key_Comma:
        return vk::Separator;
    case Qt::Key_Minus:
        return vk::Subtract;
    case Qt::Key_Period:
        return vk::Decimal;
    case Qt::Key_Slash:
        return vk::Divide;
    default:
        return 0;
    }
}

// The keys of the main block by their XKB key code (evdev code + 8), as a US keyboard labels
// them; Windows gives these physical keys the same codes whatever is printed on them.
char16_t codeOfPhysicalKey(quint32 xkbKeycode)
{
    static constexpr char16_t digitRow[] = u"1234567890";
    static constexpr char16_t topRow[] = u"QWERTYUIOP";
    static constexpr char16_t homeRow[] = u"ASDFGHJKL";
    static constexpr char16_t bottomRow[] = u"ZXCVBNM";
    if (xkbKeycode >= 10 && xkbKeycode <= 19)
        return digitRow[xkbKeycode - 10];
    if (xkbKeycode >= 24 && xkbKeycode <= 33)
        return topRow[xkbKeycode - 24];
    if (xkbKeycode >= 38 && xkbKeycode <= 46)
        return homeRow[xkbKeycode - 38];
    if (xkbKeycode >= 52 && xkbKeycode <= 58)
        return bottomRow[xkbKeycode - 52];
    switch (xkbKeycode) {
    case 20:
        return vk::OemMinus;
    case 21:
        return vk::OemPlus;
    case 34:
        return vk::Oem4;
    case 35:
        return vk::Oem6;
    case 47:
        return vk::Oem1;
    case 48:
        return vk::Oem7;
    case 49:
        return vk::Oem3;
    case 51:
        return vk::Oem5;
    case 59:
        return vk::OemComma;
    case 60:
        return vk::OemPeriod;
    case 61:
        return vk::Oem2;
    case 94:
        return vk::Oem102;
    default:
        return 0;
    }
}

char16_t codeOfQtKey(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return char16_t(vk::F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Clear:
        return vk::Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return vk::Menu;
    case Qt::Key_Pause:
        return vk::Pause;
    case Qt::Key_CapsLock:
        return vk::Capital;
    case Qt::Key_Kana_Lock:
    case Qt::Key_Kana_Shift:
        return vk::Kana;
    case Qt::Key_Hiragana_Katakana:
        return vk::OemCopy;
    case Qt::Key_Kanji:
        return vk::Kanji;
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku:
        return vk::OemAuto;
    case Qt::Key_Eisu_toggle:
    case Qt::Key_Eisu_Shift:
        return vk::OemAttn;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Henkan:
        return vk::Convert;
    case Qt::Key_Muhenkan:
        return vk::NonConvert;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Select:
        return vk::Select;
    case Qt::Key_Printer:
        return vk::Print;
    case Qt::Key_Print:
        return vk::Snapshot;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Help:
        return vk::Help;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return vk::LWin;
    case Qt::Key_Menu:
        return vk::Apps;
    case Qt::Key_Sleep:
        return vk::Sleep;
    case Qt::Key_NumLock:
        return vk::NumLock;
    case Qt::Key_ScrollLock:
        return vk::Scroll;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return vk::Oem1;
    case Qt::Key_Equal:
        return vk::OemPlus;
    case Qt::Key_Comma:
        return vk::OemComma;
    case Qt::Key_Minus:
        return vk::OemMinus;
    case Qt::Key_Period:
        return vk::OemPeriod;
    case Qt::Key_Slash:
        return vk::Oem2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_At:
        return vk::Oem3;
    case Qt::Key_BracketLeft:
        return vk::Oem4;
    case Qt::Key_Backslash:
    case Qt::Key_yen:
        return vk::Oem5;
    case Qt::Key_BracketRight:
        return vk::Oem6;
    case Qt::Key_Apostrophe:
        return vk::Oem7;
    default:
        return 0;
    }
}

bool hasXkbKeycodes()
{
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb" || platform.startsWith(u"wayland");
}

} // namespace

QChar virtualKeyChar(int qtKey, Qt::KeyboardModifiers modifiers, quint32 xkbKeycode)
{
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const char16_t code = keypadCode(qtKey))
            return QChar(code);
        // Keypad keys without Num Lock act as the navigation keys and Enter.
        return QChar(codeOfQtKey(qtKey));
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return QChar(char16_t(u'A' + (qtKey - Qt::Key_A)));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return QChar(char16_t(u'0' + (qtKey - Qt::Key_0)));
    if (const char16_t code = codeOfPhysicalKey(xkbKeycode))
        return QChar(code);
    return QChar(codeOfQtKey(qtKey));
}

QChar virtualKeyChar(const QKeyEvent &event)
{
    const quint32 keycode = hasXkbKeycodes() ? event.nativeScanCode() : 0;
    return virtualKeyChar(event.key(), event.modifiers(), keycode);
}

bool KeyBuffer::enter(QChar key)
{
    m_keys += key;
    if (m_keys.size() > 3)
        m_keys.remove(0, m_keys.size() - 3);
    return m_keys.compare(u"7qx", Qt::CaseInsensitive) == 0;
}

} // namespace about

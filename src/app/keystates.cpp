#include "app/keystates.h"

#include "app/mainstatusbar.h"
#include "platform/richtextbox.h"

#include <QApplication>
#include <QKeyEvent>

namespace app
{

KeyStatePanels::KeyStatePanels(MainStatusBar &bar, platform::RichTextBox &editor, QObject *parent)
    : QObject(parent), m_bar(bar), m_editor(editor)
{
    qApp->installEventFilter(this);
    refresh();
}

void KeyStatePanels::refresh()
{
    const LockStates locks = desktopLockStates().value_or(m_fromKeys);
    m_bar.showKeyStates(locks.num, locks.caps, locks.scroll, m_editor.overwriteMode());
}

bool KeyStatePanels::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == &m_editor && key->key() == Qt::Key_Insert &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_editor.setOverwriteMode(!m_editor.overwriteMode());
            refresh();
            return true;
        }
        // A key event reaches the window first and then its widgets: count it once.
        if (watched->isWindowType() && !key->isAutoRepeat()) {
            if (key->key() == Qt::Key_NumLock)
                m_fromKeys.num = !m_fromKeys.num;
            else if (key->key() == Qt::Key_CapsLock)
                m_fromKeys.caps = !m_fromKeys.caps;
            else if (key->key() == Qt::Key_ScrollLock)
                m_fromKeys.scroll = !m_fromKeys.scroll;
            else
                break;
            refresh();
        }
        break;
    }
    case QEvent::KeyRelease: {
        // The desktop has switched the indicator by the time the key comes up.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched->isWindowType() &&
            (key == Qt::Key_NumLock || key == Qt::Key_CapsLock || key == Qt::Key_ScrollLock))
            refresh();
        break;
    }
    case QEvent::ApplicationStateChange:
        // The keys may have changed while another program had the keyboard.
        if (QGuiApplication::applicationState() == Qt::ApplicationActive)
            refresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app

// The X11 headers define macros (None, KeyPress, Bool, ...) that clash with Qt's names: they come
// last, after every use of those names above.
#ifdef TAVLEN_HAVE_XKB
#include <QGuiApplication>
#include <X11/XKBlib.h>
#endif

namespace app
{

std::optional<LockStates> desktopLockStates()
{
#ifdef TAVLEN_HAVE_XKB
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    bool known = true;
    auto indicator = [display, &known](const char *name) {
        const Atom atom = XInternAtom(display, name, False);
        Bool on = False;
        if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            known = false;
        return on == True;
    };
    LockStates states;
    states.num = indicator("Num Lock");
    states.caps = indicator("Caps Lock");
    states.scroll = indicator("Scroll Lock");
    if (!known)
        return std::nullopt;
    return states;
#else
    return std::nullopt;
#endif
}

} // namespace app

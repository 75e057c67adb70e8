#include "platform/busywindow.h"

#include <QApplication>
#include <QWidget>

namespace platform
{

namespace
{
// Whether w is the window or lies inside it, its own dialogs included.
bool belongsTo(const QWidget *w, const QWidget &window)
{
    for (; w; w = w->parentWidget())
        if (w == &window)
            return true;
    return false;
}
} // namespace

BusyWindow::BusyWindow(QWidget &window) : m_window(window)
{
    m_focus << window.focusWidget();
    const QList<QWidget *> children = window.findChildren<QWidget *>();
    for (QWidget *child : children)
        if (child->isWindow() && child->focusWidget())
            m_focus << child->focusWidget();
    QWidget *focus = QApplication::focusWidget();
    if (belongsTo(focus, window))
        m_focus << focus;
    m_window.setEnabled(false);
}

BusyWindow::~BusyWindow()
{
    m_window.setEnabled(true);
    // A widget in an inactive window becomes that window's focus child; the last one, in the
    // active window, gets the keyboard.
    for (const QPointer<QWidget> &w : std::as_const(m_focus))
        if (w && w->isEnabled())
            w->setFocus(Qt::OtherFocusReason);
}

} // namespace platform

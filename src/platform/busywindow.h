#pragma once

#include <QList>
#include <QPointer>

class QWidget;

namespace platform
{

// Disables a window for a pass that must not take input (colouring after an edit, a replace,
// new settings) and, when the pass ends, enables it again and gives the keyboard back: to the
// widget that had it, and in the window and each of its own dialogs to the widget that will
// have it when that window is active again. Disabling a window takes the focus away for good,
// so without this the keys would go nowhere until the user clicked.
class BusyWindow
{
public:
    explicit BusyWindow(QWidget &window);
    ~BusyWindow();
    BusyWindow(const BusyWindow &) = delete;
    BusyWindow &operator=(const BusyWindow &) = delete;

private:
    QWidget &m_window;
    QList<QPointer<QWidget>> m_focus; // the widget with the keyboard last
};

} // namespace platform

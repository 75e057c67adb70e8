#pragma once

#include <QObject>
#include <optional>

namespace platform
{
class RichTextBox;
} // namespace platform

namespace app
{

class MainStatusBar;

// Whether the lock keys are on.
struct LockStates {
    bool num = false;
    bool caps = false;
    bool scroll = false;
};

// The lock keys' states as the desktop reports them (the keyboard indicators of an X11
// display), or nothing when the desktop does not tell.
std::optional<LockStates> desktopLockStates();

// Keeps the status bar's NUM, CAPS, SCRL and INS panels lit while the key is on, and lets the
// Insert key switch the editor between inserting and overwriting. The lock keys are read from the
// desktop when it reports them, otherwise followed from the key presses the program sees; INS is
// lit while the Insert key has switched the editor to overwriting.
class KeyStatePanels : public QObject
{
    Q_OBJECT
public:
    // bar and editor belong to the main window (parent) and outlive this object.
    KeyStatePanels(MainStatusBar &bar, platform::RichTextBox &editor, QObject *parent);

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainStatusBar &m_bar;
    platform::RichTextBox &m_editor;
    LockStates m_fromKeys;
};

} // namespace app

#pragma once

class QDialog;

namespace platform
{

// Runs a modal dialog and then hands the keyboard back to the window that owns it. When a
// dialog closes right after its own message box, the window manager can leave no window
// active at all, and the keys would go nowhere until the user clicked.
int execModal(QDialog &dialog);

} // namespace platform

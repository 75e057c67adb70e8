#pragma once

namespace app
{
class frmMain;
}

namespace settings
{

// The options command: shows frmOption over the main window, takes its settings when it closes
// with OK, and applies the settings however it closed. A shell entry that could not be written
// or removed is reported once, after OK.
void OptionsCommand(app::frmMain &w);

} // namespace settings

#pragma once

#include "platform/commondialog.h"

namespace platform
{

// The font dialog of the options: Qt's font chooser with a text colour beside it (when the
// effects flag asks for one) and, with the size-limit flag, only sizes from Min to Max accepted.
// A family left as it was keeps the name it was given, even when the chooser shows a stand-in
// font because that name is not installed.
DialogOutcome runFontDialog(QWidget *owner, DialogProperties &p);

// Printer setup: which printer to use, and its paper through Qt's page setup.
DialogOutcome runPrinterSetup(QWidget *owner, QPrinter &printer);

} // namespace platform

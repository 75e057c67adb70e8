#pragma once

class QWidget;

namespace platform
{
class Prompter;
}

namespace site
{

// At start-up: when the last folder replacement was cut off (the program was killed while it
// wrote), asks whether to write the rest or to put back what was written, and does it. Cancel
// leaves the operation for the next start.
void offerInterruptedOperation(platform::Prompter &prompter, QWidget *owner);

} // namespace site

#pragma once

#include <QString>

class QWidget;

namespace platform
{
class Prompter;
}

namespace document
{

// A page being opened with a line longer than markup::kLongLine characters (a minified page) is
// slow to type in. Asks once whether line breaks may be put in where they cannot change how the
// page renders; on Yes the text gets them. Asks nothing when there is no such line or no such
// place. True when the text changed.
bool offerLineBreaks(platform::Prompter &prompter, QWidget *owner, QString &text);

} // namespace document

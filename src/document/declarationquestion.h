#pragma once

#include "codec/filetext.h"

#include <functional>

class QWidget;

namespace platform
{
class Prompter;
class RichTextBox;
} // namespace platform

namespace document
{

// Before a save: when the page declares another encoding than the one it is about to be written
// in, asks whether to correct the declaration. Yes rewrites it to the written encoding's name in
// the editor as one undo step, No leaves it; both return true. Cancel returns false: nothing is
// to be written. A page without such a declaration is not asked about. After a rewrite the text
// is coloured again with recolour.
bool confirmDeclaration(QWidget &window, platform::Prompter &prompter,
                        platform::RichTextBox &editor, const std::function<void()> &recolour,
                        codec::TextCode writeCode, const codec::FileShape &shape);

} // namespace document

#pragma once

#include "document/documentfile.h"

#include <functional>

class QWidget;

namespace app
{
class Prompter;
class RichTextBox;
} // namespace app

namespace document
{

// Before a save: when the page declares another encoding than the one it is about to be written
// in, asks whether to correct the declaration. Yes rewrites it to the written encoding's name in
// the editor as one undo step, No leaves it; both return true. Cancel returns false: nothing is
// to be written. A page without such a declaration is not asked about. After a rewrite the text
// is coloured again with recolour.
bool confirmDeclaration(QWidget &window, app::Prompter &prompter, app::RichTextBox &editor,
                        const std::function<void()> &recolour, int writeCode,
                        const FileShape &shape);

} // namespace document

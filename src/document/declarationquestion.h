#pragma once

#include "document/documentfile.h"

namespace app
{
class frmMain;
}

namespace document
{

// Before a save: when the page declares another encoding than the one it is about to be written
// in, asks whether to correct the declaration. Yes rewrites it to the written encoding's name in
// the editor as one undo step, No leaves it; both return true. Cancel returns false: nothing is
// to be written. A page without such a declaration is not asked about.
bool confirmDeclaration(app::frmMain &window, int writeCode, const FileShape &shape);

} // namespace document

#pragma once

#include <QString>

namespace platform
{

// Window state that several parts of the program read and change. Owned by the main window and
// passed by reference to its collaborators.
struct SharedState {
    QString strFilePath;     // current document file; empty for a new document
    QString strFileFolder;   // folder of the last opened file
    QString strFind;         // the last search text
    bool bolEditing = false; // the document has unsaved changes
    bool bolBusy = false;    // the program itself is rewriting the editor
};

} // namespace platform

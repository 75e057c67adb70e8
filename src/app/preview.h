#pragma once

#include <QString>

class QDateTime;

namespace app {

class frmMain;

// Preview mode: the document written to a scratch file beside it, shown in the embedded browser
// in place of the editor, and the scratch file deleted once the page has loaded.
class PreviewController
{
public:
    // window owns this controller and outlives it.
    explicit PreviewController(frmMain &window);
    // A scratch file whose page never finished loading is removed when the window goes.
    ~PreviewController();
    PreviewController(const PreviewController &) = delete;
    PreviewController &operator=(const PreviewController &) = delete;

    // Shows the browser (true) or the editor (false). Entering preview writes a new scratch file.
    void SwitchMode(bool preview);
    // The browser finished a load: the scratch file, if this preview wrote it, is deleted.
    void DocumentComplete();

    // Full path of the last scratch file written; empty until the first preview.
    QString strPreviewFile;

private:
    QString writeScratchFile(QString *reason);

    frmMain &m_window;
};

// "Tlprv" + the local time as yyyymmddhhnnss + ".html".
QString scratchFileName(const QDateTime &when);

} // namespace app

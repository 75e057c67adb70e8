#pragma once

#include <QStringList>

class QDateTime;
class QUrl;

namespace app {

class frmMain;

// Preview mode: the document written to a scratch file beside it, shown in the embedded browser
// in place of the editor, and the scratch file deleted once the page has loaded.
class PreviewController
{
public:
    // window owns this controller and outlives it.
    explicit PreviewController(frmMain &window);
    // Scratch files whose pages never finished loading are removed when the window goes.
    ~PreviewController();
    PreviewController(const PreviewController &) = delete;
    PreviewController &operator=(const PreviewController &) = delete;

    // Shows the browser (true) or the editor (false). Entering preview writes a new scratch file.
    void SwitchMode(bool preview);
    // The browser's load of url has ended: if url is a scratch file of this preview, it is deleted;
    // no other file ever is.
    void DocumentComplete(const QUrl &url);

    // Full path of the last scratch file written; empty until the first preview.
    QString strPreviewFile;

private:
    QString writeScratchFile(QString *reason);

    frmMain &m_window;
    // Scratch files written and not yet deleted, oldest first.
    QStringList m_scratchFiles;
};

// "Tlprv" + the local time as yyyymmddhhnnss + ".html".
QString scratchFileName(const QDateTime &when);

} // namespace app

#pragma once

#include "codec/filetext.h"
#include "files/readdocument.h"
#include "files/scratchfiles.h"

#include <QStringList>

#include <functional>
#include <variant>

class QAction;
class QDateTime;
class QUrl;
class QWidget;

namespace settings
{
struct AppSettings;
}

namespace platform
{
class Prompter;
class RichTextBox;
struct SharedState;
} // namespace platform

namespace app
{

class PreviewBrowser;

// What the preview works on. Non-owning: the window and its parts outlive the controller.
struct PreviewContext {
    QWidget &window; // the parent of messages
    platform::Prompter &prompter;
    platform::RichTextBox &editor;
    PreviewBrowser &browser;
    platform::SharedState &state;
    const settings::AppSettings &settings;
    QAction &mnuPreview; // the preview command, unchecked when the preview cannot be shown
    std::function<void(const QString &panel, const QString &text)> setPanelText;
    // Where the scratch files are recorded, so that a crash does not leave them behind (empty: not
    // recorded), and the id this copy of the program holds the lock of there.
    QString scratchRecords;
    QString owner;
};

// Preview mode: the document written to a scratch file beside it, shown in the embedded browser
// in place of the editor, and the scratch file deleted once the page has loaded.
class PreviewController
{
public:
    explicit PreviewController(PreviewContext context);
    // Scratch files whose pages never finished loading are removed when the window goes.
    ~PreviewController() = default;
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
    // The path of the new scratch file, or why none could be written.
    std::variant<QString, files::FileFailure> writeScratchFile();

    PreviewContext m_c;
    // Scratch files written and not yet deleted.
    files::ScratchFiles m_scratchFiles;
};

// "Tlprv" + the local time as yyyymmddhhnnss + ".html".
QString scratchFileName(const QDateTime &when);

} // namespace app

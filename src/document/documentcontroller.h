#pragma once

#include "codec/filetext.h"
#include "files/filestamp.h"
#include "files/snapshot.h"
#include "platform/prompter.h"
#include "platform/windoweffects.h"

#include <QString>

class QMimeData;
class QWidget;

namespace platform
{
class CommonDialog;
class RichTextBox;
struct SharedState;
} // namespace platform

namespace settings
{
struct AppSettings;
class SettingsStore;
} // namespace settings

namespace files
{
class SnapshotKeeper;
} // namespace files

namespace document
{

// What the document commands work on. Non-owning: everything outlives the controller.
struct DocumentContext {
    QWidget &window; // the parent of the questions and messages
    platform::Prompter &prompter;
    settings::SettingsStore &store;
    settings::AppSettings &settings;
    platform::SharedState &state;
    platform::RichTextBox &editor;
    platform::CommonDialog &cdlFile;
    files::SnapshotKeeper &recovery;
    platform::WindowEffects effects;
};

// The document commands of the main window (new, open, save, save as, recent files, drops),
// the reading and writing of the current document and the recent-file list.
class DocumentController
{
public:
    explicit DocumentController(DocumentContext context);

    // Reads the file into the editor and makes it the current document. False, with the document
    // left as it was and a message shown, when the file cannot be read.
    bool OpenDocument(const QString &path);
    // Writes the editor's text to path in the WriteCode encoding and adds the path to the
    // recent-file list. A save first asks about a charset declaration that names
    // another encoding. False, with the reason shown, when nothing was written (the user
    // declined a question or the file could not be written); the file then is as it was.
    bool SaveDocument(const QString &path);
    // Lets the user choose a file and saves under it; false when cancelled or not saved.
    bool SaveDocumentAs();
    void AddRecentFile(const QString &path);
    // True when the user chose Cancel, or chose to save and the save did not happen (also when
    // the file dialog was cancelled).
    bool ConfirmSave();

    // The unsaved document as a snapshot to keep for recovery.
    files::Snapshot snapshot() const;
    // Offers back the old contents of files whose save in place was cut short, then, one after
    // another and newest first, the unsaved documents that copies of the program which did not
    // close normally left behind; Yes puts one into the editor as a
    // modified document, No deletes it, Cancel leaves the rest for the next start.
    void offerRecovery();

    void newFile();
    void openFile();
    void openRecent(int index);
    void save();
    // Dropped text goes in at once; a dropped file is refused or opened, with its questions,
    // once the drop has returned to the event loop.
    void dropped(const QMimeData *data);

private:
    void showError(const QString &text);
    bool confirmUnmappable(const QString &text, qsizetype index, codec::TextCode writeCode);
    bool confirmChangedOnDisk(const QString &path, bool deleted);
    bool confirmHeldElsewhere(const QString &path);
    void restore(const files::Snapshot &snapshot);
    // Marks path as the window's document: caption and Save command.
    void showDocument(const QString &path);

    DocumentContext m_c;
    // The file whose bytes the open could not take over exactly; the first save over it asks.
    QString m_inexactPath;
    QString m_inexactReason;
    // How the document's file was written (line breaks, byte order mark); saving keeps it.
    codec::FileShape m_shape;
    bool m_flushFailureShown = false;
    // The document's file as it was last read or written here, to notice other programs' changes.
    QString m_stampPath;
    files::FileStamp m_stamp;
};

} // namespace document

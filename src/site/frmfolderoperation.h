#pragma once

#include "site/folderjob.h"
#include "site/folderoperation.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QTreeWidget;
class QVBoxLayout;

namespace platform
{
class Prompter;
class RichTextBox;
} // namespace platform

namespace site
{

// What the folder window uses of the main window; references live as long as the main window.
struct SiteWindowContext {
    platform::Prompter &prompter;
    platform::RichTextBox &editor;
    // The path of the document in the editor, empty for a new one.
    std::function<QString()> documentPath;
    // Opens path in the editor the way the Open command does (the unsaved-changes question
    // first); false when the user kept the current document.
    std::function<bool(const QString &path)> openDocument;
};

// What the windows that work on the pages of a folder share: the folder, file name and subfolder
// fields, the result list, a job on another thread (cancelled when the window goes), a plan that
// the apply button writes as one operation, and the undo of the last operation.
class frmFolderOperation : public QDialog
{
    Q_OBJECT
public:
    // Makes the folder, file name and subfolder fields, the first in the tab order.
    frmFolderOperation(const SiteWindowContext &context, QWidget *owner, const QString &name,
                       const QString &title);
    ~frmFolderOperation() override;

    // Shows the window with the document's folder as the folder when none was chosen yet.
    void showFor(const QString &documentFolder);

protected:
    using Job = std::function<std::optional<QString>(JobControl *control)>;

    // The field that has the focus when the window is shown.
    virtual QWidget *firstField() const;
    // Whether a plan waits for the apply button.
    virtual bool hasPlan() const = 0;
    // Lists what happened to one file as the plan was written or taken back.
    virtual void listOutcome(const FileOutcome &outcome) = 0;
    // Lists what happened to one file as the last operation was taken back.
    virtual void listUndone(const FileOutcome &outcome);
    // Empties the result list for the undo.
    virtual void clearForUndo();
    virtual void setRunning(bool running);

    // A button that Enter in a field does not press.
    QPushButton *button(const QString &text, const char *name);
    // Makes the preview, apply and undo buttons, in that order.
    void makePlanButtons(const QString &preview, const QString &apply);
    // Makes the result list with these columns.
    void makeResultList(const QStringList &headers);
    void makeStatus();
    // A form with the folder and file name rows.
    QFormLayout *folderForm();
    void addRow(QFormLayout *form, const QString &label, QWidget *field);
    // Adds the result list below its label.
    void addResults(QVBoxLayout *layout);

    // The folder, file names and subfolder choice of the fields.
    WalkOptions currentWalk() const;
    void showError(const QString &text);

    // Runs job on another thread; then gets its failure on this thread, after the thread ended.
    void runJob(Job job, std::function<void(const std::optional<QString> &failure)> then);
    // Runs f on this thread when the events get to it: the way a job hands over what it found.
    template <typename F> void onWindowThread(F f)
    {
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
    }
    // Waits for the ended job's thread and forgets it; returns what the job counted.
    std::unique_ptr<JobControl> endJob();
    // Shows the failure in the status line and in a message; false when there was none.
    bool reportFailure(const std::optional<QString> &failure);

    // Asks whether to take the last folder operation back, a replacement or a conversion
    // whichever window it was made in, and does it; none is the message when there is none.
    void undoLast(const QString &none);

    bool jobRunning() const { return m_thread != nullptr; }
    JobControl *control() const { return m_control.get(); }

    SiteWindowContext m_c;
    QLineEdit *txtFolder;
    QLineEdit *txtPatterns;
    QCheckBox *chkSubfolders;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdUndo = nullptr;
    QTreeWidget *lstResults = nullptr;
    QLabel *labStatus = nullptr;

private:
    std::unique_ptr<JobControl> m_control;
    QThread *m_thread = nullptr;
};

} // namespace site

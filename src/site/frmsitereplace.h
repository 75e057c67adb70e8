#pragma once

#include "site/folderjob.h"
#include "site/folderoperation.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

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

// The folder search and replace window: a search or a replacement plan runs on another thread
// and fills the result list; Apply writes the plan as one operation, and 元に戻す takes the last
// operation back. The document open in the editor is changed in the editor, as one undo step.
class frmSiteReplace : public QDialog
{
    Q_OBJECT
public:
    frmSiteReplace(const SiteWindowContext &context, QWidget *owner);
    ~frmSiteReplace() override;

    // Shows the window with the document's folder as the folder when none was chosen yet.
    void showFor(const QString &documentFolder);

private:
    void cmdSearch_Click();
    void cmdPreview_Click();
    void cmdApply_Click();
    void cmdUndo_Click();
    void cmdCancel_Click();
    void lstResults_Activated(QTreeWidgetItem *item);

    void start(bool replace);
    void received(FileResult result);
    void finished(const std::optional<QString> &failure);
    void setRunning(bool running);
    FolderJobOptions currentOptions(bool replace) const;
    void applyInEditor(const FileResult &result);
    void listOutcome(const FileOutcome &outcome);
    void keyPressEvent(QKeyEvent *event) override;

    SiteWindowContext m_c;
    QLineEdit *txtFolder;
    QLineEdit *txtPatterns;
    QCheckBox *chkSubfolders;
    QLineEdit *txtFind;
    QLineEdit *txtReplace;
    QCheckBox *chkRegExp;
    QCheckBox *chkIgnoreCase;
    QPushButton *cmdSearch;
    QPushButton *cmdPreview;
    QPushButton *cmdApply;
    QPushButton *cmdUndo;
    QPushButton *cmdCancel;
    QTreeWidget *lstResults;
    QProgressBar *prgWork;
    QLabel *labStatus;
    QTimer *m_progress;

    std::unique_ptr<JobControl> m_control;
    QThread *m_thread = nullptr;
    std::vector<FileResult> m_plan; // the replacement plan the list shows
    FolderJobOptions m_planOptions;
    qsizetype m_matches = 0;
};

} // namespace site

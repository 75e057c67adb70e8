#pragma once

#include "site/frmfolderoperation.h"

#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidgetItem;

namespace site
{

// The folder search and replace window: a search or a replacement plan runs on another thread
// and fills the result list; Apply writes the plan as one operation, and 元に戻す takes the last
// operation back. The document open in the editor is changed in the editor, as one undo step.
class frmSiteReplace : public frmFolderOperation
{
    Q_OBJECT
public:
    frmSiteReplace(const SiteWindowContext &context, QWidget *owner);

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
    void setRunning(bool running) override;
    QWidget *firstField() const override;
    bool hasPlan() const override;
    void listOutcome(const FileOutcome &outcome) override;
    void listUndone(const FileOutcome &outcome) override;
    void clearForUndo() override;
    FolderJobOptions currentOptions(bool replace) const;
    void applyInEditor(const FileResult &result);
    void keyPressEvent(QKeyEvent *event) override;

    QLineEdit *txtFind;
    QLineEdit *txtReplace;
    QCheckBox *chkRegExp;
    QCheckBox *chkIgnoreCase;
    QPushButton *cmdSearch;
    QPushButton *cmdCancel;
    QProgressBar *prgWork;
    QTimer *m_progress;

    std::vector<FileResult> m_plan; // the replacement plan the list shows
    FolderJobOptions m_planOptions;
    qsizetype m_matches = 0;
};

} // namespace site

#pragma once

#include "links/casefix.h"
#include "links/linkcheck.h"

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform
{
class Prompter;
}

namespace links
{

// The link check window: modeless, owned by the main window. The check runs on a worker
// thread; each finding opens its page at the place through openAt.
class frmLinkCheck : public QDialog
{
    Q_OBJECT
public:
    // openAt opens the page (asking about unsaved changes first) and puts the caret at the line
    // and column; it belongs to the main window and outlives the dialog.
    using OpenAt = std::function<void(const QString &path, qsizetype line, qsizetype column)>;
    frmLinkCheck(platform::Prompter &prompter, OpenAt openAt, QWidget *owner);
    ~frmLinkCheck() override;

    // Shows the window for folder (the document's folder, or empty).
    void showFor(const QString &folder);

    QLineEdit *txtFolder = nullptr;
    QPushButton *cmdCheck = nullptr;
    QPushButton *cmdCancel = nullptr;
    QProgressBar *prgCheck = nullptr;
    QTreeWidget *lstResults = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *cmdFix = nullptr;
    QPushButton *cmdUndo = nullptr;
    QPushButton *cmdClose = nullptr;

    void cmdCheck_Click();
    void cmdCancel_Click();
    void lstResults_Activated(QTreeWidgetItem *item);
    void cmdFix_Click();
    void cmdUndo_Click();

private:
    void checkFinished();
    void showProgress();
    void setRunning(bool running);

    platform::Prompter &m_prompter;
    OpenAt m_openAt;
    std::optional<AppliedFix> m_applied; // the last case fix, until it is undone
    QString m_root;
    std::vector<Finding> m_findings;
    std::atomic_bool m_cancel{false};
    struct Progress {
        std::atomic_int done{0};
        std::atomic_int total{0};
    };
    std::shared_ptr<Progress> m_progress = std::make_shared<Progress>();
    QFutureWatcher<SiteCheck> m_watcher;
    QTimer *m_progressTimer = nullptr;
};

} // namespace links

#pragma once

#include "site/folderconvert.h"
#include "site/folderoperation.h"
#include "site/frmsitereplace.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QTreeWidget;

namespace site
{

// The window that converts every page of a folder to one encoding: 確認 lists what the conversion
// would do (each page, and each character the new encoding cannot hold with the reference it
// becomes), 変換を実行 writes that plan as one operation, and 元に戻す takes the last operation
// back. The document open in the editor is left alone.
class frmSiteConvert : public QDialog
{
    Q_OBJECT
public:
    frmSiteConvert(const SiteWindowContext &context, QWidget *owner);
    ~frmSiteConvert() override;

    // Shows the window with the document's folder as the folder when none was chosen yet.
    void showFor(const QString &documentFolder);

private:
    void cmdPreview_Click();
    void cmdApply_Click();
    void cmdUndo_Click();
    void received(ConvertResult result);
    void listOutcome(const FileOutcome &outcome);
    void finished(const std::optional<QString> &failure, const QString &done);
    void setRunning(bool running);
    void run(const std::function<std::optional<QString>(JobControl *)> &job, const QString &done);

    SiteWindowContext m_c;
    QLineEdit *txtFolder;
    QLineEdit *txtPatterns;
    QCheckBox *chkSubfolders;
    QComboBox *cboTarget;
    QPushButton *cmdPreview;
    QPushButton *cmdApply;
    QPushButton *cmdUndo;
    QTreeWidget *lstResults;
    QLabel *labStatus;

    std::unique_ptr<JobControl> m_control;
    QThread *m_thread = nullptr;
    std::vector<ConvertResult> m_plan;
    ConvertOptions m_planOptions;
};

} // namespace site

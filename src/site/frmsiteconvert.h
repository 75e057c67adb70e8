#pragma once

#include "site/folderconvert.h"
#include "site/frmfolderoperation.h"

#include <vector>

class QComboBox;

namespace site
{

// The window that converts every page of a folder to one encoding: 確認 lists what the conversion
// would do (each page, and each character the new encoding cannot hold with the reference it
// becomes), 変換を実行 writes that plan as one operation, and 元に戻す takes the last operation
// back. The document open in the editor is left alone.
class frmSiteConvert : public frmFolderOperation
{
    Q_OBJECT
public:
    frmSiteConvert(const SiteWindowContext &context, QWidget *owner);

private:
    void cmdPreview_Click();
    void cmdApply_Click();
    void cmdUndo_Click();
    void received(ConvertResult result);
    void listOutcome(const FileOutcome &outcome) override;
    void clearForUndo() override;
    bool hasPlan() const override;
    void finished(const std::optional<QString> &failure, const QString &done);
    void run(Job job, const QString &done);

    QComboBox *cboTarget;

    std::vector<ConvertResult> m_plan;
    ConvertOptions m_planOptions;
};

} // namespace site

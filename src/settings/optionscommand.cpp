#include "settings/optionscommand.h"

#include "app/frmmain.h"
#include "platform/modal.h"
#include "platform/prompter.h"
#include "settings/frmoption.h"

namespace settings
{

void OptionsCommand(app::frmMain &w)
{
    app::Platform &platform = w.platform();
    bool accepted = false;
    {
        frmOption dialog(w.AppSettings, platform.store, platform.prompter, platform.dialogs, &w);
        accepted = app::execModal(dialog) == QDialog::Accepted;
        if (accepted)
            w.AppSettings = dialog.settings();
    }
    const std::optional<QString> failure = w.ApplySettings();
    if (accepted && failure)
        platform.prompter.message(
            &w, QStringLiteral("デスクトップへの登録を変更できませんでした。\r\n") + *failure,
            QStringLiteral("エラー"), app::MsgIcon::Exclamation, app::MsgButtons::Ok);
}

} // namespace settings

#include "settings/optionscommand.h"

#include "platform/modal.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "settings/frmoption.h"

namespace settings
{

void OptionsCommand(QWidget &window, AppSettings &settings, platform::Platform &platform,
                    const std::function<std::optional<QString>()> &apply)
{
    bool accepted = false;
    {
        frmOption dialog(settings, platform.store, platform.prompter, platform.dialogs, &window);
        accepted = platform::execModal(dialog) == QDialog::Accepted;
        if (accepted)
            settings = dialog.settings();
    }
    const std::optional<QString> failure = apply();
    if (accepted && failure)
        platform.prompter.message(
            &window, QStringLiteral("デスクトップへの登録を変更できませんでした。\r\n") + *failure,
            QStringLiteral("エラー"), platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
}

} // namespace settings

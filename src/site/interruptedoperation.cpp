#include "site/interruptedoperation.h"

#include "platform/prompter.h"
#include "site/folderoperation.h"

#include <QDir>

namespace site
{

void offerInterruptedOperation(app::Prompter &prompter, QWidget *owner)
{
    const std::optional<OperationInfo> last = lastOperation();
    if (!last || !last->interrupted)
        return;
    const app::MsgAnswer answer = prompter.message(
        owner,
        QStringLiteral("フォルダー %1 での置換（%2 ファイル）が途中で終わっています。\r\n"
                       "残りのファイルも置き換えますか？\r\n"
                       "「いいえ」を選ぶと、置き換えたファイルを元に戻します。")
            .arg(QDir::toNativeSeparators(last->folder))
            .arg(last->files),
        QStringLiteral("確認"), app::MsgIcon::Question, app::MsgButtons::YesNoCancel);
    if (answer == app::MsgAnswer::Cancel)
        return;
    QStringList skipped;
    const auto collect = [&](const FileOutcome &outcome) {
        if (!outcome.skipReason.isEmpty())
            skipped.append(outcome.relativePath + QStringLiteral(": ") + outcome.skipReason);
    };
    const std::optional<QString> failure = answer == app::MsgAnswer::Yes
                                               ? finishOperation(*last, collect)
                                               : undoOperation(*last, collect);
    if (failure)
        skipped.prepend(*failure);
    if (!skipped.isEmpty())
        prompter.message(owner,
                         QStringLiteral("次のファイルは扱えませんでした。\r\n") +
                             skipped.mid(0, 20).join(QStringLiteral("\r\n")),
                         QStringLiteral("エラー"), app::MsgIcon::Exclamation, app::MsgButtons::Ok);
}

} // namespace site

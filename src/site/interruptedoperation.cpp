#include "site/interruptedoperation.h"

#include "platform/prompter.h"
#include "site/folderoperation.h"

#include <QDir>

namespace site
{

void offerInterruptedOperation(platform::Prompter &prompter, QWidget *owner)
{
    const std::optional<OperationInfo> last = lastOperation();
    if (!last || !last->interrupted)
        return;
    const QString question =
        last->conversion
            ? QStringLiteral("フォルダー %1 での文字コードの変換（%2 ファイル）が途中で終わって"
                             "います。\r\n残りのファイルも変換しますか？\r\n"
                             "「いいえ」を選ぶと、変換したファイルを元に戻します。")
            : QStringLiteral("フォルダー %1 での置換（%2 ファイル）が途中で終わっています。\r\n"
                             "残りのファイルも置き換えますか？\r\n"
                             "「いいえ」を選ぶと、置き換えたファイルを元に戻します。");
    const platform::MsgAnswer answer = prompter.message(
        owner, question.arg(QDir::toNativeSeparators(last->folder)).arg(last->files),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNoCancel);
    if (answer == platform::MsgAnswer::Cancel)
        return;
    QStringList skipped;
    const auto collect = [&](const FileOutcome &outcome) {
        if (!outcome.skipReason.isEmpty())
            skipped.append(outcome.relativePath + QStringLiteral(": ") + outcome.skipReason);
    };
    const std::optional<QString> failure = answer == platform::MsgAnswer::Yes
                                               ? finishOperation(*last, collect)
                                               : undoOperation(*last, collect);
    if (failure)
        skipped.prepend(*failure);
    if (!skipped.isEmpty())
        prompter.message(owner,
                         QStringLiteral("次のファイルは扱えませんでした。\r\n") +
                             skipped.mid(0, 20).join(QStringLiteral("\r\n")),
                         QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                         platform::MsgButtons::Ok);
}

} // namespace site

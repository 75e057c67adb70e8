#include "document/interruptedsave.h"

#include "document/atomicwrite.h"
#include "document/originalcopy.h"
#include "platform/prompter.h"

namespace document
{

bool offerInterruptedSaves(app::Prompter &prompter, QWidget *owner, const QString &folder,
                           QStringList *restored)
{
    std::vector<LeftOriginal> left = claimLeftOriginals(folder);
    for (LeftOriginal &entry : left) {
        const QString &path = entry.content.path;
        const app::MsgAnswer answer = prompter.message(
            owner,
            QStringLiteral("前回、次のファイルの上書き保存が途中で終わりました。ファイルの内容が"
                           "途中までしか書かれていないおそれがあります。\r\n%1\r\n"
                           "保存する前の内容（%2 バイト）に戻しますか？\r\n"
                           "「いいえ」で保存前の内容の控えを削除し、「キャンセル」で次の起動まで"
                           "残します。")
                .arg(path)
                .arg(entry.content.bytes.size()),
            QStringLiteral("確認"), app::MsgIcon::Question, app::MsgButtons::YesNoCancel);
        if (answer == app::MsgAnswer::Cancel)
            return false;
        if (answer == app::MsgAnswer::Yes) {
            if (const std::optional<QString> failure =
                    writeFileAtomically(path, entry.content.bytes)) {
                prompter.message(owner,
                                 QStringLiteral("保存前の内容に戻せませんでした。控えは %1 に"
                                                "残します。\r\n%2\r\n%3")
                                     .arg(entry.file, path, *failure),
                                 QStringLiteral("エラー"), app::MsgIcon::Exclamation,
                                 app::MsgButtons::Ok);
                continue;
            }
            if (restored)
                restored->append(path);
        }
        QString reason;
        if (!entry.remove(&reason))
            prompter.message(owner,
                             QStringLiteral("保存前の内容の控えを削除できませんでした。"
                                            "\r\n%1\r\n%2")
                                 .arg(entry.file, reason),
                             QStringLiteral("エラー"), app::MsgIcon::Exclamation,
                             app::MsgButtons::Ok);
    }
    return true;
}

} // namespace document

#include "document/interruptedsave.h"

#include "files/atomicwrite.h"
#include "files/originalcopy.h"
#include "platform/prompter.h"

namespace document
{

bool offerInterruptedSaves(platform::Prompter &prompter, QWidget *owner, const QString &folder,
                           QStringList *restored)
{
    std::vector<files::LeftOriginal> left = files::claimLeftOriginals(folder);
    for (files::LeftOriginal &entry : left) {
        const QString &path = entry.content.path;
        const platform::MsgAnswer answer = prompter.message(
            owner,
            QStringLiteral("前回、次のファイルの上書き保存が途中で終わりました。ファイルの内容が"
                           "途中までしか書かれていないおそれがあります。\r\n%1\r\n"
                           "保存する前の内容（%2 バイト）に戻しますか？\r\n"
                           "「いいえ」で保存前の内容の控えを削除し、「キャンセル」で次の起動まで"
                           "残します。")
                .arg(path)
                .arg(entry.content.bytes.size()),
            QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNoCancel);
        if (answer == platform::MsgAnswer::Cancel)
            return false;
        if (answer == platform::MsgAnswer::Yes) {
            if (const std::optional<QString> failure =
                    files::writeFileAtomically(path, entry.content.bytes)) {
                prompter.message(owner,
                                 QStringLiteral("保存前の内容に戻せませんでした。控えは %1 に"
                                                "残します。\r\n%2\r\n%3")
                                     .arg(entry.file, path, *failure),
                                 QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                                 platform::MsgButtons::Ok);
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
                             QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                             platform::MsgButtons::Ok);
    }
    return true;
}

} // namespace document

#include "document/longlineoffer.h"

#include "markup/longlines.h"
#include "platform/prompter.h"

#include <QLocale>

namespace document
{

bool offerLineBreaks(platform::Prompter &prompter, QWidget *owner, QString &text)
{
    const markup::LongestLine longest = markup::longestLine(text);
    if (longest.length <= markup::kLongLine)
        return false;
    QString broken = markup::breakLongLines(text);
    if (broken.size() == text.size())
        return false; // no place where a break would not change the page
    const QString question =
        QStringLiteral("この文書の %1 行目は %2 文字あり、このままでは入力が遅くなります。\r\n"
                       "表示が変わらない位置（タグの中の属性の間）に改行を入れて開きますか？\r\n"
                       "「いいえ」を選ぶと、そのまま開きます。")
            .arg(longest.number)
            .arg(QLocale(QLocale::Japanese, QLocale::Japan).toString(qlonglong(longest.length)));
    if (prompter.message(owner, question, QStringLiteral("確認"), platform::MsgIcon::Question,
                         platform::MsgButtons::YesNo) != platform::MsgAnswer::Yes)
        return false;
    text = std::move(broken);
    return true;
}

} // namespace document

#include "document/declarationquestion.h"

#include "document/declarationcheck.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"

#include <QTextCursor>

namespace document
{
namespace
{

// The editor's position of an index into its text with CR LF line breaks, where a line break
// is one position.
int editorPosition(QStringView text, qsizetype index)
{
    return int(index - text.first(index).count(u"\r\n"));
}

} // namespace

bool confirmDeclaration(QWidget &window, platform::Prompter &prompter,
                        platform::RichTextBox &editor, const std::function<void()> &recolour,
                        codec::TextCode writeCode, const codec::FileShape &shape)
{
    const QString text = editor.Text();
    const std::optional<DeclarationMismatch> mismatch =
        findDeclarationMismatch(text, writeCode, shape);
    if (!mismatch)
        return true;
    const platform::MsgAnswer answer = prompter.message(
        &window,
        QStringLiteral("このページは文字コードを「%1」と宣言していますが、%2 で保存します。"
                       "このままではブラウザーで文字化けします。\r\n"
                       "宣言を「%2」に書き換えて保存しますか？\r\n"
                       "「いいえ」で宣言はそのままで保存し、「キャンセル」で保存をやめます。")
            .arg(mismatch->label, mismatch->written),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNoCancel);
    if (answer == platform::MsgAnswer::Cancel)
        return false;
    if (answer == platform::MsgAnswer::Yes) {
        // One edit: undone in one step, and never merged with the typing before it.
        editor.replaceStretches({{editorPosition(text, mismatch->start),
                                  editorPosition(text, mismatch->end), mismatch->written}});
        recolour();
    }
    return true;
}

} // namespace document

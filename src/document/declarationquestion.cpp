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

bool confirmDeclaration(QWidget &window, app::Prompter &prompter, app::RichTextBox &editor,
                        const std::function<void()> &recolour, int writeCode,
                        const FileShape &shape)
{
    const QString text = editor.Text();
    const std::optional<DeclarationMismatch> mismatch =
        findDeclarationMismatch(text, writeCode, shape);
    if (!mismatch)
        return true;
    const app::MsgAnswer answer = prompter.message(
        &window,
        QStringLiteral("このページは文字コードを「%1」と宣言していますが、%2 で保存します。"
                       "このままではブラウザーで文字化けします。\r\n"
                       "宣言を「%2」に書き換えて保存しますか？\r\n"
                       "「いいえ」で宣言はそのままで保存し、「キャンセル」で保存をやめます。")
            .arg(mismatch->label, mismatch->written),
        QStringLiteral("確認"), app::MsgIcon::Question, app::MsgButtons::YesNoCancel);
    if (answer == app::MsgAnswer::Cancel)
        return false;
    if (answer == app::MsgAnswer::Yes) {
        // One edit: undone in one step, and never merged with the typing before it.
        editor.finishFill(); // the declaration may lie in what is still being filled in
        QTextCursor cursor(editor.document());
        cursor.beginEditBlock();
        cursor.setPosition(editorPosition(text, mismatch->start));
        cursor.setPosition(editorPosition(text, mismatch->end), QTextCursor::KeepAnchor);
        cursor.insertText(mismatch->written);
        cursor.endEditBlock();
        recolour();
    }
    return true;
}

} // namespace document

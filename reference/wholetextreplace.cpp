#include "reference/wholetextreplace.h"

#include "platform/richtextbox.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace reference
{

QString replaceLiteral(const QString &text, const QString &word, const QString &replacement)
{
    if (word.isEmpty())
        return text; // QString::replace would put the replacement between every character
    QString result = text;
    result.replace(word, replacement, Qt::CaseSensitive);
    return result;
}

std::variant<QString, markup::RegExpError> replaceRegExp(const QString &text,
                                                         const QString &pattern,
                                                         const QString &replacement,
                                                         search::RegExpOptions options)
{
    markup::RegExp regExp;
    regExp.Global = options.global;
    regExp.IgnoreCase = options.ignoreCase;
    regExp.Pattern = pattern;
    return regExp.Replace(text, replacement);
}

void replaceWholeText(platform::RichTextBox &editor, const QString &newText)
{
    if (newText == editor.Text())
        return;
    editor.finishFill();
    const int caret = editor.SelStart();
    QTextCursor cursor(editor.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(newText);
    cursor.endEditBlock();
    const int end = editor.document()->characterCount() - 1;
    cursor.setPosition(std::clamp(caret, 0, std::max(end, 0)));
    editor.setTextCursor(cursor);
}

} // namespace reference

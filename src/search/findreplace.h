#pragma once

#include "markup/regexp.h"

#include <QString>
#include <variant>
#include <vector>

namespace app
{
class RichTextBox;
}

namespace search
{

// The search word as the find dialog takes it over: every TAB, CR and LF removed.
QString cleanSearchWord(QString word);

// Every occurrence of word replaced by replacement, left to right, non-overlapping, with exact
// (case-sensitive) comparison. An empty word replaces nothing.
QString replaceLiteral(const QString &text, const QString &word, const QString &replacement);

// How a regular-expression replacement runs.
struct RegExpOptions {
    bool global = true;      // every match, or only the first one in the whole text
    bool ignoreCase = false; // letter case does not matter
};

// The text with the matches of pattern (ECMAScript syntax, "^" and "$" at the ends of the whole
// text only) replaced; "$1".."$99", "$&", "$`", "$'" and "$$" work in the replacement. A pattern
// the engine rejects, or a search it cannot finish, comes back as the engine's reason.
std::variant<QString, markup::RegExpError> replaceRegExp(const QString &text,
                                                         const QString &pattern,
                                                         const QString &replacement,
                                                         RegExpOptions options);

// One replaced stretch of a text: length characters from start give way to text.
struct TextEdit {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// The same replacements as replaceLiteral and replaceRegExp, as the list of stretches they
// replace (in order, not overlapping) instead of the new text.
std::vector<TextEdit> literalEdits(const QString &text, const QString &word,
                                   const QString &replacement);
std::variant<std::vector<TextEdit>, markup::RegExpError> regExpEdits(const QString &text,
                                                                     const QString &pattern,
                                                                     const QString &replacement,
                                                                     RegExpOptions options);

// Puts the edits of oldText (the editor's Text) into the editor as one edit, so that one undo
// brings the old text back; the editor then holds what replaceWholeText would have put there,
// with only the replaced stretches touched. The caret stays where it was, as far as the new text
// reaches. Nothing happens when no edit changes anything.
void putEditsBack(app::RichTextBox &editor, const QString &oldText,
                  const std::vector<TextEdit> &edits);

// Puts newText (CR LF line breaks) into the editor as one edit, so that one undo brings the old
// text back. The caret stays where it was, as far as the new text reaches. Nothing happens when
// the text is the same.
void replaceWholeText(app::RichTextBox &editor, const QString &newText);

// Searches the editor for word from the end of its selection onwards, ignoring letter case, and
// selects the occurrence found; no wrap-around, and nothing changes when there is none.
void FindNext(app::RichTextBox &editor, const QString &word);

} // namespace search

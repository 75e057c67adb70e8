#pragma once

#include "markup/regexp.h"

#include <QString>
#include <variant>

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

// Puts newText (CR LF line breaks) into the editor as one edit, so that one undo brings the old
// text back. The caret stays where it was, as far as the new text reaches. Nothing happens when
// the text is the same.
void replaceWholeText(app::RichTextBox &editor, const QString &newText);

// Searches the editor for word from the end of its selection onwards, ignoring letter case, and
// selects the occurrence found; no wrap-around, and nothing changes when there is none.
void FindNext(app::RichTextBox &editor, const QString &word);

} // namespace search

#pragma once

#include "markup/regexp.h"

#include <QString>
#include <variant>
#include <vector>

namespace platform
{
class RichTextBox;
}

namespace search
{

// The search word as the find dialog takes it over: every TAB, CR and LF removed.
QString cleanSearchWord(QString word);

// How a regular-expression replacement runs.
struct RegExpOptions {
    bool global = true;      // every match, or only the first one in the whole text
    bool ignoreCase = false; // letter case does not matter
};

// One replaced stretch of a text: length characters from start give way to text.
struct TextEdit {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// Whether text holds a character the editor takes as a line break (CR, LF, U+2029, U+FDD0, U+FDD1).
bool holdsLineBreak(QStringView text);

// The stretches replacing word (left to right, not overlapping, exact comparison; an empty word
// replaces nothing) or the matches of pattern (ECMAScript syntax, "^" and "$" at the ends of the
// whole text only; "$1".."$99", "$&", "$`", "$'" and "$$" work in the replacement) would replace,
// in order. A pattern the engine rejects, or a search it cannot finish, comes back as the
// engine's reason.
std::vector<TextEdit> literalEdits(const QString &text, const QString &word,
                                   const QString &replacement);
std::variant<std::vector<TextEdit>, markup::RegExpError> regExpEdits(const QString &text,
                                                                     const QString &pattern,
                                                                     const QString &replacement,
                                                                     RegExpOptions options);

// Puts the edits of oldText (the editor's Text) into the editor as one edit, so that one undo
// brings the old text back; only the replaced stretches are touched. The caret stays where it was,
// as far as the new text reaches. Nothing happens when no edit changes anything.
void putEditsBack(platform::RichTextBox &editor, const QString &oldText,
                  const std::vector<TextEdit> &edits);

// Searches the editor for word from the end of its selection onwards, ignoring letter case, and
// selects the occurrence found; no wrap-around, and nothing changes when there is none.
void FindNext(platform::RichTextBox &editor, const QString &word);

} // namespace search

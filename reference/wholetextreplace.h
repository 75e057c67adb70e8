#pragma once

#include "markup/regexp.h"
#include "search/findreplace.h"

#include <QString>
#include <variant>

namespace platform
{
class RichTextBox;
}

// Replacing by making the whole new text, the plain way: what the editor's stretch-by-stretch
// replace is measured and checked against.
namespace reference
{

// Every occurrence of word replaced by replacement, left to right, non-overlapping, with exact
// (case-sensitive) comparison. An empty word replaces nothing.
QString replaceLiteral(const QString &text, const QString &word, const QString &replacement);

// The text with the matches of pattern (ECMAScript syntax, "^" and "$" at the ends of the whole
// text only) replaced; "$1".."$99", "$&", "$`", "$'" and "$$" work in the replacement. A pattern
// the engine rejects, or a search it cannot finish, comes back as the engine's reason.
std::variant<QString, markup::RegExpError> replaceRegExp(const QString &text,
                                                         const QString &pattern,
                                                         const QString &replacement,
                                                         search::RegExpOptions options);

// Puts newText (CR LF line breaks) into the editor as one edit, so that one undo brings the old
// text back. The caret stays where it was, as far as the new text reaches. Nothing happens when
// the text is the same.
void replaceWholeText(platform::RichTextBox &editor, const QString &newText);

} // namespace reference

#pragma once

#include <QString>
#include <QStringView>

namespace markup
{

// Lines longer than this many characters (minified pages) are slow to type in.
inline constexpr qsizetype kLongLine = 20000;

// The length of the longest line of the text (CR, LF or CR LF end a line) and its number (from 1).
struct LongestLine {
    qsizetype length = 0;
    qsizetype number = 0;
};
LongestLine longestLine(QStringView text);

// The text with CR LF put into every line longer than limit characters, only where a line break
// cannot change how the page renders: before the white space inside a tag that separates its
// name and attributes (never inside a quoted value, a comment, a declaration, or the content of
// script, style, textarea, title and the like, which ends where a browser ends it: "</scripts>"
// ends no script, nor does "</script>" in a "<!-- <script>" block inside one). A break goes at
// the first such place once the line has reached target characters. Nothing else changes.
QString breakLongLines(QStringView text, qsizetype limit = kLongLine, qsizetype target = 200);

} // namespace markup

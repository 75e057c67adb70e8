#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace markup
{

// The three colour-switch insertions of the colouring pass done by direct scanning. Each gives
// exactly the result of its regular-expression replacement (see colorize.h), in linear time:
//   markTagStarts:  "\cf1 " before each "<" whose next character is outside "!".."-"
//   markTagEnds:    "\cf0 " after each ">" whose previous character is outside "(".."-"
//   markComments:   "\cf2 " before "<!--", "\cf2 " before the closing "-->" (or "//-->"),
//                   "\cf0 " after it
// Matches do not overlap and are taken left to right, as a global replacement takes them.
QString markTagStarts(const QString &text);
QString markTagEnds(const QString &text);
QString markComments(const QString &text);

// Characters of the text to be replaced before the markup is marked. Both the replaced
// characters and the new text must be free of "<", ">", "!", "-" and "/", and must begin with
// the same character and end with the same character (like two "{...}" groups), so that the
// replacement cannot change what the three steps find.
struct Splice {
    qsizetype position = 0;
    qsizetype length = 0;
    QString text;
};

// markComments(markTagEnds(markTagStarts(text))) in one pass over the text, with the splice
// (if any) applied first.
QString markTagsAndComments(const QString &text, const std::optional<Splice> &splice = {});

// A stretch of the plain text in one colour: 0 text, 1 tags, 2 comments.
struct MarkupRun {
    qsizetype start;
    qsizetype length;
    int colour;

    friend bool operator==(const MarkupRun &, const MarkupRun &) = default;
};

// The colours the three steps give a plain text (U+2029 between lines) when it is written as the
// editor's RTF, marked and read back, found straight from the text: the runs cover the whole
// text in order, and neighbouring runs differ in colour.
std::vector<MarkupRun> markupRuns(QStringView text);
// The same runs one by one, after expect(n) with at least their number.
void forEachMarkupRun(QStringView text, const std::function<void(std::size_t)> &expect,
                      const std::function<void(const MarkupRun &)> &add);

} // namespace markup

#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// A light walk over a page's markup as a browser's tokenizer reads it (tags, attributes, comments,
// the raw text of script and style), for what is needed while typing: the full-width characters
// an input method left where markup belongs, and the elements still open at a place.
namespace check
{

// A full-width character typed where markup belongs: inside a start or end tag, between
// attributes, around "=", or right after "<". index counts UTF-16 units of the walked text.
struct Slip {
    qsizetype index = 0;
    char16_t typed = 0; // one of 　＜＞＝＂＇／
    char16_t meant = 0; // its ASCII twin: space < > = " ' /
    friend bool operator==(const Slip &, const Slip &) = default;
};

// The ASCII character a full-width slip stands for, or 0 when c is none of 　＜＞＝＂＇／.
char16_t asciiTwin(char16_t c);

// The Japanese hint for a slip, for the Message panel and the page check.
QString slipHint(const Slip &slip);

// Where a place in the text stands.
enum class Context {
    Text,           // in text content (or between tags)
    Tag,            // inside a start or end tag, outside attribute values
    AttributeValue, // inside an attribute value
    Comment,        // inside a comment, a doctype or another <! ... > or <? ... >
    RawText,        // inside script, style, textarea, title and the like
};

struct WalkResult {
    std::vector<Slip> slips;           // those at or after reportFrom, in order
    std::vector<QString> openElements; // lower-case names, the innermost last
    Context context = Context::Text;   // at the end of the walk
};

// Walks text[from, to) taking from as a place in text content. Slips before reportFrom are
// walked over but not reported. Line breaks may be CR LF, LF, CR or U+2029.
WalkResult walkMarkup(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom);

// The slips of text[from, to) at or after reportFrom, taking from as a place in text content: as
// walkMarkup, without following the elements.
std::vector<Slip> findSlips(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom);

// Where a walk stands, so that another can go on from there.
struct WalkState {
    int state = 0; // in text content
    bool endTag = false;
    bool selfClosing = false;
    QString name;
    QString rawName;
    char16_t quote = 0;
    char16_t quoteTwin = 0;
};
// As findSlips, going on from state (where a walk up to from left it), which is left as it stands
// at to.
std::vector<Slip> findSlips(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom,
                            WalkState &state);

// How far back from a place the walks that serve typing start: far enough for any tag, comment
// or list in a hand-written page, short enough for every keystroke.
inline constexpr qsizetype LookBehind = 64 * 1024;

// The start of the line that holds the place lookBehind characters before index (0 at most).
qsizetype walkStart(QStringView text, qsizetype index, qsizetype lookBehind = LookBehind);

// The slips whose index lies in [from, to), walking from a line start a bounded way back.
std::vector<Slip> slipsBetween(QStringView text, qsizetype from, qsizetype to);

// The slip at index or just before it (the caret stands on either side of it), if any.
std::optional<Slip> slipAt(QStringView text, qsizetype index);

} // namespace check

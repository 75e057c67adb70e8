#include "links/cssurls.h"

namespace links
{

namespace
{

bool isIdentByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '\\' || u >= 0x80;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool startsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView word)
{
    if (at + word.size() > text.size())
        return false;
    for (qsizetype k = 0; k < word.size(); ++k) {
        char c = text[at + k];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != word[k])
            return false;
    }
    return true;
}

// The end of the string that starts with the quote at `at` (just past the closing quote, or at a
// line break or the end, where CSS ends a bad string).
qsizetype stringEnd(QByteArrayView css, qsizetype at)
{
    const char quote = css[at];
    qsizetype i = at + 1;
    while (i < css.size() && css[i] != quote && css[i] != '\n' && css[i] != '\r') {
        if (css[i] == '\\' && i + 1 < css.size())
            ++i;
        ++i;
    }
    return i < css.size() && css[i] == quote ? i + 1 : i;
}

struct Writer {
    qsizetype offsetBase;
    bool exact;
    LinkRefs &out;
    void add(QByteArrayView css, qsizetype start, qsizetype end, LinkKind kind)
    {
        const QByteArrayView raw = css.sliced(start, end - start);
        out.push_back(
            {QString::fromUtf8(raw), exact ? offsetBase + start : offsetBase, exact, kind});
    }
};

} // namespace

void appendCssUrls(QByteArrayView css, qsizetype offsetBase, bool exact, LinkRefs &out)
{
    Writer writer{offsetBase, exact, out};
    bool afterImport = false; // the last token was @import
    qsizetype i = 0;
    while (i < css.size()) {
        const char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const qsizetype close = css.indexOf("*/", i + 2);
            i = close < 0 ? css.size() : close + 2;
            continue;
        }
        if (c == '"' || c == '\'') {
            const qsizetype end = stringEnd(css, i);
            if (afterImport) {
                const qsizetype inner = end > i + 1 && css[end - 1] == c ? end - 1 : end;
                writer.add(css, i + 1, inner, LinkKind::StyleSheet);
            }
            afterImport = false;
            i = end;
            continue;
        }
        if (isSpace(c)) {
            ++i;
            continue;
        }
        if (c == '@' && startsWithNoCase(css, i + 1, "import") &&
            (i + 7 >= css.size() || !isIdentByte(css[i + 7]))) {
            afterImport = true;
            i += 7;
            continue;
        }
        if ((c == 'u' || c == 'U') && (i == 0 || !isIdentByte(css[i - 1])) &&
            startsWithNoCase(css, i, "url(")) {
            const LinkKind kind = afterImport ? LinkKind::StyleSheet : LinkKind::Reference;
            afterImport = false;
            qsizetype k = i + 4;
            while (k < css.size() && isSpace(css[k]))
                ++k;
            if (k < css.size() && (css[k] == '"' || css[k] == '\'')) {
                const qsizetype end = stringEnd(css, k);
                const qsizetype inner = end > k + 1 && css[end - 1] == css[k] ? end - 1 : end;
                writer.add(css, k + 1, inner, kind);
                i = end;
                continue;
            }
            qsizetype end = k;
            while (end < css.size() && css[end] != ')' && !isSpace(css[end]))
                ++end;
            writer.add(css, k, end, kind);
            i = end;
            continue;
        }
        afterImport = false;
        if (!isIdentByte(c)) {
            ++i;
            continue;
        }
        while (i < css.size() && isIdentByte(css[i]))
            ++i;
    }
}

} // namespace links

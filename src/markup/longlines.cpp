#include "markup/longlines.h"

#include <array>

namespace markup
{

namespace
{

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Elements whose content is not markup: a "<" in them starts no tag. Nothing ends plaintext.
constexpr std::array<QStringView, 10> kRawTextElements = {
    u"script", u"style",   u"textarea", u"title",    u"xmp",
    u"iframe", u"noembed", u"noframes", u"noscript", u"plaintext"};

bool isRawTextElement(QStringView name)
{
    for (QStringView raw : kRawTextElements)
        if (name.compare(raw, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Whether "</" + name at pos is an end tag that closes the element name: the name (in any case)
// followed by white space, "/" or ">", as a browser requires ("</scripts>" closes nothing).
bool isEndTagOf(QStringView s, qsizetype pos, QStringView name)
{
    const qsizetype after = pos + 2 + name.size();
    return after < s.size() && s.mid(pos, 2) == u"</" &&
           s.mid(pos + 2, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
           (isSpace(s[after]) || s[after] == u'/' || s[after] == u'>');
}

// After "<" + a letter at pos in a script: whether the tag name there is "script" followed by
// white space, "/" or ">", the name a browser's escaped script states look for.
bool startsScriptName(QStringView s, qsizetype pos)
{
    const qsizetype after = pos + 6;
    return after < s.size() && s.mid(pos, 6).compare(u"script", Qt::CaseInsensitive) == 0 &&
           (isSpace(s[after]) || s[after] == u'/' || s[after] == u'>');
}

// Where the content of a script element starting at from ends (the "<" of its end tag), as a
// browser's tokenizer finds it: "<!--" inside a script starts an escaped stretch, in which a
// "<script" starts a doubly escaped one where "</script>" does not end the element but only that
// stretch; "-->" ends them. The text's size when the script never ends.
qsizetype scriptEnd(QStringView s, qsizetype from)
{
    enum class State { Data, Escaped, DoubleEscaped } state = State::Data;
    int dashes = 0; // dashes just before, inside an escaped stretch
    for (qsizetype i = from; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'-') {
            ++dashes;
            continue;
        }
        const bool afterTwoDashes = dashes >= 2;
        dashes = 0;
        if (c == u'>' && afterTwoDashes) {
            state = State::Data;
        } else if (c == u'<' && state == State::Data) {
            if (isEndTagOf(s, i, u"script"))
                return i;
            if (s.mid(i, 4) == u"<!--") {
                state = State::Escaped;
                i += 3;
                dashes = 2;
            }
        } else if (c == u'<' && state == State::Escaped) {
            if (isEndTagOf(s, i, u"script"))
                return i;
            if (startsScriptName(s, i + 1))
                state = State::DoubleEscaped;
        } else if (c == u'<' && state == State::DoubleEscaped) {
            if (s.mid(i + 1, 1) == u"/" && startsScriptName(s, i + 2))
                state = State::Escaped;
        }
    }
    return s.size();
}

// Where the content of the raw text element name starting at from ends (the "<" of its end
// tag), or the text's size.
qsizetype rawTextEnd(QStringView s, qsizetype from, QStringView name)
{
    if (name.compare(u"script", Qt::CaseInsensitive) == 0)
        return scriptEnd(s, from);
    if (name.compare(u"plaintext", Qt::CaseInsensitive) == 0)
        return s.size();
    for (qsizetype i = s.indexOf(u"</", from); i >= 0; i = s.indexOf(u"</", i + 1))
        if (isEndTagOf(s, i, name))
            return i;
    return s.size();
}

// Walks the markup and reports every place where a line break may go.
class BreakFinder
{
public:
    explicit BreakFinder(QStringView text) : m_text(text) {}

    // The first place at or after from where a break may go (before white space inside a tag),
    // or -1. Calls come with growing from.
    qsizetype next(qsizetype from)
    {
        while (m_found < from && m_pos < m_text.size())
            m_found = step();
        return m_found >= from ? m_found : -1;
    }

private:
    // Moves over one piece of the text; returns a break place found in it, or -1.
    qsizetype step()
    {
        const QStringView s = m_text;
        if (!m_rawName.isEmpty()) { // inside script, style and the like: up to their end tag
            m_pos = rawTextEnd(s, m_pos, m_rawName);
            m_rawName = {};
            return -1;
        }
        if (m_inTag)
            return stepInTag();
        const qsizetype lt = s.indexOf(u'<', m_pos);
        if (lt < 0 || lt + 1 >= s.size()) {
            m_pos = s.size();
            return -1;
        }
        m_pos = lt + 1;
        if (s.mid(lt).startsWith(u"<!--")) {
            const qsizetype end = s.indexOf(u"-->", lt + 4);
            m_pos = end < 0 ? s.size() : end + 3;
        } else if (s[lt + 1] == u'!' || s[lt + 1] == u'?') {
            const qsizetype end = s.indexOf(u'>', lt + 2);
            m_pos = end < 0 ? s.size() : end + 1;
        } else if (isAsciiLetter(s[lt + 1]) ||
                   (s[lt + 1] == u'/' && lt + 2 < s.size() && isAsciiLetter(s[lt + 2]))) {
            const bool endTag = s[lt + 1] == u'/';
            qsizetype nameEnd = lt + (endTag ? 2 : 1);
            while (nameEnd < s.size() && !isSpace(s[nameEnd]) && s[nameEnd] != u'>' &&
                   s[nameEnd] != u'/')
                ++nameEnd;
            const QStringView name = s.mid(lt + (endTag ? 2 : 1), nameEnd - lt - (endTag ? 2 : 1));
            m_tagIsRaw = !endTag && isRawTextElement(name);
            m_tagName = name;
            m_inTag = true;
            m_afterEquals = false;
            m_pos = nameEnd;
        }
        return -1;
    }

    qsizetype stepInTag()
    {
        const QStringView s = m_text;
        const QChar c = s[m_pos];
        if (c == u'>') {
            m_inTag = false;
            ++m_pos;
            if (m_tagIsRaw)
                m_rawName = m_tagName;
            return -1;
        }
        if ((c == u'"' || c == u'\'') && m_afterEquals) { // a quoted value: no break inside
            const qsizetype end = s.indexOf(c, m_pos + 1);
            m_pos = end < 0 ? s.size() : end + 1;
            m_afterEquals = false;
            return -1;
        }
        if (isSpace(c)) {
            const qsizetype place = m_pos;
            bool hasBreak = false;
            for (; m_pos < s.size() && isSpace(s[m_pos]); ++m_pos)
                hasBreak = hasBreak || isBreak(s[m_pos]);
            return hasBreak ? -1 : place; // no second break where there is one already
        }
        m_afterEquals = c == u'=';
        ++m_pos;
        return -1;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_found = -1;
    bool m_inTag = false;
    bool m_tagIsRaw = false;
    bool m_afterEquals = false;
    QStringView m_tagName;
    QStringView m_rawName; // the raw text element whose content comes next
};

} // namespace

LongestLine longestLine(QStringView text)
{
    LongestLine longest;
    qsizetype start = 0;
    qsizetype number = 1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBreak(text[i]))
            continue;
        if (i - start > longest.length)
            longest = {i - start, number};
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        ++number;
        start = i + 1;
    }
    return longest;
}

QString breakLongLines(QStringView text, qsizetype limit, qsizetype target)
{
    QString out;
    out.reserve(text.size() + text.size() / std::max<qsizetype>(target, 1) * 2);
    BreakFinder finder(text);
    qsizetype lineStart = 0;
    qsizetype copied = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBreak(text[i]))
            continue;
        if (i - lineStart > limit) {
            // Break this line at the first allowed places past each target length.
            qsizetype from = lineStart + target;
            for (qsizetype place = finder.next(from); place >= 0 && place < i;
                 place = finder.next(from)) {
                out += text.mid(copied, place - copied);
                out += u"\r\n";
                copied = place;
                from = place + target;
            }
        }
        lineStart = i + 1;
    }
    out += text.mid(copied);
    return out;
}

} // namespace markup

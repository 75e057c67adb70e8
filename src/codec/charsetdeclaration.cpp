#include "codec/charsetdeclaration.h"

#include "codec/encodinglabels.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace codec
{
namespace
{

bool isSpace(uchar c)
{
    return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

bool isAlpha(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char lower(uchar c)
{
    return char(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
}

struct Attribute {
    QByteArray name;
    QByteArray value;      // letters in lower case
    qsizetype valueAt = 0; // where the value's bytes start in the page
};

// The label in page[start, end), trimmed, and the encoding it names; nullopt for no known one.
std::optional<CharsetDeclaration> labelAt(QByteArrayView page, qsizetype start, qsizetype end)
{
    while (start < end && isSpace(uchar(page[start])))
        ++start;
    while (end > start && isSpace(uchar(page[end - 1])))
        --end;
    const QByteArrayView encoding = encodingOfLabel(page.sliced(start, end - start));
    if (encoding.isEmpty())
        return std::nullopt;
    return CharsetDeclaration{start, end, encoding};
}

// The charset named in a Content-Type value, as browsers read a meta element's content.
std::optional<CharsetDeclaration> charsetOfContent(QByteArrayView page, const Attribute &a)
{
    const QByteArray &s = a.value;
    qsizetype i = 0;
    for (;;) {
        const qsizetype found = s.indexOf("charset", i);
        if (found < 0)
            return std::nullopt;
        i = found + 7;
        while (i < s.size() && isSpace(uchar(s[i])))
            ++i;
        if (i < s.size() && s[i] == '=')
            break;
    }
    ++i;
    while (i < s.size() && isSpace(uchar(s[i])))
        ++i;
    if (i >= s.size())
        return std::nullopt;
    if (s[i] == '"' || s[i] == '\'') {
        const qsizetype close = s.indexOf(s[i], i + 1);
        if (close < 0)
            return std::nullopt;
        return labelAt(page, a.valueAt + i + 1, a.valueAt + close);
    }
    qsizetype end = i;
    while (end < s.size() && !isSpace(uchar(s[end])) && s[end] != ';')
        ++end;
    return labelAt(page, a.valueAt + i, a.valueAt + end);
}

class PreScan
{
public:
    explicit PreScan(QByteArrayView page)
        : m_p(reinterpret_cast<const uchar *>(page.data())),
          m_n(std::min(page.size(), kCharsetScanLength)), m_page(page.first(m_n))
    {
    }

    std::optional<CharsetDeclaration> run();

private:
    enum class Got { Attribute, None, End };
    Got attribute(Attribute &a);
    Got readValue(Attribute &a);
    // Whether the bytes at the position are text, letters compared without case.
    bool at(QByteArrayView text) const;
    // Reads the attributes of a meta element; true when they decide the page's encoding.
    bool meta(std::optional<CharsetDeclaration> &result);

    const uchar *m_p;
    qsizetype m_n;
    QByteArrayView m_page;
    qsizetype m_pos = 0;
    bool m_end = false;
};

bool PreScan::at(QByteArrayView text) const
{
    if (m_pos + text.size() > m_n)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (lower(m_p[m_pos + i]) != text[i])
            return false;
    return true;
}

PreScan::Got PreScan::attribute(Attribute &a)
{
    while (m_pos < m_n && (isSpace(m_p[m_pos]) || m_p[m_pos] == '/'))
        ++m_pos;
    if (m_pos >= m_n)
        return Got::End;
    if (m_p[m_pos] == '>')
        return Got::None;
    for (;; ++m_pos) {
        if (m_pos >= m_n)
            return Got::End;
        const uchar c = m_p[m_pos];
        if (c == '=' && !a.name.isEmpty()) {
            ++m_pos;
            return readValue(a);
        }
        if (isSpace(c))
            break;
        if (c == '/' || c == '>')
            return Got::Attribute;
        a.name += lower(c);
    }
    while (m_pos < m_n && isSpace(m_p[m_pos]))
        ++m_pos;
    if (m_pos >= m_n)
        return Got::End;
    if (m_p[m_pos] != '=')
        return Got::Attribute;
    ++m_pos;
    return readValue(a);
}

PreScan::Got PreScan::readValue(Attribute &a)
{
    while (m_pos < m_n && isSpace(m_p[m_pos]))
        ++m_pos;
    if (m_pos >= m_n)
        return Got::End;
    const uchar first = m_p[m_pos];
    if (first == '"' || first == '\'') {
        a.valueAt = ++m_pos;
        for (; m_pos < m_n; ++m_pos) {
            if (m_p[m_pos] == first) {
                ++m_pos;
                return Got::Attribute;
            }
            a.value += lower(m_p[m_pos]);
        }
        return Got::End;
    }
    if (first == '>')
        return Got::Attribute;
    a.valueAt = m_pos;
    for (; m_pos < m_n; ++m_pos) {
        const uchar c = m_p[m_pos];
        if (isSpace(c) || c == '>')
            return Got::Attribute;
        a.value += lower(c);
    }
    return Got::End;
}

bool PreScan::meta(std::optional<CharsetDeclaration> &result)
{
    std::vector<QByteArray> seen;
    bool gotPragma = false;
    enum { Unset, Needed, NotNeeded } needPragma = Unset;
    std::optional<CharsetDeclaration> charset;
    for (;;) {
        Attribute a;
        const Got got = attribute(a);
        if (got == Got::End) {
            m_end = true;
            return false;
        }
        if (got == Got::None)
            break;
        if (std::find(seen.begin(), seen.end(), a.name) != seen.end())
            continue;
        seen.push_back(a.name);
        if (a.name == "http-equiv") {
            gotPragma = gotPragma || a.value == "content-type";
        } else if (a.name == "content") {
            if (!charset) {
                if (const auto found = charsetOfContent(m_page, a)) {
                    charset = found;
                    needPragma = Needed;
                }
            }
        } else if (a.name == "charset") {
            charset = labelAt(m_page, a.valueAt, a.valueAt + a.value.size());
            needPragma = NotNeeded;
        }
    }
    if (needPragma == Unset || (needPragma == Needed && !gotPragma) || !charset)
        return false;
    if (charset->encoding == "UTF-16LE" || charset->encoding == "UTF-16BE")
        charset->encoding = "UTF-8";
    else if (charset->encoding == "x-user-defined")
        charset->encoding = "windows-1252";
    result = charset;
    return true;
}

std::optional<CharsetDeclaration> PreScan::run()
{
    std::optional<CharsetDeclaration> result;
    for (; m_pos < m_n && !m_end; ++m_pos) {
        if (at("<!--")) {
            // The "--" of the opening may be the one of the closing "-->".
            const qsizetype close = m_page.indexOf("-->", m_pos + 2);
            if (close < 0)
                break;
            m_pos = close + 2;
        } else if (at("<meta") && m_pos + 5 < m_n &&
                   (isSpace(m_p[m_pos + 5]) || m_p[m_pos + 5] == '/')) {
            m_pos += 5;
            if (meta(result))
                return result;
        } else if (m_p[m_pos] == '<' && m_pos + 1 < m_n &&
                   (isAlpha(m_p[m_pos + 1]) ||
                    (m_p[m_pos + 1] == '/' && m_pos + 2 < m_n && isAlpha(m_p[m_pos + 2])))) {
            while (m_pos < m_n && !isSpace(m_p[m_pos]) && m_p[m_pos] != '>')
                ++m_pos;
            Attribute ignored;
            Got got;
            while ((got = attribute(ignored)) == Got::Attribute)
                ignored = Attribute();
            if (got == Got::End)
                break;
        } else if (at("<!") || at("</") || at("<?")) {
            const qsizetype close = m_page.indexOf('>', m_pos + 2);
            if (close < 0)
                break;
            m_pos = close;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<CharsetDeclaration> findCharsetDeclaration(QByteArrayView page)
{
    return PreScan(page).run();
}

} // namespace codec

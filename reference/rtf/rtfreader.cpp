#include "codec/cp932chartables.h"
#include "reference/rtf/rtf.h"
#include "reference/rtf/rtfkeywords.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace reference::rtf
{

namespace
{

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kParagraph = 0x2029;

// Groups nested deeper than this are only counted: their state changes stay in the enclosing
// group. Keeps absurd nesting from eating memory.
constexpr std::size_t kMaxDepth = 1 << 16;

enum class Destination : std::uint8_t { Text, ColorTable };

struct GroupState {
    int uc = 1;    // fallback characters after \uN
    int color = 0; // index into the colour table
    Destination dest = Destination::Text;
};

struct TableEntry {
    QRgb rgb = 0;
    bool defined = false; // an empty entry (";" alone) means the default colour
};

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

class Reader
{
public:
    Reader(QStringView rtf, QRgb defaultColor)
        : m_p(rtf.utf16()), m_end(rtf.utf16() + rtf.size()), m_defaultColor(defaultColor),
          m_tables(codec::cp932::charTables())
    {
        // Every character of the text comes from at least one character of the source.
        m_text.resize(rtf.size());
        m_begin = m_out = reinterpret_cast<char16_t *>(m_text.data());
        const char16_t *first = m_p;
        while (first < m_end &&
               (*first == u' ' || *first == u'\r' || *first == u'\n' || *first == u'\t'))
            ++first;
        m_endsWithGroup = first < m_end && *first == u'{';
    }

    Document read();

private:
    void controlToken();
    void controlWord();
    void controlSymbol();
    void hexByte();
    void plainText();
    void keyword(Keyword kw, bool hasParam, int param);
    void openGroup();
    void closeGroup();
    void skipGroup();
    void skipChars(int count);
    void endColorEntry();

    bool inText() const { return m_state.dest == Destination::Text; }
    bool nested() const { return !m_stack.empty() || m_overflow > 0; }

    // True when the token is used up as a fallback character of the preceding \uN.
    bool swallowFallback()
    {
        if (m_fallback <= 0)
            return false;
        --m_fallback;
        return true;
    }

    void put(char16_t c, int color)
    {
        if (color != m_lastColor) {
            m_runStarts.push_back({m_out - m_begin, color});
            m_lastColor = color;
        }
        *m_out++ = c;
    }

    void emit(char16_t c)
    {
        if (m_lead >= 0)
            flushLead();
        if (m_pendingParagraph) {
            m_pendingParagraph = false;
            put(kParagraph, m_pendingParagraphColor);
        }
        put(c, m_state.color);
    }

    // A paragraph mark becomes text only once something follows it: the document's last one
    // ends the final paragraph and adds nothing.
    void paragraph()
    {
        if (m_lead >= 0)
            flushLead();
        if (m_pendingParagraph)
            put(kParagraph, m_pendingParagraphColor);
        m_pendingParagraph = true;
        m_pendingParagraphColor = m_state.color;
    }

    void flushLead()
    {
        m_lead = -1;
        emit(kReplacement);
    }

    void byte(int b);
    QRgb colorOf(int index) const;
    Document finish();

    const char16_t *m_p;
    const char16_t *m_end;
    const QRgb m_defaultColor;
    const codec::cp932::CharTables &m_tables;
    bool m_endsWithGroup = false;
    bool m_done = false;

    GroupState m_state;
    std::vector<GroupState> m_stack;
    std::size_t m_overflow = 0;
    int m_fallback = 0;
    int m_lead = -1; // a CP932 lead byte waiting for its trail byte

    QString m_text;
    char16_t *m_begin;
    char16_t *m_out;
    bool m_pendingParagraph = false;
    int m_pendingParagraphColor = 0;
    int m_lastColor = INT_MIN;
    struct RunStart {
        qsizetype start;
        int color;
    };
    std::vector<RunStart> m_runStarts;

    std::vector<TableEntry> m_table;
    TableEntry m_entry;
    bool m_tableSeen = false;
};

Document Reader::read()
{
    while (m_p < m_end && !m_done) {
        const char16_t c = *m_p;
        if (c == u'\\') {
            controlToken();
        } else if (c == u'{') {
            ++m_p;
            openGroup();
        } else if (c == u'}') {
            ++m_p;
            closeGroup();
        } else if (c == u'\r' || c == u'\n') {
            ++m_p;
        } else if (inText()) {
            plainText();
        } else {
            if (c == u';')
                endColorEntry();
            ++m_p;
        }
    }
    return finish();
}

void Reader::plainText()
{
    while (m_p < m_end) {
        const char16_t c = *m_p;
        if (c == u'\\' || c == u'{' || c == u'}')
            return;
        ++m_p;
        if (c == u'\r' || c == u'\n' || swallowFallback())
            continue;
        emit(c);
    }
}

void Reader::controlToken()
{
    if (m_end - m_p < 2) {
        m_p = m_end;
        return;
    }
    const char16_t next = m_p[1];
    if (next == u'\'')
        hexByte();
    else if (isLetter(next))
        controlWord();
    else
        controlSymbol();
}

void Reader::hexByte()
{
    m_p += 2;
    const int hi = m_p < m_end ? hexValue(m_p[0]) : -1;
    const int lo = hi >= 0 && m_end - m_p >= 2 ? hexValue(m_p[1]) : -1;
    if (hi >= 0)
        ++m_p;
    if (lo >= 0)
        ++m_p;
    if (!inText() || swallowFallback())
        return;
    if (lo < 0)
        emit(kReplacement);
    else
        byte(hi * 16 + lo);
}

void Reader::byte(int b)
{
    if (m_lead >= 0) {
        const char16_t c = m_tables.pair[m_lead * 256 + b];
        if (c != codec::cp932::kNoChar) {
            m_lead = -1;
            emit(c);
            return;
        }
        flushLead();
    }
    if (m_tables.isLead[b]) {
        m_lead = b;
        return;
    }
    const char16_t c = m_tables.single[b];
    emit(c == codec::cp932::kNoChar ? kReplacement : c);
}

void Reader::controlWord()
{
    const char16_t *start = m_p + 1;
    const char16_t *q = start;
    while (q < m_end && isLetter(*q))
        ++q;
    const QStringView name(start, q - start);

    bool negative = false;
    if (q + 1 < m_end && *q == u'-' && isDigit(q[1])) {
        negative = true;
        ++q;
    }
    bool hasParam = false;
    std::int64_t value = 0;
    while (q < m_end && isDigit(*q)) {
        hasParam = true;
        if (value <= INT_MAX)
            value = value * 10 + (*q - u'0');
        ++q;
    }
    if (q < m_end && *q == u' ')
        ++q;
    m_p = q;
    value = std::min<std::int64_t>(value, INT_MAX);
    keyword(classifyKeyword(name), hasParam, int(negative ? -value : value));
}

void Reader::keyword(Keyword kw, bool hasParam, int param)
{
    switch (kw.kind) {
    case KeywordKind::Unknown:
        return;
    case KeywordKind::Text:
        if (inText() && !swallowFallback())
            emit(kw.ch);
        return;
    case KeywordKind::Paragraph:
        if (inText() && !swallowFallback())
            paragraph();
        return;
    case KeywordKind::Unicode:
        if (!hasParam || !inText() || swallowFallback())
            return;
        if (param < 0)
            param += 0x10000;
        emit(param >= 0 && param <= 0xFFFF ? char16_t(param) : kReplacement);
        m_fallback = m_state.uc;
        return;
    case KeywordKind::UnicodeSkip:
        m_state.uc = std::max(param, 0);
        return;
    case KeywordKind::ColorIndex:
        m_state.color = std::max(param, -1);
        return;
    case KeywordKind::Plain:
        m_state.color = 0;
        return;
    case KeywordKind::Red:
    case KeywordKind::Green:
    case KeywordKind::Blue:
        if (m_state.dest == Destination::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            const QRgb c = m_entry.rgb;
            m_entry.rgb = kw.kind == KeywordKind::Red     ? qRgb(v, qGreen(c), qBlue(c))
                          : kw.kind == KeywordKind::Green ? qRgb(qRed(c), v, qBlue(c))
                                                          : qRgb(qRed(c), qGreen(c), v);
            m_entry.defined = true;
        }
        return;
    case KeywordKind::ColorTable:
        if (!nested())
            return;
        if (m_tableSeen || m_overflow > 0) {
            skipGroup();
            return;
        }
        m_tableSeen = true;
        m_state.dest = Destination::ColorTable;
        m_entry = {qRgb(0, 0, 0), false};
        return;
    case KeywordKind::Binary:
        skipChars(param);
        return;
    case KeywordKind::SkipGroup:
        if (nested())
            skipGroup();
        return;
    }
}

void Reader::controlSymbol()
{
    const char16_t c = m_p[1];
    m_p += 2;
    char16_t text = 0;
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        text = c;
        break;
    case u'~':
        text = 0x00A0;
        break;
    case u'-':
        text = 0x00AD;
        break;
    case u'_':
        text = 0x2011;
        break;
    case u'\r':
    case u'\n':
        if (inText() && !swallowFallback())
            paragraph();
        return;
    case u'*':
        if (nested())
            skipGroup();
        return;
    default:
        return;
    }
    if (inText() && !swallowFallback())
        emit(text);
}

void Reader::skipChars(int count)
{
    m_p += std::min<std::ptrdiff_t>(std::max(count, 0), m_end - m_p);
}

void Reader::openGroup()
{
    m_fallback = 0;
    if (m_lead >= 0)
        flushLead();
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_state);
    // Groups inside the colour table hold nothing of it.
    if (m_state.dest == Destination::ColorTable)
        skipGroup();
}

void Reader::closeGroup()
{
    m_fallback = 0;
    if (m_lead >= 0)
        flushLead();
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.empty())
        return; // a "}" without its "{"
    if (m_state.dest == Destination::ColorTable && m_stack.back().dest != Destination::ColorTable &&
        m_entry.defined)
        endColorEntry(); // the last entry without its ";"
    m_state = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty() && m_endsWithGroup)
        m_done = true;
}

// Skips the rest of the current group, its closing "}" included.
void Reader::skipGroup()
{
    std::size_t depth = 0;
    while (m_p < m_end) {
        const char16_t c = *m_p++;
        if (c == u'\\') {
            if (m_p == m_end)
                break;
            if (!isLetter(*m_p)) {
                ++m_p;
                continue;
            }
            const char16_t *start = m_p;
            while (m_p < m_end && isLetter(*m_p))
                ++m_p;
            if (classifyKeyword(QStringView(start, m_p - start)).kind != KeywordKind::Binary)
                continue;
            std::int64_t count = 0;
            while (m_p < m_end && isDigit(*m_p)) {
                count = std::min<std::int64_t>(count * 10 + (*m_p - u'0'), INT_MAX);
                ++m_p;
            }
            if (m_p < m_end && *m_p == u' ')
                ++m_p;
            skipChars(int(count));
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            if (depth == 0) {
                closeGroup();
                return;
            }
            --depth;
        }
    }
}

void Reader::endColorEntry()
{
    m_table.push_back(m_entry);
    m_entry = {qRgb(0, 0, 0), false};
}

QRgb Reader::colorOf(int index) const
{
    if (index < 0 || std::size_t(index) >= m_table.size() || !m_table[index].defined)
        return m_defaultColor;
    return m_table[index].rgb;
}

Document Reader::finish()
{
    if (m_lead >= 0)
        flushLead();
    const qsizetype size = m_out - m_begin;
    m_text.resize(size);
    m_text.squeeze();

    Document doc;
    doc.text = std::move(m_text);
    doc.runs.reserve(m_runStarts.size());
    for (std::size_t i = 0; i < m_runStarts.size(); ++i) {
        const qsizetype start = m_runStarts[i].start;
        const qsizetype end = i + 1 < m_runStarts.size() ? m_runStarts[i + 1].start : size;
        const QRgb color = colorOf(m_runStarts[i].color);
        if (!doc.runs.empty() && doc.runs.back().color == color)
            doc.runs.back().length += end - start;
        else
            doc.runs.push_back({qint32(start), qint32(end - start), color});
    }
    return doc;
}

} // namespace

Document read(QStringView rtf, QRgb defaultColor)
{
    return Reader(rtf, defaultColor).read();
}

} // namespace reference::rtf

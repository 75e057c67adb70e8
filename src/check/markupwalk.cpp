#include "check/markupwalk.h"

#include <algorithm>

namespace check
{

namespace
{

constexpr char16_t FullWidthSpace = 0x3000;

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == 0x2029;
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t lower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool isVoid(const QString &name)
{
    static constexpr QStringView names[] = {u"area",     u"base",    u"br",    u"col",    u"embed",
                                            u"hr",       u"img",     u"input", u"link",   u"meta",
                                            u"param",    u"source",  u"track", u"wbr",    u"keygen",
                                            u"basefont", u"bgsound", u"frame", u"command"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Longer than any element name whose content is raw text: a walk that does not follow the
// elements keeps no more of a name.
constexpr qsizetype MaxRawTextName = 9;

bool isRawText(const QString &name)
{
    static constexpr QStringView names[] = {u"script", u"style",  u"textarea", u"title",
                                            u"xmp",    u"iframe", u"noembed",  u"noframes"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool isOneOf(const QString &name, std::initializer_list<QStringView> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Start tags that end an open p element.
bool closesParagraph(const QString &name)
{
    return isOneOf(name,
                   {u"address", u"article",  u"aside",      u"blockquote", u"details", u"div",
                    u"dl",      u"fieldset", u"figcaption", u"figure",     u"footer",  u"form",
                    u"h1",      u"h2",       u"h3",         u"h4",         u"h5",      u"h6",
                    u"header",  u"hr",       u"main",       u"menu",       u"nav",     u"ol",
                    u"p",       u"pre",      u"section",    u"table",      u"ul"});
}

// The open elements as a browser keeps them, roughly: the end tags a page leaves out (li, p, td
// and the like) are taken as given where the next start tag implies them.
class OpenElements
{
public:
    void start(const QString &name)
    {
        if (name == u"li")
            closeNearest({u"li"}, {u"ul", u"ol", u"menu"});
        else if (name == u"dt" || name == u"dd")
            closeNearest({u"dt", u"dd"}, {u"dl"});
        else if (name == u"tr")
            closeNearest({u"tr"}, {u"table", u"thead", u"tbody", u"tfoot"});
        else if (name == u"td" || name == u"th")
            closeNearest({u"td", u"th"}, {u"tr", u"table"});
        else if (name == u"thead" || name == u"tbody" || name == u"tfoot")
            closeNearest({u"thead", u"tbody", u"tfoot"}, {u"table"});
        else if (name == u"option")
            closeNearest({u"option"}, {u"select", u"datalist"});
        if (!m_names.empty() && m_names.back() == u"p" && closesParagraph(name))
            m_names.pop_back();
        if (!isVoid(name))
            m_names.push_back(name);
    }

    void end(const QString &name)
    {
        const auto it = std::find(m_names.rbegin(), m_names.rend(), name);
        if (it != m_names.rend())
            m_names.erase(std::next(it).base(), m_names.end());
    }

    std::vector<QString> take() { return std::move(m_names); }

private:
    void closeNearest(std::initializer_list<QStringView> names,
                      std::initializer_list<QStringView> boundaries)
    {
        for (auto it = m_names.rbegin(); it != m_names.rend(); ++it) {
            if (isOneOf(*it, boundaries))
                return;
            if (isOneOf(*it, names)) {
                m_names.erase(std::next(it).base(), m_names.end());
                return;
            }
        }
    }

    std::vector<QString> m_names;
};

enum class State {
    Data,
    TagName,
    BeforeAttributeName,
    AttributeName,
    AfterAttributeName,
    BeforeAttributeValue,
    QuotedValue,
    AfterQuotedValue,
    UnquotedValue,
    Comment,      // <!-- ... -->
    BogusComment, // <! ... >, <? ... >
    RawText,
};

class Walker
{
public:
    Walker(QStringView text, qsizetype reportFrom, bool trackElements)
        : m_text(text), m_reportFrom(reportFrom), m_trackElements(trackElements)
    {
    }

    void load(const WalkState &s)
    {
        m_state = State(s.state);
        m_endTag = s.endTag;
        m_selfClosing = s.selfClosing;
        m_name = s.name;
        m_rawName = s.rawName;
        m_quote = s.quote;
        m_quoteTwin = s.quoteTwin;
    }

    void save(WalkState &s) const
    {
        s = {int(m_state), m_endTag, m_selfClosing, m_name, m_rawName, m_quote, m_quoteTwin};
    }

    WalkResult walk(qsizetype from, qsizetype to)
    {
        qsizetype i = from;
        while (i < to)
            i = step(i, to);
        WalkResult result;
        result.slips = std::move(m_slips);
        result.openElements = m_open.take();
        result.context = context();
        return result;
    }

private:
    Context context() const
    {
        switch (m_state) {
        case State::Data:
            return Context::Text;
        case State::QuotedValue:
        case State::UnquotedValue:
            return Context::AttributeValue;
        case State::Comment:
        case State::BogusComment:
            return Context::Comment;
        case State::RawText:
            return Context::RawText;
        default:
            return Context::Tag;
        }
    }

    bool startsWith(qsizetype i, qsizetype to, QStringView what, bool caseless = false) const
    {
        if (to - i < what.size())
            return false;
        for (qsizetype k = 0; k < what.size(); ++k) {
            const char16_t c = m_text[i + k].unicode();
            if ((caseless ? lower(c) : c) != what[k].unicode())
                return false;
        }
        return true;
    }

    void slip(qsizetype i, char16_t c)
    {
        if (i >= m_reportFrom)
            m_slips.push_back({i, c, asciiTwin(c)});
    }

    // The character as the author meant it inside a tag: a slip counts as its ASCII twin.
    char16_t meant(qsizetype i)
    {
        const char16_t c = m_text[i].unicode();
        const char16_t twin = asciiTwin(c);
        if (!twin)
            return c;
        slip(i, c);
        return twin;
    }

    void beginTag(bool end)
    {
        m_endTag = end;
        m_name.truncate(0); // keeps its buffer for the next tag
        m_selfClosing = false;
        m_state = State::TagName;
    }

    void endTag()
    {
        m_state = State::Data;
        if (m_endTag) {
            if (m_trackElements)
                m_open.end(m_name);
            return;
        }
        if (!m_selfClosing && m_trackElements)
            m_open.start(m_name);
        if (isRawText(m_name)) {
            m_rawName = m_name;
            m_state = State::RawText;
        }
    }

    qsizetype step(qsizetype i, qsizetype to)
    {
        switch (m_state) {
        case State::Data:
            return data(i, to);
        case State::Comment: {
            const qsizetype end = indexOf(u"-->", i, to);
            if (end < 0)
                return to;
            m_state = State::Data;
            return end + 3;
        }
        case State::BogusComment: {
            const qsizetype end = m_text.sliced(0, to).indexOf(u'>', i);
            if (end < 0)
                return to;
            m_state = State::Data;
            return end + 1;
        }
        case State::RawText:
            return rawText(i, to);
        case State::QuotedValue: {
            for (; i < to; ++i) {
                const char16_t c = m_text[i].unicode();
                if (c == m_quote || (m_quoteTwin && c == m_quoteTwin)) {
                    if (c == m_quoteTwin)
                        slip(i, c);
                    m_state = State::AfterQuotedValue;
                    return i + 1;
                }
            }
            return to;
        }
        case State::UnquotedValue: {
            const char16_t c = m_text[i].unicode();
            if (isSpace(c))
                m_state = State::BeforeAttributeName;
            else if (c == u'>')
                endTag();
            return i + 1;
        }
        default:
            return tag(i);
        }
    }

    qsizetype indexOf(QStringView what, qsizetype i, qsizetype to) const
    {
        const qsizetype at = m_text.sliced(0, to).indexOf(what, i);
        return at;
    }

    qsizetype data(qsizetype i, qsizetype to)
    {
        const qsizetype lt = m_text.sliced(0, to).indexOf(u'<', i);
        if (lt < 0)
            return to;
        const qsizetype next = lt + 1;
        if (next >= to)
            return to;
        const char16_t c = m_text[next].unicode();
        if (isAsciiLetter(c)) {
            beginTag(false);
            return next;
        }
        if (c == u'/' || c == u'／') {
            if (next + 1 < to && isAsciiLetter(m_text[next + 1].unicode())) {
                if (c == u'／')
                    slip(next, c);
                beginTag(true);
                return next + 1;
            }
            return next;
        }
        if (c == u'!') {
            m_state = startsWith(next, to, u"!--") ? State::Comment : State::BogusComment;
            return m_state == State::Comment ? next + 3 : next;
        }
        if (c == u'?') {
            m_state = State::BogusComment;
            return next;
        }
        return next;
    }

    qsizetype rawText(qsizetype i, qsizetype to)
    {
        for (;;) {
            const qsizetype lt = indexOf(u"</", i, to);
            if (lt < 0)
                return to;
            const qsizetype after = lt + 2 + m_rawName.size();
            if (startsWith(lt + 2, to, m_rawName, true) &&
                (after >= to || isSpace(m_text[after].unicode()) || m_text[after] == u'>' ||
                 m_text[after] == u'/')) {
                beginTag(true);
                return lt + 2;
            }
            i = lt + 2;
        }
    }

    // One character inside a tag, outside attribute values.
    qsizetype tag(qsizetype i)
    {
        const char16_t raw = m_text[i].unicode();
        const char16_t c = meant(i);
        if (c == u'>') {
            endTag();
            return i + 1;
        }
        switch (m_state) {
        case State::TagName:
            if (isSpace(c))
                m_state = State::BeforeAttributeName;
            else if (c == u'/')
                m_state = State::BeforeAttributeName, m_selfClosing = true;
            else if (m_trackElements || m_name.size() < MaxRawTextName)
                m_name.append(QChar(lower(c)));
            return i + 1;
        case State::BeforeAttributeName:
        case State::AfterQuotedValue:
            m_selfClosing = c == u'/';
            if (!isSpace(c) && c != u'/')
                m_state = State::AttributeName;
            else
                m_state = State::BeforeAttributeName;
            return i + 1;
        case State::AttributeName:
        case State::AfterAttributeName:
            if (isSpace(c)) {
                m_state = State::AfterAttributeName;
            } else if (c == u'=') {
                m_state = State::BeforeAttributeValue;
            } else if (c == u'/') {
                m_state = State::BeforeAttributeName;
                m_selfClosing = true;
            } else {
                m_state = State::AttributeName;
            }
            return i + 1;
        case State::BeforeAttributeValue:
            if (isSpace(c))
                return i + 1;
            if (c == u'"' || c == u'\'') {
                m_quote = c;
                m_quoteTwin = raw != c ? raw : (c == u'"' ? u'＂' : u'＇');
                // A value opened with an ASCII quote ends only at the same quote.
                if (raw == c)
                    m_quoteTwin = 0;
                m_state = State::QuotedValue;
                return i + 1;
            }
            m_state = State::UnquotedValue;
            return i + 1;
        default:
            return i + 1;
        }
    }

    QStringView m_text;
    qsizetype m_reportFrom;
    bool m_trackElements;
    State m_state = State::Data;
    bool m_endTag = false;
    bool m_selfClosing = false;
    QString m_name;
    QString m_rawName;
    char16_t m_quote = 0;
    char16_t m_quoteTwin = 0;
    OpenElements m_open;
    std::vector<Slip> m_slips;
};

} // namespace

char16_t asciiTwin(char16_t c)
{
    switch (c) {
    case FullWidthSpace:
        return u' ';
    case u'＜':
        return u'<';
    case u'＞':
        return u'>';
    case u'＝':
        return u'=';
    case u'＂':
        return u'"';
    case u'＇':
        return u'\'';
    case u'／':
        return u'/';
    default:
        return 0;
    }
}

QString slipHint(const Slip &slip)
{
    if (slip.typed == FullWidthSpace)
        return QStringLiteral("タグの中に全角の空白があります。半角の空白にしてください。");
    return QStringLiteral("タグの中に全角の「%1」があります。半角の「%2」にしてください。")
        .arg(QString(QChar(slip.typed)), QString(QChar(slip.meant)));
}

WalkResult walkMarkup(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom)
{
    to = std::min(to, text.size());
    from = std::clamp<qsizetype>(from, 0, to);
    return Walker(text, reportFrom, true).walk(from, to);
}

qsizetype walkStart(QStringView text, qsizetype index, qsizetype lookBehind)
{
    index = std::clamp<qsizetype>(index, 0, text.size());
    if (index <= lookBehind)
        return 0;
    qsizetype at = index - lookBehind;
    // In a page of very long lines, the place itself will do.
    const qsizetype floor = std::max<qsizetype>(at - lookBehind, 0);
    for (; at > floor; --at) {
        const char16_t c = text[at - 1].unicode();
        if (c == u'\n' || c == u'\r' || c == 0x2029)
            return at;
    }
    return at;
}

std::vector<Slip> findSlips(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom)
{
    to = std::min(to, text.size());
    from = std::clamp<qsizetype>(from, 0, to);
    return Walker(text, reportFrom, false).walk(from, to).slips;
}

std::vector<Slip> findSlips(QStringView text, qsizetype from, qsizetype to, qsizetype reportFrom,
                            WalkState &state)
{
    to = std::min(to, text.size());
    from = std::clamp<qsizetype>(from, 0, to);
    Walker walker(text, reportFrom, false);
    walker.load(state);
    std::vector<Slip> slips = walker.walk(from, to).slips;
    walker.save(state);
    return slips;
}

std::vector<Slip> slipsBetween(QStringView text, qsizetype from, qsizetype to)
{
    return findSlips(text, walkStart(text, from), to, from);
}

std::optional<Slip> slipAt(QStringView text, qsizetype index)
{
    if (index < 0 || index > text.size())
        return std::nullopt;
    const auto slipCharacter = [&](qsizetype at) {
        return at >= 0 && at < text.size() && asciiTwin(text[at].unicode()) != 0;
    };
    if (!slipCharacter(index) && !slipCharacter(index - 1))
        return std::nullopt; // the common case, without a walk
    const qsizetype from = std::max<qsizetype>(index - 1, 0);
    for (const Slip &s : slipsBetween(text, from, std::min(index + 1, text.size())))
        if (s.index == index || s.index == index - 1)
            return s;
    return std::nullopt;
}

} // namespace check

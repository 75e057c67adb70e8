#include "replacement.h"

namespace markup
{

namespace
{

constexpr std::size_t kUnset = ~std::size_t(0);

int digitAt(const QString &s, qsizetype i)
{
    if (i >= s.size())
        return -1;
    const char16_t c = s[i].unicode();
    return (c >= u'0' && c <= u'9') ? c - u'0' : -1;
}

} // namespace

ReplacementTemplate::ReplacementTemplate(const QString &replacement, int groupCount)
    : m_text(replacement)
{
    const qsizetype n = m_text.size();
    qsizetype literalStart = 0;
    qsizetype i = 0;
    while (i < n) {
        if (m_text[i] != u'$' || i + 1 == n) {
            ++i;
            continue;
        }
        const QChar next = m_text[i + 1];
        Part part{Kind::Group};
        qsizetype used = 2;
        if (next == u'$') {
            part = {Kind::Literal, i, 1};
        } else if (next == u'&') {
            part.group = 0;
        } else if (next == u'`') {
            part.kind = Kind::Before;
        } else if (next == u'\'') {
            part.kind = Kind::After;
        } else {
            const int d1 = digitAt(m_text, i + 1);
            const int d2 = digitAt(m_text, i + 2);
            if (d1 >= 0 && d2 >= 0 && d1 * 10 + d2 >= 1 && d1 * 10 + d2 <= groupCount) {
                part.group = d1 * 10 + d2;
                used = 3;
            } else if (d1 >= 1 && d1 <= groupCount) {
                part.group = d1;
            } else {
                ++i; // nothing named: the "$" stays literal
                continue;
            }
        }
        addLiteral(literalStart, i - literalStart);
        m_parts.push_back(part);
        i += used;
        literalStart = i;
    }
    addLiteral(literalStart, n - literalStart);
}

void ReplacementTemplate::addLiteral(qsizetype start, qsizetype length)
{
    if (length > 0)
        m_parts.push_back({Kind::Literal, start, length});
}

qsizetype ReplacementTemplate::expandedLength(const std::size_t *ovector,
                                              qsizetype subjectLength) const
{
    qsizetype total = 0;
    for (const Part &part : m_parts) {
        switch (part.kind) {
        case Kind::Literal:
            total += part.length;
            break;
        case Kind::Before:
            total += qsizetype(ovector[0]);
            break;
        case Kind::After:
            total += subjectLength - qsizetype(ovector[1]);
            break;
        case Kind::Group: {
            const std::size_t s = ovector[2 * part.group];
            if (s != kUnset)
                total += qsizetype(ovector[2 * part.group + 1] - s);
            break;
        }
        }
    }
    return total;
}

void ReplacementTemplate::appendTo(QString &out, const QString &subject,
                                   const std::size_t *ovector) const
{
    const QStringView whole(subject);
    for (const Part &part : m_parts) {
        switch (part.kind) {
        case Kind::Literal:
            out += QStringView(m_text).mid(part.start, part.length);
            break;
        case Kind::Before:
            out += whole.first(qsizetype(ovector[0]));
            break;
        case Kind::After:
            out += whole.sliced(qsizetype(ovector[1]));
            break;
        case Kind::Group: {
            const std::size_t s = ovector[2 * part.group];
            if (s != kUnset)
                out += whole.mid(qsizetype(s), qsizetype(ovector[2 * part.group + 1] - s));
            break;
        }
        }
    }
}

} // namespace markup

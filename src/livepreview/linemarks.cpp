#include "livepreview/linemarks.h"

#include <algorithm>
#include <array>

namespace livepreview
{

namespace
{

// Line breaks in text: CR LF, LF and CR.
qsizetype lineBreaks(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            ++count;
        else if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            ++count;
    }
    return count;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameCharacter(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u':' ||
           c == u'.';
}

// Elements whose contents are text, not markup, up to their end tag.
bool holdsRawText(QStringView name)
{
    for (const char *raw : {"script", "style", "textarea", "title", "xmp", "iframe", "noembed",
                            "noframes", "noscript"})
        if (name.compare(QLatin1String(raw), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The index of the '>' that ends the tag whose attributes start at from (size when none does);
// a '>' in a quoted attribute value does not end it.
qsizetype tagEnd(QStringView html, qsizetype from)
{
    QChar quote;
    QChar lastNonSpace;
    for (qsizetype j = from; j < html.size(); ++j) {
        const QChar c = html[j];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if ((c == u'"' || c == u'\'') && lastNonSpace == u'=')
            quote = c;
        else if (c == u'>')
            return j;
        if (!c.isSpace())
            lastNonSpace = c;
    }
    return html.size();
}

// Appends ` data-tavlen-line="number"` to out without a temporary string.
void appendMark(QString &out, qsizetype number)
{
    std::array<char16_t, 24> digits{};
    size_t count = 0;
    do {
        digits[count++] = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0 && count < digits.size());
    out += QLatin1Char(' ');
    out += LineAttribute;
    out += QLatin1String("=\"");
    while (count > 0)
        out += QChar(digits[--count]);
    out += QLatin1Char('"');
}

} // namespace

QString withLineMarks(QStringView html, const std::vector<int> *numbers)
{
    const auto numberOf = [numbers](qsizetype line) {
        if (!numbers || numbers->empty())
            return line;
        return qsizetype(
            (*numbers)[size_t(std::clamp<qsizetype>(line - 1, 0, qsizetype(numbers->size()) - 1))]);
    };
    QString out;
    out.reserve(html.size() + html.size() / 8);
    const qsizetype n = html.size();
    qsizetype line = 1;
    qsizetype markedLine = 0;
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = html[i];
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < n && html[i + 1] == u'\n')
                ++i;
            ++line;
            ++i;
            continue;
        }
        if (c != u'<') {
            ++i;
            continue;
        }
        if (html.sliced(i).startsWith(u"<!--")) {
            const qsizetype close = html.indexOf(u"-->", i + 4);
            const qsizetype end = close < 0 ? n : close + 3;
            line += lineBreaks(html.sliced(i, end - i));
            i = end;
            continue;
        }
        if (i + 1 >= n || !isAsciiLetter(html[i + 1])) {
            ++i;
            continue;
        }
        qsizetype nameEnd = i + 1;
        while (nameEnd < n && isNameCharacter(html[nameEnd]))
            ++nameEnd;
        const QStringView name = html.sliced(i + 1, nameEnd - i - 1);
        const bool boundary = nameEnd < n && (html[nameEnd].isSpace() || html[nameEnd] == u'>' ||
                                              html[nameEnd] == u'/');
        if (boundary && line != markedLine) {
            out += html.sliced(copied, nameEnd - copied);
            appendMark(out, numberOf(line));
            copied = nameEnd;
            markedLine = line;
        }
        const qsizetype end = tagEnd(html, nameEnd);
        line += lineBreaks(html.sliced(nameEnd, end - nameEnd));
        i = std::min(end + 1, n);
        if (boundary && holdsRawText(name)) {
            const qsizetype close =
                html.indexOf(QStringLiteral("</").append(name), i, Qt::CaseInsensitive);
            const qsizetype rawEnd = close < 0 ? n : close;
            line += lineBreaks(html.sliced(i, rawEnd - i));
            i = rawEnd;
        }
    }
    out += html.sliced(copied);
    return out;
}

} // namespace livepreview

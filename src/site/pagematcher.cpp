#include "site/pagematcher.h"

#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "codec/utf8.h"

#include <algorithm>

namespace site
{

namespace
{

QString escapedPattern(const QString &word)
{
    static const QString special = QStringLiteral("\\^$.*+?()[]{}|/");
    QString pattern;
    pattern.reserve(word.size() * 2);
    for (QChar c : word) {
        if (special.contains(c))
            pattern.append(QLatin1Char('\\'));
        pattern.append(c);
    }
    return pattern;
}

// A character whose bytes are the same in every file of its encoding: ASCII, kana, the common
// punctuation, full-width letters and digits, and the kanji of the two JIS levels. Others may
// have a second code (NEC and IBM rows), so the bytes of the word may not be the file's.
bool singleCoded(QChar c, QByteArrayView cp932)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= 0x20 || u == u'\t';
    if ((u >= 0x3041 && u <= 0x30FE) || (u >= 0x3001 && u <= 0x3003) ||
        (u >= 0x300C && u <= 0x300F) || (u >= 0xFF10 && u <= 0xFF5A))
        return true;
    if (u >= 0x4E00 && u <= 0x9FFF && cp932.size() == 2) {
        const uchar lead = uchar(cp932[0]);
        return (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA);
    }
    return false;
}

std::vector<QByteArray> needlesOf(const QString &word)
{
    if (word.isEmpty())
        return {};
    for (QChar c : word) {
        const codec::Cp932Encoded one = codec::encodeCp932(QStringView(&c, 1));
        if (one.firstUnmappable >= 0 || !singleCoded(c, one.bytes))
            return {};
    }
    const QByteArray cp932 = codec::encodeCp932(word).bytes;
    std::vector<QByteArray> needles{cp932};
    const codec::ConversionResult euc = codec::convertCp932ToEucJp(cp932);
    if (euc.firstUnconvertible < 0 && euc.bytes != cp932)
        needles.push_back(euc.bytes);
    const QByteArray utf8 = codec::encodeUtf8(word).bytes;
    if (utf8 != cp932)
        needles.push_back(utf8);
    return needles;
}

} // namespace

PageMatcher::PageMatcher(const FindOptions &options) : m_options(options)
{
    if (options.regexp || options.ignoreCase) {
        m_regExp.emplace();
        m_regExp->Global = true;
        m_regExp->IgnoreCase = options.ignoreCase;
        m_regExp->Pattern = options.regexp ? options.find : escapedPattern(options.find);
        m_replacement = options.replacement;
        if (!options.regexp)
            m_replacement.replace(QLatin1Char('$'), QStringLiteral("$$"));
    } else {
        m_needles = needlesOf(options.find);
    }
}

std::optional<QString> PageMatcher::patternError()
{
    if (m_options.find.isEmpty())
        return QStringLiteral("検索する文字列が空です。");
    if (!m_regExp)
        return std::nullopt;
    auto count = m_regExp->groupCount();
    if (auto *error = std::get_if<markup::RegExpError>(&count))
        return error->reason;
    return std::nullopt;
}

std::variant<std::vector<search::TextEdit>, QString> PageMatcher::edits(const QString &text)
{
    if (!m_regExp)
        return search::literalEdits(text, m_options.find, m_options.replacement);
    auto each = m_regExp->ReplaceEach(text, m_replacement);
    if (auto *error = std::get_if<markup::RegExpError>(&each))
        return error->reason;
    std::vector<search::TextEdit> edits;
    for (markup::RegExpReplaced &r : std::get<std::vector<markup::RegExpReplaced>>(each))
        edits.push_back({r.start, r.length, std::move(r.text)});
    return edits;
}

bool PageMatcher::surelyAbsent(QByteArrayView bytes) const
{
    if (m_needles.empty() || bytes.contains('\x1B'))
        return false;
    return std::none_of(m_needles.begin(), m_needles.end(),
                        [&](const QByteArray &needle) { return bytes.contains(needle); });
}

QString lineAt(const QString &text, qsizetype index, qsizetype *lineStart)
{
    qsizetype start = index;
    while (start > 0 && text[start - 1] != u'\n' && text[start - 1] != u'\r')
        --start;
    qsizetype end = index;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    if (lineStart)
        *lineStart = start;
    return text.mid(start, end - start);
}

std::vector<PlacedMatch> placeMatches(const QString &text,
                                      const std::vector<search::TextEdit> &edits)
{
    std::vector<PlacedMatch> placed;
    placed.reserve(edits.size());
    qsizetype line = 1;
    qsizetype lineStart = 0;
    qsizetype at = 0; // text before at is counted into line and lineStart
    qsizetype columnAt = 0;
    qsizetype column = 1;
    for (const search::TextEdit &edit : edits) {
        for (; at < edit.start; ++at) {
            const QChar c = text[at];
            if (c == u'\n' || (c == u'\r' && !(at + 1 < text.size() && text[at + 1] == u'\n'))) {
                ++line;
                lineStart = at + 1;
            }
        }
        if (columnAt < lineStart) {
            columnAt = lineStart;
            column = 1;
        }
        for (; columnAt < edit.start; ++columnAt)
            if (!(text[columnAt].isLowSurrogate() && columnAt > lineStart &&
                  text[columnAt - 1].isHighSurrogate()))
                ++column;
        PlacedMatch match;
        match.line = line;
        match.column = column;
        match.start = edit.start;
        match.length = edit.length;
        match.lineText = lineAt(text, edit.start, &match.lineStart);
        match.replacement = edit.text;
        placed.push_back(std::move(match));
    }
    return placed;
}

} // namespace site

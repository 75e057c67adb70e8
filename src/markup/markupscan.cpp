#include "markupscan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace markup
{

namespace
{

constexpr QStringView kTextSwitch = u"\\cf0 ";
constexpr QStringView kTagSwitch = u"\\cf1 ";
constexpr QStringView kCommentSwitch = u"\\cf2 ";

// Texts to insert before the characters at the given positions; entry i inserts
// texts[i % texts.size()] and replaces the skip characters from its position on.
struct Insertions {
    std::vector<QStringView> texts;
    std::vector<qsizetype> positions;
    qsizetype skip = 0;

    bool empty() const { return positions.empty(); }
    std::size_t size() const { return positions.size(); }
    QStringView textAt(std::size_t i) const { return texts[i % texts.size()]; }
};

// The first c at or after from, or -1. memchr looks for the low byte; RTF is nearly all ASCII,
// so hits that are not the whole code unit are rare.
qsizetype find(QStringView s, char16_t c, qsizetype from)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(s.utf16());
    const std::size_t end = std::size_t(s.size()) * 2;
    std::size_t at = std::size_t(from) * 2;
    while (at < end) {
        const void *hit = std::memchr(bytes + at, c & 0xFF, end - at);
        if (!hit)
            return -1;
        const std::size_t offset = std::size_t(static_cast<const unsigned char *>(hit) - bytes);
        if (offset % 2 == 0 && s[qsizetype(offset / 2)] == QChar(c))
            return qsizetype(offset / 2);
        at = offset + 1;
    }
    return -1;
}

bool inRange(QChar c, char16_t low, char16_t high)
{
    return c.unicode() >= low && c.unicode() <= high;
}

// "<" followed by a character outside "!".."-"; the match takes both characters. With
// neutralEnd, the text is taken to go on with such a character (as the RTF around it does).
Insertions tagStarts(QStringView s, bool neutralEnd = false)
{
    Insertions found{{kTagSwitch}, {}};
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lt = find(s, u'<', pos);
        if (lt < 0)
            break;
        if (lt + 1 >= s.size()) {
            if (neutralEnd)
                found.positions.push_back(lt);
            break;
        }
        if (inRange(s[lt + 1], u'!', u'-')) {
            pos = lt + 1;
            continue;
        }
        found.positions.push_back(lt);
        pos = lt + 2;
    }
    return found;
}

// ">" preceded by a character outside "(".."-"; the match takes both characters. With
// neutralStart, the text is taken to follow such a character (as the RTF around it does).
Insertions tagEnds(QStringView s, bool neutralStart = false)
{
    Insertions found{{kTextSwitch}, {}};
    qsizetype pos = 0; // where the next match may start
    if (neutralStart && !s.isEmpty() && s[0] == u'>') {
        found.positions.push_back(1);
        pos = 1;
    }
    for (;;) {
        const qsizetype gt = find(s, u'>', pos + 1);
        if (gt < 0)
            break;
        if (inRange(s[gt - 1], u'(', u'-')) {
            pos = gt; // a match could still start at this ">"
            continue;
        }
        found.positions.push_back(gt + 1);
        pos = gt + 1;
    }
    return found;
}

// The first "<!--" at or after from ("!" is rare in RTF, so look for it first).
qsizetype findCommentOpen(QStringView s, qsizetype from)
{
    for (qsizetype i = find(s, u'!', from + 1); i >= 0; i = find(s, u'!', i + 1)) {
        if (s[i - 1] == u'<' && i + 2 < s.size() && s[i + 1] == u'-' && s[i + 2] == u'-')
            return i - 1;
    }
    return -1;
}

// The first "-->" at or after from.
qsizetype findCommentClose(QStringView s, qsizetype from)
{
    for (qsizetype i = find(s, u'-', from); i >= 0; i = find(s, u'-', i + 1)) {
        if (i + 2 < s.size() && s[i + 1] == u'-' && s[i + 2] == u'>')
            return i;
    }
    return -1;
}

// "<!--", the shortest body, then "//-->" or "-->".
Insertions comments(QStringView s)
{
    Insertions found{{kCommentSwitch, kCommentSwitch, kTextSwitch}, {}};
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = findCommentOpen(s, pos);
        if (open < 0)
            break;
        const qsizetype close = findCommentClose(s, open + 4);
        if (close < 0)
            break; // no later "<!--" can find a closing "-->" either
        qsizetype closing = close;
        if (close - 2 >= open + 4 && s[close - 2] == u'/' && s[close - 1] == u'/')
            closing = close - 2; // the shortest body stops before a "//" in front of "-->"
        found.positions.insert(found.positions.end(), {open, closing, close + 3});
        pos = close + 3;
    }
    return found;
}

// text with the insertions of several lists in place. Each list is in text order; where
// insertions of different lists meet at one position, the earlier list's go first. The
// result is written into one buffer of its final size.
QString insertAll(const QString &text, std::initializer_list<const Insertions *> lists)
{
    qsizetype length = text.size();
    for (const Insertions *list : lists)
        for (std::size_t i = 0; i < list->size(); ++i)
            length += list->textAt(i).size() - list->skip;
    if (std::all_of(lists.begin(), lists.end(), [](auto *list) { return list->empty(); }))
        return text;

    QString result(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const auto put = [&out](const char16_t *from, qsizetype n) {
        std::memcpy(out, from, std::size_t(n) * sizeof(char16_t));
        out += n;
    };
    std::vector<std::size_t> next(lists.size(), 0);
    qsizetype copied = 0;
    for (;;) {
        const Insertions *pick = nullptr;
        std::size_t pickList = 0;
        qsizetype position = 0;
        std::size_t l = 0;
        for (const Insertions *list : lists) {
            if (next[l] < list->size() && (!pick || list->positions[next[l]] < position)) {
                pick = list;
                pickList = l;
                position = list->positions[next[l]];
            }
            ++l;
        }
        if (!pick)
            break;
        const QStringView insert = pick->textAt(next[pickList]++);
        put(in + copied, position - copied);
        put(reinterpret_cast<const char16_t *>(insert.utf16()), insert.size());
        copied = position + pick->skip;
    }
    put(in + copied, text.size() - copied);
    return result;
}

// The colour index each insertion list switches to, entry i taking colours[i % size].
struct SwitchColours {
    const Insertions *list;
    std::vector<int> colours;
};

} // namespace

QString markTagStarts(const QString &text)
{
    const Insertions found = tagStarts(text);
    return insertAll(text, {&found});
}

QString markTagEnds(const QString &text)
{
    const Insertions found = tagEnds(text);
    return insertAll(text, {&found});
}

QString markComments(const QString &text)
{
    const Insertions found = comments(text);
    return insertAll(text, {&found});
}

QString markTagsAndComments(const QString &text, const std::optional<Splice> &splice)
{
    // The insertions of one step never create or split what the other steps look for, so all
    // three can be found on the original text. Where they meet at one position, the order is
    // that of applying them one after another: a switch after ">" was in place before the
    // comment's, and a comment's closing switch precedes the "\cf1 " that was already in front
    // of the "<" that follows it.
    const Insertions ends = tagEnds(text);
    const Insertions notes = comments(text);
    const Insertions starts = tagStarts(text);
    Insertions spliced;
    if (splice)
        spliced = {{splice->text}, {splice->position}, splice->length};
    return insertAll(text, {&ends, &notes, &starts, &spliced});
}

void forEachMarkupRun(QStringView text, const std::function<void(std::size_t)> &expect,
                      const std::function<void(const MarkupRun &)> &add)
{
    if (text.isEmpty())
        return;
    // In the editor's RTF, every character that is not printable ASCII is written as a control
    // word or an escape, which starts with "\" and ends with a character that none of the three
    // steps treats specially, the text follows a space and is followed by "\par": so the steps
    // find the same places in the plain text, given those two neighbours.
    const Insertions ends = tagEnds(text, true);
    const Insertions notes = comments(text);
    const Insertions starts = tagStarts(text, true);
    // Where switches meet at one place, the last one written (see markTagsAndComments) wins.
    const SwitchColours lists[3] = {{&ends, {0}}, {&notes, {2, 2, 0}}, {&starts, {1}}};
    expect(ends.size() + notes.size() + starts.size() + 1); // each run starts at a switch
    std::size_t next[3] = {0, 0, 0};
    int colour = 0;
    qsizetype runStart = 0;
    for (;;) {
        qsizetype position = text.size();
        for (int l = 0; l < 3; ++l)
            if (next[l] < lists[l].list->size())
                position = std::min(position, lists[l].list->positions[next[l]]);
        if (position >= text.size())
            break;
        int wanted = colour;
        for (int l = 0; l < 3; ++l)
            for (; next[l] < lists[l].list->size() && lists[l].list->positions[next[l]] == position;
                 ++next[l])
                wanted = lists[l].colours[next[l] % lists[l].colours.size()];
        if (wanted == colour)
            continue;
        if (position > runStart)
            add({runStart, position - runStart, colour});
        colour = wanted;
        runStart = position;
    }
    add({runStart, text.size() - runStart, colour});
}

std::vector<MarkupRun> markupRuns(QStringView text)
{
    std::vector<MarkupRun> runs;
    forEachMarkupRun(
        text, [&runs](std::size_t count) { runs.reserve(count); },
        [&runs](const MarkupRun &run) { runs.push_back(run); });
    return runs;
}

} // namespace markup

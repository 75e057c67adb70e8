#include "livepreview/marknumbers.h"

#include <algorithm>

namespace livepreview
{

namespace
{

// The line breaks (CR LF, LF, CR) that end in text[from, to).
qsizetype breaksIn(QStringView text, qsizetype from, qsizetype to)
{
    qsizetype count = 0;
    for (qsizetype i = from; i < to; ++i) {
        if (text[i] == u'\n')
            ++count;
        else if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            ++count;
    }
    return count;
}

} // namespace

void MarkNumbers::follow(const QString &text)
{
    if (m_numbers.empty()) {
        m_numbers.resize(size_t(breaksIn(text, 0, text.size()) + 1));
        for (size_t i = 0; i < m_numbers.size(); ++i)
            m_numbers[i] = int(i + 1);
        m_text = text;
        return;
    }
    const QStringView before(m_text);
    const QStringView after(text);
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    if (prefix > 0 && before[prefix - 1] == u'\r')
        --prefix; // a change between CR and LF changes that line break
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // Lines [0, first) are before the change; the change ends on lastBefore in the previous text
    // and on lastAfter in this one; the lines after those are the same.
    const qsizetype first = breaksIn(after, 0, prefix);
    const qsizetype lastBefore = first + breaksIn(before, prefix, before.size() - suffix);
    const qsizetype lastAfter = first + breaksIn(after, prefix, after.size() - suffix);
    const auto oldCount = qsizetype(m_numbers.size());
    const qsizetype newCount = oldCount - lastBefore + lastAfter;
    std::vector<int> numbers(size_t(std::max<qsizetype>(newCount, 1)));
    const auto old = [&](qsizetype i) {
        return m_numbers[size_t(std::clamp<qsizetype>(i, 0, oldCount - 1))];
    };
    for (qsizetype i = 0; i < qsizetype(numbers.size()); ++i) {
        if (i < first)
            numbers[size_t(i)] = old(i);
        else if (i < lastAfter)
            numbers[size_t(i)] = old(std::min(i, lastBefore));
        else if (i == lastAfter)
            numbers[size_t(i)] = old(lastBefore); // where the lines as they were go on
        else
            numbers[size_t(i)] = old(i - lastAfter + lastBefore);
    }
    m_numbers = std::move(numbers);
    m_text = text;
}

void MarkNumbers::reset()
{
    m_text.clear();
    m_numbers.clear();
}

int MarkNumbers::numberOf(int line) const
{
    if (m_numbers.empty())
        return line;
    return m_numbers[size_t(std::clamp<qsizetype>(line - 1, 0, qsizetype(m_numbers.size()) - 1))];
}

} // namespace livepreview

#pragma once

#include <QString>

#include <cstddef>
#include <vector>

namespace markup
{

// A replacement text parsed once for a pattern with a known number of capture groups.
// "$n" / "$nn" name a group when that group exists (two digits win when both would),
// "$&" is the match, "$`" the text before it, "$'" the text after it, "$$" one dollar sign;
// every other character, a backslash and a "$" that names nothing included, is literal.
// A group that did not take part in the match expands to nothing.
class ReplacementTemplate
{
public:
    ReplacementTemplate(const QString &replacement, int groupCount);

    // ovector holds start and end offsets of the match and of each group (as PCRE2 lays them
    // out; an unset group has both offsets equal to unset).
    qsizetype expandedLength(const std::size_t *ovector, qsizetype subjectLength) const;
    void appendTo(QString &out, const QString &subject, const std::size_t *ovector) const;

private:
    enum class Kind { Literal, Group, Before, After };
    struct Part {
        Kind kind;
        qsizetype start = 0; // Literal: offset in m_text
        qsizetype length = 0;
        int group = 0; // Group: 0 is the whole match
    };
    void addLiteral(qsizetype start, qsizetype length);

    QString m_text;
    std::vector<Part> m_parts;
};

} // namespace markup

#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace markup
{

// Why a pattern could not be compiled or a search could not finish, a Japanese sentence.
struct RegExpError {
    QString reason;
};

// One match: where it lies in the subject and where each capture group lies. A group that did
// not take part in the match has start -1.
struct RegExpMatch {
    struct Span {
        qsizetype start = -1;
        qsizetype length = 0;
    };
    Span whole;
    std::vector<Span> groups; // groups[0] is group 1

    QString captured(const QString &subject, int group) const;
};

// One match of a replacement: the matched stretch of the source and what replaces it.
struct RegExpReplaced {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// A regular expression with ECMAScript pattern syntax working on characters: a character beyond
// U+FFFF is one, and no match or replacement splits it. A lone surrogate in the subject is never
// matched (and so kept); one in the pattern or the replacement is refused. Offsets count UTF-16
// code units. "^" and "$" anchor at the ends of the whole text only.
// Set the public fields, then call Replace, Execute or Test; the pattern is compiled on first
// use and again only when Pattern or IgnoreCase changed.
class RegExp
{
public:
    RegExp();
    ~RegExp();
    RegExp(RegExp &&) noexcept;
    RegExp &operator=(RegExp &&) noexcept;
    RegExp(const RegExp &) = delete;
    RegExp &operator=(const RegExp &) = delete;

    QString Pattern;
    bool Global = false;
    bool IgnoreCase = false;

    // The source with the first match (or every match when Global) replaced. In the replacement
    // "$1".."$99", "$&", "$`", "$'" and "$$" are special; everything else, the backslash
    // included, is taken literally.
    std::variant<QString, RegExpError> Replace(const QString &source, const QString &replacement);
    // The matches Replace replaces, each with its replacement text, in order.
    std::variant<std::vector<RegExpReplaced>, RegExpError> ReplaceEach(const QString &source,
                                                                       const QString &replacement);

    // The first match at or after position from, or no value when there is none.
    std::variant<std::optional<RegExpMatch>, RegExpError> Execute(const QString &subject,
                                                                  qsizetype from = 0);
    std::variant<bool, RegExpError> Test(const QString &subject, qsizetype from = 0);

    // Capture groups of the compiled pattern (compiles it if needed).
    std::variant<int, RegExpError> groupCount();

private:
    struct Compiled;
    std::optional<RegExpError> ensureCompiled();
    // The PCRE2 offsets (match and groups) of the first match, or of every match when Global.
    std::variant<std::vector<std::size_t>, RegExpError> allMatches(const QString &source);

    std::unique_ptr<Compiled> m_compiled;
};

} // namespace markup

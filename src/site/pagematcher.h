#pragma once

#include "markup/regexp.h"
#include "search/findreplace.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

// What a folder-wide search looks for in one page's text, and what replaces it.
namespace site
{

struct FindOptions {
    QString find;
    QString replacement;
    bool regexp = false;     // ECMAScript pattern, as the replace dialog takes it
    bool ignoreCase = false; // letter case does not matter
};

// One match placed in its page: line and column from 1 (columns in characters), and the line.
struct PlacedMatch {
    qsizetype line = 1;
    qsizetype column = 1;
    qsizetype start = 0;  // UTF-16 index in the page's text
    qsizetype length = 0; // UTF-16 units
    QString lineText;     // without its line break
    qsizetype lineStart = 0;
    QString replacement;
};

// Finds the matches of one FindOptions in page texts. Each thread needs its own matcher.
class PageMatcher
{
public:
    explicit PageMatcher(const FindOptions &options);

    // The engine's reason when the pattern cannot be used, checked once.
    std::optional<QString> patternError();

    // The matches in text, in order, not overlapping, each with its replacement.
    std::variant<std::vector<search::TextEdit>, QString> edits(const QString &text);

    // Whether the page's bytes cannot hold a match whatever their encoding, so the page need not
    // be decoded. Only a literal, case-sensitive word of common characters is ruled out this way.
    bool surelyAbsent(QByteArrayView bytes) const;

private:
    FindOptions m_options;
    std::optional<markup::RegExp> m_regExp;
    QString m_replacement;
    std::vector<QByteArray> m_needles; // the word in each encoding; empty when not usable
};

// The matches of edits placed by line and column in text.
std::vector<PlacedMatch> placeMatches(const QString &text,
                                      const std::vector<search::TextEdit> &edits);

// The line of text (from 1, without its break) that holds the UTF-16 index.
QString lineAt(const QString &text, qsizetype index, qsizetype *lineStart = nullptr);

} // namespace site

#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// The page check: the page's text parsed as a browser parses it (the HTML parsing algorithm,
// libgumbo), its parse errors told in Japanese, and the full-width slips inside markup.
namespace check
{

struct Finding {
    qsizetype index = 0;  // UTF-16 index into the checked text
    qsizetype line = 1;   // from 1
    qsizetype column = 1; // from 1, in characters (a surrogate pair is one)
    QString message;
};

// At most this many findings are listed; a page with more gets a last one that says so.
inline constexpr qsizetype MaxFindings = 10000;

// The findings for a page's text, in text order. Line breaks may be CR LF, LF, CR or U+2029.
std::vector<Finding> checkPage(QStringView text);

} // namespace check

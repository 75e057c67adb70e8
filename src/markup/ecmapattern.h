#pragma once

#include <QString>

#include <vector>

namespace markup
{

// Rewrites an ECMAScript pattern into PCRE2 syntax with the same meaning when compiled with
// the options RegExp uses (UTF mode, ALT_BSUX, DOLLAR_ENDONLY, MATCH_UNSET_BACKREF):
// "\d", "\w", "\s" and their negations become their ECMAScript sets (ASCII digits and word
// characters, Unicode white space; the negations hold every character beyond U+FFFF too), "\b"
// tests ASCII word characters, "." stops only at CR, LF, U+2028 and U+2029, "[]" never matches
// and "[^]" matches anything, "[" inside a class and escaped letters without an ECMAScript
// meaning ("\A", "\Q", "\K", ...) stand for themselves. Anything PCRE2 still rejects is left
// for it to report. With origins, each code unit of the result gets the index in ecmaPattern of
// what it was written for, and one more entry, ecmaPattern's size, stands for the end.
QString toPcrePattern(const QString &ecmaPattern, std::vector<qsizetype> *origins = nullptr);

} // namespace markup

#pragma once

#include <QString>

namespace markup
{

// Rewrites an ECMAScript pattern into PCRE2 syntax with the same meaning when compiled with
// the options RegExp uses (no UTF mode, ALT_BSUX, DOLLAR_ENDONLY, MATCH_UNSET_BACKREF):
// "\d", "\w", "\s" and their negations become their ECMAScript sets (ASCII digits and word
// characters, Unicode white space), "\b" tests ASCII word characters, "." stops only at CR, LF,
// U+2028 and U+2029, "[]" never matches and "[^]" matches anything, "[" inside a class and
// escaped letters without an ECMAScript meaning ("\A", "\Q", "\K", ...) stand for themselves.
// Anything PCRE2 still rejects is left for it to report.
QString toPcrePattern(const QString &ecmaPattern);

} // namespace markup

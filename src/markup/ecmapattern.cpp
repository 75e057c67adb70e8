#include "ecmapattern.h"

namespace markup
{

namespace
{

// Members of the ECMAScript sets, written for use inside a PCRE2 character class.
constexpr auto kDigit = u"0-9";
// The negated sets reach to the last character, U+10FFFF, written as itself (the escapes the
// pattern syntax has stop at \uffff).
constexpr auto kNotDigit = u"\\u0000-\\u002f\\u003a-\U0010FFFF";
constexpr auto kWord = u"0-9A-Z_a-z";
// U+017F and U+212A are left out: under IgnoreCase PCRE2 folds them onto "s" and "k", which
// would make a class holding "\W" match those ASCII letters.
constexpr auto kNotWord = u"\\u0000-\\u002f\\u003a-\\u0040\\u005b-\\u005e\\u0060\\u007b-\\u017e"
                          u"\\u0180-\\u2129\\u212b-\U0010FFFF";
constexpr auto kSpace = u"\\u0009-\\u000d\\u0020\\u00a0\\u1680\\u2000-\\u200a\\u2028"
                        u"\\u2029\\u202f\\u205f\\u3000\\ufeff";
constexpr auto kNotSpace = u"\\u0000-\\u0008\\u000e-\\u001f\\u0021-\\u009f\\u00a1-\\u167f"
                           u"\\u1681-\\u1fff\\u200b-\\u2027\\u202a-\\u202e"
                           u"\\u2030-\\u205e\\u2060-\\u2fff\\u3001-\\ufefe"
                           u"\\uff00-\U0010FFFF";
constexpr auto kWordBoundary = u"(?-i:(?<=[0-9A-Z_a-z])(?![0-9A-Z_a-z])"
                               u"|(?<![0-9A-Z_a-z])(?=[0-9A-Z_a-z]))";
constexpr auto kNotWordBoundary = u"(?-i:(?<=[0-9A-Z_a-z])(?=[0-9A-Z_a-z])"
                                  u"|(?<![0-9A-Z_a-z])(?![0-9A-Z_a-z]))";

// The code unit that "\uHHHH" at i names, or -1.
int unicodeEscapeAt(const QString &pattern, qsizetype i)
{
    if (i + 6 > pattern.size() || pattern[i] != u'\\' || pattern[i + 1] != u'u')
        return -1;
    bool ok = false;
    const int unit = pattern.mid(i + 2, 4).toInt(&ok, 16);
    return ok && !pattern[i + 2].isSpace() && pattern[i + 2] != u'+' && pattern[i + 2] != u'-'
               ? unit
               : -1;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

void appendSet(QString &out, const char16_t *members, bool inClass)
{
    if (inClass) {
        out += QStringView(members);
    } else {
        out += u'[';
        out += QStringView(members);
        out += u']';
    }
}

// Appends the translation of the escape "\" + c; returns false when only the backslash was
// consumed (c must then be read again as an ordinary character).
bool appendEscape(QString &out, QChar c, QChar next, bool inClass)
{
    switch (c.unicode()) {
    case u'd':
        appendSet(out, kDigit, inClass);
        return true;
    case u'D':
        appendSet(out, kNotDigit, inClass);
        return true;
    case u'w':
        appendSet(out, kWord, inClass);
        return true;
    case u'W':
        appendSet(out, kNotWord, inClass);
        return true;
    case u's':
        appendSet(out, kSpace, inClass);
        return true;
    case u'S':
        appendSet(out, kNotSpace, inClass);
        return true;
    case u'b':
        out += inClass ? QStringView(u"\\u0008") : QStringView(kWordBoundary);
        return true;
    case u'B':
        out += inClass ? QStringView(u"B") : QStringView(kNotWordBoundary);
        return true;
    case u'v':
        out += QStringView(u"\\u000b");
        return true;
    case u'f':
    case u'n':
    case u'r':
    case u't':
    case u'u': // ALT_BSUX: \uHHHH, else a plain "u"
    case u'x': // ALT_BSUX: \xHH, else a plain "x"
    case u'k':
        out += u'\\';
        out += c;
        return true;
    case u'c':
        if (isAsciiLetter(next)) {
            out += u"\\c";
            return true;
        }
        out += u"\\\\"; // "\c" without a letter: a backslash, then "c" as itself
        return false;
    default:
        break;
    }
    if (isAsciiLetter(c)) {
        out += c; // identity escape: "\A" is "A"
    } else {
        out += u'\\';
        out += c;
    }
    return true;
}

} // namespace

QString toPcrePattern(const QString &ecmaPattern, std::vector<qsizetype> *origins)
{
    const qsizetype n = ecmaPattern.size();
    const auto at = [&](qsizetype i) { return i < n ? ecmaPattern[i] : QChar(); };
    QString out;
    out.reserve(n + n / 2 + 16);
    bool inClass = false;
    qsizetype origin = 0; // where the piece being written comes from
    const auto noteOrigins = [&] {
        if (origins)
            origins->resize(std::size_t(out.size()), origin);
    };
    for (qsizetype i = 0; i < n; ++i) {
        noteOrigins();
        origin = i;
        const QChar c = ecmaPattern[i];
        if (const int high = unicodeEscapeAt(ecmaPattern, i); QChar::isHighSurrogate(high)) {
            // "\uD842\uDFB7" names one character, written as itself (the engine takes no
            // surrogate escapes).
            if (const int low = unicodeEscapeAt(ecmaPattern, i + 6); QChar::isLowSurrogate(low)) {
                out += QChar(char16_t(high));
                out += QChar(char16_t(low));
                i += 11;
                continue;
            }
        }
        if (unicodeEscapeAt(ecmaPattern, i) >= 0) { // one piece, as the engine reads it
            out += QStringView(ecmaPattern).sliced(i, 6);
            i += 5;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 == n) {
                out += c; // a trailing backslash: PCRE2 reports it
                break;
            }
            if (appendEscape(out, at(i + 1), at(i + 2), inClass))
                ++i;
            continue;
        }
        if (inClass) {
            if (c == u']')
                inClass = false;
            if (c == u'[')
                out += u'\\';
            out += c;
            continue;
        }
        if (c == u'[') {
            if (at(i + 1) == u']') {
                out += u"(?!)";
                ++i;
                continue;
            }
            if (at(i + 1) == u'^' && at(i + 2) == u']') {
                out += u"(?s:.)";
                i += 2;
                continue;
            }
            inClass = true;
            out += c;
            if (at(i + 1) == u'^') {
                out += u'^';
                ++i;
            }
            continue;
        }
        if (c == u'.') {
            out += u"[^\\n\\r\\u2028\\u2029]";
            continue;
        }
        out += c;
    }
    noteOrigins();
    if (origins)
        origins->push_back(n); // the end of the pattern
    return out;
}

} // namespace markup

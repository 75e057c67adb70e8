#include "reference/rtf/rtfkeywords.h"

#include <cstdint>

namespace reference::rtf
{

namespace
{

// Packs the first nine letters (6 bits each) and the length of a control word into one number,
// so that the words can be told apart with one switch.
constexpr int kKeyLetters = 9;

constexpr std::uint64_t letterCode(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return std::uint64_t(c - u'a' + 1);
    if (c >= u'A' && c <= u'Z')
        return std::uint64_t(c - u'A' + 27);
    return 63;
}

template <typename Char> constexpr std::uint64_t wordKey(const Char *s, std::size_t n)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < n && i < kKeyLetters; ++i)
        key = key << 6 | letterCode(char16_t(s[i]));
    return key | std::uint64_t(n < 63 ? n : 63) << 58;
}

constexpr std::uint64_t operator""_kw(const char *s, std::size_t n)
{
    return wordKey(s, n);
}

constexpr Keyword text(char16_t c)
{
    return {KeywordKind::Text, c};
}

constexpr Keyword kind(KeywordKind k)
{
    return {k, 0};
}

} // namespace

Keyword classifyKeyword(QStringView name)
{
    switch (wordKey(name.utf16(), std::size_t(name.size()))) {
    case "par"_kw:
    case "page"_kw:
    case "sect"_kw:
    case "row"_kw:
    case "nestrow"_kw:
        return kind(KeywordKind::Paragraph);
    case "cf"_kw:
        return kind(KeywordKind::ColorIndex);
    case "u"_kw:
        return kind(KeywordKind::Unicode);
    case "uc"_kw:
        return kind(KeywordKind::UnicodeSkip);
    case "plain"_kw:
        return kind(KeywordKind::Plain);
    case "red"_kw:
        return kind(KeywordKind::Red);
    case "green"_kw:
        return kind(KeywordKind::Green);
    case "blue"_kw:
        return kind(KeywordKind::Blue);
    case "colortbl"_kw:
        return kind(KeywordKind::ColorTable);
    case "bin"_kw:
        return kind(KeywordKind::Binary);
    case "tab"_kw:
    case "cell"_kw:
    case "nestcell"_kw:
        return text(u'\t');
    case "line"_kw:
        return text(u'\u2028');
    case "emdash"_kw:
        return text(u'\u2014');
    case "endash"_kw:
        return text(u'\u2013');
    case "lquote"_kw:
        return text(u'\u2018');
    case "rquote"_kw:
        return text(u'\u2019');
    case "ldblquote"_kw:
        return text(u'\u201C');
    case "rdblquote"_kw:
        return text(u'\u201D');
    case "bullet"_kw:
        return text(u'\u2022');
    case "enspace"_kw:
        return text(u'\u2002');
    case "emspace"_kw:
        return text(u'\u2003');
    case "qmspace"_kw:
        return text(u'\u2005');
    case "zwnj"_kw:
        return text(u'\u200C');
    case "zwj"_kw:
        return text(u'\u200D');
    case "ltrmark"_kw:
        return text(u'\u200E');
    case "rtlmark"_kw:
        return text(u'\u200F');
    case "fonttbl"_kw:
    case "stylesheet"_kw:
    case "info"_kw:
    case "pict"_kw:
    case "object"_kw:
    case "header"_kw:
    case "headerl"_kw:
    case "headerr"_kw:
    case "headerf"_kw:
    case "footer"_kw:
    case "footerl"_kw:
    case "footerr"_kw:
    case "footerf"_kw:
    case "footnote"_kw:
    case "fldinst"_kw:
    case "filetbl"_kw:
    case "listtable"_kw:
    case "listoverridetable"_kw:
    case "revtbl"_kw:
    case "rsidtbl"_kw:
    case "xmlnstbl"_kw:
    case "themedata"_kw:
    case "colorschememapping"_kw:
    case "latentstyles"_kw:
    case "datastore"_kw:
    case "generator"_kw:
    case "pgdsctbl"_kw:
        return kind(KeywordKind::SkipGroup);
    default:
        return {};
    }
}

} // namespace reference::rtf

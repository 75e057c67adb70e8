#include "regexp.h"

#include "ecmapattern.h"
#include "regexperror.h"
#include "replacement.h"

#include <pcre2.h>

namespace markup
{

namespace
{

// Generous engine limits: a comment of many megabytes must still match, while a runaway
// pattern ends with the engine's "limit exceeded" error instead of running for ever.
constexpr uint32_t kMatchLimit = 250'000'000; // JIT: about one step per character scanned
constexpr uint32_t kDepthLimit = 100'000'000;
constexpr uint32_t kHeapLimitKiB = 1'000'000;
constexpr PCRE2_SIZE kJitStackStart = 64 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 512 * 1024 * 1024;

// The number (from 1) of the character of text that starts at code unit index, a surrogate pair
// counting as one.
qsizetype characterNumber(const QString &text, qsizetype index)
{
    qsizetype number = 1;
    for (qsizetype i = 0; i < index && i < text.size(); ++i)
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++number;
    return number;
}

bool hasLoneSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

QString brokenReplacementReason()
{
    return QStringLiteral("置換後の文字列に、壊れた文字（対になっていないサロゲート）があります。");
}

// The start of the character at index: one back when index falls inside a surrogate pair.
qsizetype characterStart(const QString &s, qsizetype index)
{
    return index > 0 && index < s.size() && s[index].isLowSurrogate() &&
                   s[index - 1].isHighSurrogate()
               ? index - 1
               : index;
}

PCRE2_SPTR16 subjectPointer(const QString &s)
{
    // An empty QString may have no buffer; PCRE2 wants a valid pointer even for length 0.
    static const char16_t empty = 0;
    return s.isEmpty() ? reinterpret_cast<PCRE2_SPTR16>(&empty)
                       : reinterpret_cast<PCRE2_SPTR16>(s.utf16());
}

} // namespace

QString RegExpMatch::captured(const QString &subject, int group) const
{
    const Span &span = group == 0 ? whole : groups.at(std::size_t(group - 1));
    return span.start < 0 ? QString() : subject.mid(span.start, span.length);
}

struct RegExp::Compiled {
    QString pattern;
    bool ignoreCase = false;
    pcre2_code *code = nullptr;
    pcre2_match_data *matchData = nullptr;
    pcre2_match_context *matchContext = nullptr;
    pcre2_jit_stack *jitStack = nullptr;
    bool jit = false;
    int groups = 0;

    ~Compiled()
    {
        pcre2_match_context_free(matchContext);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }

    // One search from offset start (a start inside a surrogate pair moves on to the next
    // character); > 0 on a match, PCRE2_ERROR_NOMATCH, or another error.
    int match(const QString &subject, qsizetype start) const
    {
        if (characterStart(subject, start) != start)
            ++start;
        if (jit)
            return pcre2_jit_match(code, subjectPointer(subject), PCRE2_SIZE(subject.size()),
                                   PCRE2_SIZE(start), 0, matchData, matchContext);
        return pcre2_match(code, subjectPointer(subject), PCRE2_SIZE(subject.size()),
                           PCRE2_SIZE(start), 0, matchData, matchContext);
    }
};

RegExp::RegExp() = default;
RegExp::~RegExp() = default;
RegExp::RegExp(RegExp &&) noexcept = default;
RegExp &RegExp::operator=(RegExp &&) noexcept = default;

std::optional<RegExpError> RegExp::ensureCompiled()
{
    if (m_compiled && m_compiled->pattern == Pattern && m_compiled->ignoreCase == IgnoreCase)
        return std::nullopt;
    m_compiled.reset();

    // UTF mode: a character beyond U+FFFF is one character, which "." matches whole and no match
    // splits. A lone surrogate in the subject is not refused: no match reaches into it, so it
    // stays as it is.
    uint32_t options = PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF |
                       PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
    if (IgnoreCase)
        options |= PCRE2_CASELESS | PCRE2_UCP; // UCP: letters beyond Latin-1 have cases too

    std::vector<qsizetype> origins;
    const QString translated = toPcrePattern(Pattern, &origins);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code *code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR16>(translated.utf16()),
                      PCRE2_SIZE(translated.size()), options, &errorCode, &errorOffset, nullptr);
    if (!code) {
        // The engine names the place after an escape it refuses: the escape's own place is shown.
        if (errorCode == PCRE2_ERROR_UNICODE_DISALLOWED_CODE_POINT && errorOffset > 0)
            --errorOffset;
        const qsizetype origin =
            errorOffset < origins.size() ? origins[errorOffset] : Pattern.size();
        return RegExpError{patternErrorReason(errorCode, characterNumber(Pattern, origin))};
    }

    auto compiled = std::make_unique<Compiled>();
    compiled->pattern = Pattern;
    compiled->ignoreCase = IgnoreCase;
    compiled->code = code;
    uint32_t captures = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);
    compiled->groups = int(captures);
    compiled->matchData = pcre2_match_data_create_from_pattern(code, nullptr);
    compiled->matchContext = pcre2_match_context_create(nullptr);
    if (!compiled->matchData || !compiled->matchContext)
        return RegExpError{matchErrorReason(PCRE2_ERROR_NOMEMORY)};
    pcre2_set_match_limit(compiled->matchContext, kMatchLimit);
    pcre2_set_depth_limit(compiled->matchContext, kDepthLimit);
    pcre2_set_heap_limit(compiled->matchContext, kHeapLimitKiB);

    // Without JIT (unsupported platform, no executable memory) the interpreter does the work.
    if (pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0) {
        compiled->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (compiled->jitStack) {
            pcre2_jit_stack_assign(compiled->matchContext, nullptr, compiled->jitStack);
            compiled->jit = true;
        }
    }
    m_compiled = std::move(compiled);
    return std::nullopt;
}

std::variant<int, RegExpError> RegExp::groupCount()
{
    if (auto error = ensureCompiled())
        return *error;
    return m_compiled->groups;
}

std::variant<std::vector<std::size_t>, RegExpError> RegExp::allMatches(const QString &source)
{
    if (auto error = ensureCompiled())
        return *error;
    const Compiled &re = *m_compiled;
    const std::size_t ovectorSize = 2 * std::size_t(re.groups + 1);
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(re.matchData);
    const qsizetype n = source.size();
    std::vector<std::size_t> found;
    qsizetype pos = 0;
    while (pos <= n) {
        const int rc = re.match(source, pos);
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc < 0)
            return RegExpError{matchErrorReason(rc)};
        found.insert(found.end(), ovector, ovector + ovectorSize);
        if (!Global)
            break;
        // After an empty match the next search starts one character further on.
        pos = qsizetype(ovector[1]);
        if (ovector[1] == ovector[0])
            pos += pos + 1 < n && source[pos].isHighSurrogate() && source[pos + 1].isLowSurrogate()
                       ? 2
                       : 1;
    }
    return found;
}

std::variant<QString, RegExpError> RegExp::Replace(const QString &source,
                                                   const QString &replacement)
{
    if (hasLoneSurrogate(replacement))
        return RegExpError{brokenReplacementReason()};
    auto matches = allMatches(source);
    if (auto *error = std::get_if<RegExpError>(&matches))
        return *error;
    const std::vector<std::size_t> &found = std::get<std::vector<std::size_t>>(matches);
    if (found.empty())
        return source;
    const ReplacementTemplate tmpl(replacement, m_compiled->groups);
    const std::size_t ovectorSize = 2 * std::size_t(m_compiled->groups + 1);
    const qsizetype n = source.size();
    // The exact result length first, then the result built in one buffer of that size.
    qsizetype resultLength = n;
    for (std::size_t m = 0; m < found.size(); m += ovectorSize)
        resultLength +=
            tmpl.expandedLength(found.data() + m, n) - qsizetype(found[m + 1] - found[m]);
    QString result;
    result.reserve(resultLength);
    const QStringView whole(source);
    qsizetype copied = 0;
    for (std::size_t m = 0; m < found.size(); m += ovectorSize) {
        const std::size_t *ov = found.data() + m;
        result += whole.mid(copied, qsizetype(ov[0]) - copied);
        tmpl.appendTo(result, source, ov);
        copied = qsizetype(ov[1]);
    }
    result += whole.sliced(copied);
    return result;
}

std::variant<std::vector<RegExpReplaced>, RegExpError>
RegExp::ReplaceEach(const QString &source, const QString &replacement)
{
    if (hasLoneSurrogate(replacement))
        return RegExpError{brokenReplacementReason()};
    auto matches = allMatches(source);
    if (auto *error = std::get_if<RegExpError>(&matches))
        return *error;
    const std::vector<std::size_t> &found = std::get<std::vector<std::size_t>>(matches);
    const ReplacementTemplate tmpl(replacement, m_compiled->groups);
    const std::size_t ovectorSize = 2 * std::size_t(m_compiled->groups + 1);
    std::vector<RegExpReplaced> each;
    each.reserve(found.size() / ovectorSize);
    for (std::size_t m = 0; m < found.size(); m += ovectorSize) {
        const std::size_t *ov = found.data() + m;
        RegExpReplaced r{qsizetype(ov[0]), qsizetype(ov[1] - ov[0]), {}};
        tmpl.appendTo(r.text, source, ov);
        each.push_back(std::move(r));
    }
    return each;
}

std::variant<std::optional<RegExpMatch>, RegExpError> RegExp::Execute(const QString &subject,
                                                                      qsizetype from)
{
    if (auto error = ensureCompiled())
        return *error;
    if (from < 0 || from > subject.size())
        return std::optional<RegExpMatch>();
    const Compiled &re = *m_compiled;
    const int rc = re.match(subject, from);
    if (rc == PCRE2_ERROR_NOMATCH)
        return std::optional<RegExpMatch>();
    if (rc < 0)
        return RegExpError{matchErrorReason(rc)};
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer(re.matchData);
    const auto span = [ov](int g) {
        if (ov[2 * g] == PCRE2_UNSET)
            return RegExpMatch::Span{};
        return RegExpMatch::Span{qsizetype(ov[2 * g]), qsizetype(ov[2 * g + 1] - ov[2 * g])};
    };
    RegExpMatch match;
    match.whole = span(0);
    for (int g = 1; g <= re.groups; ++g)
        match.groups.push_back(span(g));
    return std::optional<RegExpMatch>(std::move(match));
}

std::variant<bool, RegExpError> RegExp::Test(const QString &subject, qsizetype from)
{
    auto result = Execute(subject, from);
    if (auto *error = std::get_if<RegExpError>(&result))
        return *error;
    return std::get<std::optional<RegExpMatch>>(result).has_value();
}

} // namespace markup

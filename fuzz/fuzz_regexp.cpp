// RegExp with a fuzzed pattern, subject and flags: compile errors and engine limits are fine,
// but every match must lie inside the subject, never split a character, have as many groups as
// the pattern has, and the replacement must finish.

#include "fuzzcheck.h"

#include "markup/regexp.h"

namespace
{

void checkSpan(const markup::RegExpMatch::Span &span, qsizetype subjectSize, bool mayBeUnset)
{
    if (span.start < 0) {
        FUZZ_CHECK(mayBeUnset && span.start == -1);
        return;
    }
    FUZZ_CHECK(span.length >= 0 && span.start + span.length <= subjectSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Byte 0: flags and how the rest becomes text; byte 1: where the search starts. The pattern
    // runs to the first U+0000, the subject is what follows it.
    const uint8_t flags = data[0];
    const QString input =
        (flags & 4)
            ? fuzz::utf16Text(data + 2, size - 2)
            : QString::fromLatin1(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype split = input.indexOf(QChar(u'\0'));
    markup::RegExp re;
    re.Pattern = split < 0 ? input : input.first(split);
    re.Global = flags & 1;
    re.IgnoreCase = flags & 2;
    const QString subject = split < 0 ? QString() : input.sliced(split + 1);
    const qsizetype from = data[1] % (subject.size() + 2) - 1; // -1 .. size

    const auto groups = re.groupCount();
    if (std::holds_alternative<markup::RegExpError>(groups))
        return 0;
    const auto executed = re.Execute(subject, from);
    if (const auto *match = std::get_if<std::optional<markup::RegExpMatch>>(&executed)) {
        if (*match) {
            checkSpan((*match)->whole, subject.size(), false);
            FUZZ_CHECK((*match)->whole.start >= from);
            // A match never begins or ends between the two halves of a character.
            const auto insidePair = [&subject](qsizetype i) {
                return i > 0 && i < subject.size() && subject[i].isLowSurrogate() &&
                       subject[i - 1].isHighSurrogate();
            };
            FUZZ_CHECK(!insidePair((*match)->whole.start) &&
                       !insidePair((*match)->whole.start + (*match)->whole.length));
            FUZZ_CHECK(qsizetype((*match)->groups.size()) == std::get<int>(groups));
            for (const auto &group : (*match)->groups)
                checkSpan(group, subject.size(), true);
            for (int g = 0; g <= std::get<int>(groups); ++g)
                (void)(*match)->captured(subject, g);
        }
    }
    (void)re.Replace(subject, QStringLiteral("<$1|$&|$`|$'|$$|$99|\\$>"));
    return 0;
}

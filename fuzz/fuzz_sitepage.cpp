// A page of a site on random bytes: detection and decoding never fail on any input, a page
// decoded as exact is written back as the very same bytes, and whatever text a page holds is
// either written in its encoding so that it reads back as that text, or refused.

#include "fuzzcheck.h"

#include "site/pagecodec.h"

#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto exact = site::decodePage(bytes, true);
    if (const auto *page = std::get_if<site::DecodedPage>(&exact)) {
        const auto again = site::encodePage(page->text, page->form);
        FUZZ_CHECK(std::holds_alternative<QByteArray>(again));
        FUZZ_CHECK(std::get<QByteArray>(again) == bytes);
        // A character the encoding cannot hold is refused, never replaced by a stand-in.
        const QString longer = page->text + QStringLiteral("\u00E9\U00020BB7");
        const auto written = site::encodePage(longer, page->form);
        if (const auto *out = std::get_if<QByteArray>(&written)) {
            const auto back = site::decodePage(*out, false);
            FUZZ_CHECK(std::holds_alternative<site::DecodedPage>(back));
        }
    }
    const auto loose = site::decodePage(bytes, false);
    if (const auto *page = std::get_if<site::DecodedPage>(&loose))
        FUZZ_CHECK(page->form.lineEnds == site::lineEndsOf(page->text));
    return 0;
}

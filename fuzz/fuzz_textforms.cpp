// The settings text forms on any text: every value a parser accepts is within its range, and
// its written form reads back as the same value.

#include "fuzzcheck.h"

#include "settings/textforms.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    using namespace settings;
    const QString text = fuzz::anyText(data, size);

    if (const std::optional<bool> value = parseBoolean(text))
        FUZZ_CHECK(parseBoolean(formatBoolean(*value)) == value);

    if (const std::optional<double> value = parseFontSize(text)) {
        FUZZ_CHECK(std::isfinite(*value) && *value > 0.0);
        // Four decimals survive the written form while a double holds them exactly: far beyond
        // any font size, but not for sizes near 1e11 and up, where one step of a double is
        // close to 0.0001 and the text may read back one step away.
        if (*value < 1e9)
            FUZZ_CHECK(parseFontSize(formatFontSize(*value)) == value);
    }

    if (const std::optional<float> value = parseSingle(text)) {
        FUZZ_CHECK(std::isfinite(*value));
        FUZZ_CHECK(parseSingle(formatSingle(*value)) == value);
    }

    const std::optional<qint32> int32 = parseInt32(text);
    if (int32)
        FUZZ_CHECK(parseInt32(formatInt32(*int32)) == int32);
    if (const std::optional<qint16> int16 = parseInt16(text))
        FUZZ_CHECK(int32 && *int32 == *int16);
    return 0;
}

// The code converter through its C-style entry. The output area is exactly as large as the
// caller is told to make it, followed by guard bytes that must come back untouched; the output
// must end inside the area and be what the sized conversion gives.

#include "fuzzcheck.h"

#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "codec/nkf.h"
#include "reference/nkfcall.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

constexpr std::size_t kGuardSize = 64;
constexpr char kGuardByte = char(0xA5);

// Runs NkfConvert under option on the zero-terminated input with an area of areaSize bytes and
// returns the output (the bytes before the terminating zero).
QByteArray convertInArea(const char *option, const QByteArray &input, std::size_t areaSize)
{
    std::vector<char> area(areaSize + kGuardSize, kGuardByte);
    reference::SetNkfOption(option);
    reference::NkfConvert(area.data(), input.constData());
    FUZZ_CHECK(std::all_of(area.begin() + std::ptrdiff_t(areaSize), area.end(),
                           [](char c) { return c == kGuardByte; }));
    const void *end = std::memchr(area.data(), 0, areaSize);
    FUZZ_CHECK(end != nullptr);
    return QByteArray(area.data(), static_cast<const char *>(end) - area.data());
}

QByteArray withoutZeroBytes(const uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

// "s": any bytes, area 4n + 1.
void toShiftJis(const QByteArray &input)
{
    const std::size_t n = std::size_t(input.size());
    const QByteArray output = convertInArea("s", input, 4 * n + 1);
    const codec::ConversionResult sized = codec::convertToCp932(input);
    FUZZ_CHECK(output == sized.bytes);
    if (sized.detected == codec::DetectedEncoding::EucJp ||
        sized.detected == codec::DetectedEncoding::Iso2022Jp)
        FUZZ_CHECK(std::size_t(output.size()) <= 2 * n);
}

// "e": CP932 bytes that decode to c UTF-16 units, area 8c + 2; at most 2 bytes per input byte.
void toEucJp(const QByteArray &input, qsizetype units)
{
    const QByteArray output = convertInArea("e", input, 8 * std::size_t(units) + 2);
    FUZZ_CHECK(output == codec::convertCp932ToEucJp(input).bytes);
    FUZZ_CHECK(output.size() <= 2 * input.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t *rest = data + 1;
    const std::size_t restSize = size - 1;
    switch (data[0] % 3) {
    case 0:
        toShiftJis(withoutZeroBytes(rest, restSize));
        break;
    case 1: {
        // What the program does when saving: text -> encodeCp932 -> "e". U+0000 would end the
        // zero-terminated input early, so the text has none.
        QString text = fuzz::utf16Text(rest, restSize);
        text.remove(QChar(u'\0'));
        toEucJp(codec::encodeCp932(text).bytes, text.size());
        break;
    }
    default: {
        const QByteArray bytes = withoutZeroBytes(rest, restSize);
        toEucJp(bytes, codec::decodeCp932(bytes).text.size());
        break;
    }
    }
    return 0;
}

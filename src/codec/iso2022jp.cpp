#include "codec/iso2022jp.h"

#include "codec/eucjp.h"

namespace codec
{
namespace
{

constexpr uchar kEsc = 0x1B;
constexpr uchar kShiftOut = 0x0E;
constexpr uchar kShiftIn = 0x0F;

enum class Mode { Ascii, Katakana, Jis0208, Jis0212 };

struct Escape {
    const char *bytes; // after ESC
    Mode mode;
};

constexpr Escape kEscapes[] = {
    {"(B", Mode::Ascii},   {"(J", Mode::Ascii},   {"(H", Mode::Ascii},    {"(I", Mode::Katakana},
    {"$@", Mode::Jis0208}, {"$B", Mode::Jis0208}, {"$(B", Mode::Jis0208}, {"$(D", Mode::Jis0212},
    {"&@", Mode::Ascii}, // announces JIS X 0208-1990; the ESC $ B after it switches
};

// The escape sequence at in[i] (an ESC), or nullptr.
const Escape *escapeAt(QByteArrayView in, qsizetype i)
{
    const QByteArrayView rest = in.sliced(i + 1);
    for (const Escape &e : kEscapes)
        if (rest.startsWith(QByteArrayView(e.bytes)))
            return &e;
    return nullptr;
}

} // namespace

bool hasIso2022JpDesignation(QByteArrayView in)
{
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (uchar(in[i]) == kShiftOut)
            return true;
        if (uchar(in[i]) == kEsc) {
            const Escape *e = escapeAt(in, i);
            if (e && e->mode != Mode::Ascii)
                return true;
        }
    }
    return false;
}

ConversionResult convertIso2022JpToCp932(QByteArrayView in)
{
    ConversionResult result;
    result.detected = DetectedEncoding::Iso2022Jp;
    result.bytes.reserve(in.size());
    auto invalid = [&](qsizetype i) {
        if (result.firstUnconvertible < 0)
            result.firstUnconvertible = i;
        result.bytes += "\x81\xAC"; // 〓
    };
    Mode mode = Mode::Ascii;
    Mode beforeShiftOut = Mode::Ascii;
    for (qsizetype i = 0; i < in.size();) {
        const uchar b = uchar(in[i]);
        if (b == kEsc) {
            if (const Escape *e = escapeAt(in, i)) {
                mode = e->mode;
                i += 1 + qsizetype(qstrlen(e->bytes));
            } else {
                invalid(i++);
            }
        } else if (b == kShiftOut || b == kShiftIn) {
            if (b == kShiftOut && mode != Mode::Katakana)
                beforeShiftOut = mode;
            mode = b == kShiftOut ? Mode::Katakana : beforeShiftOut;
            ++i;
        } else if (b < 0x21 || (b < 0x80 && mode == Mode::Ascii)) {
            result.bytes += char(b);
            ++i;
        } else if (mode == Mode::Katakana && b <= 0x5F) {
            result.bytes += char(b + 0x80);
            ++i;
        } else if ((mode == Mode::Jis0208 || mode == Mode::Jis0212) && b < 0x7F &&
                   i + 1 < in.size() && uchar(in[i + 1]) >= 0x21 && uchar(in[i + 1]) < 0x7F) {
            const quint16 code =
                eucjp::jisToCp932(b - 0x20, uchar(in[i + 1]) - 0x20, mode == Mode::Jis0212);
            if (code) {
                result.bytes += char(code >> 8);
                result.bytes += char(code);
            } else {
                invalid(i);
            }
            i += 2;
        } else {
            invalid(i++);
        }
    }
    return result;
}

} // namespace codec

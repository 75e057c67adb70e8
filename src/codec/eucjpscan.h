#pragma once

#include "codec/cp932ascii.h"
#include "codec/eucjp.h"

#include <QByteArrayView>

namespace codec::eucjp
{

// One piece of EUC-JP input: a character or a byte sequence that is none.
struct Unit {
    enum Kind { Ascii, HalfWidth, Double, Triple, Invalid } kind;
    qsizetype length; // bytes: 1..3
    int row;          // JIS row of a Double or Triple unit
    quint16 cp932;    // the CP932 code of a Double or Triple unit, or the byte of a HalfWidth one
};

// The CP932 codes of JIS rows and cells: 94 x 94 entries, (row - 1) * 94 + cell - 1, 0 where
// CP932 holds no such character. supplementary picks JIS X 0212 (EUC-JP 0x8F codes).
const quint16 *cp932ByJis(bool supplementary);

constexpr bool isEucByte(uchar b)
{
    return b >= 0xA1 && b <= 0xFE;
}

// Splits EUC-JP bytes into units and calls visit(Unit, position) for each, in order. A character
// CP932 cannot hold is an Invalid unit of its full length; a byte that starts no well-formed
// sequence is an Invalid unit of one byte. visit returns false to stop early. With VisitAscii
// false, bytes below 0x80 are passed over without a visit.
template <bool VisitAscii = true, typename Visit> inline void scan(QByteArrayView in, Visit &&visit)
{
    const auto *p = reinterpret_cast<const uchar *>(in.data());
    const qsizetype n = in.size();
    const quint16 *const jis0208 = cp932ByJis(false);
    const quint16 *const jis0212 = cp932ByJis(true);
    for (qsizetype i = 0; i < n;) {
        if constexpr (!VisitAscii) {
            if (p[i] < 0x80) {
                i += ascii::asciiPrefix(p + i, n - i);
                if (i == n)
                    return;
            }
        }
        const uchar b = p[i];
        Unit unit{Unit::Invalid, 1, 0, 0};
        if (b < 0x80) {
            unit = {Unit::Ascii, 1, 0, b};
        } else if (b == 0x8E) {
            if (i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF)
                unit = {Unit::HalfWidth, 2, 0, p[i + 1]};
            else if (i + 1 < n && isEucByte(p[i + 1]))
                unit.length = 2;
        } else if (b == 0x8F) {
            if (i + 2 < n && isEucByte(p[i + 1]) && isEucByte(p[i + 2])) {
                const int row = p[i + 1] - 0xA0;
                const quint16 code = jis0212[(row - 1) * 94 + p[i + 2] - 0xA1];
                unit = {code ? Unit::Triple : Unit::Invalid, 3, row, code};
            }
        } else if (isEucByte(b) && i + 1 < n && isEucByte(p[i + 1])) {
            const int row = b - 0xA0;
            const quint16 code = jis0208[(row - 1) * 94 + p[i + 1] - 0xA1];
            unit = {code ? Unit::Double : Unit::Invalid, 2, row, code};
        }
        if (!visit(unit, i))
            return;
        i += unit.length;
    }
}

} // namespace codec::eucjp

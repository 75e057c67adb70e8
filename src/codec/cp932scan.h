#pragma once

#include "codec/cp932ascii.h"
#include "codec/cp932table.h"

#include <QByteArrayView>

namespace codec::cp932
{

// One piece of CP932 input: a character or a byte sequence that is none.
struct Unit {
    enum Kind { Ascii, HalfWidth, Double, Invalid } kind;
    qsizetype length; // bytes: 1 or 2
};

// Splits CP932 bytes into units and calls visit(Unit, position) for each, in order. A lead byte
// followed by a byte in the trail range forms one unit (Invalid when the code is unassigned);
// a lead byte followed by anything else, or by nothing, is an Invalid unit of one byte, as are
// 0x80, 0xA0 and 0xFD-0xFF. visit returns false to stop early. With VisitAscii false, bytes below
// 0x80 are passed over without a visit.
template <bool VisitAscii = true, typename Visit> inline void scan(QByteArrayView in, Visit &&visit)
{
    const auto *p = reinterpret_cast<const uchar *>(in.data());
    const qsizetype n = in.size();
    const uchar *const mapped = mappedTable();
    for (qsizetype i = 0; i < n;) {
        if constexpr (!VisitAscii) {
            if (p[i] < 0x80) {
                i += ascii::asciiPrefix(p + i, n - i);
                if (i == n)
                    return;
            }
        }
        const uchar b = p[i];
        Unit unit{Unit::Invalid, 1};
        if (b < 0x80)
            unit.kind = Unit::Ascii;
        else if (isHalfWidthKatakana(b))
            unit.kind = Unit::HalfWidth;
        else if (isLeadByte(b) && i + 1 < n && isTrailByte(p[i + 1]))
            unit = {mapped[(b - 0x81) * kTrailSpan + p[i + 1] - 0x40] ? Unit::Double
                                                                      : Unit::Invalid,
                    2};
        if (!visit(unit, i))
            return;
        i += unit.length;
    }
}

} // namespace codec::cp932

#include "codec/eucjp.h"

#include "codec/cp932ascii.h"
#include "codec/cp932output.h"
#include "codec/cp932scan.h"
#include "codec/cp932table.h"
#include "codec/eucjpscan.h"
#include "codec/ibmeuc.h"

#include <array>
#include <memory>
#include <vector>

namespace codec
{
namespace
{

constexpr char kEucGeta[] = "\xA2\xAE"; // 〓

constexpr int kLeadCount = 0xFC - 0x81 + 1;
using cp932::kTrailSpan;

struct Tables {
    // The two EUC-JP bytes of each CP932 double-byte code, first byte high; 0 = none.
    std::array<quint16, kLeadCount * kTrailSpan>
        eucByCp932{}; // (lead - 0x81) * span + trail - 0x40
    std::array<quint16, 94 * 94> cp932ByJis0208{};
    std::array<quint16, 94 * 94> cp932ByJis0212{};
};

// CP932 rows 1-92 are JIS rows 1-92 of the browser's EUC-JP: JIS X 0208 with NEC row 13 and the
// NEC-selected IBM rows 89-92 (two bytes, 0xF9-0xFC lead). The user-defined rows and the IBM rows
// beyond have no place there.
constexpr bool isEucRow(int row)
{
    return row <= 92;
}

std::unique_ptr<Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    auto forEachMapped = [](auto &&visit) {
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (cp932::isLeadByte(uchar(lead)) && cp932::isMapped(uchar(lead), uchar(trail)))
                    visit(quint16(lead << 8 | trail));
    };
    // A character is written at its first code in rows 1-92, as the browser's encoder writes it:
    // row 2 before row 13, the NEC-selected rows for the IBM kanji.
    std::vector<quint16> firstByCanonical(0x10000);
    forEachMapped([&](quint16 code) {
        const quint16 canonical = cp932::canonicalCode(code);
        if (!firstByCanonical[canonical] && isEucRow(cp932::rowCell(code >> 8, code & 0xFF).row))
            firstByCanonical[canonical] = code;
    });
    forEachMapped([&](quint16 code) {
        const quint16 first = firstByCanonical[cp932::canonicalCode(code)];
        if (!first)
            return; // user-defined
        const cp932::RowCell rc = cp932::rowCell(first >> 8, first & 0xFF);
        t->eucByCp932[((code >> 8) - 0x81) * kTrailSpan + (code & 0xFF) - 0x40] =
            quint16((rc.row + 0xA0) << 8 | (rc.cell + 0xA0));
    });
    auto jisIndex = [](int row, int cell) { return (row - 1) * 94 + cell - 1; };
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const quint16 code = cp932::codeAt(row, cell);
            if (isEucRow(row) && cp932::isMapped(uchar(code >> 8), uchar(code)))
                t->cp932ByJis0208[jisIndex(row, cell)] = cp932::canonicalCode(code);
            // The second half of the user-defined area, as older tools wrote it after 0x8F.
            if (row >= 85)
                t->cp932ByJis0212[jisIndex(row, cell)] = cp932::codeAt(row + 20, cell);
        }
    }
    // The 0x8F three-byte forms of the IBM extensions that older tools wrote.
    for (int i = 0; i < cp932::kIbmCount; ++i) {
        const quint16 euc = eucjp::kIbmEuc[i];
        if (euc)
            t->cp932ByJis0212[jisIndex((euc >> 8) - 0xA0, (euc & 0xFF) - 0xA0)] =
                cp932::canonicalCode(cp932::ibmCodeAt(i));
    }
    // JIS X 0212 tilde and numero sign, which CP932 holds as FULLWIDTH TILDE and in row 13.
    t->cp932ByJis0212[jisIndex(2, 23)] = 0x8160;
    t->cp932ByJis0212[jisIndex(2, 81)] = 0x8782;
    return t;
}

const Tables &tables()
{
    static const std::unique_ptr<Tables> t = buildTables();
    return *t;
}

void noteFirst(ConversionResult &result, qsizetype position)
{
    if (result.firstUnconvertible < 0)
        result.firstUnconvertible = position;
}

} // namespace

namespace eucjp
{

const quint16 *cp932ByJis(bool supplementary)
{
    return supplementary ? tables().cp932ByJis0212.data() : tables().cp932ByJis0208.data();
}

quint16 jisToCp932(int row, int cell, bool supplementary)
{
    if (row < 1 || row > 94 || cell < 1 || cell > 94)
        return 0;
    return cp932ByJis(supplementary)[(row - 1) * 94 + cell - 1];
}

} // namespace eucjp

ConversionResult convertCp932ToEucJp(QByteArrayView cp932)
{
    ConversionResult result;
    result.detected = DetectedEncoding::ShiftJis;
    cp932::resizeOutput(result.bytes, cp932.size() * 2); // at most two output bytes per input byte
    char *out = result.bytes.data();
    const auto *in = reinterpret_cast<const uchar *>(cp932.data());
    const quint16 *eucByCp932 = tables().eucByCp932.data();
    auto invalid = [&](qsizetype i) {
        noteFirst(result, i);
        *out++ = kEucGeta[0];
        *out++ = kEucGeta[1];
    };
    cp932::scan(cp932, [&](const cp932::Unit &unit, qsizetype i) {
        const uchar b = in[i];
        switch (unit.kind) {
        case cp932::Unit::Ascii:
            *out++ = char(b);
            break;
        case cp932::Unit::HalfWidth:
            *out++ = char(0x8E);
            *out++ = char(b);
            break;
        case cp932::Unit::Double:
            if (const quint16 euc = eucByCp932[(b - 0x81) * kTrailSpan + in[i + 1] - 0x40]) {
                *out++ = char(euc >> 8);
                *out++ = char(euc);
            } else {
                invalid(i);
            }
            break;
        case cp932::Unit::Invalid:
            invalid(i);
            break;
        }
        return true;
    });
    result.bytes.truncate(out - result.bytes.constData());
    return result;
}

ConversionResult convertEucJpToCp932(QByteArrayView euc)
{
    qsizetype invalidUnits = 0;
    return convertEucJpToCp932(euc, &invalidUnits);
}

ConversionResult convertEucJpToCp932(QByteArrayView euc, qsizetype *invalidUnits)
{
    // The same units as eucjp::scan, with ASCII runs copied by the word and the common two-byte
    // characters decoded inline.
    ConversionResult result;
    result.detected = DetectedEncoding::EucJp;
    const qsizetype n = euc.size();
    cp932::resizeOutput(result.bytes, n * 2); // 〓 for a one-byte invalid unit is the widest case
    char *const begin = result.bytes.data();
    char *out = begin;
    const auto *p = reinterpret_cast<const uchar *>(euc.data());
    const quint16 *const jis0208 = eucjp::cp932ByJis(false);
    const quint16 *const jis0212 = eucjp::cp932ByJis(true);
    auto inRange = [](uchar b, uchar first, uchar last) {
        return uchar(b - first) <= last - first;
    };
    auto put2 = [&](quint16 code) {
        out[0] = char(code >> 8);
        out[1] = char(code);
        out += 2;
    };
    qsizetype invalidCount = 0;
    auto invalid = [&](qsizetype i, qsizetype length) {
        noteFirst(result, i);
        ++invalidCount;
        put2(0x81AC); // 〓
        return i + length;
    };
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            // Output never runs ahead of twice the input read, so the rest of the area holds the
            // rest of the input.
            const qsizetype run = ascii::copyAsciiPrefix(p + i, n - i, out);
            out += run;
            i += run;
        } else if (eucjp::isEucByte(b)) {
            if (i + 1 == n || !eucjp::isEucByte(p[i + 1])) {
                i = invalid(i, 1);
            } else if (const quint16 code = jis0208[(b - 0xA1) * 94 + p[i + 1] - 0xA1]) {
                put2(code);
                i += 2;
            } else {
                i = invalid(i, 2);
            }
        } else if (b == 0x8E && i + 1 < n && inRange(p[i + 1], 0xA1, 0xDF)) {
            *out++ = char(p[i + 1]);
            i += 2;
        } else if (b == 0x8E && i + 1 < n && eucjp::isEucByte(p[i + 1])) {
            i = invalid(i, 2);
        } else if (b == 0x8F && i + 2 < n && eucjp::isEucByte(p[i + 1]) &&
                   eucjp::isEucByte(p[i + 2])) {
            if (const quint16 code = jis0212[(p[i + 1] - 0xA1) * 94 + p[i + 2] - 0xA1]) {
                put2(code);
                i += 3;
            } else {
                i = invalid(i, 3);
            }
        } else {
            i = invalid(i, 1);
        }
    }
    result.bytes.truncate(out - begin);
    *invalidUnits = invalidCount;
    return result;
}

} // namespace codec

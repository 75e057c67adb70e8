#include "codec/detect.h"

#include "codec/cp932ascii.h"
#include "codec/cp932scan.h"
#include "codec/eucjpscan.h"
#include "codec/iso2022jp.h"

#include <limits>

namespace codec
{
namespace
{

struct Rating {
    qsizetype errors = 0;
    qsizetype score = 0; // Japanese-looking characters, weighted
};

// Weight of a double-byte character by its JIS row: kana, symbols and level-1 kanji are common,
// level-2 kanji and vendor characters less so, user-defined characters are not evidence.
int rowWeight(int row)
{
    if ((row >= 1 && row <= 8) || (row >= 16 && row <= 47))
        return 4;
    if (row == 13 || (row >= 48 && row <= 84))
        return 2;
    return 0;
}

// Rating under EUC-JP (ASCII weighs nothing either way); stops once errors pass maxErrors.
Rating rateEucJp(QByteArrayView in, qsizetype maxErrors)
{
    Rating r;
    eucjp::scan<false>(in, [&](const eucjp::Unit &unit, qsizetype) {
        switch (unit.kind) {
        case eucjp::Unit::Invalid:
            return ++r.errors <= maxErrors;
        case eucjp::Unit::Double:
            r.score += rowWeight(unit.row);
            break;
        case eucjp::Unit::HalfWidth:
            r.score += 4; // SS2 before a katakana byte is a telling two-byte form
            break;
        default:
            break;
        }
        return true;
    });
    return r;
}

// Rating under Shift_JIS (CP932); stops once errors pass maxErrors.
Rating rateCp932(QByteArrayView in, qsizetype maxErrors)
{
    Rating r;
    cp932::scan<false>(in, [&](const cp932::Unit &unit, qsizetype i) {
        switch (unit.kind) {
        case cp932::Unit::Invalid:
            return ++r.errors <= maxErrors;
        case cp932::Unit::Double: {
            const int row = cp932::rowCell(uchar(in[i]), uchar(in[i + 1])).row;
            r.score += (row >= 89 && row <= 92) || row >= 115 ? 2 : rowWeight(row);
            break;
        }
        case cp932::Unit::HalfWidth:
            r.score += 1;
            break;
        default:
            break;
        }
        return true;
    });
    return r;
}

bool hasHighByte(QByteArrayView in)
{
    return ascii::asciiPrefix(reinterpret_cast<const uchar *>(in.data()), in.size()) < in.size();
}

struct Ratings {
    Rating euc, sjis;
};

Ratings rateBoth(QByteArrayView in)
{
    const Rating euc = rateEucJp(in, std::numeric_limits<qsizetype>::max());
    // Shift_JIS can only win with no more errors than EUC-JP, so stop counting past that.
    return {euc, rateCp932(in, euc.errors)};
}

DetectedEncoding preferred(const Ratings &r)
{
    if (r.euc.errors == 0 && r.sjis.errors == 0)
        return r.sjis.score > r.euc.score ? DetectedEncoding::ShiftJis : DetectedEncoding::EucJp;
    return r.euc.errors < r.sjis.errors ? DetectedEncoding::EucJp : DetectedEncoding::ShiftJis;
}

} // namespace

qsizetype firstInvalidUtf8(QByteArrayView in)
{
    const auto *p = reinterpret_cast<const uchar *>(in.data());
    const qsizetype n = in.size();
    auto cont = [&](qsizetype i, uchar lo = 0x80, uchar hi = 0xBF) {
        return i < n && p[i] >= lo && p[i] <= hi;
    };
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        qsizetype length = 0;
        if (b < 0x80)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = cont(i + 1) ? 2 : 0;
        else if (b >= 0xE0 && b <= 0xEF)
            length = cont(i + 1, b == 0xE0 ? 0xA0 : 0x80, b == 0xED ? 0x9F : 0xBF) && cont(i + 2)
                         ? 3
                         : 0;
        else if (b >= 0xF0 && b <= 0xF4)
            length = cont(i + 1, b == 0xF0 ? 0x90 : 0x80, b == 0xF4 ? 0x8F : 0xBF) && cont(i + 2) &&
                             cont(i + 3)
                         ? 4
                         : 0;
        if (length == 0)
            return i;
        i += length;
    }
    return -1;
}

std::optional<DetectedEncoding> detectByStructure(QByteArrayView in)
{
    if (in.startsWith("\xEF\xBB\xBF"))
        return DetectedEncoding::Utf8;
    if (!hasHighByte(in))
        return hasIso2022JpDesignation(in) ? DetectedEncoding::Iso2022Jp : DetectedEncoding::Ascii;
    if (firstInvalidUtf8(in) < 0)
        return DetectedEncoding::Utf8;
    return std::nullopt;
}

DetectedEncoding chooseEucJpOrShiftJis(QByteArrayView in)
{
    return preferred(rateBoth(in));
}

DetectedEncoding chooseEucJpOrShiftJis(QByteArrayView in, qsizetype eucJpInvalidUnits)
{
    if (eucJpInvalidUnits == 0)
        return chooseEucJpOrShiftJis(in); // both may be valid: the scores decide
    return preferred({Rating{eucJpInvalidUnits, 0}, rateCp932(in, eucJpInvalidUnits)});
}

bool isValidCp932(QByteArrayView in)
{
    bool valid = true;
    cp932::scan<false>(in, [&](const cp932::Unit &unit, qsizetype) {
        valid = unit.kind != cp932::Unit::Invalid;
        return valid;
    });
    return valid;
}

std::optional<DetectedEncoding> recognisedEncoding(QByteArrayView in)
{
    if (const auto byStructure = detectByStructure(in))
        return byStructure;
    // Only valid input is named, so each side stops at its first error; the scores matter only
    // when both are valid.
    const Rating euc = rateEucJp(in, 0);
    if (euc.errors == 0)
        return preferred({euc, rateCp932(in, 0)});
    if (isValidCp932(in))
        return DetectedEncoding::ShiftJis;
    return std::nullopt;
}

DetectedEncoding detectEncoding(QByteArrayView in)
{
    if (const auto byStructure = detectByStructure(in))
        return *byStructure;
    return chooseEucJpOrShiftJis(in);
}

} // namespace codec

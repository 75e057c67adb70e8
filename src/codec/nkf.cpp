#include "codec/nkf.h"

#include "codec/cp932.h"
#include "codec/cp932scan.h"
#include "codec/detect.h"
#include "codec/iso2022jp.h"

#include <QStringDecoder>

namespace codec
{
namespace
{

// Byte offset in utf8 of the UTF-16 unit unitIndex of its decoded text.
qsizetype utf8Offset(QByteArrayView utf8, qsizetype unitIndex)
{
    qsizetype units = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const uchar b = uchar(utf8[i]);
        if ((b & 0xC0) == 0x80)
            continue; // continuation byte
        if (units >= unitIndex)
            return i;
        units += b >= 0xF0 ? 2 : 1;
    }
    return utf8.size();
}

// Converts well-formed UTF-8 stretches through encodeCp932; malformed bytes become 〓.
ConversionResult convertUtf8ToCp932(QByteArrayView in)
{
    ConversionResult result;
    result.detected = DetectedEncoding::Utf8;
    const qsizetype bom = in.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    auto note = [&](qsizetype position) {
        if (result.firstUnconvertible < 0)
            result.firstUnconvertible = position;
    };
    for (qsizetype pos = bom; pos < in.size();) {
        const QByteArrayView rest = in.sliced(pos);
        const qsizetype bad = firstInvalidUtf8(rest);
        const QByteArrayView good = rest.first(bad < 0 ? rest.size() : bad);
        if (!good.isEmpty()) {
            const QString text = QStringDecoder(QStringConverter::Utf8).decode(good);
            const Cp932Encoded encoded = encodeCp932(text);
            if (encoded.firstUnmappable >= 0)
                note(pos + utf8Offset(good, encoded.firstUnmappable));
            result.bytes += encoded.bytes;
        }
        if (bad < 0)
            break;
        note(pos + bad);
        result.bytes += "\x81\xAC"; // 〓
        pos += bad + 1;
    }
    return result;
}

ConversionResult passThrough(QByteArrayView in, DetectedEncoding detected)
{
    ConversionResult result;
    result.detected = detected;
    result.bytes = in.toByteArray();
    if (detected == DetectedEncoding::ShiftJis) {
        cp932::scan<false>(in, [&](const cp932::Unit &unit, qsizetype i) {
            if (unit.kind != cp932::Unit::Invalid)
                return true;
            result.firstUnconvertible = i;
            return false;
        });
    }
    return result;
}

} // namespace

ConversionResult convertToCp932(QByteArrayView input)
{
    switch (detectByStructure(input).value_or(DetectedEncoding::EucJp)) {
    case DetectedEncoding::Iso2022Jp:
        return convertIso2022JpToCp932(input);
    case DetectedEncoding::Utf8:
        return convertUtf8ToCp932(input);
    case DetectedEncoding::Ascii:
        return passThrough(input, DetectedEncoding::Ascii);
    case DetectedEncoding::EucJp:
    case DetectedEncoding::ShiftJis:
        break;
    }
    // EUC-JP that is not also valid Shift_JIS is the common case: convert at once, which checks it
    // in the same pass, and weigh the two only when that does not settle it, reusing the count of
    // invalid EUC-JP sequences the conversion made.
    qsizetype eucInvalid = 0;
    ConversionResult euc = convertEucJpToCp932(input, &eucInvalid);
    if (eucInvalid == 0 && !isValidCp932(input))
        return euc;
    if (chooseEucJpOrShiftJis(input, eucInvalid) == DetectedEncoding::EucJp)
        return euc;
    return passThrough(input, DetectedEncoding::ShiftJis);
}

} // namespace codec

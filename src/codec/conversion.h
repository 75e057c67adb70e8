#pragma once

#include <QByteArray>

namespace codec
{

// The encoding an input to the code converter was read as.
enum class DetectedEncoding {
    Ascii,     // only bytes below 0x80 and no ISO-2022-JP escape: passed through unchanged
    ShiftJis,  // CP932: passed through unchanged
    EucJp,     // EUC-JP with the NEC / IBM extensions, as browsers read it
    Iso2022Jp, // 7-bit JIS with escape sequences
    Utf8,      // UTF-8, with or without a byte order mark
};

// The bytes a conversion produced and where it first met something it could not convert
// (-1 when it converted everything). The position is a byte offset into the input. What stands in
// for an unconvertible piece is documented with each conversion.
struct ConversionResult {
    QByteArray bytes;
    qsizetype firstUnconvertible = -1;
    DetectedEncoding detected = DetectedEncoding::ShiftJis;
};

} // namespace codec

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text <-> CP932 (Windows code page 932, the editing encoding of Shift_JIS files).
namespace codec
{

struct Cp932Decoded {
    QString text;
    qsizetype firstInvalid = -1; // byte offset of the first sequence that is no CP932 character
};

// Decodes CP932 bytes. Each byte sequence that is no CP932 character (a byte 0x80, 0xA0 or
// 0xFD-0xFF, a lead byte without a proper trail byte, an unassigned double-byte code) becomes
// U+FFFD and is reported. Bytes 0x00-0x7F are always the same ASCII code points.
Cp932Decoded decodeCp932(QByteArrayView bytes);
// The same result through ICU's converter, which the tables of decodeCp932 are built from.
Cp932Decoded decodeCp932ThroughIcu(QByteArrayView bytes);

struct Cp932Encoded {
    QByteArray bytes;
    qsizetype firstUnmappable = -1; // UTF-16 index of the first character CP932 cannot hold
};

// Encodes text as CP932. A character CP932 cannot hold is reported and written as a hexadecimal
// HTML numeric character reference ("&#xE9;", "&#x1F600;"), which a browser shows as the
// character; a lone surrogate is written as "&#xFFFD;". Stand-ins are ASCII and take at most 8
// bytes per UTF-16 unit; a character CP932 holds takes 1 or 2 bytes.
Cp932Encoded encodeCp932(QStringView text);

// The numeric character reference the encoders write for a character: "&#x301C;".
QByteArray characterReference(char32_t codePoint);

} // namespace codec

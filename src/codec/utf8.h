#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text <-> UTF-8 files.
namespace codec
{

struct Utf8Decoded {
    QString text;
    bool byteOrderMark = false;  // the bytes began with EF BB BF, which is not part of text
    qsizetype firstInvalid = -1; // byte offset (BOM included) of the first malformed sequence
};

// Decodes UTF-8 strictly: overlong forms, encoded surrogates, code points past U+10FFFF and
// truncated sequences are malformed, become U+FFFD and are reported. A zero byte is U+0000.
Utf8Decoded decodeUtf8(QByteArrayView bytes);

struct Utf8Encoded {
    QByteArray bytes;
    qsizetype firstUnmappable = -1; // UTF-16 index of the first lone surrogate
};

// Encodes text as UTF-8, after a byte order mark when asked. Every character has a UTF-8 form;
// only a lone surrogate has none and is written as "&#xFFFD;" and reported, as the other
// encodings do with what they cannot hold.
Utf8Encoded encodeUtf8(QStringView text, bool byteOrderMark = false);

} // namespace codec

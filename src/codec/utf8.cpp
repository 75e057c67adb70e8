#include "codec/utf8.h"

#include "codec/detect.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace codec
{
namespace
{

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Well-formed UTF-8 as text; unlike QString::fromUtf8, a U+FEFF at the start stays in the text.
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

qsizetype firstLoneSurrogate(QStringView text, qsizetype from)
{
    const qsizetype n = text.size();
    for (qsizetype i = from; i < n; ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
        else
            return i;
    }
    return -1;
}

} // namespace

Utf8Decoded decodeUtf8(QByteArrayView bytes)
{
    Utf8Decoded result;
    result.byteOrderMark = bytes.startsWith(kByteOrderMark);
    const qsizetype skip = result.byteOrderMark ? 3 : 0;
    const QByteArrayView body = bytes.sliced(skip);
    const qsizetype bad = firstInvalidUtf8(body);
    if (bad < 0) {
        result.text = fromUtf8(body);
        return result;
    }
    result.firstInvalid = skip + bad;
    // Decode the well-formed runs apart so every malformed piece becomes exactly one U+FFFD,
    // whatever the library's own policy for such bytes is.
    qsizetype at = 0;
    qsizetype next = bad;
    while (next >= 0) {
        result.text += fromUtf8(body.sliced(at, next - at));
        result.text += QChar(QChar::ReplacementCharacter);
        at = next + 1;
        // Skip the continuation bytes of the broken sequence: they are part of the same piece.
        while (at < body.size() && (uchar(body[at]) & 0xC0) == 0x80)
            ++at;
        const qsizetype rest = firstInvalidUtf8(body.sliced(at));
        next = rest < 0 ? -1 : at + rest;
    }
    result.text += fromUtf8(body.sliced(at));
    return result;
}

Utf8Encoded encodeUtf8(QStringView text, bool byteOrderMark)
{
    Utf8Encoded result;
    // Straight into one buffer (the mark first): a large page is copied once.
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const qsizetype mark = byteOrderMark ? 3 : 0;
    result.bytes.resize(mark + encoder.requiredSpace(text.size()));
    char *const begin = result.bytes.data();
    std::memcpy(begin, kByteOrderMark, size_t(mark));
    char *const end = encoder.appendToBuffer(begin + mark, text);
    if (!encoder.hasError()) {
        result.bytes.truncate(end - begin);
        return result;
    }
    result.bytes.truncate(mark);
    qsizetype lone = firstLoneSurrogate(text, 0);
    result.firstUnmappable = lone;
    qsizetype at = 0;
    while (lone >= 0) {
        result.bytes += text.sliced(at, lone - at).toUtf8();
        result.bytes += "&#xFFFD;";
        at = lone + 1;
        lone = firstLoneSurrogate(text, at);
    }
    result.bytes += text.sliced(at).toUtf8();
    return result;
}

} // namespace codec

#include "codec/cp932.h"

#include "codec/cp932chartables.h"
#include "codec/cp932output.h"
#include "codec/cp932scan.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

// Qt's "Shift_JIS" is ICU's ibm-943_P15A-2003, which is Microsoft's CP932 except for two things
// handled here: it exchanges the control codes 0x1A, 0x1C and 0x7F (IBM's PC layout) and it
// encodes U+F86F to 0x8782, which decodes to U+2116. Text containing none of these goes to ICU in
// one piece; otherwise ICU sees only the stretches between them.
namespace codec
{
namespace
{

constexpr auto kCodec = "Shift_JIS";

bool isRotatedControl(uint c)
{
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

bool hasRotatedControl(QByteArrayView bytes)
{
    bool found = false;
    for (const char c : bytes)
        found |= isRotatedControl(uchar(c));
    return found;
}

// Characters ICU would encode wrongly: the rotated controls and U+F86F.
bool isSpecialChar(char32_t c)
{
    return isRotatedControl(c) || c == 0xF86F;
}

bool hasSpecialChar(QStringView text)
{
    bool found = false;
    for (const QChar c : text)
        found |= isSpecialChar(c.unicode());
    return found;
}

// Encodes the character at text[i] into result and returns the UTF-16 units it took.
qsizetype encodeOneChar(QStringView text, qsizetype i, Cp932Encoded &result)
{
    auto unmappable = [&](char32_t shown) {
        if (result.firstUnmappable < 0)
            result.firstUnmappable = i;
        result.bytes += characterReference(shown);
    };
    char32_t c = text[i].unicode();
    qsizetype length = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        length = 2;
    }
    if (isRotatedControl(c)) {
        result.bytes += char(c);
    } else if (QChar::isSurrogate(c)) {
        unmappable(QChar::ReplacementCharacter);
    } else if (c == 0xF86F) {
        unmappable(c);
    } else {
        QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(text.sliced(i, length));
        if (encoder.hasError())
            unmappable(c);
        else
            result.bytes += bytes;
    }
    return length;
}

} // namespace

QByteArray characterReference(char32_t codePoint)
{
    return "&#x" + QByteArray::number(uint(codePoint), 16).toUpper() + ';';
}

Cp932Decoded decodeCp932(QByteArrayView bytes)
{
    // One table look-up per character; the tables come from decodeCp932ThroughIcu.
    const cp932::CharTables &t = cp932::charTables();
    Cp932Decoded result;
    result.text.resize(bytes.size());
    cp932::adviseHugePages(result.text.data(), bytes.size() * qsizetype(sizeof(char16_t)));
    char16_t *const begin = reinterpret_cast<char16_t *>(result.text.data());
    char16_t *out = begin;
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            *out++ = b;
            ++i;
            continue;
        }
        char16_t c = t.single[b];
        qsizetype length = 1;
        if (t.isLead[b] && i + 1 < n && cp932::isTrailByte(p[i + 1])) {
            c = t.pair[std::size_t(b) * 256 + p[i + 1]];
            length = 2;
        }
        if (c == cp932::kNoChar) {
            if (result.firstInvalid < 0)
                result.firstInvalid = i;
            c = QChar::ReplacementCharacter;
        }
        *out++ = c;
        i += length;
    }
    result.text.resize(out - begin);
    result.text.squeeze();
    return result;
}

Cp932Decoded decodeCp932ThroughIcu(QByteArrayView bytes)
{
    if (!hasRotatedControl(bytes)) {
        QStringDecoder decoder(kCodec, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (!decoder.hasError())
            return {text, -1};
    }
    // Decode the stretches between rotated controls and invalid sequences through ICU.
    Cp932Decoded result;
    result.text.reserve(bytes.size());
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart) {
            // A fresh decoder each time: resetState() keeps an earlier error flag with ICU.
            QStringDecoder runDecoder(kCodec, QStringConverter::Flag::Stateless);
            result.text += runDecoder.decode(bytes.sliced(runStart, end - runStart));
            if (runDecoder.hasError() && result.firstInvalid < 0)
                result.firstInvalid = runStart; // not expected: the scan found the run valid
        }
    };
    cp932::scan(bytes, [&](const cp932::Unit &unit, qsizetype i) {
        const uchar b = uchar(bytes[i]);
        if (unit.kind == cp932::Unit::Invalid ||
            (unit.kind == cp932::Unit::Ascii && isRotatedControl(b))) {
            flush(i);
            runStart = i + unit.length;
            if (unit.kind == cp932::Unit::Invalid) {
                if (result.firstInvalid < 0)
                    result.firstInvalid = i;
                result.text += QChar(QChar::ReplacementCharacter);
            } else {
                result.text += QLatin1Char(char(b));
            }
        }
        return true;
    });
    flush(bytes.size());
    return result;
}

Cp932Encoded encodeCp932(QStringView text)
{
    if (!hasSpecialChar(text)) {
        QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
        QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return {bytes, -1};
    }
    Cp932Encoded result;
    result.bytes.reserve(text.size() * 2);
    // Chunks without trouble go to ICU whole; a chunk with trouble goes one character at a time.
    constexpr qsizetype kChunk = 256;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = std::min(i + kChunk, text.size());
        if (end < text.size() && text[end - 1].isHighSurrogate() && end - 1 > i)
            --end; // keep a surrogate pair together
        const QStringView chunk = text.sliced(i, end - i);
        if (!hasSpecialChar(chunk)) {
            QStringEncoder chunkEncoder(kCodec, QStringConverter::Flag::Stateless);
            const QByteArray bytes = chunkEncoder.encode(chunk);
            if (!chunkEncoder.hasError()) {
                result.bytes += bytes;
                i = end;
                continue;
            }
        }
        for (; i < end;)
            i += encodeOneChar(text, i, result);
    }
    return result;
}

} // namespace codec

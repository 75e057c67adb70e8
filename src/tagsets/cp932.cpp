#include "tagsets/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tagsets
{

namespace
{

constexpr char codecName[] = "Shift_JIS"; // ICU's ibm-943: Microsoft's code page 932

// The byte offset where decoding first fails; bytes.size() when only the end is cut short.
qsizetype firstBadByte(const QByteArray &bytes)
{
    QStringDecoder decoder(codecName);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const QString decoded = decoder.decode(QByteArrayView(bytes).sliced(i, 1));
        if (decoder.hasError())
            return i;
    }
    return bytes.size();
}

} // namespace

Cp932Decoded decodeCp932(const QByteArray &bytes)
{
    Cp932Decoded result;
    QStringDecoder decoder(codecName, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        result.status = Cp932Decoded::Status::NoConverter;
        return result;
    }
    result.text = decoder.decode(bytes);
    if (decoder.hasError()) {
        result.text.clear();
        result.status = Cp932Decoded::Status::InvalidBytes;
        // A line feed byte is never part of a two-byte character, so counting them is exact.
        result.badLine = QByteArrayView(bytes).first(firstBadByte(bytes)).count('\n') + 1;
    }
    return result;
}

Cp932Encoded encodeCp932(const QString &text)
{
    Cp932Encoded result;
    QStringEncoder encoder(codecName, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return result;
    result.bytes = encoder.encode(text);
    if (!encoder.hasError()) {
        result.ok = true;
        return result;
    }
    result.bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const QString character = text.mid(i, length);
        QStringEncoder single(codecName, QStringConverter::Flag::Stateless);
        const QByteArray encoded = single.encode(character);
        if (single.hasError() && !result.unencodable.contains(character))
            result.unencodable.append(character);
        i += length;
    }
    return result;
}

} // namespace tagsets

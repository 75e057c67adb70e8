#include "app/rtf/cp932tables.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <memory>

namespace app::rtf::cp932
{

namespace
{

constexpr auto kCodec = "Shift_JIS";

// The one character the bytes decode to, or kNoChar.
char16_t decodeOne(const char *bytes, qsizetype size)
{
    QStringDecoder decoder(kCodec, QStringDecoder::Flag::Stateless);
    const QString s = decoder.decode(QByteArrayView(bytes, size));
    if (decoder.hasError() || s.size() != 1)
        return kNoChar;
    return s.front().unicode();
}

bool isLeadByte(int b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::unique_ptr<Tables> build()
{
    auto t = std::make_unique<Tables>();
    t->encode.fill(0);
    t->single.fill(kNoChar);
    t->pair.fill(kNoChar);

    // Bytes below 0x80 are ASCII, as in Windows' code page 932 (ICU's table rotates a few
    // control codes).
    for (int b = 0; b < 0x100; ++b) {
        t->isLead[b] = isLeadByte(b);
        if (b < 0x80) {
            t->single[b] = char16_t(b);
        } else if (!t->isLead[b]) {
            const char byte = char(b);
            t->single[b] = decodeOne(&byte, 1);
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!t->isLead[lead])
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const char bytes[2] = {char(lead), char(trail)};
            t->pair[lead * 256 + trail] = decodeOne(bytes, 2);
        }
    }

    // Encoding: only characters some byte sequence decodes to can come back; check the bytes
    // the encoder picks for them.
    for (int c = 0x20; c < 0x7F; ++c)
        t->encode[c] = 1u | std::uint32_t(c) << 8;
    auto consider = [&t](char16_t c) {
        if (c == kNoChar || c < 0xA0 || t->encode[c] != 0)
            return;
        QStringEncoder encoder(kCodec, QStringEncoder::Flag::Stateless);
        const QByteArray bytes = encoder.encode(QStringView(&c, 1));
        if (encoder.hasError() || bytes.isEmpty() || bytes.size() > 2)
            return;
        const auto b0 = std::uint8_t(bytes[0]);
        const char16_t back =
            bytes.size() == 1 ? t->single[b0] : t->pair[b0 * 256 + std::uint8_t(bytes[1])];
        if (back != c)
            return;
        std::uint32_t entry = std::uint32_t(bytes.size()) | std::uint32_t(b0) << 8;
        if (bytes.size() == 2)
            entry |= std::uint32_t(std::uint8_t(bytes[1])) << 16;
        t->encode[c] = entry;
    };
    for (char16_t c : t->single)
        consider(c);
    for (char16_t c : t->pair)
        consider(c);
    return t;
}

} // namespace

const Tables &tables()
{
    static const std::unique_ptr<Tables> instance = build();
    return *instance;
}

} // namespace app::rtf::cp932

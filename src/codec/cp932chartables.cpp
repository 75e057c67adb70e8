#include "codec/cp932chartables.h"

#include "codec/cp932.h"
#include "codec/cp932table.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace codec::cp932
{
namespace
{

// Decodes every single byte and every mapped double-byte code in one call each.
void fillDecoding(CharTables &t)
{
    QByteArray singles;
    for (int b = 0; b < 0x100; ++b) {
        t.isLead[size_t(b)] = isLeadByte(uchar(b));
        if (b < 0x80 || isHalfWidthKatakana(uchar(b)))
            singles += char(b);
    }
    const QString singleChars = decodeCp932ThroughIcu(singles).text;
    for (qsizetype i = 0; i < singles.size(); ++i)
        t.single[uchar(singles[i])] = singleChars[i].unicode();

    QByteArray pairs;
    for (int lead = 0x81; lead <= 0xFC; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (isMapped(uchar(lead), uchar(trail)))
                pairs += char(lead), pairs += char(trail);
    const QString pairChars = decodeCp932ThroughIcu(pairs).text;
    if (pairChars.size() * 2 != pairs.size())
        return; // every mapped code is one BMP character; anything else leaves them unmapped
    for (qsizetype i = 0; i < pairChars.size(); ++i)
        t.pair[size_t(uchar(pairs[2 * i])) * 256 + uchar(pairs[2 * i + 1])] =
            pairChars[i].unicode();
}

// For every character some code decodes to, the bytes the encoder picks, when they decode back.
void fillEncoding(CharTables &t)
{
    QString chars;
    auto collect = [&](char16_t c) {
        if (c != kNoChar && (c >= 0xA0 || (c >= 0x20 && c < 0x7F)))
            chars += QChar(c);
    };
    for (char16_t c : t.single)
        collect(c);
    for (char16_t c : t.pair)
        collect(c);
    const Cp932Encoded encoded = encodeCp932(chars);
    if (encoded.firstUnmappable >= 0)
        return; // not expected: every one of them came from a code
    const QByteArray &bytes = encoded.bytes;
    qsizetype at = 0;
    for (const QChar c : chars) {
        const auto b0 = uchar(bytes[at]);
        const int length = isLeadByte(b0) ? 2 : 1;
        const auto b1 = length == 2 ? uchar(bytes[at + 1]) : uchar(0);
        at += length;
        const char16_t back = length == 1 ? t.single[b0] : t.pair[size_t(b0) * 256 + b1];
        if (back == c.unicode())
            t.encode[c.unicode()] =
                std::uint32_t(length) | std::uint32_t(b0) << 8 | std::uint32_t(b1) << 16;
    }
}

std::unique_ptr<CharTables> build()
{
    auto t = std::make_unique<CharTables>();
    t->encode.fill(0);
    t->single.fill(kNoChar);
    t->pair.fill(kNoChar);
    fillDecoding(*t);
    fillEncoding(*t);
    return t;
}

} // namespace

const CharTables &charTables()
{
    static const std::unique_ptr<CharTables> instance = build();
    return *instance;
}

} // namespace codec::cp932

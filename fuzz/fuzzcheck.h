#pragma once

// What the fuzz targets share: a check that stops the run with a message libFuzzer reports as a
// crash, and the ways fuzz bytes become text.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz
{

// Pairs of bytes as UTF-16 code units (little-endian), lone surrogates included; an odd last
// byte is dropped.
inline QString utf16Text(const uint8_t *data, std::size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
    return text;
}

// The first byte chooses how the rest becomes text: Latin-1 (any byte), UTF-8 (malformed
// sequences as U+FFFD) or UTF-16 units. Returns the choice too, for targets that vary more.
inline QString anyText(const uint8_t *data, std::size_t size, uint8_t *mode = nullptr)
{
    if (size == 0)
        return QString();
    const uint8_t m = data[0];
    if (mode)
        *mode = m;
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype n = qsizetype(size - 1);
    switch (m % 3) {
    case 0:
        return QString::fromLatin1(rest, n);
    case 1:
        return QString::fromUtf8(rest, n);
    default:
        return utf16Text(data + 1, size - 1);
    }
}

} // namespace fuzz

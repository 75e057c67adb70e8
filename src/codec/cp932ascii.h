#pragma once

#include <QtGlobal>

#include <bit>
#include <cstring>

// Runs of bytes below 0x80, which CP932, EUC-JP and UTF-8 all read as the same ASCII characters,
// taken eight bytes at a time.
namespace codec::ascii
{

constexpr quint64 kHighBits = 0x8080808080808080u;

inline quint64 load8(const uchar *p)
{
    quint64 w;
    std::memcpy(&w, p, 8);
    return w;
}

// Index (0..7) of the first byte in memory order of a word whose set bits are among kHighBits.
inline int firstMarkedByte(quint64 high)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(high) >> 3;
    else
        return std::countl_zero(high) >> 3;
}

// The number of bytes below 0x80 at the start of p[0..n).
inline qsizetype asciiPrefix(const uchar *p, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        if (const quint64 high = load8(p + i) & kHighBits)
            return i + firstMarkedByte(high);
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// Copies the bytes below 0x80 at the start of in[0..n) to out and returns how many it copied.
// It moves whole words, so it may also overwrite up to seven bytes after the copied ones, never
// past out[n - 1]: out must have room for n bytes.
inline qsizetype copyAsciiPrefix(const uchar *in, qsizetype n, char *out)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        const quint64 w = load8(in + i);
        std::memcpy(out + i, &w, 8);
        if (const quint64 high = w & kHighBits)
            return i + firstMarkedByte(high);
    }
    for (; i < n && in[i] < 0x80; ++i)
        out[i] = char(in[i]);
    return i;
}

} // namespace codec::ascii

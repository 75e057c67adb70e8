#pragma once

#include <QtGlobal>

// What the CP932 code space holds: the byte classes, the row/cell layout of the double-byte codes
// and which of them carry a character. Rows follow the Shift_JIS arithmetic: leads 0x81-0x9F give
// rows 1-62, leads 0xE0-0xFC rows 63-120; each lead covers an odd row (trail 0x40-0x9E, without
// 0x7F) and the following even row (trail 0x9F-0xFC). Rows 1-84 are JIS X 0208 (row 13 holds the
// NEC special characters), rows 89-92 the NEC-selected IBM extensions, rows 95-114 the
// user-defined area (0xF040-0xF9FC) and rows 115-119 the IBM extensions (0xFA40-0xFC4B).
namespace codec::cp932
{

constexpr bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
constexpr bool isHalfWidthKatakana(uchar b)
{
    return b >= 0xA1 && b <= 0xDF;
}

struct RowCell {
    int row;  // 1..120
    int cell; // 1..94
};

// Row and cell of a double-byte code whose bytes pass isLeadByte / isTrailByte.
constexpr RowCell rowCell(uchar lead, uchar trail)
{
    const int rowPair = lead <= 0x9F ? lead - 0x81 : lead - 0xC1;
    if (trail >= 0x9F)
        return {rowPair * 2 + 2, trail - 0x9E};
    return {rowPair * 2 + 1, trail - (trail >= 0x80 ? 0x40 : 0x3F)};
}

// The double-byte code at row (1..120) and cell (1..94), high byte first.
constexpr quint16 codeAt(int row, int cell)
{
    const int lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
    const int trail = (row % 2) ? cell + (cell >= 64 ? 0x40 : 0x3F) : cell + 0x9E;
    return quint16(lead << 8 | trail);
}

// Whether the double-byte code lead/trail carries a character.
bool isMapped(uchar lead, uchar trail);

// The same as a flat table for fast loops: entry (lead - 0x81) * kTrailSpan + trail - 0x40 is 1
// for a mapped code, for lead 0x81-0xFC and trail 0x40-0xFF.
constexpr int kTrailSpan = 0x100 - 0x40;
const uchar *mappedTable();

// For a mapped double-byte code, the code the CP932 encoder gives for its character. Duplicates
// resolve to JIS X 0208 first, then NEC row 13, then the IBM extensions: the NEC-selected IBM
// rows 89-92 never win, and row-13 or IBM copies of row-2 symbols give way to row 2.
quint16 canonicalCode(quint16 code);

// Position (0..387) of an IBM extension code 0xFA40-0xFC4B in its block.
constexpr int ibmIndex(uchar lead, uchar trail)
{
    return (lead - 0xFA) * 188 + trail - 0x40 - (trail > 0x7F ? 1 : 0);
}
constexpr quint16 ibmCodeAt(int index)
{
    const int lead = 0xFA + index / 188;
    const int offset = index % 188;
    return quint16(lead << 8 | (offset + 0x40 + (offset >= 0x3F ? 1 : 0)));
}
constexpr int kIbmCount = 388;

} // namespace codec::cp932

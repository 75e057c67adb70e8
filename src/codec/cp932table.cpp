#include "cp932table.h"

#include <array>
#include <bitset>

namespace codec::cp932
{
namespace
{

struct CellRange {
    int row, first, last;
};

// Rows that are only partly filled; every row not listed here and not in kFullRows is empty.
constexpr CellRange kPartialRows[] = {
    {2, 1, 14},   {2, 26, 33}, {2, 42, 48}, {2, 60, 74}, {2, 82, 89},  {2, 94, 94},
    {3, 16, 25},  {3, 33, 58}, {3, 65, 90}, {4, 1, 83},  {5, 1, 86},   {6, 1, 24},
    {6, 33, 56},  {7, 1, 33},  {7, 49, 81}, {8, 1, 32},  {13, 1, 30},  {13, 32, 54},
    {13, 63, 92}, {47, 1, 51}, {84, 1, 6},  {92, 1, 78}, {92, 81, 94}, {119, 1, 12},
};
constexpr bool isFullRow(int row)
{
    return row == 1 || (row >= 16 && row <= 46) || (row >= 48 && row <= 83) ||
           (row >= 89 && row <= 91) || (row >= 95 && row <= 118);
}

using RowMap = std::array<std::bitset<95>, 121>;

const RowMap &mappedCells()
{
    static const RowMap map = [] {
        RowMap m;
        for (int row = 1; row <= 120; ++row)
            if (isFullRow(row))
                for (int cell = 1; cell <= 94; ++cell)
                    m[row].set(cell);
        for (const CellRange &r : kPartialRows)
            for (int cell = r.first; cell <= r.last; ++cell)
                m[r.row].set(cell);
        return m;
    }();
    return map;
}

struct CodePair {
    quint16 from, to;
};

// Row-13 and IBM copies of characters that have an earlier code.
constexpr CodePair kDuplicates[] = {
    {0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7}, {0x8795, 0x81E3}, {0x8796, 0x81DB},
    {0x8797, 0x81DA}, {0x879A, 0x81E6}, {0x879B, 0x81BF}, {0x879C, 0x81BE}, {0xEEF9, 0x81CA},
    {0xFA54, 0x81CA}, {0xFA58, 0x878A}, {0xFA59, 0x8782}, {0xFA5A, 0x8784}, {0xFA5B, 0x81E6},
};

} // namespace

const uchar *mappedTable()
{
    static const auto table = [] {
        std::array<uchar, (0xFC - 0x81 + 1) * kTrailSpan> t{};
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x40; trail <= 0xFF; ++trail)
                t[(lead - 0x81) * kTrailSpan + trail - 0x40] = isMapped(uchar(lead), uchar(trail));
        return t;
    }();
    return table.data();
}

bool isMapped(uchar lead, uchar trail)
{
    if (!isLeadByte(lead) || !isTrailByte(trail))
        return false;
    const RowCell rc = rowCell(lead, trail);
    return mappedCells()[rc.row].test(rc.cell);
}

quint16 canonicalCode(quint16 code)
{
    const uchar lead = uchar(code >> 8);
    const uchar trail = uchar(code);
    for (const CodePair &d : kDuplicates)
        if (d.from == code)
            return d.to;
    if (lead == 0xED || lead == 0xEE) {
        // NEC-selected IBM extensions: the 360 kanji (0xED40-0xEEEC) follow the order of the IBM
        // kanji from 0xFA5C; then small roman numerals 0xEEEF-0xEEF8 and three symbols.
        const int index = (lead - 0xED) * 188 + trail - 0x40 - (trail > 0x7F ? 1 : 0);
        if (index < 360)
            return ibmCodeAt(index + ibmIndex(0xFA, 0x5C));
        if (code >= 0xEEEF && code <= 0xEEF8)
            return quint16(0xFA40 + (code - 0xEEEF));
        if (code >= 0xEEFA && code <= 0xEEFC)
            return quint16(0xFA55 + (code - 0xEEFA));
    }
    if (code >= 0xFA4A && code <= 0xFA53) // large roman numerals live in row 13
        return quint16(0x8754 + (code - 0xFA4A));
    return code;
}

} // namespace codec::cp932

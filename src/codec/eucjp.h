#pragma once

#include "codec/conversion.h"

#include <QByteArrayView>

// Conversion between CP932 and EUC-JP bytes as browsers read and write EUC-JP: JIS X 0208 with NEC
// row 13 and the NEC-selected IBM rows 89-92 by row and cell (two bytes, lead 0xAD for row 13,
// 0xF9-0xFC for rows 89-92), half-width katakana as SS2 (0x8E xx). A character with several CP932
// codes (IBM and NEC-selected kanji, row-13 copies of row-2 symbols) is written at its first code
// in rows 1-92, as the browser's encoder writes it; converting back gives the code the CP932
// encoder prefers. Reading also takes the 0x8F three-byte forms older tools wrote: JIS X 0212
// characters CP932 holds, the IBM extensions' block 0x8FF3F3-0x8FF4FE and the user-defined rows
// 85-94. The user-defined area has no place in EUC-JP as browsers know it: the two-byte rows 85-88
// and 93-94 are unreadable, and user-defined CP932 codes are not written.
namespace codec
{

// The EUC-JP bytes of CP932 input. Every byte sequence that is not a CP932 character (0x80, 0xA0,
// 0xFD-0xFF, a lead byte without a proper trail byte, an unassigned double-byte code) and every
// user-defined character (0xF040-0xF9FC) becomes "〓" (0xA2AE) and is reported. Never more than two
// output bytes per input byte.
ConversionResult convertCp932ToEucJp(QByteArrayView cp932);

// The CP932 bytes of EUC-JP input. Every byte sequence that is not an EUC-JP character CP932 can
// hold becomes "〓" (0x81AC) and is reported. Never more than two output bytes per input byte.
ConversionResult convertEucJpToCp932(QByteArrayView euc);
// The same, also giving the number of such sequences in *invalidUnits.
ConversionResult convertEucJpToCp932(QByteArrayView euc, qsizetype *invalidUnits);

namespace eucjp
{

// The CP932 code of a JIS X 0208 character (row and cell 1..94, as in EUC-JP two-byte codes and
// ISO-2022-JP), or of a JIS X 0212 one when supplementary is set (EUC-JP 0x8F codes); 0 when CP932
// holds no such character.
quint16 jisToCp932(int row, int cell, bool supplementary);

} // namespace eucjp
} // namespace codec

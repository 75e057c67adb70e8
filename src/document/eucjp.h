#pragma once

#include "document/conversion.h"

#include <QByteArrayView>

// Conversion between CP932 and EUC-JP bytes with the NEC and IBM extensions, mapped as eucJP-ms
// maps them: JIS X 0208 and NEC row 13 by row and cell, half-width katakana as SS2 (0x8E xx), the
// user-defined area 0xF040-0xF9FC as EUC rows 85-94 (two bytes, then three bytes after 0x8F), the
// IBM extensions as their JIS X 0212 codes or the 0x8FF3F3.. block. Duplicate CP932 codes of one
// character (NEC-selected IBM rows, row-13 copies of row-2 symbols) convert to the character's
// single EUC-JP code; converting back gives the code the CP932 encoder prefers.
namespace document
{

// The EUC-JP bytes of CP932 input. Every byte sequence that is not a CP932 character (0x80, 0xA0,
// 0xFD-0xFF, a lead byte without a proper trail byte, an unassigned double-byte code) becomes
// "〓" (0xA2AE) and is reported. Never more than two output bytes per input byte.
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
} // namespace document

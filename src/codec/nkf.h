#pragma once

#include "codec/conversion.h"
#include "codec/eucjp.h"

#include <QByteArray>
#include <QByteArrayView>

// The code converter: reading converts any Japanese encoding it detects to CP932; writing
// converts CP932 to EUC-JP (convertCp932ToEucJp, eucjp.h).
namespace codec
{

// Detects the encoding of input (see detectEncoding) and converts it to CP932:
// - ASCII and Shift_JIS pass through unchanged; a byte sequence that is no CP932 character stays
//   as it is and is reported.
// - EUC-JP and ISO-2022-JP: an unconvertible sequence becomes "〓" (0x81AC) and is reported.
// - UTF-8: the byte order mark is dropped; a character CP932 cannot hold becomes a hexadecimal
//   HTML numeric character reference ("&#xE9;") and a malformed byte "〓"; both are reported.
// Output size: at most 4 bytes per input byte.
ConversionResult convertToCp932(QByteArrayView input);

} // namespace codec

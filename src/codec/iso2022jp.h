#pragma once

#include "codec/conversion.h"

#include <QByteArrayView>

namespace codec
{

// Whether 7-bit input designates a JIS character set by escape sequence (ESC $ @, ESC $ B,
// ESC $ ( D, ESC ( I) or shifts to katakana with SO, i.e. reads as ISO-2022-JP.
bool hasIso2022JpDesignation(QByteArrayView in);

// The CP932 bytes of ISO-2022-JP input (RFC 1468, plus JIS X 0212 by ESC $ ( D, half-width
// katakana by ESC ( I or SO/SI, and JIS X 0201 Roman by ESC ( J, taken as ASCII). Escape
// sequences produce no bytes; control codes (below 0x21) pass through in every mode. A byte or
// pair that is no character CP932 can hold, or an unknown escape sequence, becomes "〓" (0x81AC)
// per byte sequence and is reported. Never more than two output bytes per input byte.
ConversionResult convertIso2022JpToCp932(QByteArrayView in);

} // namespace codec

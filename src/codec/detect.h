#pragma once

#include "codec/conversion.h"

#include <QByteArrayView>

#include <optional>

namespace codec
{

// Guesses the encoding of a Japanese text for conversion to CP932:
// 1. A UTF-8 byte order mark means UTF-8.
// 2. Only bytes below 0x80: ISO-2022-JP when an escape sequence (or SO) designates a JIS set,
//    otherwise ASCII.
// 3. Well-formed UTF-8 (strict: no overlong forms, surrogates or code points past U+10FFFF) is
//    UTF-8: text in EUC-JP or Shift_JIS rarely is, except a few very short ones.
// 4. Otherwise the one of EUC-JP and Shift_JIS under which the whole input is valid; when both
//    are, the one whose characters look more like Japanese text (kana, symbols, level-1 kanji and
//    EUC-JP's SS2 katakana count most, level-2 kanji and NEC/IBM characters less, a half-width
//    katakana byte of Shift_JIS least, user-defined characters nothing); a tie goes to EUC-JP. When
//    neither is valid, the one with fewer invalid sequences; a tie goes to Shift_JIS, which passes
//    the bytes through unchanged.
DetectedEncoding detectEncoding(QByteArrayView in);

// Steps 1-3 of detectEncoding: the encoding when the byte structure alone decides, else nullopt.
std::optional<DetectedEncoding> detectByStructure(QByteArrayView in);

// Step 4 of detectEncoding: EUC-JP or Shift_JIS for input the structure left open.
DetectedEncoding chooseEucJpOrShiftJis(QByteArrayView in);
// The same for input whose invalid EUC-JP sequences have been counted already (as
// convertEucJpToCp932 counts them): with any, only Shift_JIS's count is still needed.
DetectedEncoding chooseEucJpOrShiftJis(QByteArrayView in, qsizetype eucJpInvalidUnits);

// The encoding of detectEncoding when the input is well formed in it, else nullopt: a guess
// that can be named to the user.
std::optional<DetectedEncoding> recognisedEncoding(QByteArrayView in);

// Whether every byte sequence of in is a CP932 character.
bool isValidCp932(QByteArrayView in);

// Byte offset of the first byte that does not belong to a well-formed UTF-8 sequence, or -1.
qsizetype firstInvalidUtf8(QByteArrayView in);

} // namespace codec

#pragma once

#include <QByteArray>

// The converter's call form of old: options set once, then zero-terminated buffers of a size the
// caller promises is enough. The program converts through codec::convertToCp932 and
// codec::convertCp932ToEucJp, which size their own output; the tests hold those to this contract.
namespace reference
{

// Makes options the option set of the following NkfConvert calls: "s" converts to Shift_JIS
// (CP932), detecting the input's encoding; "e" converts CP932 to EUC-JP. Of several of these
// letters the last counts; other letters are ignored. Before the first call the set is "s".
void SetNkfOption(const char *options);

// Converts the zero-terminated input under the current options and writes the result, followed by
// a zero byte, to output. The caller provides output; the converter never writes past the size
// the caller gives it under this contract:
// - "s", input of n bytes, area of 4n + 1 bytes. Output is at most 4n bytes: ASCII and Shift_JIS
//   copy byte for byte; EUC-JP and ISO-2022-JP give at most 2 bytes per input byte (a character
//   of 2 or 3 bytes gives 1 or 2, a kana of 2 bytes gives 1, an escape gives none, an invalid
//   sequence of 1 or more bytes gives the 2 bytes of "〓"); UTF-8 gives at most 4 bytes per input
//   byte (a character of k = 1..4 bytes gives 1..2 CP932 bytes or a reference of at most 1, 7,
//   8, 10 bytes for k = 1, 2, 3, 4; a malformed byte gives 2; the byte order mark gives none).
// - "e", CP932 input made from a text of c UTF-16 units by encodeCp932, area of 8c + 2 bytes.
//   Each unit yields either 1-2 CP932 bytes, giving at most 2 EUC-JP bytes, or an ASCII stand-in
//   of at most 8 bytes, which stays the same length in EUC-JP; output is at most 8c bytes. In
//   general "e" writes at most 2 bytes per input byte (a half-width kana of 1 byte gives 2, a
//   double-byte character gives 2, an invalid sequence of 1 or 2 bytes or a user-defined character
//   gives "〓").
void NkfConvert(char *output, const char *input);

// Shortens buffer to the bytes before its first pair of consecutive zero bytes. The buffer is
// taken to be followed by zero bytes, so a buffer without such a pair loses only a zero byte at
// its very end.
void TrimAtDoubleNul(QByteArray &buffer);

} // namespace reference

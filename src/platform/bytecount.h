#pragma once

#include <QStringView>

namespace app
{

// How many bytes a character takes in Shift_JIS (code page 932) as the Size panel counts it:
// 1 for ASCII and half-width katakana, 2 for other characters CP932 holds, 1 for a character it
// cannot hold (one substitute byte), 2 for a line break (CR LF; U+2029 in the editor's text).
int cp932ByteLength(char16_t c);

// The CP932 byte count of a piece of the editor's raw text.
qint64 cp932ByteCount(QStringView text);

} // namespace app

#pragma once

#include <QStringView>

namespace platform
{

// The CP932 byte count of a piece of the editor's raw text, as the Size panel counts it: 1 for
// ASCII and half-width katakana, 2 for other characters CP932 holds, 1 for a character it cannot
// hold (one substitute byte), 2 for a line break (CR LF; U+2029 in the editor's text).
qint64 cp932ByteCount(QStringView text);

} // namespace platform

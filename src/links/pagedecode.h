#pragma once

#include "codec/conversion.h"

#include <QByteArrayView>
#include <QString>

// The text of a page or style sheet as a browser reads it from a local file.
namespace links
{

struct DecodedPage {
    QString text; // line breaks as in the file
    codec::DetectedEncoding encoding = codec::DetectedEncoding::Ascii;
    bool byteOrderMark = false;
};

// A UTF-8 byte order mark decides first, then a charset declaration in the first bytes (Shift_JIS,
// EUC-JP, ISO-2022-JP or UTF-8), then the program's own detection.
DecodedPage decodePage(QByteArrayView bytes);

} // namespace links

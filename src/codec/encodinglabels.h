#pragma once

#include <QByteArrayView>

// The encoding labels browsers understand, and the encodings they name.
namespace codec
{

// The canonical name of the encoding a label names ("Shift_JIS" for "sjis", "x-sjis",
// "windows-31j" …, "EUC-JP" for "x-euc-jp" …, "UTF-8" for "utf8" …), or an empty view for a
// label no browser knows. Surrounding ASCII white space is ignored, letters compare without
// case.
QByteArrayView encodingOfLabel(QByteArrayView label);

} // namespace codec

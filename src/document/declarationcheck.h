#pragma once

#include "codec/filetext.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace document
{

// A charset declaration of a page that names another encoding than the one it is written in.
struct DeclarationMismatch {
    qsizetype start = 0; // UTF-16 range of the label in the text
    qsizetype end = 0;
    QString label;   // as written in the page
    QString written; // the encoding the page is written in: "Shift_JIS", "EUC-JP" or "UTF-8"
};

// Looks at the bytes the text would be written as (writeCode, shape as bytesFromText takes
// them) the way a browser looks for a declaration before decoding, and returns the declaration
// when it names another encoding than the written one.
std::optional<DeclarationMismatch>
findDeclarationMismatch(QStringView text, codec::TextCode writeCode, const codec::FileShape &shape);

} // namespace document
